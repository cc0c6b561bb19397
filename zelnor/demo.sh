#!/usr/bin/env bash
# demo.sh ZELNOR OUTDIR: the checksums of the bundled samples, in decimal and hex.
set -euo pipefail
zelnor=$1
cd "$(dirname "$0")/samples"
echo "$ zelnor abc.txt empty.bin noise.rom readme.txt"
"$zelnor" abc.txt empty.bin noise.rom readme.txt 2>&1
echo "$ zelnor -x noise.rom readme.txt"
"$zelnor" -x noise.rom readme.txt 2>/dev/null
