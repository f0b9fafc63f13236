#!/usr/bin/env python3
"""Writes the small pictures the graphics tests embed. Run from this folder."""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def rgba_png(width, height, pixels):
    raw = b"".join(b"\x00" + bytes(sum((list(p) for p in pixels[y * width:(y + 1) * width]), []))
                   for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) +
            chunk(b"IEND", b""))


# 3 x 2, (red, green, blue, alpha) per pixel.
PIXELS = [(255, 0, 0, 255), (0, 255, 0, 128), (0, 0, 255, 0),
          (10, 20, 30, 255), (200, 150, 100, 50), (255, 255, 255, 255)]

png = rgba_png(3, 2, PIXELS)
open("rgba_3x2.png", "wb").write(png)
open("truncated.png", "wb").write(png[:45])
open("seven_bytes.png", "wb").write(png[:7])
open("not_png.png", "wb").write(b"this is not a picture at all")
