#!/usr/bin/env python3
"""Build the Voidrocks sprites from the text grids in this directory.

Each ``<name>.txt`` grid becomes ``Assets/<name>.png`` (8-bit RGBA, no
interlace).  Colours come from ``palette.txt``; '.' is fully transparent.
Only the Python 3 standard library is used and the output is byte-identical
on every run (fixed zlib level, no timestamps or other varying chunks).

Usage:
  python3 tools/sprites/make_sprites.py                  # write Assets/*.png
  python3 tools/sprites/make_sprites.py --check          # fail if PNGs are stale
  python3 tools/sprites/make_sprites.py --info           # print sizes/bounding boxes
  python3 tools/sprites/make_sprites.py --preview P.png  # 4x contact sheet on navy
"""

import argparse
import struct
import sys
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
ASSETS = ROOT / "Assets"
PALETTE = HERE / "palette.txt"
BACKGROUND = (10, 18, 40, 255)  # the game's navy clear colour
TRANSPARENT = (0, 0, 0, 0)
PREVIEW_ORDER = ["ship-a1", "ship-a2", "ship-a3", "ship-a4", "ship-a5", "ship-a6",
                 "big-a", "med-a", "small-a", "bullet-b1", "explosions-a5"]


def load_palette(path):
    """Lines: '<char> RRGGBB[AA] [description]'; lines starting with '#' are comments."""
    pal = {".": TRANSPARENT}
    for num, raw in enumerate(path.read_text().splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        parts = line.split()[:2]
        if len(parts) != 2 or len(parts[0]) != 1 or len(parts[1]) not in (6, 8):
            sys.exit(f"{path.name}:{num}: expected '<char> RRGGBB[AA]'")
        ch, hexcol = parts
        if ch in pal or ch == "#":
            sys.exit(f"{path.name}:{num}: colour '{ch}' defined twice")
        rgba = tuple(int(hexcol[i:i + 2], 16) for i in range(0, len(hexcol), 2))
        pal[ch] = rgba if len(rgba) == 4 else rgba + (255,)
    return pal


def load_grid(path, pal):
    """Header: '# ...' comments and one 'size W H' line; then H rows of W chars."""
    width = height = None
    rows = []
    for num, raw in enumerate(path.read_text().splitlines(), 1):
        line = raw.rstrip()
        if not rows and (not line or line.startswith("#")):
            continue
        if width is None:
            parts = line.split()
            if len(parts) != 3 or parts[0] != "size":
                sys.exit(f"{path.name}:{num}: expected 'size W H' before the rows")
            width, height = int(parts[1]), int(parts[2])
            continue
        if not line:
            continue
        if len(line) != width:
            sys.exit(f"{path.name}:{num}: row is {len(line)} chars, expected {width}")
        for col, ch in enumerate(line):
            if ch not in pal:
                sys.exit(f"{path.name}:{num}:{col + 1}: '{ch}' is not in palette.txt")
        rows.append([pal[ch] for ch in line])
    if width is None or len(rows) != height:
        sys.exit(f"{path.name}: expected {height} rows, found {len(rows)}")
    return rows


def png_bytes(rows):
    height, width = len(rows), len(rows[0])

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        for px in row:
            raw.extend(px)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def bbox(rows):
    xs = [x for row in rows for x, px in enumerate(row) if px[3]]
    ys = [y for y, row in enumerate(rows) if any(px[3] for px in row)]
    if not xs:
        return None
    return min(xs), min(ys), max(xs), max(ys)


def blend(dst, src):
    a = src[3] / 255.0
    return tuple(round(src[i] * a + dst[i] * (1 - a)) for i in range(3)) + (255,)


def preview(sprites, scale=4, pad=16, per_row=6):
    cell = 48 * scale
    cols = min(per_row, len(sprites))
    nrows = (len(sprites) + cols - 1) // cols
    width = pad + cols * (cell + pad)
    height = pad + nrows * (cell + pad)
    img = [[BACKGROUND] * width for _ in range(height)]
    for i, (_, rows) in enumerate(sprites):
        ox = pad + (i % cols) * (cell + pad)
        oy = pad + (i // cols) * (cell + pad)
        h, w = len(rows), len(rows[0])
        # centre smaller canvases inside the cell, as the game centres them
        ox += (cell - w * scale) // 2
        oy += (cell - h * scale) // 2
        for y in range(h * scale):
            for x in range(w * scale):
                px = rows[y // scale][x // scale]
                if px[3]:
                    img[oy + y][ox + x] = blend(img[oy + y][ox + x], px)
    return img


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--check", action="store_true", help="only verify Assets/*.png are up to date")
    ap.add_argument("--info", action="store_true", help="print canvas size and opaque bounding box")
    ap.add_argument("--preview", metavar="PNG", help="also write a 4x preview sheet on the navy background")
    args = ap.parse_args()

    pal = load_palette(PALETTE)
    sprites = [(p.stem, load_grid(p, pal)) for p in sorted(HERE.glob("*.txt")) if p.name != "palette.txt"]
    stale = []
    for name, rows in sprites:
        data = png_bytes(rows)
        out = ASSETS / f"{name}.png"
        if args.check:
            if not out.exists() or out.read_bytes() != data:
                stale.append(out.name)
        else:
            out.parent.mkdir(parents=True, exist_ok=True)
            if not out.exists() or out.read_bytes() != data:
                out.write_bytes(data)
        if args.info:
            x0, y0, x1, y1 = bbox(rows)
            print(f"{name:16s} canvas {len(rows[0])}x{len(rows)}  bbox x{x0}..{x1} y{y0}..{y1}"
                  f"  = {x1 - x0 + 1}x{y1 - y0 + 1}  centre ({(x0 + x1 + 1) / 2:g}, {(y0 + y1 + 1) / 2:g})")
    if args.preview:
        order = {name: i for i, name in enumerate(PREVIEW_ORDER)}
        sheet = sorted(sprites, key=lambda s: (order.get(s[0], len(order)), s[0]))
        Path(args.preview).write_bytes(png_bytes(preview(sheet)))
    if stale:
        sys.exit("out of date: " + ", ".join(stale) + " (run make_sprites.py)")


if __name__ == "__main__":
    main()
