"""The ticker: it scrolls through the new articles of a check, its menu lists them in its history
and opens them through the browser, it can be dragged and widened, it closes once everything is
read, and its place and width come back after a restart (on the screen, should the saved place
lie outside every monitor)."""
import os
import re
import shutil
import unittest

import harness
from feed_server import FeedServer
from sample_feeds import exit_program, folder, rss, start_program

TICKER = ("pelun_ticker", "")
LINKS = {'"http://example.com/t/%d"' % i for i in range(3)}
# An article whose title would underline, split and overrun its menu entry, linking to a program.
HOSTILE_FEED = ('<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel><title>t</title>'
                "<link>http://example.com/t</link><item><title>危険&amp;な&#9;記事%s</title>"
                "<link>file:///C:/windows/notepad.exe</link></item></channel></rss>" % ("長" * 200)).encode()


def box_of(text):
    return tuple(int(v) for v in text.strip().split(","))


class TickerTest(unittest.TestCase):
    def setUp(self):
        self.session = harness.PelunSession(desktop=True).__enter__()
        self.addCleanup(self.session.__exit__, None, None, None)
        self.server = FeedServer(lifetime=400).start()
        self.addCleanup(self.server.stop)
        self.server.add_feed("/t.xml", rss("t", 3))
        self.server.add_feed("/q.xml", rss("q", 0))
        self.port = harness.free_port()
        self.browser = self.session.use_fake_browser()
        shutil.copy2(os.path.join(self.session.windows_build, "popup.bmp"), self.session.program_dir)

    def start(self, settings):
        start_program(self.session, settings,
                      [folder("ニュース", [("T", self.server.url("/t.xml"))]),
                       folder("静か", [("Q", self.server.url("/q.xml"))])])

    def ticker_box(self):
        self.assertEqual(self.session.wintool("wait-window", *TICKER, "60000")[0], 0, "the ticker opens")
        return box_of(self.session.wintool_ok("window-rect", *TICKER))

    def frame(self):
        info = self.session.wintool_ok("screen-info", "all")
        fields = dict(line.split("=", 1) for line in info.split())
        return int(fields["sizeframe"]), tuple(int(v) for v in fields["work"].split(","))

    def title_left(self, client):
        """Where the article title's text starts in the ticker, from its left edge; None when
        none is drawn."""
        left, top, right, _ = client
        width = right - left - 20
        pixels = self.session.pixels(left + 3, top + 21, width, 14)  # inside the edge
        xs = [i % width + 3 for i, p in enumerate(pixels) if max(p) < 110]
        return min(xs) if xs else None

    def choose(self, client, *keys, screenshot=None):
        """Opens the context menu with a right click and picks an entry with the keyboard."""
        session = self.session
        session.xdotool("mousemove", str(client[0] + 60), str(client[1] + 18), "click", "3")
        self.assertTrue(session.poll_until(session.menu_visible, 10), "a right click opens the menu")
        if screenshot:
            session.poll_until(lambda: False, 0.5)
            session.screenshot(screenshot)
        session.xdotool("key", "--delay", "150", *keys)

    def test_scroll_history_links_and_place(self):
        session = self.session
        self.start("first=1\ndelay=0\ntimer=0\nport=%d\nnotifyMyWindow=2\ntickerInterval=1\ntickerScroll=1\n"
                   "browser=%s\n[Ticker]\nleft=200\ntop=300\nwidth=400\n" % (self.port, self.browser))
        frame, work = self.frame()
        box = self.ticker_box()
        self.assertEqual(box, (200, 300, 600, 300 + 2 * frame + 37), "place and width from the settings file")
        client = (box[0] + frame, box[1] + frame, box[2] - frame, box[3] - frame)

        # Each new entry slides in from the right; at rest it starts 6 pixels in.
        session.xdotool("mousemove", "100", "100")
        lefts = []
        session.poll_until(lambda: lefts.append(self.title_left(client)) or False, 10, interval=0.02)
        seen = [x for x in lefts if x is not None]
        self.assertIn(6, seen, "a title at rest")
        self.assertTrue(any(x > 60 for x in seen), "a title on its way in: %s" % sorted(set(seen)))
        session.screenshot("ticker.png")

        with self.subTest("the history lists the three articles, each opening its link"):
            self.choose(client, "Down", "Down", "Down", "Right")
            session.poll_until(lambda: False, 1)
            session.screenshot("ticker_history_menu.png")
            session.xdotool("key", "1")
            self.choose(client, "Down", "Down", "Down", "Right", "2")
            self.choose(client, "Down", "Down", "Return")  # the current article
            self.assertTrue(session.poll_until(lambda: LINKS <= set(session.browser_starts()), 15),
                            session.browser_starts())
            self.assertEqual(len(session.browser_starts()), 3, "one start per choice")

        with self.subTest("a double click opens the site's page"):
            session.xdotool("mousemove", str(client[0] + 150), str(client[1] + 18), "click", "--repeat", "2",
                            "--delay", "100", "1")
            self.assertTrue(session.poll_until(lambda: len(session.browser_starts()) == 4, 15))
            self.assertRegex(session.browser_starts()[-1], r'^"http://127\.0\.0\.1:%d/new\?\d+"$' % self.port)

        with self.subTest("dragged and widened"):
            middle = (client[0] + 200, client[1] + 18)
            session.xdotool("mousemove", *map(str, middle), "mousedown", "1")
            for step in range(1, 6):
                session.xdotool("mousemove", str(middle[0] - 20 * step), str(middle[1] + 20 * step))
            session.xdotool("mouseup", "1")
            moved = box_of(session.wintool_ok("window-rect", *TICKER))
            self.assertEqual((moved[0], moved[1]), (box[0] - 100, box[1] + 100))
            edge = (moved[2] - frame - 2, moved[1] + frame + 18)
            session.xdotool("mousemove", *map(str, edge), "mousedown", "1")
            for step in range(1, 5):
                session.xdotool("mousemove", str(edge[0] + 20 * step), str(edge[1] + 30 * step))
            session.xdotool("mouseup", "1")
            box = box_of(session.wintool_ok("window-rect", *TICKER))
            self.assertEqual(box, (moved[0], moved[1], moved[2] + 80, moved[3]), "wider, not taller")

        # Everything read: the ticker goes, and keeps its place and width.
        session.xdotool("mousemove", "100", "100")
        harness.http_get(self.port, "/new")
        self.assertEqual(session.wintool("wait-no-window", *TICKER, "15000")[0], 0, "closed when all is read")
        ini = session.read_ini()
        saved = re.search(r"\[Ticker\]\r\nleft=(-?\d+)\r\ntop=(-?\d+)\r\nwidth=(\d+)", ini)
        self.assertIsNotNone(saved, ini)
        self.assertEqual(tuple(map(int, saved.groups())), (box[0], box[1], box[2] - box[0]))
        exit_program(session)

        with self.subTest("place and width after a restart; a hostile article opens nothing"):
            self.server.add_feed("/t.xml", HOSTILE_FEED)
            self.start(None)
            self.assertEqual(self.ticker_box(), box)
            client = (box[0] + frame, box[1] + frame, box[2] - frame, box[3] - frame)
            session.screenshot("ticker_hostile.png")
            self.choose(client, "Down", "Down", "Return", screenshot="ticker_hostile_menu.png")
            self.assertFalse(session.poll_until(lambda: len(session.browser_starts()) > 4, 4),
                             "a file address reaches neither the browser nor the shell")
            exit_program(session)

        with self.subTest("a place outside every monitor"):
            session.write_settings(session.read_ini().replace("left=%d" % box[0], "left=5000"))
            self.start(None)
            again = self.ticker_box()
            self.assertEqual(again, (work[0] + 32, work[1] + 32, work[0] + 32 + box[2] - box[0], work[1] + 32 + box[3] - box[1]))
            close = (again[2] - frame - 17 + 6, again[1] + frame + 5 + 6)
            session.xdotool("mousemove", *map(str, close), "click", "1")
            self.assertEqual(session.wintool("wait-no-window", *TICKER, "10000")[0], 0, "the close button")
            exit_program(session)


if __name__ == "__main__":
    harness.main()
