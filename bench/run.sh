#!/usr/bin/env bash
# run.sh BUILD: runs every benchmark script bench/*_bench.sh against the
# programs built in BUILD, then the Google Benchmark executables built there.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
for script in "$here"/*_bench.sh; do
  echo "===== $(basename "$script")"
  "$script" "$build"
  echo
done
shopt -s nullglob
for micro in "$build"/bench/*_bench; do
  echo "===== $(basename "$micro")"
  "$micro"
  echo
done
