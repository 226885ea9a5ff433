"""At 96, 144 and 192 dpi (the display's LogPixels): the pop-up, the main window with its tree,
the tray menu, the add-site dialog and the options sheet, kept as screenshots in build/artifacts. Measured on the
screen: the tree and the toolbar show their pictures drawn at the size for the DPI, the tray its
icon at the system's small icon size, and the pop-up and the main window are laid out larger by
the DPI; the main window's size is saved at 96 dpi."""
import os
import struct
import time
import unittest

import harness
from feed_server import FeedServer
from sample_feeds import exit_program, folder, rss, start_program

MAIN = (harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE)
POPUP = ("pelun_notify_popup", "")
ADD_SITE = ("#32770", "新規サイト")
OPTIONS = ("#32770", "オプション")
WM_COMMAND = 0x111
ID_NEW_SITE = 157
ID_OPTIONS = 191
ID_SHOW_MAIN_WINDOW = 186
ID_CLOSE_POPUP = 32787
IDCANCEL = 2
ICONS = os.path.join(harness.ROOT, "app", "icons")
ARTWORK_SIZES = (16, 20, 24, 32)
NEWS_SQUARE = (0xE6, 0x61, 0x00)  # the tray's news picture
MAGENTA = (0xFF, 0x00, 0xFF)


def scaled(length, dpi):
    return (length * dpi + 48) // 96


def artwork_size(dpi):
    return max(size for size in ARTWORK_SIZES if size <= max(scaled(16, dpi), 16))


