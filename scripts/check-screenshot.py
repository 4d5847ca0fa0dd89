#!/usr/bin/env python3
"""Checks a screenshot (binary PPM) of a starting game: the canvas is found by its navy
clear colour; the score text must show white pixels at the top left and the ship its
cockpit glass and hull around the canvas centre. Prints what it found; exit 0 when both."""

import sys

NAVY = (10, 18, 40)
CANVAS = (1920, 1080)
SCORE_BOX = (20, 20, 420, 90)  # canvas pixels: "Score: 0" at (20, 20)
SHIP_BOX = (864, 444, 1056, 636)  # the 48 x 48 ship drawn 4x around (960, 540)
SHIP_COLOURS = [(0x46, 0xD2, 0xFF), (0xC3, 0xD2, 0xE4), (0x8C, 0x9B, 0xB4)]
NEAR = 12  # per channel, for a canvas scaled with filtering


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit(f"{path}: not an 8-bit binary PPM")
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def main():
    width, height, pixels = read_ppm(sys.argv[1])

    def at(x, y):
        i = 3 * (y * width + x)
        return tuple(pixels[i:i + 3])

    def near(p, q):
        return all(abs(a - b) <= NEAR for a, b in zip(p, q))

    navy = [(x, y) for y in range(0, height, 4) for x in range(0, width, 4) if at(x, y) == NAVY]
    if not navy:
        print(f"no canvas: no navy pixel in the {width}x{height} screenshot")
        return 1
    left, top = min(x for x, _ in navy), min(y for _, y in navy)
    right, bottom = max(x for x, _ in navy) + 4, max(y for _, y in navy) + 4
    scale = min((right - left) / CANVAS[0], (bottom - top) / CANVAS[1])

    def count(box, wanted):
        x0, y0, x1, y1 = (round(v * scale) for v in box)
        return sum(1 for y in range(top + y0, min(top + y1, height))
                   for x in range(left + x0, min(left + x1, width)) if wanted(at(x, y)))

    white = count(SCORE_BOX, lambda p: min(p) >= 230)
    ship = count(SHIP_BOX, lambda p: any(near(p, c) for c in SHIP_COLOURS))
    ok = white >= 40 and ship >= 40
    print(f"canvas at ({left}, {top}) scale {scale:.2f}; score text: {white} white pixels; "
          f"ship: {ship} hull and glass pixels -> {'drawn' if ok else 'NOT drawn'}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
