#!/usr/bin/env bash
# demo.sh BUILD: runs each program's demo (its folder's demo.sh) against the
# programs built in BUILD, with its output in BUILD/demo/<program>/.
set -euo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
for program in zelnor mobrick pixtrel; do
  script="$top/$program/demo.sh"
  [[ -x "$script" ]] || continue
  out="$build/demo/$program"
  rm -rf "$out" && mkdir -p "$out"
  echo "===== $program"
  "$script" "$build/$program/$program" "$out"
  echo
done
