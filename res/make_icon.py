#!/usr/bin/env python3
"""Draws kivupdate.ico: an orange square shading from light to dark, a row of white
squares along its top and a white "k". Run once after changing the picture; the .ico
is committed so that the build needs no tool beyond the resource compiler."""

import math
import struct
import sys

SIZES = (16, 24, 32, 48, 60)
LIGHT = (255, 178, 84)
DARK = (196, 82, 0)
WHITE = (255, 255, 255)
SAMPLES = 4  # per axis, for smooth edges


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def is_white(x, y):
    """Whether the point (x, y) of the unit square belongs to the white drawing."""
    if 0.10 <= y <= 0.22 and any(left <= x <= left + 0.12 for left in (0.12, 0.32, 0.52, 0.72)):
        return True
    if 0.22 <= x <= 0.38 and 0.30 <= y <= 0.90:
        return True
    half = 0.075
    return (segment_distance(x, y, 0.36, 0.74, 0.72, 0.52) <= half or
            segment_distance(x, y, 0.50, 0.68, 0.74, 0.90) <= half)


def pixel(size, column, row):
    shade = (row + 0.5) / size
    base = tuple(round(l + (d - l) * shade) for l, d in zip(LIGHT, DARK))
    hits = sum(is_white((column + (i + 0.5) / SAMPLES) / size, (row + (j + 0.5) / SAMPLES) / size)
               for i in range(SAMPLES) for j in range(SAMPLES))
    cover = hits / (SAMPLES * SAMPLES)
    return tuple(round(b + (w - b) * cover) for b, w in zip(base, WHITE))


def image(size):
    stride = (size * 3 + 3) // 4 * 4
    mask_stride = (size + 31) // 32 * 4
    pixels = bytearray()
    for row in reversed(range(size)):  # bottom-up
        line = bytearray()
        for column in range(size):
            r, g, b = pixel(size, column, row)
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    mask = bytes(mask_stride * size)  # every pixel opaque
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    return header + pixels + mask


def icon():
    images = [image(size) for size in SIZES]
    data = struct.pack('<HHH', 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for size, body in zip(SIZES, images):
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 24, len(body), offset)
        offset += len(body)
    return data + b''.join(images)


if __name__ == '__main__':
    with open(sys.argv[1] if len(sys.argv) > 1 else 'kivupdate.ico', 'wb') as out:
        out.write(icon())
