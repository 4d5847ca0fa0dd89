#!/usr/bin/env python3
"""Draw the Voidrocks application icon from the game's own sprite grids.

The thrusting ship fires a bullet at a small voidrock, on the game's navy,
in a 48 x 48 picture; the icon files are that picture at 1x, 2x and 4x with
nearest-pixel scaling.  Output is byte-identical on every run.

Usage:
  python3 packaging/make_icon.py          # write packaging/icons/voidrocks-<N>.png
  python3 packaging/make_icon.py --check  # fail if the icons are stale
"""

import argparse
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tools" / "sprites"))
import make_sprites as sprites  # noqa: E402

SIZE = 48
SCALES = (1, 2, 4)
# Where each sprite's top-left corner goes on the icon, in icon pixels.
PLACEMENT = [
    ("small-a", 14, -16),
    ("bullet-b1", 8, 0),
    ("ship-a2", -8, 3),
]


def compose():
    pal = sprites.load_palette(sprites.PALETTE)
    icon = [[sprites.BACKGROUND] * SIZE for _ in range(SIZE)]
    for name, ox, oy in PLACEMENT:
        rows = sprites.load_grid(sprites.HERE / f"{name}.txt", pal)
        for y, row in enumerate(rows):
            for x, px in enumerate(row):
                if px[3] and 0 <= oy + y < SIZE and 0 <= ox + x < SIZE:
                    icon[oy + y][ox + x] = sprites.blend(icon[oy + y][ox + x], px)
    return icon


def scaled(rows, scale):
    return [[px for px in row for _ in range(scale)] for row in rows for _ in range(scale)]


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--check", action="store_true", help="only verify the icons are up to date")
    args = ap.parse_args()
    icon = compose()
    stale = []
    for scale in SCALES:
        out = HERE / "icons" / f"voidrocks-{SIZE * scale}.png"
        data = sprites.png_bytes(scaled(icon, scale))
        if args.check:
            if not out.exists() or out.read_bytes() != data:
                stale.append(out.name)
        elif not out.exists() or out.read_bytes() != data:
            out.parent.mkdir(exist_ok=True)
            out.write_bytes(data)
    if stale:
        sys.exit("out of date: " + ", ".join(stale) + " (run make_icon.py)")


if __name__ == "__main__":
    main()
