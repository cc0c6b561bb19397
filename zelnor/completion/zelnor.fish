# fish completion for zelnor: the options that `zelnor --help` lists, each
# with its help text, and any file.

if command -q zelnor
    for line in (command zelnor --help 2>&1)
        set -l option (string match -r -- '^ +-(\w), --([\w-]+) +(.*)$' $line)
        and complete -c zelnor -s $option[2] -l $option[3] -d $option[4]
    end
end
