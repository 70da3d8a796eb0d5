#!/usr/bin/python3
"""Measures how much of a rendered fireplace is flame, firelight, smoke and sparkles.

    tools/fire-metrics.py ARCHIVE.rfa [--size 1024x768] [--setting NAME=VALUE ...]
                          [--tool build/tools/pyrelume-tool/pyrelume-tool] [--keep DIR]

Renders 8 frames 0.12 s apart with pyrelume-tool (each frame is its own
deterministic run), once as given, once with Smoke=0 and once with Sparkles=0,
and prints shares of the whole frame:
  bright     pixels with red > 200 and green > 120 (mean over the frames)
  flicker    pixels outside the flame whose luminance varies (std >= 2 levels)
  smoke      pixels outside the flame that switching smoke off changes by >= 10
  sparkles   pixels outside the flame that switching sparkles off changes by >= 40
The flame is every pixel that is bright in any frame without sparkles, grown by
2 pixels.
Needs python3-numpy and python3-pil.
"""
import argparse, os, subprocess, sys, tempfile
import numpy as np
from PIL import Image

FRAMES, FIRST, DT = 8, 40, 0.12


def render(tool, archive, size, settings, frames, out):
    cmd = [tool, "render", archive, "--size", size, "--frames", str(frames), "--dt", str(DT), "--out", out]
    for s in settings:
        cmd += ["--setting", s]
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    return np.asarray(Image.open(out).convert("RGB")).astype(np.int16)


def series(tool, archive, size, settings, tmp, tag):
    return [render(tool, archive, size, settings, FIRST + i, os.path.join(tmp, "%s%d.png" % (tag, i))) for i in range(FRAMES)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("archive")
    ap.add_argument("--size", default="1024x768")
    ap.add_argument("--setting", action="append", default=[])
    ap.add_argument("--tool", default="build/tools/pyrelume-tool/pyrelume-tool")
    ap.add_argument("--keep")
    a = ap.parse_args()
    tmp = a.keep or tempfile.mkdtemp()
    os.makedirs(tmp, exist_ok=True)
    base = series(a.tool, a.archive, a.size, a.setting, tmp, "f")
    nosmoke = series(a.tool, a.archive, a.size, a.setting + ["Smoke=0"], tmp, "s")
    nospark = series(a.tool, a.archive, a.size, a.setting + ["Sparkles=0"], tmp, "k")
    st = np.stack(base)
    bright = (st[..., 0] > 200) & (st[..., 1] > 120)
    # the flame is taken from the frames without sparks, which are bright too
    ks = np.stack(nospark)
    flame = ((ks[..., 0] > 200) & (ks[..., 1] > 120)).any(axis=0)
    grown = flame.copy()
    for dy in range(-2, 3):
        for dx in range(-2, 3):
            grown |= np.roll(np.roll(flame, dy, 0), dx, 1)
    outside = ~grown
    lum = 0.299 * st[..., 0] + 0.587 * st[..., 1] + 0.114 * st[..., 2]
    flicker = (lum.std(axis=0) >= 2) & outside
    def changed(other, level):
        return np.mean([((np.abs(b - o).max(axis=2) >= level) & outside).mean() for b, o in zip(base, other)])
    n = outside.size
    print("bright=%.2f%% flicker=%.1f%% smoke=%.2f%% sparkles=%.3f%% flame_area=%.1f%%" % (
        100 * bright.mean(), 100 * flicker.sum() / n, 100 * changed(nosmoke, 10), 100 * changed(nospark, 40),
        100 * grown.mean()))
    if a.keep:
        Image.fromarray((flicker * 255).astype(np.uint8)).save(os.path.join(tmp, "flicker-mask.png"))


if __name__ == "__main__":
    sys.exit(main())
