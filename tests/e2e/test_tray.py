"""The tray program in a Wine virtual desktop: the icon follows the checks, news is announced in
a balloon and broadcast to the bands, the tray menu lists the folders, the bands' requests are
answered, and closing the window only hides it."""
import os
import time
import unittest
import urllib.request
import xml.etree.ElementTree as ElementTree

import harness
from feed_server import FeedServer
from sample_feeds import folder, rss

MAIN = (harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE)
WM_COMMAND = 0x111
WM_SYSCOMMAND = 0x112
SC_CLOSE = 0xF060
ID_APP_EXIT = 57665
ID_APP_ABOUT = 57664
# The squares of the tray pictures: idle, news, checking (both animation pictures).
TRAY_COLOURS = {"idle": (0x5E, 0x72, 0x86), "news": (0xE6, 0x61, 0x00), "checking": (0x1F, 0x96, 0x55)}
TRAY_STRIP = (700, harness.DESKTOP_SIZE[1] - 24, harness.DESKTOP_SIZE[0] - 700, 24)


def tray_picture(session):
    """Which tray picture the task bar shows, by the colour that fills most of the strip."""
    pixels = session.pixels(*TRAY_STRIP)
    counts = {name: sum(1 for p in pixels if max(abs(a - b) for a, b in zip(p, colour)) < 12)
              for name, colour in TRAY_COLOURS.items()}
    best = max(counts, key=counts.get)
    return best if counts[best] >= 40 else None


def balloon_shown(session):
    """The balloon: a light box over the desktop's blue, just above the tray."""
    width, height = harness.DESKTOP_SIZE
    pixels = session.pixels(width - 330, height - 130, 320, 100)
    return sum(1 for p in pixels if min(p) > 200) > 2000


