"""The site tree's eleven pictures, drawn with the shapes of make_icons.py at every artwork size
and written as one 24-bit BMP strip per size (tree_16.bmp, tree_20.bmp, ...) on magenta, the
image list's transparent colour, in the image list's order:

  folder, folder with news, folder being checked, site, site with news, site being checked,
  site with an error, synchronised folder (with news, being checked), site that cannot be checked.

A folder is a tan folder; a synchronised folder carries the feed glyph in blue on its front. A
site is a sheet with a small feed glyph. The states are marks in the lower right corner, where
the eye expects a badge: news a red dot in a white ring, checking a green dot with a white
arrow, an error a red dot with a white cross; a site that cannot be checked is
the same sheet drawn in greys.
"""

import os

from make_icons import (ARTWORK_SIZES, GREEN, ORANGE, RED, WHITE, bmp, disc, polygon, quarter_ring,
                        rect, stroke, strip, union)

TAN = (0xD9, 0xA4, 0x41)
TAN_DARK = (0x9C, 0x6B, 0x1A)
TAN_LIGHT = (0xF3, 0xCD, 0x76)
BLUE = (0x1E, 0x6F, 0xC8)
SHEET_EDGE = (0x6A, 0x6A, 0x6A)
GREY = (0x9A, 0x9A, 0x9A)
GREY_LIGHT = (0xE2, 0xE2, 0xE2)
TREE_BACKGROUND = WHITE


def folder(front=TAN, edge=TAN_DARK, tab=TAN_LIGHT):
    back = union(rect(0.5, 3, 6, 14), rect(0.5, 4, 15.5, 14), polygon([(6, 3), (8, 5), (6, 5)]))
    inner_back = union(rect(1.5, 4, 5.6, 13), rect(1.5, 5, 14.5, 13))
    front_face = polygon([(0.5, 14), (2.5, 7), (15.5, 7), (15.5, 14)])
    front_inner = polygon([(1.6, 13), (3.3, 8), (14.5, 8), (14.5, 13)])
    return [(back, edge, 1.0), (inner_back, tab, 1.0), (front_face, edge, 1.0), (front_inner, front, 1.0)]


def glyph(cx, cy, rings, colour):
    """The feed glyph around a corner at (cx, cy): a dot and two quarter rings, whose inner and
    outer radii are whole pixels so that their ends stay sharp."""
    (dot, inner0, inner1, outer0, outer1) = rings
    return [(disc(cx + dot, cy - dot, dot), colour, 1.0),
            (quarter_ring(cx, cy, inner0, inner1), colour, 1.0),
            (quarter_ring(cx, cy, outer0, outer1), colour, 1.0)]


SITE_RINGS = (1.5, 4, 5.5, 7, 8.5)
FOLDER_RINGS = (1.2, 3, 4, 5, 6)


def sheet(paper=WHITE, edge=SHEET_EDGE):
    outer = polygon([(2, 0.5), (10, 0.5), (14, 4.5), (14, 15.5), (2, 15.5)])
    inner = polygon([(3, 1.5), (9.5, 1.5), (13, 5), (13, 14.5), (3, 14.5)])
    fold = polygon([(9.5, 0.5), (10.5, 0.5), (10.5, 4), (14, 4), (14, 5), (9.5, 5)])
    return [(outer, edge, 1.0), (inner, paper, 1.0), (fold, edge, 1.0)]


def news_badge():
    return [(disc(12, 12, 4.3), WHITE, 1.0), (disc(12, 12, 3.2), RED, 1.0)]


def checking_badge():
    arrow = union(stroke(10.2, 12.2, 12.8, 12.2, 0.7), polygon([(12, 10), (14.6, 12.2), (12, 14.4)]))
    return [(disc(12, 12, 4.3), WHITE, 1.0), (disc(12, 12, 3.4), GREEN, 1.0), (arrow, WHITE, 1.0)]


def error_badge():
    cross = union(stroke(10.5, 10.5, 13.5, 13.5, 0.8), stroke(13.5, 10.5, 10.5, 13.5, 0.8))
    return [(disc(12, 12, 4.3), WHITE, 1.0), (disc(12, 12, 3.6), RED, 1.0), (cross, WHITE, 1.0)]


def site(badge=(), colour=ORANGE, paper=WHITE, edge=SHEET_EDGE):
    return sheet(paper, edge) + glyph(3, 14, SITE_RINGS, colour) + list(badge)


def synchronised(badge=()):
    return folder() + glyph(3, 13, FOLDER_RINGS, BLUE) + list(badge)


def pictures():
    """In the image list's order."""
    return [
        folder(),
        folder() + news_badge(),
        folder() + checking_badge(),
        site(),
        site(news_badge()),
        site(checking_badge(), colour=GREEN),
        site(error_badge()),
        synchronised(),
        synchronised(news_badge()),
        synchronised(checking_badge()),
        site(colour=GREY, paper=GREY_LIGHT, edge=GREY),
    ]


def write(icons_dir):
    """Writes the strips; returns their RGB rows by size, for the preview."""
    drawn = {}
    for size in ARTWORK_SIZES:
        drawn[size] = strip(size, pictures(), TREE_BACKGROUND)
        with open(os.path.join(icons_dir, "tree_%d.bmp" % size), "wb") as f:
            f.write(bmp(drawn[size]))
    return drawn
