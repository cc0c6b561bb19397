# bash completion for zelnor: bash-completion's generic completer, which
# offers the long options that `zelnor --help` lists, and any file.
if declare -F _comp_complete_longopt > /dev/null; then
  complete -F _comp_complete_longopt zelnor
else
  complete -F _longopt zelnor
fi
