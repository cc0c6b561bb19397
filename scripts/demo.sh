#!/usr/bin/env bash
# demo.sh BUILD: runs each program's demo (its folder's demo.sh) against the
# programs built in BUILD, with its output in BUILD/demo/<program>/.
set -euo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
for program in zelnor mobrick pixtrel; do
  rm -rf "$build/demo/$program" && mkdir -p "$build/demo/$program"
  echo "===== $program"
  "$top/$program/demo.sh" "$build/$program/$program" "$build/demo/$program"
  echo
done
