#!/usr/bin/env bash
# zelnor_bench.sh BUILD: zelnor against `sum -r` and `cat > /dev/null` on one
# page-cached 256 MiB file of random bytes, all in one hyperfine run.
set -euo pipefail
zelnor="$1/zelnor/zelnor"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file="$work/data.bin"
head -c $((256 << 20)) /dev/urandom > "$file"
cat "$file" > /dev/null  # into the page cache

# `sum -r` rotates and adds where zelnor rotates and XORs: the same work per
# byte, a different sum.

hyperfine --warmup 3 --runs 15 --export-json "$work/times.json" --style basic \
  -n cat "cat '$file' > /dev/null" \
  -n "sum -r" "sum -r '$file' > /dev/null" \
  -n zelnor "'$zelnor' '$file' > /dev/null 2>&1"

/usr/bin/python3 - "$work/times.json" <<'PY'
import json, sys
r = {x["command"]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
z, c, s = r["zelnor"], r["cat"], r["sum -r"]
print(f"median seconds: cat {c:.4f}, sum -r {s:.4f}, zelnor {z:.4f}")
print(f"zelnor is {s / z:.1f}x faster than sum -r (target: at least 10x)")
print(f"zelnor takes {z / c:.2f}x the time of cat (target: at most 1.5x)")
PY
