"""The options sheet, the property sheets of a site and of a folder, and registering a search
result feed, driven by UI automation in the real program. What they change is read from the
program's behaviour (the checks it makes, the shortcut it writes) and from its files after /exit.
Screenshots of every page go to build/artifacts."""
import configparser
import glob
import os
import unittest
import xml.etree.ElementTree as ElementTree

import harness
from feed_server import FeedServer, _basic
from sample_feeds import exit_program, folder, rss, start_program

MAIN = (harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE)
DIALOG = "#32770"
WM_COMMAND = "0x111"
IDOK, IDCANCEL = 1, 2
ID_CHECK_ALL, ID_OPTIONS, ID_NEW_SEARCH_SITE, ID_PROPERTIES = 165, 191, 197, 32794
OPTIONS = "オプション"
MINUTE_MS = 100  # the program's minute, shortened for the test
SITE_NEWS = 4  # the picture of a site with new articles


class Sheets(unittest.TestCase):
    def setUp(self):
        self.feeds = FeedServer(lifetime=300).start()
        self.addCleanup(self.feeds.stop)
        self.port = harness.free_port()

    # Driving ---------------------------------------------------------------------------------
    def command(self, command):
        self.session.wintool_ok("post-message", *MAIN, WM_COMMAND, str(command), "0")

    def wait_dialog(self, title):
        code, _ = self.session.wintool("wait-window", DIALOG, title, "20000")
        self.assertEqual(code, 0, "no window %s" % title)

    def gone(self, title):
        self.assertTrue(self.session.poll_until(
            lambda: self.session.wintool("wait-window", DIALOG, title, "0")[0] != 0, 20), "%s stayed" % title)

    def state(self, title, control):
        out = self.session.wintool_ok("page-state", title, str(control))
        return dict(line.split("=", 1) for line in out.splitlines() if "=" in line)

    def act(self, verb, title, control, *value):
        self.session.wintool_ok("page-" + verb, title, str(control), *value)

    def page(self, title, index, screenshot=None):
        self.session.wintool_ok("sheet-page", title, str(index))
        if screenshot:
            self.session.screenshot(screenshot)

    def answer(self, expected):
        """The message box the program shows, answered with OK."""
        out = self.session.wintool_ok("answer-box", "pelun", str(IDOK))
        self.assertIn("text=" + expected, out)
        self.gone("pelun")

    def press_ok(self, title):
        self.session.wintool_ok("press-button", DIALOG, title, str(IDOK))

    def shortcut(self):
        pattern = os.path.join(self.session.env["WINEPREFIX"], "drive_c", "users", "*", "AppData", "Roaming",
                               "Microsoft", "Windows", "Start Menu", "Programs", "[Ss]tart[Uu]p", "pelun.lnk")
        found = glob.glob(pattern)
        return found[0] if found else None

    def remove_shortcut(self):
        if self.shortcut():
            os.remove(self.shortcut())

    def start(self, session, settings, folders):
        self.session = session
        session.env["PELUN_MINUTE_MS"] = str(MINUTE_MS)
        # The start-up link must not become a menu entry of this computer's desktop.
        session.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        start_program(session, "port=%d\nfirst=0\n%s" % (self.port, settings), folders)
        self.assertTrue(harness.wait_for_port(self.port))

    def node_image(self, text):
        for line in self.session.wintool_ok("tree-items").splitlines():
            fields = line.split("\t", 8)
            if fields[8] == text:
                return int(fields[1])
        return None

    def ini(self):
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read_string(self.session.read_ini())
        return parser

    # Tests ------------------------------------------------------------------------------------
    def test_options_sheet_applies_at_once_and_is_saved(self):
        self.feeds.add_feed("/a.xml", rss("a", 2))
        with harness.PelunSession() as session:
            self.start(session, "timer=0\nnotifyAlpha=100\nnotifyMyWindow=1", [folder("F", [("a", self.feeds.url("/a.xml"))])])
            # A link left in the shared prefix would be started by every later start of Wine.
            self.remove_shortcut()
            self.addCleanup(self.remove_shortcut)

            self.command(ID_OPTIONS)
            self.wait_dialog(OPTIONS)
            # Periodic checks off: unchecked with 30 minutes shown; opaque: the slider at 3.
            self.assertEqual(self.state(OPTIONS, 1003)["checked"], "0")
            self.assertEqual((self.state(OPTIONS, 1002)["text"], self.state(OPTIONS, 1002)["enabled"]), ("30", "0"))
            self.assertEqual(self.state(OPTIONS, 1047)["checked"], "0")
            self.assertEqual((self.state(OPTIONS, 1051)["position"], self.state(OPTIONS, 1051)["enabled"]), ("3", "0"))
            self.assertEqual(self.state(OPTIONS, 1061)["checked"], "0")
            session.screenshot("options-general-popup.png")
            # The notification controls follow the method: the ticker's own, then the pop-up's.
            self.act("select", OPTIONS, 1058, "2")
            self.assertEqual([self.state(OPTIONS, c)["visible"] for c in (1011, 1010, 1016, 1009, 1049)],
                             ["1", "1", "0", "0", "1"])
            session.screenshot("options-general-ticker.png")
            self.act("select", OPTIONS, 1058, "0")
            self.assertEqual([self.state(OPTIONS, c)["visible"] for c in (1011, 1016, 1009, 1049)], ["0", "0", "1", "0"])

            # Out of range: the message, and the sheet stays open with the value.
            self.act("set", OPTIONS, 1005, "601")
            self.press_ok(OPTIONS)
            self.answer("Please enter an integer between 0 and 600.")
            self.assertEqual(self.state(OPTIONS, 1005)["text"], "601")
            self.act("set", OPTIONS, 1005, "5")
            self.act("click", OPTIONS, 1003)
            self.assertTrue(session.poll_until(lambda: self.state(OPTIONS, 1002)["enabled"] == "1", 10))
            self.act("set", OPTIONS, 1002, "14")
            self.press_ok(OPTIONS)
            self.answer("Please enter an integer between 15 and 999.")
            self.act("set", OPTIONS, 1002, "15")
            self.act("click", OPTIONS, 1047)
            self.act("slider", OPTIONS, 1051, "2")
            self.act("click", OPTIONS, 1061)

            self.page(OPTIONS, 1, "options-display.png")
            self.assertEqual(self.state(OPTIONS, 1019)["enabled"], "0")
            self.page(OPTIONS, 2)
            self.act("set", OPTIONS, 1010, "0")
            self.press_ok(OPTIONS)
            self.answer("Please enter an integer between 1 and 65535.")
            self.act("set", OPTIONS, 1010, str(self.port + 1))
            self.act("click", OPTIONS, 1003)  # a proxy without a server
            session.screenshot("options-connection.png")
            self.page(OPTIONS, 3)
            for text in ("Example.COM/feeds", "example.com", "  other.example "):
                self.act("set", OPTIONS, 1002, text)
                self.act("click", OPTIONS, 1007)
                self.assertTrue(session.poll_until(lambda: self.state(OPTIONS, 1002)["text"] == "", 10))
            limits = self.state(OPTIONS, 1017)
            self.assertEqual(limits["selection"], "1")
            session.screenshot("options-limits.png")

            self.assertEqual(self.feeds.requests("/a.xml"), [])  # no periodic checks so far
            self.press_ok(OPTIONS)
            self.gone(OPTIONS)
            # The new interval runs at once: 15 of the program's minutes bring the first check.
            self.assertTrue(self.feeds.wait_for_requests(1, "/a.xml", timeout=30))
            self.assertTrue(self.shortcut(), "no start-up shortcut")

            # Again: the shown values are the applied ones; periodic checks off, the shortcut
            # removed, a proxy with server and port.
            self.command(ID_OPTIONS)
            self.wait_dialog(OPTIONS)
            self.assertEqual([self.state(OPTIONS, c)["checked"] for c in (1061, 1003, 1047)], ["1", "1", "1"])
            self.assertEqual(self.state(OPTIONS, 1051)["position"], "2")
            self.act("click", OPTIONS, 1061)
            self.act("click", OPTIONS, 1003)
            self.page(OPTIONS, 2)
            self.act("click", OPTIONS, 1003)
            self.act("set", OPTIONS, 1002, "proxy.invalid")
            self.act("set", OPTIONS, 1038, "8080")
            self.press_ok(OPTIONS)
            self.gone(OPTIONS)
            self.assertTrue(session.poll_until(lambda: self.shortcut() is None, 10), "the shortcut stayed")

            session.run("/exit")
            self.assertTrue(session.poll_until(lambda: not session.main_window_exists(), 30))
            ini = self.ini()
            option = ini["Option"]
            self.assertEqual((option["timer"], option["delay"], option["notifyAlpha"], option["notifyMyWindow"]),
                             ("0", "5", "40", "0"))
            self.assertEqual(option["port"], str(self.port + 1))
            self.assertEqual((ini["Proxy"]["type"], ini["Proxy"]["server"], ini["Proxy"]["port"]),
                             ("3", "proxy.invalid", "8080"))
            self.assertEqual([ini["LimitUrl"].get("url_%d" % i) for i in range(3)],
                             ["Example.COM/feeds", "other.example", ""])

    def test_site_and_folder_sheets(self):
        credentials = ("u", "pw")
        self.feeds.add_feed("/old.xml", rss("old", 2), credentials=credentials)
        self.feeds.add_feed("/new.xml", rss("new", 3), credentials=credentials)
        self.feeds.add_feed("/open.xml", rss("open", 1))
        old, new = self.feeds.url("/old.xml"), self.feeds.url("/new.xml")
        with harness.PelunSession() as session:
            self.session = session
            open_url = self.feeds.url("/open.xml")
            credentials_of = {url: "<user>u</user><pass>%s</pass>" % session.wintool_ok("protect", "pw", url).strip()
                              for url in (old, open_url)}
            sites = folder("F", [("moved", old), ("open", open_url)])
            for url, text in credentials_of.items():
                sites = sites.replace("<src>%s</src>" % url, "<src>%s</src>%s" % (url, text))
            self.start(session, "timer=30", [sites])
            self.command(ID_CHECK_ALL)
            # The first check is in (the node shows news) before the statistics are looked at.
            self.assertTrue(session.poll_until(lambda: self.node_image("moved") == SITE_NEWS, 30))

            session.wintool_ok("tree-select", "moved")
            self.command(ID_PROPERTIES)
            sheet = "movedのプロパティ"
            self.wait_dialog(sheet)
            self.assertEqual(self.state(sheet, 1032)["text"], "pw")
            session.screenshot("site-general.png")
            self.page(sheet, 1, "site-info.png")
            info = self.state(sheet, 1002)["text"]
            # Line breaks come back as "||".
            self.assertRegex(info, r"^■更新日時\|\|HTTP : \|\|RSS : \|\|システム : \S+ \d+:\d\d:\d\d\|\|\|\|■回数")
            self.assertTrue(info.endswith("更新チェック : 1回||新着 : 1回 (100.0%)||エラー : 0回 (0.0%)||"), info)
            self.page(sheet, 0)
            # A new address empties the password field; typed again, it is kept for that address.
            self.act("set", sheet, 1005, new)
            self.assertEqual(self.state(sheet, 1032)["text"], "")
            self.act("set", sheet, 1032, "pw")
            self.act("set", sheet, 1002, "移動先")
            self.press_ok(sheet)
            self.gone(sheet)

            # Without a user name the password goes: the feed then answers 401.
            session.wintool_ok("tree-select", "open")
            self.command(ID_PROPERTIES)
            self.wait_dialog("openのプロパティ")
            self.act("set", "openのプロパティ", 1031, "")
            self.press_ok("openのプロパティ")
            self.gone("openのプロパティ")

            session.wintool_ok("tree-select", "F")
            self.command(ID_PROPERTIES)
            sheet = "Fのプロパティ"
            self.wait_dialog(sheet)
            self.act("click", sheet, 1003)
            self.act("set", sheet, 1002, "45")
            session.screenshot("folder-general.png")
            self.page(sheet, 1)
            self.act("click", sheet, 1030)
            self.act("set", sheet, 1002, "広告 PR")
            self.act("select", sheet, 1026, "1")
            session.screenshot("folder-filter.png")
            self.press_ok(sheet)
            self.gone(sheet)

            before = len(self.feeds.requests("/old.xml"))
            session.wintool_ok("tree-select", "移動先")
            self.command(ID_CHECK_ALL)
            self.assertTrue(session.poll_until(lambda: any(r.header("Authorization") == _basic(*credentials)
                                                           for r in self.feeds.requests("/new.xml")), 30))
            self.assertEqual(len(self.feeds.requests("/old.xml")), before)
            exit_program(session)

            root = ElementTree.parse(session.data_file).getroot()
            items = {item.findtext("title"): item for item in root.iter("item") if item.get("type")}
            moved = items["移動先"]
            self.assertEqual(moved.findtext("src"), new)
            self.assertEqual(session.wintool_ok("unprotect", moved.findtext("pass"), new).strip(), "pw")
            self.assertFalse(items["open"].findtext("pass"))
            self.assertFalse(items["open"].findtext("user"))
            self.assertIn("広告 PR", ElementTree.tostring(items["F"], encoding="unicode"))

    def test_search_site_builds_each_encoding_and_registers_the_feed(self):
        self.feeds.add_feed("/search.xml", rss("検索", 2))
        markers = "u=//key@utf-8//&e=//key@euc//&s=//key@sjis//"
        with harness.PelunSession() as session:
            self.session = session
            browser = session.use_fake_browser()
            # The search services shipped with the program, read in the system code page.
            with open(os.path.join(harness.ROOT, "app", "define.ini"), "rb") as f:
                session.write_define_ini(session.default_define_ini() + f.read().decode("cp932"))
            self.start(session, "timer=0\nbrowser=%s" % browser, [folder("F", [])])
            session.wintool_ok("tree-select", "F")
            title = "新規検索サイト"
            self.command(ID_NEW_SEARCH_SITE)
            self.wait_dialog(title)
            self.assertEqual((self.state(title, 1002)["count"], self.state(title, 1002)["text"]), ("4", "Bingニュース"))
            session.wintool_ok("press-button", DIALOG, title, str(IDCANCEL))
            self.gone(title)

            # Read again when the dialog opens: local services, one of them after a gap.
            session.write_define_ini(session.default_define_ini() +
                                     "[search1]\r\nface=ローカル\r\nhtml=%s\r\nrss=%s\r\n"
                                     "[search2]\r\nface=Aサイト\r\nhtml=http://a/\r\nrss=http://a/\r\n"
                                     "[search4]\r\nface=after a gap\r\nhtml=x\r\nrss=x\r\n"
                                     % (self.feeds.url("/page?" + markers), self.feeds.url("/search.xml?" + markers)))
            self.command(ID_NEW_SEARCH_SITE)
            self.wait_dialog(title)
            texts = session.wintool_ok("dialog-text", DIALOG, title)
            self.assertNotIn("after a gap", texts)
            self.assertEqual(self.state(title, 1002)["count"], "2")
            self.assertEqual(self.state(title, 1002)["text"], "Aサイト")  # sorted by name
            self.act("select", title, 1002, "1")
            self.press_ok(title)
            self.answer("検索ワードを入力してください。")
            self.act("set", title, 1001, "ﾃｽﾄ")
            self.act("click", title, 1003)
            self.answer("文字コード変換中にエラーが発生しました。")
            self.act("set", title, 1001, "日本 語")
            session.screenshot("search-site.png")
            self.act("click", title, 1003)
            expected = "u=%E6%97%A5%E6%9C%AC+%E8%AA%9E&e=%C6%FC%CB%DC+%B8%EC&s=%93%FA%96%7B+%8C%EA"
            self.assertTrue(session.poll_until(lambda: session.browser_starts(), 20))
            self.assertIn(self.feeds.url("/page?" + expected), session.browser_starts()[0])
            self.press_ok(title)

            # The add-site flow takes over with the feed's address.
            self.wait_dialog("新規サイト")
            self.assertIn(self.feeds.url("/search.xml?" + expected),
                          session.wintool_ok("dialog-text", DIALOG, "新規サイト"))
            self.press_ok("新規サイト")
            self.assertTrue(self.feeds.wait_for_requests(1, "/search.xml", timeout=20))
            self.assertTrue(session.poll_until(lambda: "検索" in session.wintool_ok("tree-items"), 20))
            # Checked like any other site.
            self.command(ID_CHECK_ALL)
            self.assertTrue(self.feeds.wait_for_requests(2, "/search.xml", timeout=30))
            self.assertEqual({r.query for r in self.feeds.requests("/search.xml")}, {expected})
            exit_program(session)


if __name__ == "__main__":
    harness.main()
