#!/usr/bin/env python3
"""Writes the pictures the editor tests embed. Run from this folder."""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def rgba_png(width, height, pixel):
    raw = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def write(name, width, height, pixel):
    open(name, "wb").write(rgba_png(width, height, pixel))


# Opaque background whose every pixel tells its place.
write("editor_background.png", 80, 60, lambda x, y: (x * 3, y * 4, 100, 255))
# Two 10 x 10 switch frames: red, then green.
write("editor_switch.png", 10, 20, lambda x, y: (255, 0, 0, 255) if y < 10 else (0, 255, 0, 255))
# Five 12 x 12 knob frames, blue 50 * frame, with a transparent top-left pixel.
write("editor_knob.png", 12, 60,
      lambda x, y: (0, 0, 0, 0) if x == 0 and y % 12 == 0 else (0, 0, 50 * (y // 12 + 1), 255))
# A 5-frame strip 100 pixels high whose row y has red = y.
write("frames_4x100.png", 4, 100, lambda x, y: (y, 0, 0, 255))