def strip_pictures(name):
    """The square pictures of a strip BMP, each as {(x, y): colour} of its opaque pixels."""
    with open(os.path.join(ICONS, name), "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3

    def pixel(x, y):
        b, g, r = data[offset + (height - 1 - y) * stride + 3 * x:][:3]
        return r, g, b
    return [{(x, y): pixel(first + x, y) for y in range(height) for x in range(height)
             if pixel(first + x, y) != MAGENTA} for first in range(0, width, height)]


class Screen:
    """A screen rectangle's pixels, for finding pictures in it."""

    def __init__(self, session, box):
        self.left, self.top, right, bottom = box
        self.width, self.height = right - self.left, bottom - self.top
        self.pixels = session.pixels(self.left, self.top, self.width, self.height)

    def at(self, x, y):
        return self.pixels[y * self.width + x] if 0 <= x < self.width and 0 <= y < self.height else None

    def shows(self, picture):
        """The picture appears somewhere, pixel for pixel."""
        (ax, ay), colour = next(iter(picture.items()))
        for index, seen in enumerate(self.pixels):
            if seen != colour:
                continue
            x0, y0 = index % self.width - ax, index // self.width - ay
            if all(self.at(x0 + x, y0 + y) == c for (x, y), c in picture.items()):
                return True
        return False

    def sizes_shown(self, strip_name):
        """The drawn sizes of which at least one picture of the strip is on the screen."""
        return {size for size in ARTWORK_SIZES
                if any(self.shows(p) for p in strip_pictures(strip_name % size))}


def parse_box(text):
    return tuple(int(v) for v in text.split(","))


class HighDpiTest(unittest.TestCase):
    def setUp(self):
        self.server = FeedServer(lifetime=600).start()
        self.addCleanup(self.server.stop)
        self.server.add_feed("/a.xml", rss("a", 2))
        self.server.add_feed("/b.xml", rss("b", 1))

    def test_everything_drawn_follows_the_dpi(self):
        for dpi in (96, 144, 192):
            with self.subTest(dpi=dpi), harness.PelunSession(desktop=True, dpi=dpi) as session:
                self.check_at(session, dpi)

    def check_at(self, session, dpi):
        port = harness.free_port()
        start_program(session, "first=1\ndelay=0\ntimer=0\nport=%d\nnotifyMyWindow=1\nnotifyfolder=1\n"
                      "notifyPos=4\nnotifySec=0\n" % port,
                      [folder("国内ニュース", [("A", self.server.url("/a.xml")), ("B", self.server.url("/b.xml"))])])
        shot = "high_dpi_%d_%%s.png" % dpi
        size = artwork_size(dpi)

        self.assertEqual(session.wintool("wait-window", *POPUP, "60000")[0], 0, "the pop-up after the check")
        popup = parse_box(session.wintool_ok("window-rect", *POPUP).strip())
        session.screenshot(shot % "popup")
        self.assertGreaterEqual((popup[2] - popup[0], popup[3] - popup[1]), (scaled(160, dpi), scaled(100, dpi)))
        session.wintool_ok("post-message", *MAIN, str(WM_COMMAND), str(ID_CLOSE_POPUP), "0")
        self.assertEqual(session.wintool("wait-no-window", *POPUP, "10000")[0], 0)

        # Opened at the default size of 340 x 450 at 96 dpi.
        session.wintool_ok("post-message", *MAIN, str(WM_COMMAND), str(ID_SHOW_MAIN_WINDOW), "0")
        self.assertTrue(session.poll_until(lambda: "visible=1" in session.wintool_ok("window-info", *MAIN), 15))
        time.sleep(1)  # the tree and the bars paint
        main = parse_box(session.wintool_ok("window-rect", *MAIN).strip())
        self.assertEqual((main[2] - main[0], main[3] - main[1]), (scaled(340, dpi), scaled(450, dpi)))
        session.screenshot(shot % "main")
        window = Screen(session, main)
        self.assertEqual(window.sizes_shown("tree_%d.bmp"), {size}, "the tree's pictures")
        self.assertEqual(window.sizes_shown("toolbar_%d.bmp"), {size}, "the toolbar's pictures")
        if dpi == 96:
            self.check_dpi_change(session, main)

        work = parse_box(dict(line.split("=", 1) for line in session.wintool_ok("screen-info", "all").split())["work"])
        tray = Screen(session, (work[0], work[3], work[2], session.size[1]))
        square = [i for i, p in enumerate(tray.pixels) if max(abs(a - b) for a, b in zip(p, NEWS_SQUARE)) < 12]
        xs, ys = [i % tray.width for i in square], [i // tray.width for i in square]
        self.assertTrue(square, "the news picture in the tray")
        self.assertEqual((max(xs) - min(xs) + 1, max(ys) - min(ys) + 1), (scaled(16, dpi),) * 2,
                         "the tray icon at the small icon size")
        session.xdotool("mousemove", str(tray.left + (min(xs) + max(xs)) // 2),
                        str(tray.top + (min(ys) + max(ys)) // 2), "click", "3")
        self.assertTrue(session.poll_until(session.menu_visible, 10), "the tray menu")
        time.sleep(0.5)
        session.screenshot(shot % "tray_menu")
        session.xdotool("key", "Escape")
        self.assertTrue(session.poll_until(lambda: not session.menu_visible(), 10))

        for command, dialog, name in ((ID_NEW_SITE, ADD_SITE, "add_site"), (ID_OPTIONS, OPTIONS, "options")):
            session.wintool_ok("post-message", *MAIN, str(WM_COMMAND), str(command), "0")
            self.assertEqual(session.wintool("wait-window", *dialog, "15000")[0], 0, name)
            time.sleep(0.5)
            session.screenshot(shot % name)
            session.wintool_ok("press-button", *dialog, str(IDCANCEL))
            self.assertEqual(session.wintool("wait-no-window", *dialog, "10000")[0], 0)

        exit_program(session)
        saved = session.read_ini()
        self.assertIn("width=340", saved, "the size is saved at 96 dpi")
        self.assertIn("height=450", saved)

    def check_dpi_change(self, session, main):
        """What the system sends when the window goes to a monitor at 144 dpi and comes back: it
        takes the suggested place and shows the pictures drawn for the new DPI."""
        for dpi, suggested in ((144, (0, 0, scaled(340, 144), scaled(450, 144))), (96, main)):
            session.wintool_ok("dpi-changed", str(dpi), *map(str, suggested))
            time.sleep(1)
            self.assertEqual(parse_box(session.wintool_ok("window-rect", *MAIN).strip()), suggested)
            window = Screen(session, suggested)
            for strip in ("tree_%d.bmp", "toolbar_%d.bmp"):
                self.assertEqual(window.sizes_shown(strip), {artwork_size(dpi)}, "%s after a change to %d dpi"
                                 % (strip, dpi))


if __name__ == "__main__":
    harness.main()
