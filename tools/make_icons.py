#!/usr/bin/env python3
"""Draws the program's pictures and writes them where the build takes them:

  app/favicon.ico            the reading pages' icon (shipped beside the program)
  app/icons/main.ico         the program and window icon
  app/icons/tray_*.ico       the tray icons: idle, news, and two frames of checking
  app/icons/toolbar_N.bmp    the main window's toolbar buttons (new, delete, options), N pixels
  app/icons/tree_N.bmp       the site tree's state pictures, N pixels (drawn in tree_images.py)
  app/popup.bmp, app/icons/ticker_close*.bmp   the notices' pictures (drawn in notice_images.py)
  extension/icons/pelun*.png  the browser extension's button and store pictures

Standard library only. Run it again after changing a drawing and commit the results, so that
the build needs no Python. With --preview FILE it also writes the pictures enlarged onto dark and
light backgrounds into a PNG sheet, to look at before committing.

Shapes are tests on a point, in pixels of a 16-pixel picture (y downwards); larger sizes scale
them, so strokes and ends that sit on whole pixels at 16 stay on whole pixels at 32 and 48.
The toolbar and the tree come at every size of ARTWORK_SIZES, the program's pick for the screen's
DPI (util/dpi_scale.h), each a strip of its pictures side by side.
"""

import argparse
import math
import os
import struct
import zlib

SAMPLES = 8  # per axis: curves are anti-aliased by supersampling
ARTWORK_SIZES = (16, 20, 24, 32)  # as kArtworkSizes of the program

ORANGE = (0xE6, 0x61, 0x00)
SLATE = (0x5E, 0x72, 0x86)
GREEN = (0x1F, 0x96, 0x55)
WHITE = (0xFF, 0xFF, 0xFF)
RED = (0xE0, 0x1B, 0x24)

# The feed glyph: a dot and two quarter rings around one centre on a pixel corner, with whole
# radii, so that the rings' straight ends fall on pixel edges.
CORNER = 3
CENTER = (4, 12)
DOT = 2
INNER = (4, 6)
OUTER = (8, 10)


# Shapes -------------------------------------------------------------------------------------

def rounded_square(x0, y0, x1, y1, r):
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def quarter_ring(cx, cy, r0, r1):
    """The part of a ring up and to the right of its centre."""
    def inside(x, y):
        dx, dy = x - cx, y - cy
        return dx >= 0 and dy <= 0 and r0 * r0 <= dx * dx + dy * dy <= r1 * r1
    return inside


def polygon(points):
    def inside(x, y):
        crossings = False
        for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                crossings = not crossings
        return crossings
    return inside


def stroke(xa, ya, xb, yb, half):
    """A straight stroke with square ends, half its width to either side of the line."""
    length = math.hypot(xb - xa, yb - ya)
    ux, uy = (xb - xa) / length, (yb - ya) / length

    def inside(x, y):
        along = (x - xa) * ux + (y - ya) * uy
        across = -(x - xa) * uy + (y - ya) * ux
        return -half <= along <= length + half and abs(across) <= half
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def gear(cx, cy, body, tip, hole, teeth, tooth_width):
    """A toothed wheel: a disc of radius body with teeth out to tip, and a hole."""
    def inside(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if d <= hole or d > tip:
            return False
        if d <= body:
            return True
        # Distance from the nearest tooth's centre line, across it.
        step = 2 * math.pi / teeth
        offset = math.atan2(dy, dx) % step
        offset = min(offset, step - offset)
        return d * math.sin(offset) <= tooth_width / 2
    return inside


# Rendering ----------------------------------------------------------------------------------

def render(size, layers):
    """RGBA rows of a picture: layers of (shape, colour, opacity), lowest first, composed per
    sample and averaged per pixel."""
    scale = 16 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                y = (py + (sy + 0.5) / SAMPLES) * scale
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    r = g = b = a = 0.0
                    for shape, colour, opacity in layers:
                        if shape(x, y):
                            keep = 1 - opacity
                            r = colour[0] * opacity + r * keep
                            g = colour[1] * opacity + g * keep
                            b = colour[2] * opacity + b * keep
                            a = opacity + a * keep
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            alpha = acc[3] / SAMPLES ** 2
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / acc[3]) for c in acc[:3]) + (round(255 * alpha),))
        rows.append(row)
    return rows


def mix(colour, other, share):
    return tuple(round(a + (b - a) * share) for a, b in zip(colour, other))


# Pictures -----------------------------------------------------------------------------------

