#!/usr/bin/env python3
"""Writes the hostile image files of the asset store's tests and the fuzzer's seed corpus.

Each file is a few hundred bytes at most; what each one did to the loader before its checks
is noted beside it. Run from the repository root; the output is committed.
"""
import os
import struct
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


SIGNATURE = b"\x89PNG\r\n\x1a\n"


def ihdr(width, height, depth=8, colour=6):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0))


def png(width, height, rows):
    return SIGNATURE + ihdr(width, height) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


ONE_PIXEL = png(1, 1, b"\x00\xff\x00\x00\xff")

# A file that ends right after a whole ancillary chunk: the decoder looped forever at the end.
ANCILLARY = {
    "text": chunk(b"tEXt", b"Title\x00V"),
    "trns": chunk(b"tRNS", b"\x00\x00"),
    "bkgd": chunk(b"bKGD", b"\x00\x00\x00\x00\x00\x00"),
    "gama": chunk(b"gAMA", struct.pack(">I", 45455)),
    "ztxt": chunk(b"zTXt", b"Title\x00\x00" + zlib.compress(b"V")),
}

def ttf(units_per_em):
    """A TrueType font of two glyphs: nothing, and a box for every printable character."""
    def table(fmt, *values):
        return struct.pack(">" + fmt, *values)
    box = table("hhhhhH", 1, 100, 0, 500, 700, 3) + table("H", 0) + bytes([1] * 4) + table(
        "hhhhhhhh", 100, 0, 400, 0, 0, 700, 0, -700)
    tables = {
        b"head": table("IIIIHHqqhhhhHHhhh", 0x10000, 0x10000, 0, 0x5F0F3CF5, 0x000B, units_per_em, 0, 0,
                       0, 0, 500, 700, 0, 8, 2, 0, 0),
        b"hhea": table("IhhhHhhhhhh4hhH", 0x10000, 800, -200, 0, 600, 0, 0, 500, 1, 0, 0, 0, 0, 0, 0, 0, 2),
        b"maxp": table("IHHHHHHHHHHHHHH", 0x10000, 2, 4, 1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0),
        # Unicode, trimmed table: the 95 printable characters from the space on, all the box.
        b"cmap": table("HHHHI", 0, 1, 0, 3, 12) + table("HHHHH", 6, 10 + 2 * 95, 0, 0x20, 95) + table("95H", *[1] * 95),
        b"glyf": box,
        b"loca": table("HHH", 0, 0, len(box) // 2),
        b"hmtx": table("HhHh", 600, 0, 600, 100),
        b"post": table("IIhhIIIII", 0x30000, 0, -100, 50, 0, 0, 0, 0, 0),
        b"name": table("HHH", 0, 0, 6),
    }

    def checksum(data):
        data += b"\0" * (-len(data) % 4)
        return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF
    count = len(tables)
    out = table("IHHHH", 0x10000, count, 128, 3, count * 16 - 128)
    offset = 12 + 16 * count
    body = b""
    for tag in sorted(tables):
        data = tables[tag]
        out += struct.pack(">4sIII", tag, checksum(data), offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    return out + body


def flipped_and_repaired(data, at):
    """One bit of the image data flipped, its chunk's CRC repaired so only the data is wrong."""
    start = data.index(b"IDAT") - 4
    length = struct.unpack(">I", data[start:start + 4])[0]
    body = bytearray(data[start + 8:start + 8 + length])
    body[at] ^= 0x10
    return data[:start] + chunk(b"IDAT", bytes(body)) + data[start + 12 + length:]


def inflating_to(width, height, total):
    """Image data far beyond the rows the header declares, all zeros: about a thousandth as big."""
    return SIGNATURE + ihdr(width, height) + chunk(b"IDAT", zlib.compress(b"\x00" * total, 9)) + chunk(b"IEND", b"")


HOSTILE = {
    # Asked for 8.6 GB.
    "huge-declared.png": SIGNATURE + ihdr(524288, 4096) + chunk(b"IDAT", zlib.compress(b"\x00" * 64))
    + chunk(b"IEND", b""),
    # A picture beyond the renderer's largest texture and the pixel budget; stalled start-up.
    "side-16384.png": SIGNATURE + ihdr(16384, 16384) + chunk(b"IDAT", zlib.compress(b"\x00" * 512, 9))
    + chunk(b"IEND", b""),
    # Within the largest texture but 2 GB decoded.
    "budget-23000.png": SIGNATURE + ihdr(23000, 23000) + chunk(b"IDAT", zlib.compress(b"\x00" * 512, 9))
    + chunk(b"IEND", b""),
    # Another image format under a .png name was decoded as that format (1 GB).
    "other-format.png": b"P6\n20000 20000\n255\n".ljust(42, b"\x00"),
    "bad-crc.png": ONE_PIXEL[:-5] + b"\x00" + ONE_PIXEL[-4:],
    "no-iend.png": ONE_PIXEL[:-12],
    # Inflated by the decoder past its rows to the end, however far: 1 KB became 1 MB here
    # (1 MB, 1 GB) and stalled start-up.
    "inflates-beyond.png": inflating_to(1, 1, 1 << 20),
    # Image data that stops before its rows do: libpng said so on standard error.
    "image-data-cut-short.png": SIGNATURE + ihdr(4, 4) + chunk(b"IDAT", zlib.compress(b"\x00" * 68, 9)[:-8])
    + chunk(b"IEND", b""),
    # The rest made libpng write its own lines on standard error beside the game's.
    "too-much-image-data.png": png(1, 1, b"\x00\xff\x00\x00\xff" + b"\x00" * 64),
    "bit-flip-repaired-crc.png": flipped_and_repaired(ONE_PIXEL, 2),
    "unknown-critical-chunk.png": SIGNATURE + ihdr(1, 1) + chunk(b"CRIT", b"?") + ONE_PIXEL[33:],
    "palette-without-plte.png": SIGNATURE + ihdr(1, 1, 8, 3) + chunk(b"IDAT", zlib.compress(b"\x00\x00"))
    + chunk(b"IEND", b""),
    "gamma-zero.png": SIGNATURE + ihdr(1, 1) + chunk(b"gAMA", struct.pack(">I", 0)) + ONE_PIXEL[33:],
    "bad-colour-profile.png": SIGNATURE + ihdr(1, 1) + chunk(b"iCCP", b"P\x00\x00" + zlib.compress(b"not a profile"))
    + ONE_PIXEL[33:],
}
for name, extra in ANCILLARY.items():
    HOSTILE["cut-after-" + name + ".png"] = SIGNATURE + ihdr(1, 1) + extra


def main():
    os.makedirs("tests/platform/hostile", exist_ok=True)
    for name, data in HOSTILE.items():
        with open(os.path.join("tests/platform/hostile", name), "wb") as f:
            f.write(data)
    corpus = "tools/fuzz/corpus"
    os.makedirs(corpus, exist_ok=True)
    seeds = {"image-one-pixel": b"I" + ONE_PIXEL, "image-text": b"I" + ONE_PIXEL[:-12] + ANCILLARY["text"]
             + chunk(b"IEND", b""), "image-4x4": b"I" + png(4, 4, (b"\x00" + b"\x10\x20\x30\xff" * 4) * 4),
             "image-bomb": b"I" + HOSTILE["inflates-beyond.png"], "font-box": b"F" + ttf(1024),
             "font-tiny-em": b"F" + ttf(16)}
    for name, data in seeds.items():
        with open(os.path.join(corpus, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
