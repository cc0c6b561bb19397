#!/usr/bin/env bash
# completion_test.sh SHELL PIXTREL: pixtrel's completion in SHELL (bash, zsh or
# fish) offers the option of PIXTREL's usage text as the first argument only,
# then screen dumps and folders. Exit status 77 (skipped) when SHELL cannot be
# checked here.
set -uo pipefail
# shellcheck source=../../testing/completion.sh
source "$(dirname "$0")/../../testing/completion.sh" "$@"

touch a.scr ab.txt abc.SCR b.scr 's p.scr' c.txt
mkdir adir
touch adir/inner.scr adir/inner.txt
options=$(pixtrel 2>&1 > /dev/null | sed -n 's/^ *\(-[[:alnum:]]\) = .*/\1/p' | LC_ALL=C sort)
expect "pixtrel's usage lists options" 1 "$([[ -n $options ]] && echo 1)"

check "pixtrel -" "$options"
check "pixtrel -f -" ""
check "pixtrel a.scr -" ""
check "pixtrel " $'a.scr\nabc.SCR\nadir\nb.scr\ns p.scr'
check "pixtrel -f a" $'a.scr\nabc.SCR\nadir'
check "pixtrel s" "s p.scr"
check "pixtrel adir/" "adir/inner.scr"
finish
