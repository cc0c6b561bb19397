#!/usr/bin/env bash
# mobrick_bench.sh BUILD: a 720K raw dump to a DSK image and back, by mobrick
# through a piped dialogue and by dsktrans (raw -> dsk -> raw, pcw720), all in
# one hyperfine run on page-cached files.
set -euo pipefail
mobrick="$(cd "$1" && pwd)/mobrick/mobrick"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c 737280 /dev/urandom > disk.raw

to_image_and_back="printf '1\\ndisk.raw\\n2\\nm.dsk\\n3\\no\\n1\\nm.raw\\n4\\n6\\n' | '$mobrick' > /dev/null"
dsktrans_both="dsktrans -itype raw -otype dsk -format pcw720 disk.raw d.dsk > /dev/null 2>&1 &&
  dsktrans -itype dsk -otype raw -format pcw720 d.dsk d.raw > /dev/null 2>&1"

hyperfine --warmup 3 --runs 30 --style basic \
  --prepare 'rm -f m.dsk m.raw d.dsk d.raw' \
  -n mobrick "$to_image_and_back" -n dsktrans "$dsktrans_both"

# Both round trips give the dump back. mobrick should take at most the time
# of dsktrans (hyperfine's summary above gives the ratio).
rm -f m.dsk
bash -c "$to_image_and_back" && bash -c "$dsktrans_both"
cmp disk.raw m.raw
cmp disk.raw d.raw

echo "both round trips gave the dump back"
