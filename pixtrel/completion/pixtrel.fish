# fish completion for pixtrel: -f as the first argument only, then screen
# dumps (names ending in .scr or .SCR) and directories to descend into.

function __pixtrel_first_argument
    test (count (commandline -opc)) -eq 1
end

# fish's own file completion of the current token (which minds quotes and
# escapes), kept to the screens and directories.
function __pixtrel_screens
    set -l token (commandline -ct)
    complete -C "__fish_command_without_completions $token" \
        | string match -r -- '^.*(?:\.scr|\.SCR|/)$'
end

complete -c pixtrel -f
complete -c pixtrel -n __pixtrel_first_argument -s f -d 'Convert FLASHing screens to animated GIFs'
complete -c pixtrel -a '(__pixtrel_screens)'