def feed_glyph(square, glyph, inner=1.0, outer=1.0):
    """Layers of the glyph on a full-size rounded square; inner and outer are the rings'
    opacities, to dim one of them."""
    layers = [
        (rounded_square(0, 0, 16, 16, CORNER), square, 1.0),
        (disc(*CENTER, DOT), glyph, 1.0),
        (quarter_ring(*CENTER, *INNER), glyph, inner),
        (quarter_ring(*CENTER, *OUTER), glyph, outer),
    ]
    return [layer for layer in layers if layer[2] > 0]


def main_icon():
    return feed_glyph(ORANGE, WHITE)


def idle_icon():
    return feed_glyph(SLATE, (0xE4, 0xEA, 0xF0))


def news_icon():
    # A red dot over the rings' lower ends, where it hides least of the glyph; the white ring
    # keeps it apart from the orange, whose brightness is close to the red's.
    return feed_glyph(ORANGE, WHITE) + [
        (disc(12, 12, 4.3), WHITE, 1.0),
        (disc(12, 12, 3.1), RED, 1.0),
    ]


def checking_icon(frame):
    # The rings are lit in turn, so the two frames shown alternately read as waves going out.
    dim = 0.35
    return feed_glyph(GREEN, WHITE, inner=1.0 if frame == 0 else dim,
                      outer=dim if frame == 0 else 1.0)


# Toolbar buttons, each on its own 16-pixel square.

def new_button():
    # A sheet with a folded corner and a green plus; outlines on whole pixels, the paper's
    # diagonal one pixel in from the sheet's.
    sheet = polygon([(2, 0), (9, 0), (13, 4), (13, 15), (2, 15)])
    paper = polygon([(3, 1), (8.6, 1), (12, 4.4), (12, 14), (3, 14)])
    fold = polygon([(8, 0), (9, 0), (9, 4), (13, 4), (13, 5), (8, 5)])
    flap = polygon([(9, 0.5), (9, 4), (12.5, 4)])
    plus = union(rect(10, 7, 13, 16), rect(7, 10, 16, 13))
    plus_face = union(rect(11, 8, 12, 15), rect(8, 11, 15, 12))
    grey = (0x6A, 0x6A, 0x6A)
    return [
        (sheet, grey, 1.0),
        (paper, WHITE, 1.0),
        (flap, (0xD4, 0xD4, 0xD4), 1.0),
        (fold, grey, 1.0),
        (plus, (0x0E, 0x6B, 0x34), 1.0),
        (plus_face, (0x3C, 0xD0, 0x70), 1.0),
    ]


def delete_button():
    cross = union(stroke(3, 3, 13, 13, 1.15), stroke(13, 3, 3, 13, 1.15))
    return [(cross, (0xC0, 0x1C, 0x28), 1.0)]


def options_button():
    return [(gear(7.5, 7.5, 5, 7, 2.2, 8, 3), (0x50, 0x50, 0x50), 1.0)]


# Files --------------------------------------------------------------------------------------

