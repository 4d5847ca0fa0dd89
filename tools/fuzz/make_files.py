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
}
for name, extra in ANCILLARY.items():
    HOSTILE["cut-after-" + name + ".png"] = SIGNATURE + ihdr(1, 1) + extra


def main():
    os.makedirs("tests/app/hostile", exist_ok=True)
    for name, data in HOSTILE.items():
        with open(os.path.join("tests/app/hostile", name), "wb") as f:
            f.write(data)
    corpus = "tools/fuzz/corpus"
    os.makedirs(corpus, exist_ok=True)
    seeds = {"image-one-pixel": b"I" + ONE_PIXEL, "image-text": b"I" + ONE_PIXEL[:-12] + ANCILLARY["text"]
             + chunk(b"IEND", b""), "image-4x4": b"I" + png(4, 4, (b"\x00" + b"\x10\x20\x30\xff" * 4) * 4)}
    for name, data in seeds.items():
        with open(os.path.join(corpus, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