def tray_icon_centre(session):
    """Where the program's tray icon is: the centre of the pixels of its square."""
    x0, y0, width, height = TRAY_STRIP
    pixels = session.pixels(*TRAY_STRIP)
    hits = [(i % width, i // width) for i, p in enumerate(pixels)
            if any(max(abs(a - b) for a, b in zip(p, c)) < 12 for c in TRAY_COLOURS.values())]
    xs, ys = [x for x, _ in hits], [y for _, y in hits]
    return x0 + (min(xs) + max(xs)) // 2, y0 + (min(ys) + max(ys)) // 2


class TrayTest(unittest.TestCase):
    def setUp(self):
        self.session = harness.PelunSession(desktop=True).__enter__()
        self.addCleanup(self.session.close)
        self.server = FeedServer(lifetime=300).start()
        self.addCleanup(self.server.stop)
        for name, count in (("a1", 2), ("b1", 3), ("b2", 1)):
            self.server.add_feed("/%s.xml" % name, rss(name, count), last_modified=True,
                                 latency=3.0 if name == "b2" else None)
        self.server.add_feed("/quiet.xml", rss("quiet", 0), last_modified=True)
        self.browser = self.session.use_fake_browser()
        self.port = harness.free_port()

    # Helpers ----------------------------------------------------------------------------------
    def request(self, sub_command):
        out = self.session.wintool_ok("request", str(sub_command))
        return [line[len("field="):] for line in out.splitlines() if line.startswith("field=")] \
            if sub_command in (10, 11, 12) else int(out.split("=")[1])

    def top_items(self):
        fields = self.request(11)
        self.assertEqual(fields[-1], "", "the list ends with one more NUL")
        fields = fields[:-1]
        return [fields[i:i + 4] for i in range(0, len(fields), 4)]

    def catches(self, path):
        with open(path) as f:
            return [line.strip() for line in f if line.startswith("news=")]

    def read_page(self, path):
        with urllib.request.urlopen("http://127.0.0.1:%d%s" % (self.port, path), timeout=10) as answer:
            return answer.read()

    def start_program(self):
        self.session.write_settings(
            "[Option]\r\nfirst=1\r\ndelay=0\r\ntimer=0\r\ntimeout=20\r\nport=%d\r\nnotifyfolder=0\r\n"
            "notifyMyWindow=0\r\nnotifySec=60\r\nbrowser=%s\r\n" % (self.port, self.browser))
        url = self.server.url
        data = ("<?xml version='1.0' encoding='utf-8'?>\n<pelun>%s%s</pelun>" % (
            folder("国内 - 速報", [("A1", url("/a1.xml")), ("静か", url("/quiet.xml"))]),
            folder("技術 & 開発", [("B1", url("/b1.xml")), ("B2", url("/b2.xml"))]))).encode()
        with open(self.session.data_file, "wb") as f:
            f.write(data)
        self.session.start()
        self.assertTrue(self.session.wait_for_main_window())

    # The scenario ---------------------------------------------------------------------------------
    def test_news_cycle_menu_requests_and_window(self):
        session = self.session
        catch_log = os.path.join(session.workdir, "catch.log")
        catcher = session.start("catch-window", harness.windows_path(catch_log), "240000",
                                program="wintool.exe")
        self.assertTrue(session.poll_until(lambda: os.path.exists(catch_log), 30))
        self.start_program()

        # While the slow feed is being read the icon shows the checking pictures.
        self.assertTrue(session.poll_until(lambda: tray_picture(session) == "checking", 20),
                        "checking picture while the cycle runs")
        self.assertTrue(session.poll_until(lambda: self.request(20) != 0, 30), "news after the cycle")
        self.assertTrue(session.poll_until(lambda: tray_picture(session) == "news", 10))
        self.assertTrue(session.poll_until(lambda: balloon_shown(session), 15), "the balloon")
        session.screenshot("tray_balloon.png")
        self.assertEqual(self.catches(catch_log)[:2], ["news=0", "news=1"],
                         "0 when the window was created, 1 when news arrived")

        with self.subTest("the bands' requests"):
            items = self.top_items()
            self.assertEqual([(name, fresh) for name, fresh, _, _ in items],
                             [("国内 - 速報", "1"), ("技術 & 開発", "2")])
            for _, _, new_url, top_url in items:
                self.assertRegex(new_url, r"^http://127\.0\.0\.1:%d/new\?\d+$" % self.port)
                self.assertEqual(top_url, new_url.replace("/new?", "/top?"))
            self.assertEqual(self.request(10), ["http://127.0.0.1:%d/new" % self.port])
            self.assertEqual(self.request(12), ["http://127.0.0.1:%d/" % self.port])
            self.assertEqual(self.request(20), int(items[0][2].split("?")[1]))
        first_id, second_id = (int(item[2].split("?")[1]) for item in items)

        # Reading the first folder leaves the second one with news: the icon stays.
        self.read_page("/new?%d" % first_id)
        self.assertEqual([fresh for _, fresh, _, _ in self.top_items()], ["0", "2"])
        self.assertEqual(self.request(12), ["http://127.0.0.1:%d/top?%d" % (self.port, first_id)])

        with self.subTest("tray menu and clicks on the icon"):
            x, y = tray_icon_centre(session)
            self.session.xdotool("mousemove", str(x), str(y), "click", "3")
            self.assertTrue(session.poll_until(self.session.menu_visible, 10), "a right click opens the menu")
            time.sleep(0.5)
            session.screenshot("tray_menu.png")
            self.session.xdotool("mousemove", "300", "300", "click", "1")
            self.assertTrue(session.poll_until(lambda: not self.session.menu_visible(), 10))

            # A single click shows the menu a second later.
            self.session.xdotool("mousemove", str(x), str(y), "click", "1")
            self.assertTrue(session.poll_until(self.session.menu_visible, 10), "a left click opens the menu")
            self.session.xdotool("mousemove", "300", "300", "click", "1")
            self.assertTrue(session.poll_until(lambda: not self.session.menu_visible(), 10))

            self.session.xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "120", "1")
            new_page = "\"http://127.0.0.1:%d/new\"" % self.port
            self.assertTrue(session.poll_until(lambda: new_page in self.session.browser_starts(), 15),
                            "a double click opens the new-articles page: %s" % self.session.browser_starts())
            time.sleep(1.5)
            self.assertFalse(self.session.menu_visible(), "and no menu")

            # The folder entries of the last menu: 800 + p opens the folder, 700 + p its page.
            for command in (801, 700):
                self.session.wintool_ok("post-message", *MAIN, str(WM_COMMAND), str(command), "0")
            expected = ["\"http://127.0.0.1:%d/new?%d\"" % (self.port, second_id),
                        "\"http://127.0.0.1:%d/top?%d\"" % (self.port, first_id)]
            self.assertTrue(session.poll_until(lambda: self.session.browser_starts()[-2:] == expected, 15),
                            self.session.browser_starts())

        with self.subTest("opening the window, closing it to the tray"):
            self.assertEqual(self.request(40), 0)
            self.assertTrue(session.poll_until(lambda: "visible=1" in self.session.wintool_ok("window-info", *MAIN), 10))
            session.screenshot("main_window.png")
            self.session.wintool_ok("post-message", *MAIN, str(WM_COMMAND), str(ID_APP_ABOUT), "0")
            self.assertTrue(session.poll_until(
                lambda: session.wintool("window-info", "#32770", "バージョン情報")[0] == 0, 10))
            about = self.session.wintool_ok("dialog-text", "#32770", "バージョン情報")
            self.assertIn("pelun Ver 1.06", about)
            lines = about.splitlines()
            self.assertIn("User-Agent: pelun/1.06", lines)
            self.assertIn("DataPath: %s\\" % harness.windows_path(session.data_dir), lines)
            self.assertIn("TempPath: %s\\" % harness.windows_path(session.temp_dir), lines)
            self.assertIn("http://127.0.0.1:%d/" % self.port, about)
            self.session.wintool_ok("close-window", "#32770", "バージョン情報")
            self.assertTrue(session.poll_until(
                lambda: session.wintool("window-info", "#32770", "バージョン情報")[0] != 0, 10))
            before = os.path.getmtime(session.data_file)
            time.sleep(1.1)
            self.session.wintool_ok("post-message", *MAIN, str(WM_SYSCOMMAND), str(SC_CLOSE), "0")
            self.assertTrue(session.poll_until(lambda: "visible=0" in self.session.wintool_ok("window-info", *MAIN), 10))
            self.assertTrue(session.poll_until(lambda: os.path.getmtime(session.data_file) > before, 10),
                            "closing the window saves")
            self.assertTrue(session.main_window_exists(), "the program stays in the tray")
            flags = {s.findtext("title"): s.findtext("newflag")
                     for s in ElementTree.parse(session.data_file).getroot().iter("item")
                     if s.get("type") == "rss"}
            self.assertEqual((flags["A1"], flags["B1"], flags["B2"]), ("0", "1", "1"))

        with self.subTest("everything read, then a check asked for by a band"):
            self.read_page("/new?%d" % second_id)
            self.assertTrue(session.poll_until(lambda: tray_picture(session) == "idle", 10))
            self.assertTrue(session.poll_until(lambda: self.catches(catch_log)[-1:] == ["news=0"], 10))
            self.assertEqual(self.request(20), 0)
            requests_before = len(self.server.requests())
            self.assertEqual(self.request(41), 0)
            self.assertTrue(self.server.wait_for_requests(requests_before + 4, timeout=20))

        with self.subTest("a restarted shell gets the entry back"):
            self.session.wintool_ok("tray-entry", "delete")
            self.assertNotEqual(session.wintool("tray-entry", "exists")[0], 0)
            self.session.wintool_ok("post-message", *MAIN, "TaskbarCreated", "0", "0")
            self.assertTrue(session.poll_until(lambda: session.wintool("tray-entry", "exists")[0] == 0, 10))

        # Exit saves and ends.
        self.session.wintool_ok("post-message", *MAIN, str(WM_COMMAND), str(ID_APP_EXIT), "0")
        self.assertTrue(session.poll_until(lambda: not session.main_window_exists(), 30))
        root = ElementTree.parse(session.data_file).getroot()
        self.assertEqual([s.findtext("newflag") for s in root.iter("item") if s.get("type") == "rss"],
                         ["0", "0", "0", "0"])
        catcher.kill()


if __name__ == "__main__":
    harness.main()
