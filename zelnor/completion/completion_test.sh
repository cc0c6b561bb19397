#!/usr/bin/env bash
# completion_test.sh SHELL ZELNOR: zelnor's completion in SHELL (bash, zsh or
# fish) offers the long options that ZELNOR --help lists, and files. Exit
# status 77 (skipped) when SHELL cannot be checked here.
set -uo pipefail
# shellcheck source=../../testing/completion.sh
source "$(dirname "$0")/../../testing/completion.sh" "$@"

touch a.rom ab.txt ./-odd b.bin
mkdir adir
long_options=$(zelnor --help 2>&1 | sed -n 's/^ *-[[:alnum:]], \(--[[:alnum:]-]*\) .*/\1/p' | LC_ALL=C sort)
expect "zelnor --help lists long options" 1 "$([[ -n $long_options ]] && echo 1)"

check "zelnor --" "$long_options"
check "zelnor a" $'a.rom\nab.txt\nadir'
check "zelnor -x " $'-odd\na.rom\nab.txt\nadir\nb.bin'
finish
