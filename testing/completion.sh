# shellcheck shell=bash
# completion.sh: sourced by the completion tests (PROGRAM/completion/
# completion_test.sh) as `source completion.sh SHELL PROGRAM_PATH`.
#
# Exits 77 (skipped) when SHELL (bash, zsh or fish) cannot complete here: not
# installed, bash without bash-completion, zsh without its zpty or zselect
# module. Puts PROGRAM_PATH's folder first on PATH, loads the caller's
# completion file into bash, and moves into an empty folder for the sample
# files, removed at exit.
# Then, with expect and finish of expect.sh:
#   completions LINE       what SHELL offers at the end of LINE: one a line,
#                          each once, in byte order, folders without their "/"
#   check LINE EXPECTED    expects EXPECTED from `completions LINE`
# bash is run as bash runs a completion function; zsh is an interactive zsh
# on a terminal (zpty) whose completions are written down as they are added;
# fish answers `complete -C`.

# shellcheck source=expect.sh
source "$(dirname "${BASH_SOURCE[0]}")/expect.sh"
completion_dir=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)
shell=$1
program=$(basename "$2")
PATH=$(cd "$(dirname "$2")" && pwd):$PATH

case $shell in
  bash) bash_completion_script=/usr/share/bash-completion/bash_completion
        requirement=$bash_completion_script ;;
  zsh) requirement="zsh's zpty and zselect modules" ;;
  fish) requirement=fish ;;
  *) echo "usage: completion_test.sh bash|zsh|fish PROGRAM_PATH" >&2; exit 2 ;;
esac
if ! command -v "$shell" > /dev/null ||
  { [[ $shell == bash ]] && [[ ! -f $bash_completion_script ]]; } ||
  { [[ $shell == zsh ]] && ! zsh -fc 'zmodload zsh/zpty zsh/zselect'; }; then
  echo "$requirement not found: the $shell completion of $program is not checked"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/home" "$work/files"
export HOME=$work/home XDG_CONFIG_HOME=$work/home XDG_DATA_HOME=$work/home
cd "$work/files" || exit 1

if [[ $shell == bash ]]; then
  # shellcheck source=/dev/null
  source "$bash_completion_script"
  # shellcheck source=/dev/null
  source "$completion_dir/$program.bash"
  read -r -a registration <<< "$(complete -p "$program")"
  completion_function=${registration[-2]}
fi

# The zsh that types LINE and a tab into an interactive zsh -f on a terminal,
# whose compadd writes down each match it adds as it would stand on the
# command line; run as: zsh -fc "$zsh_driver" zsh FOLDER LINE.
read -r -d '' zsh_driver <<'ZSH'
zmodload zsh/zpty zsh/zselect
cat > $HOME/setup.zsh <<'SETUP'
fpath=($folder $fpath)
autoload -Uz compinit
compinit -u -D
unsetopt auto_list beep
PS1='%(?.ok.failed)> '
# Tab completes, then says so on the terminal.
complete-and-say() {
  zle expand-or-complete
  zle -M 'tab completed'
}
zle -N complete-and-say
bindkey '^I' complete-and-say
compadd() {
  local -A opts
  zparseopts -E -A opts O: A: D: P: p: Q
  # -O, -A and -D only look for matches; they add none.
  if (( ${+opts[-O]} + ${+opts[-A]} + ${+opts[-D]} == 0 )); then
    local -a words
    builtin compadd -O words "$@"
    (( ${+opts[-Q]} )) && words=(${(Q)words})
    print -rl -- $opts[-P]$opts[-p]${^words} >> $matches
  fi
  builtin compadd "$@"
}
SETUP
matches=$HOME/matches
: > $matches
zpty completer zsh -f -i
terminal=$REPLY
# Reads what the terminal shows until PATTERN; gives up after 10 s of silence.
read_until() {
  local shown= chunk
  while zselect -t 1000 -r $terminal; do
    zpty -r -t completer chunk && shown+=$chunk
    [[ $shown == *${~1}* ]] && return 0
  done
  print -r -- "zsh did not show $1: $shown" >&2
  exit 1
}
zpty -w completer "folder=${(q)1} matches=${(q)matches}; source ${(q)HOME}/setup.zsh; print ready\$((6 * 7))"
# Typed before zle reads the terminal, it would be lost.
read_until 'ready42*ok> '
zpty -w -n completer "$2"$'\t'
read_until "tab completed"
zpty -d completer
cat $matches
ZSH

completions() {
  case $shell in
    bash)
      local COMP_LINE=$1 COMP_POINT=${#1} COMP_WORDS COMP_CWORD COMPREPLY=()
      read -r -a COMP_WORDS <<< "$1"
      [[ $1 == *' ' ]] && COMP_WORDS+=('')
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      "$completion_function" "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      ((${#COMPREPLY[@]} > 0)) && printf '%s\n' "${COMPREPLY[@]}"
      ;;
    zsh) zsh -fc "$zsh_driver" zsh "$completion_dir" "$1" ;;
    fish) fish --no-config -c 'source $argv[1]; complete -C$argv[2]' "$completion_dir/$program.fish" "$1" | cut -f1 ;;
  esac | sed 's:/$::' | grep -v '^$' | LC_ALL=C sort -u
}

check() {
  expect "$shell: $1" "$2" "$(completions "$1")"
}
