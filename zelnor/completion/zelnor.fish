# fish completion for zelnor: its options and any file.

complete -c zelnor -s h -l help -d 'Print the usage text'
complete -c zelnor -s v -l version -d 'Print the version'
complete -c zelnor -s x -l hex -d 'Print checksums in hexadecimal'
