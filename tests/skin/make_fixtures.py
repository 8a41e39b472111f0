#!/usr/bin/python3
"""Writes the test-only images of tests/skin (committed; run again only to change them).

strip4.png   40 x 160 RGBA, four opaque frames of distinct colours: red, green, blue, grey.
strip75.png  40 x 75 RGBA, a strip whose height is not a multiple of four.
strip_edge.png  40 x 160 RGBA, each frame opaque red on its left half, fully transparent on the right.
notpng.bin   bytes that are no image, stored as a "PNG" resource.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
FRAMES = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (128, 128, 128)]


def png(w, h, pixel):
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(w)) for y in range(h))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


write("strip4.png", png(40, 160, lambda x, y: FRAMES[y // 40] + (255,)))
write("strip75.png", png(40, 75, lambda x, y: FRAMES[min(3, y // 18)] + (255,)))
write("strip_edge.png", png(40, 160, lambda x, y: (255, 0, 0, 255) if x < 20 else (0, 0, 0, 0)))
write("notpng.bin", b"this is not an image, only bytes in a PNG resource\n")
