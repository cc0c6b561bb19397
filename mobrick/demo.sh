#!/usr/bin/env bash
# demo.sh MOBRICK OUTDIR: formats a DATA image, then copies a generated dump of
# our own into a PCW image and back, all through piped dialogues.
set -euo pipefail
mobrick=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
cd "$out"

echo "$ printf '2\\ndata\\n5\\no\\n6\\n' | mobrick"
printf '2\ndata\n5\no\n6\n' | "$mobrick" | tr '\r' '\n' | grep -a -e 'set to' -e 'formatting' | sed 's/^Your choice: //'
echo "$ ls -l data.dsk; od -A d -t x1 -j 512 -N 32 data.dsk"
ls -l data.dsk | awk '{print $5, $9}'
od -A d -t x1 -j 512 -N 32 data.dsk

python3 "$here/make_dump.py" disk.raw
echo
echo "$ printf '1\\ndisk.raw\\n2\\ndisk\\n3\\no\\n1\\ncopy.raw\\n4\\n6\\n' | mobrick"
printf '1\ndisk.raw\n2\ndisk\n3\no\n1\ncopy.raw\n4\n6\n' | "$mobrick" | tr '\r' '\n' |
  grep -a -e '^Your choice: Copy' -e '^reading' -e '^writing' -e 'track 79  head 1' | sed 's/^Your choice: //'
echo "$ ls -l disk.raw disk.dsk copy.raw; cmp disk.raw copy.raw"
ls -l disk.raw disk.dsk copy.raw | awk '{print $5, $9}'
cmp disk.raw copy.raw && echo "copy.raw is byte for byte disk.raw"
echo "$ dd if=disk.dsk bs=1 skip=\$((256 + 4864 * 3 + 256)) count=25  # track 1 side 1 sector 1"
dd if=disk.dsk bs=1 skip=$((256 + 4864 * 3 + 256)) count=25 status=none
