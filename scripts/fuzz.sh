#!/usr/bin/env bash
# fuzz.sh BUILD SECONDS: runs every libFuzzer target of the fuzz build for
# SECONDS each, keeping a corpus per target under BUILD/corpus/.
set -euo pipefail
build=$1 seconds=$2
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "fuzz.sh: no fuzz targets in $build/fuzz" >&2
  exit 1
fi
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name (${seconds}s)"
  "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus"
done
