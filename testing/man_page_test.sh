#!/usr/bin/env bash
# man_page_test.sh PAGE: the man page PAGE must give no message under
# `groff -man -ww -z` nor under `mandoc -T lint`. Exit status 77 (skipped) when
# groff or mandoc is not installed.
set -uo pipefail
source "$(dirname "$0")/expect.sh"
page=$1
for tool in groff mandoc; do
  command -v $tool > /dev/null || { echo "$tool not found: $page is not checked"; exit 77; }
done
expect "groff -man -ww -z $page" "" "$(groff -man -ww -z "$page" 2>&1)"
expect "mandoc -T lint $page" "" "$(mandoc -T lint "$page" 2>&1)"
finish
