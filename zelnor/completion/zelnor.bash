# bash completion for zelnor: its options anywhere before a "--", and any file.

_zelnor() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  local i options=1
  for ((i = 1; i < COMP_CWORD; i++)); do
    [[ ${COMP_WORDS[i]} == -- ]] && options=0
  done
  if [[ $options -eq 1 && $cur == -* ]]; then
    COMPREPLY=($(compgen -W '-h -v -x --help --version --hex' -- "$cur"))
    return
  fi
  local name
  while IFS= read -r name; do
    COMPREPLY+=("$name")
  done < <(compgen -f -- "$cur")
}

complete -o filenames -F _zelnor zelnor
