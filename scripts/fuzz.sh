#!/usr/bin/env bash
# fuzz.sh BUILD SECONDS: runs every libFuzzer target of the fuzz build for
# SECONDS each, from its checked-in seeds and with the -max_len that its
# inputs need (fuzz/<target>.args, written by add_fuzzer), keeping a corpus
# per target under BUILD/corpus/.
set -euo pipefail
build=$1 seconds=$2
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*.args)
((${#targets[@]})) || { echo "fuzz.sh: no fuzz targets in $build/fuzz" >&2; exit 1; }
for args in "${targets[@]}"; do
  target=${args%.args}
  corpus=$build/corpus/${target##*/}
  mkdir -p "$corpus"
  mapfile -t extra < "$args"
  echo "== ${target##*/} (${seconds}s)"
  "$target" -max_total_time="$seconds" -print_final_stats=1 "${extra[0]}" "$corpus" "${extra[1]}"
done
