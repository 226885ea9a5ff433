"""The pictures of the notices, drawn with the shapes of make_icons.py:

  app/popup.bmp                        the tile behind the pop-up and the ticker (shipped beside
                                       the program; the windows show the plain tooltip colour
                                       without it)
  app/icons/ticker_close.bmp           the ticker's close button, 13 x 13
  app/icons/ticker_close_pressed.bmp   the same button held down

The tile is pale so that text in any colour the user picks stays readable on it: a cream ground
with soft diagonal bands and, once per tile, the feed glyph's rings in a faint tint.
"""

import os

from make_icons import ORANGE, WHITE, bmp, mix, quarter_ring, rect, render, stroke, union

CREAM = (0xFF, 0xFD, 0xEC)
BAND = (0xFA, 0xF4, 0xDA)
TILE = 48
FRAME = (0x7A, 0x7A, 0x7A)
FACE = (0xEE, 0xEE, 0xEE)
FACE_PRESSED = (0xC8, 0xC8, 0xC8)
CROSS = (0x40, 0x40, 0x40)


def tile():
    rows = []
    for y in range(TILE):
        row = []
        for x in range(TILE):
            # Bands a third of the tile wide, softened at their edges.
            phase = ((x + y) % (TILE // 2)) / (TILE // 2)
            share = max(0.0, 1 - abs(phase - 0.5) * 4)
            row.append(mix(CREAM, BAND, share))
        rows.append(row)
    # The rings in the lower right of the tile, drawn at 16 pixels and blended very lightly.
    rings = render(16, [(quarter_ring(4, 12, 4, 6), ORANGE, 1.0), (quarter_ring(4, 12, 8, 10), ORANGE, 1.0)])
    for y, line in enumerate(rings):
        for x, (r, g, b, a) in enumerate(line):
            px, py = TILE - 20 + x, TILE - 20 + y
            rows[py][px] = mix(rows[py][px], (r, g, b), 0.12 * a / 255)
    return rows


def close_button(pressed):
    """13 pixels drawn on a 16-pixel grid and cropped: a framed square with a cross, darker and
    one pixel lower when pressed."""
    shift = 1 if pressed else 0
    cross = union(stroke(4 + shift, 4 + shift, 9 + shift, 9 + shift, 0.8),
                  stroke(9 + shift, 4 + shift, 4 + shift, 9 + shift, 0.8))
    layers = [
        (rect(0, 0, 13, 13), FRAME, 1.0),
        (rect(1, 1, 12, 12), FACE_PRESSED if pressed else FACE, 1.0),
        (cross, WHITE if pressed else CROSS, 1.0),
    ]
    return [[(r, g, b) for r, g, b, _ in row[:13]] for row in render(16, layers)[:13]]


def write(app):
    with open(os.path.join(app, "popup.bmp"), "wb") as f:
        f.write(bmp(tile()))
    for name, pressed in (("ticker_close.bmp", False), ("ticker_close_pressed.bmp", True)):
        with open(os.path.join(app, "icons", name), "wb") as f:
            f.write(bmp(close_button(pressed)))
