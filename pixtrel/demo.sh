#!/usr/bin/env bash
# demo.sh PIXTREL OUTDIR: converts a generated sample screen with FLASH cells
# into a still GIF and, with -f, into an animated one.
set -euo pipefail
pixtrel=$(realpath "$1") out=$2
"$(dirname "$pixtrel")/sample_screen" "$out/sample.scr"
cp "$out/sample.scr" "$out/flashing.scr"
cd "$out"
"$pixtrel" sample
"$pixtrel" -f flashing.scr
ls -l sample.scr sample.gif flashing.gif
