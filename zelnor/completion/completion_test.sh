#!/usr/bin/env bash
# completion_test.sh SHELL: checks zelnor's completion for SHELL (bash, zsh or
# fish) in a directory of sample names. Exit status 77 (skipped) when SHELL is
# not installed; zsh's file is only parsed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../testing/expect.sh"
shell=$1
command -v "$shell" > /dev/null || { echo "$shell not found: its completion is not checked"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
touch a.rom ab.txt ./-odd b.bin
mkdir adir

# Completions of the command line WORD..., the last word being completed,
# one a line in byte order.
bash_complete() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _zelnor
  ((${#COMPREPLY[@]} > 0)) && printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}

fish_complete() {
  XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.data fish --no-config -c \
    "source $here/zelnor.fish; complete -C\$argv[1]" "$1" | cut -f1 | LC_ALL=C sort
}

all_options=$'--help\n--hex\n--version\n-h\n-v\n-x'
case $shell in
  bash)
    source "$here/zelnor.bash"
    expect "registration" "complete -o filenames -F _zelnor zelnor" "$(complete -p zelnor)"
    expect "zelnor -" "$all_options" "$(bash_complete zelnor -)"
    expect "zelnor --h" $'--help\n--hex' "$(bash_complete zelnor --h)"
    expect "zelnor a.rom -x" "-x" "$(bash_complete zelnor a.rom -x)"
    expect "zelnor -- -" "-odd" "$(bash_complete zelnor -- -)"
    expect "zelnor a" $'a.rom\nab.txt\nadir' "$(bash_complete zelnor a)"
    expect "zelnor -x <empty>" $'-odd\na.rom\nab.txt\nadir\nb.bin' "$(bash_complete zelnor -x '')"
    ;;
  zsh)
    expect "zsh -n _zelnor" "" "$(zsh -n "$here/_zelnor" 2>&1)"
    ;;
  fish)
    expect "fish -n zelnor.fish" "" "$(fish --no-config -n "$here/zelnor.fish" 2>&1)"
    expect "zelnor -" $'--help\n--hex\n--version\n-h\n-odd\n-v\n-x' "$(fish_complete 'zelnor -')"
    expect "zelnor --h" $'--help\n--hex' "$(fish_complete 'zelnor --h')"
    expect "zelnor a" $'a.rom\nab.txt\nadir/' "$(fish_complete 'zelnor a')"
    ;;
  *)
    echo "usage: completion_test.sh bash|zsh|fish" >&2
    exit 2
    ;;
esac
finish
