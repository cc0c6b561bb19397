# bash completion for pixtrel: -f as the first argument only, then screen
# dumps (names ending in .scr or .SCR) and directories to descend into.

_pixtrel() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  if [[ $COMP_CWORD -eq 1 && $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W '-f' -- "$cur")
  fi
  local name
  while IFS= read -r name; do
    if [[ -d $name || $name == *.scr || $name == *.SCR ]]; then
      COMPREPLY+=("$name")
    fi
  done < <(compgen -f -- "$cur")
}

complete -o filenames -F _pixtrel pixtrel
