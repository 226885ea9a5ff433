"""The notification pop-up: placed by "notifyPos" in each corner of the work area with the
notice in readable Japanese over the tiled "popup.bmp", its two buttons, held open while the
pointer rests on it, and translucent by "notifyAlpha" (what lies behind it shows through)."""
import os
import shutil
import unittest

import harness
from feed_server import FeedServer
from sample_feeds import exit_program, folder, rss, start_program

POPUP = ("pelun_notify_popup", "")
TITLE_COLOUR_DARK = 90  # text pixels of the default black text, anti-aliased


def parse_box(text):
    return tuple(int(v) for v in text.split(","))


class PopupTest(unittest.TestCase):
    def setUp(self):
        self.server = FeedServer(lifetime=400).start()
        self.addCleanup(self.server.stop)
        self.server.add_feed("/a.xml", rss("a", 2))
        self.server.add_feed("/b.xml", rss("b", 1))
        self.port = harness.free_port()

    def open_session(self, **options):
        session = harness.PelunSession(**options).__enter__()
        self.addCleanup(session.__exit__, None, None, None)
        return session

    def start(self, session, position, seconds, extra=""):
        start_program(session, "first=1\ndelay=0\ntimer=0\nport=%d\nnotifyMyWindow=1\nnotifyfolder=1\n"
                      "notifyPos=%d\nnotifySec=%d\n%s" % (self.port, position, seconds, extra),
                      [folder("国内ニュース", [("A", self.server.url("/a.xml")), ("B", self.server.url("/b.xml"))])])

    def popup_box(self, session):
        code, _ = session.wintool("wait-window", *POPUP, "60000")
        self.assertEqual(code, 0, "the pop-up appears after the check")
        return parse_box(session.wintool_ok("window-rect", *POPUP).strip())

    def screen(self, session):
        info = session.wintool_ok("screen-info", "all")
        fields = dict(line.split("=", 1) for line in info.split())
        return parse_box(fields["work"]), parse_box(fields["infobk"])

    def assert_readable(self, session, box):
        """Dark text in the body and the title, over a light, patterned background."""
        left, top, right, bottom = box
        pixels = session.pixels(left + 8, top + 8, right - left - 16, 40)
        dark = sum(1 for p in pixels if max(p) < TITLE_COLOUR_DARK)
        self.assertGreater(dark, 60, "title and body text are drawn")
        light = {p for p in pixels if min(p) > 200}
        self.assertGreater(len(light), 3, "the tiled picture shows behind the text")

    def test_corners_buttons_and_pointer(self):
        session = self.open_session(desktop=True)
        shutil.copy2(os.path.join(session.windows_build, "popup.bmp"), session.program_dir)
        browser = session.use_fake_browser()
        expected = {
            1: lambda w, s: (w[0] + 4, w[1] + 1, w[0] + 4 + s[0], w[1] + 1 + s[1]),
            2: lambda w, s: (w[2] - 4 - s[0], w[1] + 1, w[2] - 4, w[1] + 1 + s[1]),
            3: lambda w, s: (w[0] + 4, w[3] - 1 - s[1], w[0] + 4 + s[0], w[3] - 1),
            4: lambda w, s: (w[2] - 4 - s[0], w[3] - 1 - s[1], w[2] - 4, w[3] - 1),
        }
        work = None
        for position in (1, 2, 3, 4):
            with self.subTest(notifyPos=position):
                if position == 4:
                    # The pointer waits where the pop-up will be: it then outlasts its 2 seconds.
                    session.xdotool("mousemove", "930", "690")
                self.start(session, position, 2 if position == 4 else 0, "browser=%s\n" % browser)
                box = self.popup_box(session)
                work, _ = self.screen(session)
                size = (box[2] - box[0], box[3] - box[1])
                self.assertGreaterEqual(size, (160, 100))
                self.assertEqual(box, expected[position](work, size))
                session.screenshot("popup_corner%d.png" % position)
                self.assert_readable(session, box)
                show_x = box[0] + (size[0] - 130) // 2 + 30
                button_y = box[3] - 28 + 10
                if position == 1:
                    # No display time: it stays until "閉じる" is clicked.
                    session.xdotool("mousemove", str(show_x + 70), str(button_y), "click", "1")
                    self.assertEqual(session.wintool("wait-no-window", *POPUP, "10000")[0], 0)
                elif position == 2:
                    session.xdotool("mousemove", str(show_x), str(button_y), "click", "1")
                    self.assertEqual(session.wintool("wait-no-window", *POPUP, "10000")[0], 0)
                    new_page = "\"http://127.0.0.1:%d/new\"" % self.port
                    self.assertTrue(session.poll_until(lambda: new_page in session.browser_starts(), 15),
                                    "表示する opens the new articles: %s" % session.browser_starts())
                elif position == 4:
                    self.assertTrue(box[0] <= 930 < box[2] and box[1] <= 690 < box[3])
                    session.poll_until(lambda: False, 5)  # well past the display time
                    self.assertEqual(session.wintool("window-info", *POPUP)[0], 0, "held open by the pointer")
                    session.xdotool("mousemove", "300", "300")
                    self.assertEqual(session.wintool("wait-no-window", *POPUP, "10000")[0], 0,
                                     "gone once the pointer has left")
                exit_program(session)
                self.assertNotEqual(session.wintool("window-info", *POPUP)[0], 0)

    def test_translucent_over_the_screen(self):
        session = self.open_session(compositor=True)
        self.start(session, 0, 0, "notifyAlpha=40\n")
        box = self.popup_box(session)
        work, tooltip = self.screen(session)
        self.assertEqual(box[0] - work[0], work[2] - box[2], "centred")
        session.screenshot("popup_translucent.png")
        # A point between the title and the body, clear of the text and the edge.
        x, y = box[2] - 14, box[1] + 29
        seen = session.pixels(x, y, 1, 1)[0]
        exit_program(session)
        self.assertEqual(session.wintool("wait-no-window", *POPUP, "10000")[0], 0)
        under = session.pixels(x, y, 1, 1)[0]
        alpha = (2 * 40 + 55) / 255
        blend = tuple(round(t * alpha + b * (1 - alpha)) for t, b in zip(tooltip, under))
        self.assertNotEqual(seen, tooltip, "not opaque")
        for got, want in zip(seen, blend):
            self.assertAlmostEqual(got, want, delta=6, msg="%s blends %s over %s as %s" % (seen, tooltip, under, blend))


if __name__ == "__main__":
    harness.main()