def ico_image(rows):
    """One icon image: a bitmap header of double height, bottom-up BGRA, then the AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    # Alpha carries the shape; the mask marks fully transparent pixels for old readers.
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")
    return header + colours + mask


def ico(pictures):
    images = [ico_image(rows) for rows in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, data in zip(pictures, images):
        size = len(rows) % 256  # 0 stands for 256
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


MAGENTA = (0xFF, 0x00, 0xFF)
BUTTON_FACE = (0xF0, 0xF0, 0xF0)
OPAQUE_FROM = 96  # of 255: less covered pixels become magenta, so thin edges do not smear


def on_magenta(rgba_rows, background):
    """RGB rows for a bitmap whose magenta is transparent: a pixel is either magenta or a colour
    blended against the background it will be seen on, never with magenta, which would leave a
    pink fringe."""
    return [[MAGENTA if a < OPAQUE_FROM else mix(background, (r, g, b), a / 255) for r, g, b, a in row]
            for row in rgba_rows]


def strip(size, pictures, background):
    """RGB rows of the pictures (layer lists) drawn at `size`, side by side."""
    drawn = [on_magenta(render(size, layers), background) for layers in pictures]
    return [[pixel for rows in drawn for pixel in rows[y]] for y in range(size)]


def toolbar_buttons():
    return [new_button(), delete_button(), options_button()]


def bmp(rows):
    """A 24-bit bottom-up BMP."""
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        pixels += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


# Preview ------------------------------------------------------------------------------------

def png(rows):
    """RGB rows, or RGBA rows kept see-through."""
    width, height = len(rows[0]), len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    colour_type = 6 if len(rows[0][0]) == 4 else 2
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def over(background, rgba):
    r, g, b, a = rgba
    return mix(background, (r, g, b), a / 255)


def sheet(rows_of_pictures, background, zoom, gap=8):
    """Pictures (RGBA rows, or RGB rows taken as opaque) laid out in rows on a background,
    each enlarged zoom times, pixel for pixel."""
    def height(p):
        return len(p) * zoom
    width = max(sum(len(p[0]) * zoom + gap for p in line) for line in rows_of_pictures) + gap
    total = sum(max(height(p) for p in line) + gap for line in rows_of_pictures) + gap
    canvas = [[background] * width for _ in range(total)]
    top = gap
    for line in rows_of_pictures:
        left = gap
        for picture in line:
            for y, row in enumerate(picture):
                for x, pixel in enumerate(row):
                    colour = over(background, pixel) if len(pixel) == 4 else pixel
                    for dy in range(zoom):
                        canvas[top + y * zoom + dy][left + x * zoom:left + (x + 1) * zoom] = \
                            [colour] * zoom
            left += len(picture[0]) * zoom + gap
        top += max(height(p) for p in line) + gap
    return canvas


def side_by_side(*canvases):
    out = []
    for y in range(max(len(c) for c in canvases)):
        out.append([p for c in canvases for p in (c[y] if y < len(c) else [c[0][0]] * len(c[0]))])
    return out


def stacked(*canvases):
    width = max(len(c[0]) for c in canvases)
    return [row + [c[0][0]] * (width - len(row)) for c in canvases for row in c]


def write_preview(path, icons, toolbars, trees):
    """One sheet, on a dark task bar colour and on the light button face: the 16-pixel pictures
    enlarged 8 times, the program icon's largest 4 times, and every size as drawn, at its actual
    size and doubled."""
    # The strips as the toolbar and the tree show them: magenta is let through.
    def see_through(rows):
        return [[(0, 0, 0, 0) if p == MAGENTA else p + (255,) for p in row] for row in rows]
    halves = []
    for background in ((0x20, 0x20, 0x20), BUTTON_FACE):
        by_size = [[pictures[i] for pictures in icons.values()] + [see_through(toolbars[size]), see_through(trees[size])]
                   for i, size in enumerate(ARTWORK_SIZES)]
        halves.append(stacked(
            sheet([by_size[0]], background, 8),
            side_by_side(sheet([icons["main.ico"][-1:]], background, 4),
                         sheet(by_size, background, 1), sheet(by_size, background, 2))))
    with open(path, "wb") as f:
        f.write(png(stacked(*halves)))


# -------------------------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--preview", metavar="PNG", help="also write an enlarged sheet here")
    args = parser.parse_args()

    app = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app")
    # The small icon's size follows the DPI (the tray and the caption); the program icon also
    # comes large, for the task switcher and Explorer.
    icons = {
        "main.ico": [render(s, main_icon()) for s in ARTWORK_SIZES + (48,)],
        "tray_idle.ico": [render(s, idle_icon()) for s in ARTWORK_SIZES],
        "tray_news.ico": [render(s, news_icon()) for s in ARTWORK_SIZES],
        "tray_checking.ico": [render(s, checking_icon(0)) for s in ARTWORK_SIZES],
        "tray_checking2.ico": [render(s, checking_icon(1)) for s in ARTWORK_SIZES],
    }

    os.makedirs(os.path.join(app, "icons"), exist_ok=True)
    for name, pictures in icons.items():
        with open(os.path.join(app, "icons", name), "wb") as f:
            f.write(ico(pictures))
    # The reading pages' icon: what browsers ask for, 16 and 32 pixels.
    with open(os.path.join(app, "favicon.ico"), "wb") as f:
        f.write(ico([icons["main.ico"][0], icons["main.ico"][3]]))
    toolbars = {size: strip(size, toolbar_buttons(), BUTTON_FACE) for size in ARTWORK_SIZES}
    for size, rows in toolbars.items():
        with open(os.path.join(app, "icons", "toolbar_%d.bmp" % size), "wb") as f:
            f.write(bmp(rows))
    import tree_images  # draws with the shapes above
    tree = tree_images.write(os.path.join(app, "icons"))
    import notice_images
    notice_images.write(app)
    extension = os.path.join(app, "..", "extension", "icons")
    os.makedirs(extension, exist_ok=True)
    for size in (16, 32, 48, 128):
        with open(os.path.join(extension, "pelun%d.png" % size), "wb") as f:
            f.write(png(render(size, main_icon())))
    if args.preview:
        write_preview(args.preview, icons, toolbars, tree)


if __name__ == "__main__":
    main()
