#!/usr/bin/env python3
"""Writes the toolkit tests' pictures (run from this folder; needs only Python).

strip.png       64 x 6464 film strip: image k (k = 0..100) is filled with (k, 255 - k, 2k mod 256)
                and has a white pixel at its own top-left corner.
alpha.png       64 x 64: left half opaque red, right half blue with alpha 128.
rgb.png         8 x 8 opaque RGB without alpha channel: green, with a black pixel at (0, 0).
background.png  856 x 392 opaque: red = x mod 256, green = y mod 256, blue = 128.
"""
import struct
import zlib


def write_png(path, width, height, rows, alpha=True):
    colour_type = 6 if alpha else 2
    raw = b"".join(b"\x00" + bytes(row) for row in rows)

    def chunk(tag, data):
        c = struct.pack(">I", len(data)) + tag + data
        return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def strip():
    rows = []
    for k in range(101):
        colour = [k, 255 - k, (2 * k) % 256, 255]
        for y in range(64):
            row = colour * 64
            if y == 0:
                row = [255, 255, 255, 255] + colour * 63
            rows.append(row)
    write_png("strip.png", 64, 6464, rows)


def alpha():
    rows = [[255, 0, 0, 255] * 32 + [0, 0, 255, 128] * 32 for _ in range(64)]
    write_png("alpha.png", 64, 64, rows)


def rgb():
    rows = [[0, 255, 0] * 8 for _ in range(8)]
    rows[0] = [0, 0, 0] + [0, 255, 0] * 7
    write_png("rgb.png", 8, 8, rows, alpha=False)


def background():
    rows = [sum(([x % 256, y % 256, 128, 255] for x in range(856)), []) for y in range(392)]
    write_png("background.png", 856, 392, rows)


strip()
alpha()
rgb()
background()
