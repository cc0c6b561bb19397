#!/usr/bin/env bash
# completion_test.sh SHELL: checks pixtrel's completion for SHELL (bash, zsh or
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
touch a.scr ab.txt abc.SCR b.scr 's p.scr' c.txt
mkdir adir
touch adir/inner.scr adir/inner.txt

# Completions of the command line WORD..., the last word being completed,
# one a line in byte order.
bash_complete() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  "$function"
  ((${#COMPREPLY[@]} > 0)) && printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}

fish_complete() {
  XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.data fish --no-config -c \
    "source $here/pixtrel.fish; complete -C\$argv[1]" "$1" | cut -f1 | LC_ALL=C sort
}

case $shell in
  bash)
    source "$here/pixtrel.bash"
    expect "registration" "complete -o filenames -F _pixtrel pixtrel" "$(complete -p pixtrel)"
    function=_pixtrel
    expect "pixtrel -" $'-F\n-f' "$(bash_complete pixtrel -)"
    expect "pixtrel -f -" "" "$(bash_complete pixtrel -f -)"
    expect "pixtrel a.scr -" "" "$(bash_complete pixtrel a.scr -)"
    expect "pixtrel <empty>" $'a.scr\nabc.SCR\nadir\nb.scr\ns p.scr' "$(bash_complete pixtrel '')"
    expect "pixtrel a" $'a.scr\nabc.SCR\nadir' "$(bash_complete pixtrel a)"
    expect "pixtrel -f a" $'a.scr\nabc.SCR\nadir' "$(bash_complete pixtrel -f a)"
    expect "pixtrel s" "s p.scr" "$(bash_complete pixtrel s)"
    expect "pixtrel adir/" "adir/inner.scr" "$(bash_complete pixtrel adir/)"
    ;;
  zsh)
    expect "zsh -n _pixtrel" "" "$(zsh -n "$here/_pixtrel" 2>&1)"
    ;;
  fish)
    expect "fish -n pixtrel.fish" "" "$(fish --no-config -n "$here/pixtrel.fish" 2>&1)"
    expect "pixtrel -" $'-F\n-f' "$(fish_complete 'pixtrel -')"
    expect "pixtrel -f -" "" "$(fish_complete 'pixtrel -f -')"
    expect "pixtrel <empty>" $'a.scr\nabc.SCR\nadir/\nb.scr\ns p.scr' "$(fish_complete 'pixtrel ')"
    expect "pixtrel -f a" $'a.scr\nabc.SCR\nadir/' "$(fish_complete 'pixtrel -f a')"
    expect "pixtrel adir/" "adir/inner.scr" "$(fish_complete 'pixtrel adir/')"
    ;;
  *)
    echo "usage: completion_test.sh bash|zsh|fish" >&2
    exit 2
    ;;
esac
finish
