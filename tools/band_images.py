"""The band's four 16-pixel button pictures, side by side in one 64 x 16 bitmap with 256
colours, on light grey (the image list's transparent colour):

  feed symbol in yellow and white (no feed on the page), in red and yellow (a feed found),
  the square product mark in blue with a white letter (no news), in red with a yellow letter.

Run from the repository root; writes band/toolbar.bmp.
"""
import struct

GREY = (192, 192, 192)
WHITE = (255, 255, 255)
YELLOW = (255, 210, 0)
ORANGE = (230, 120, 0)
RED = (210, 30, 30)
BLUE = (30, 90, 190)
DARK = (60, 60, 60)

# A "p" drawn in a 6 x 8 box.
LETTER = ["#####.", "##..##", "##..##", "#####.", "##....", "##....", "##....", "##...."]


def feed(face, mark):
    """A rounded square of `face` with the feed glyph (dot and two arcs) in `mark`."""
    pixels = {}
    for y in range(1, 15):
        for x in range(1, 15):
            corner = (x in (1, 14)) and (y in (1, 14))
            if not corner:
                pixels[(x, y)] = DARK if x in (1, 14) or y in (1, 14) else face
    for y in range(3, 13):
        for x in range(3, 13):
            dx, dy = x - 3.5, 12.5 - y
            r = (dx * dx + dy * dy) ** 0.5
            if r < 2.0 or 4.2 <= r < 5.8 or 7.4 <= r < 9.0:
                pixels[(x, y)] = mark
    return pixels


def mark(face, letter):
    pixels = {(x, y): DARK if x in (0, 15) or y in (0, 15) else face for y in range(16) for x in range(16)}
    for row, line in enumerate(LETTER):
        for col, c in enumerate(line):
            if c == "#":
                pixels[(5 + col, 4 + row)] = letter
    return pixels


def bmp(images):
    palette = sorted({GREY} | {c for image in images for c in image.values()})
    width, height = 16 * len(images), 16
    rows = []
    for y in reversed(range(height)):  # bottom-up
        row = bytearray()
        for x in range(width):
            colour = images[x // 16].get((x % 16, y), GREY)
            row.append(palette.index(colour))
        rows.append(bytes(row))
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + bytes(4 * (256 - len(palette)))
    data = b"".join(rows)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    return header + info + colours + data


def main():
    images = [feed(YELLOW, WHITE), feed(RED, YELLOW), mark(BLUE, WHITE), mark(RED, YELLOW)]
    with open("band/toolbar.bmp", "wb") as f:
        f.write(bmp(images))


if __name__ == "__main__":
    main()
