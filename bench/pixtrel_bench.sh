#!/usr/bin/env bash
# pixtrel_bench.sh BUILD: converts 200 distinct random screens in one pixtrel
# run, still and with -f (all 200 then animate: random attributes have FLASH),
# and compares the time per screen with Python PIL saving the same frames.
set -euo pipefail
build=$(cd "$1" && pwd)
pixtrel=$build/pixtrel/pixtrel
py=/usr/bin/python3   # the Debian python that has PIL
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
screens=200

"$py" - "$work" "$screens" <<'PY'
import random, sys
random.seed(4)
for i in range(int(sys.argv[2])):
    open(f"{sys.argv[1]}/s{i:03d}.scr", "wb").write(random.randbytes(6912))
PY

cd "$work"
files=$(echo s*.scr)
hyperfine -N --warmup 2 --runs 10 --export-json still.json "$pixtrel $files" >/dev/null
hyperfine -N --warmup 2 --runs 10 --export-json anim.json "$pixtrel -f $files" >/dev/null

# PIL: the frames are rendered first (not timed); timed is, per screen,
# Image.frombytes + putpalette + save of the GIF file (best of 5 rounds).
"$py" - "$work" "$screens" <<'PY' >pil.txt
import sys, time
from PIL import Image
work, n = sys.argv[1], int(sys.argv[2])
levels = [0x00,0x00,0x00, 0x00,0x00,0x2F, 0x2F,0x00,0x00, 0x2F,0x00,0x2F, 0x00,0x2F,0x00,
          0x00,0x2F,0x2F, 0x2F,0x2F,0x00, 0x2A,0x2A,0x2A, 0x00,0x00,0x00, 0x00,0x00,0x3F,
          0x3F,0x00,0x00, 0x3F,0x00,0x3F, 0x00,0x3F,0x00, 0x00,0x3F,0x3F, 0x3F,0x3F,0x00,
          0x3F,0x3F,0x3F]
palette = [v * 255 // 63 for v in levels]
def render(s, phase):
    out = bytearray(256 * 192)
    for y in range(192):
        line = (y // 64) * 2048 + (y % 8) * 256 + ((y // 8) % 8) * 32
        for c in range(32):
            a = s[6144 + (y // 8) * 32 + c]
            ink, paper = (a & 7) + (8 if a & 0x40 else 0), (a & 0x78) >> 3
            if phase and a & 0x80: ink, paper = paper, ink
            b = s[line + c]
            for k in range(8):
                out[y * 256 + c * 8 + k] = ink if b & (0x80 >> k) else paper
    return bytes(out)
frames = []
for i in range(n):
    s = open(f"{work}/s{i:03d}.scr", "rb").read()
    frames.append((render(s, 0), render(s, 1)))
def image(frame):
    im = Image.frombytes("P", (256, 192), frame)
    im.putpalette(palette)
    return im
def still():
    for i, (f0, _) in enumerate(frames):
        image(f0).save(f"{work}/p{i:03d}.gif")
def animated():
    for i, (f0, f1) in enumerate(frames):
        image(f0).save(f"{work}/p{i:03d}.gif", save_all=True, append_images=[image(f1)],
                       duration=320, loop=0)
for name, job in (("still", still), ("anim", animated)):
    best = min((lambda t: (job(), time.perf_counter() - t)[1])(time.perf_counter()) for _ in range(5))
    print(name, best)
PY

"$py" - "$screens" <<'PY'
import json, sys
n = int(sys.argv[1])
pil = dict(line.split() for line in open("pil.txt"))
print(f"{n} random screens, one run each; ms per screen (pixtrel: hyperfine mean of 10 runs")
print("of the whole process; PIL: best of 5 rounds of frombytes+putpalette+save, frames pre-rendered)")
for name, label in (("still", "still      "), ("anim", "animated -f")):
    run = json.load(open(f"{name}.json"))["results"][0]
    ours, theirs = run["mean"] * 1000 / n, float(pil[name]) * 1000 / n
    print(f"{label}  pixtrel {ours:6.3f} ms (sd {run['stddev'] * 1000 / n:.3f})"
          f"   PIL {theirs:6.3f} ms   pixtrel is {theirs / ours:4.1f}x faster")
PY

if [[ -x $build/bench/pixtrel_compressor_bench ]]; then
  "$build/bench/pixtrel_compressor_bench" --benchmark_min_time=0.2
fi
