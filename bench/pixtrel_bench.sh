#!/usr/bin/env bash
# pixtrel_bench.sh BUILD: 200 distinct random screens converted in one pixtrel
# run, still and with -f (random attributes hold FLASH bits, so all animate),
# against Python PIL saving the same frames as GIF files in one process.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)  # tmpfs: time the work, not the disk
trap 'rm -rf "$work"' EXIT
cd "$work"
/usr/bin/python3 -c 'import random; random.seed(4)
for i in range(200): open(f"s{i:03d}.scr", "wb").write(random.randbytes(6912))'
files=$(echo s*.scr)
hyperfine -N --warmup 2 --runs 10 --export-json still.json "$build/pixtrel/pixtrel $files" >/dev/null
hyperfine -N --warmup 2 --runs 10 --export-json anim.json "$build/pixtrel/pixtrel -f $files" >/dev/null

# PIL takes the frames from pixtrel's animated GIFs (not timed). Timed, in 10
# rounds, is per screen Image.frombytes + putpalette + save to a file.
/usr/bin/python3 - <<'PY'
import glob, json, time
from PIL import GifImagePlugin, Image
GifImagePlugin.LOADING_STRATEGY = GifImagePlugin.LoadingStrategy.RGB_AFTER_DIFFERENT_PALETTE_ONLY
screens = []
for name in sorted(glob.glob("s*.gif")):
    gif = Image.open(name)
    palette = gif.getpalette()[:48]
    screens.append([gif.seek(k) or gif.crop((0, 0, 256, 192)).tobytes() for k in (0, 1)])
    assert gif.mode == "P"
def image(frame):
    im = Image.frombytes("P", (256, 192), frame)
    im.putpalette(palette)
    return im
print(f"{len(screens)} random screens, ms per screen, mean of 10 rounds"
      " (pixtrel: the whole process; PIL: frombytes + putpalette + save)")
for kind in ("still", "anim"):
    start = time.perf_counter()
    for _ in range(10):
        for i, (f0, f1) in enumerate(screens):
            more = dict(save_all=True, append_images=[image(f1)], duration=320, loop=0) if kind == "anim" else {}
            image(f0).save(f"p{i:03d}.gif", **more)
    pil = (time.perf_counter() - start) * 100 / len(screens)
    ours = json.load(open(f"{kind}.json"))["results"][0]
    mean, sd = (ours[k] * 1000 / len(screens) for k in ("mean", "stddev"))
    print(f"{kind:5}  pixtrel {mean:.3f} (sd {sd:.3f})  PIL {pil:.3f}  PIL/pixtrel {pil / mean:.2f}")
PY
