#!/usr/bin/env python3
"""Draws app/favicon.ico: a feed glyph (a dot and two arcs) in white on an orange rounded
square, at 16x16 and 32x32, 32 bits with alpha. Standard library only; run it again after
changing the drawing and commit the result."""

import os
import struct
import sys

ORANGE = (0xE6, 0x61, 0x00)
WHITE = (0xFF, 0xFF, 0xFF)
SIZES = (16, 32)
SAMPLES = 4  # per axis: edges are anti-aliased by supersampling

CORNER = 0.2          # radius of the square's corners
CENTER = (0.24, 0.76)  # of the dot and the arcs, y downwards
DOT = 0.1
ARCS = ((0.30, 0.43), (0.53, 0.66))  # inner and outer radius of each ring


def inside_square(x, y):
    cx = min(max(x, CORNER), 1 - CORNER)
    cy = min(max(y, CORNER), 1 - CORNER)
    return (x - cx) ** 2 + (y - cy) ** 2 <= CORNER ** 2


def inside_glyph(x, y):
    dx, dy = x - CENTER[0], y - CENTER[1]
    distance = (dx * dx + dy * dy) ** 0.5
    if distance <= DOT:
        return True
    # The rings only in the quarter up and to the right of the centre.
    if dx < 0 or dy > 0:
        return False
    return any(inner <= distance <= outer for inner, outer in ARCS)


def pixel(size, px, py):
    """BGRA of one pixel, from the share of its samples inside the square and the glyph."""
    square = glyph = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) / size
            y = (py + (sy + 0.5) / SAMPLES) / size
            if inside_square(x, y):
                square += 1
                if inside_glyph(x, y):
                    glyph += 1
    if square == 0:
        return bytes((0, 0, 0, 0))
    share = glyph / square
    r, g, b = (round(o + (w - o) * share) for o, w in zip(ORANGE, WHITE))
    alpha = round(255 * square / SAMPLES ** 2)
    return bytes((b, g, r, alpha))


def image(size):
    """One icon image: a bitmap header of double height, bottom-up colours, then the mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = [b"".join(pixel(size, x, y) for x in range(size)) for y in range(size)]
    colours = b"".join(reversed(rows))
    mask_row = ((size + 31) // 32) * 4
    # Alpha carries the shape; the mask marks fully transparent pixels for old readers.
    mask = b""
    for y in reversed(range(size)):
        bits = 0
        row = rows[y]
        for x in range(size):
            if row[x * 4 + 3] == 0:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")
    return header + colours + mask


def icon():
    images = [image(size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "app", "favicon.ico")
    with open(target, "wb") as f:
        f.write(icon())


if __name__ == "__main__":
    main()
