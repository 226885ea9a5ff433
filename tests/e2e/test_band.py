"""The toolbar band under Wine: its registration by regsvr32, and the band in a test host of
ours (tests/wine/band_host.cpp) that gives it a rebar and a stand-in browser, without the main
program and with the real one running."""
import os
import queue
import re
import shutil
import subprocess
import threading
import unittest
import urllib.request

import harness
from feed_server import FeedServer
from sample_feeds import folder, rss, start_program, exit_program

BAND = "{DE2BA9C8-CF2E-41DF-8B64-441C516B64AE}"
UTIL = "{A222643E-744A-46F8-85FE-02883EC5C2E3}"
LIBID = "{DBFD22D6-5229-407D-A407-E15D7FF35253}"
APPID = "{FE4F5263-11D5-4724-95BA-A978983B6369}"
MENU_EXT = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\"
STATS = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\" + UTIL
TOOLBAR_KEY = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar"
ARTICLES, FEED = 1004, 1005
RSS_TYPE = "application/rss+xml"
CLIPBOARD_NOTICE = " をクリップボードにコピーしました。"


class BandHost:
    """The host program; one command a line, each answer ends with a line "."."""

    def __init__(self, session):
        self.session = session
        path = os.path.join(session.program_dir, "band_host.exe")
        self.process = subprocess.Popen([session.env["WINE"], path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, env=session.env, cwd=session.program_dir)
        session.processes.append(self.process)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def close(self):
        """End of input ends the host; then its output is read to the end."""
        self.process.stdin.close()
        harness.stop_process(self.process)
        self.process.stdout.close()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.decode("utf-8", "replace").rstrip("\r\n"))

    def ask(self, *words, timeout=60):
        self.process.stdin.write(("\t".join(words) + "\n").encode("utf-8"))
        self.process.stdin.flush()
        answer = []
        while True:
            line = self.lines.get(timeout=timeout)
            if line == ".":
                return answer
            answer.append(line)

    def value(self, *words):
        return self.ask(*words)[0].split("=", 1)[1]

    def menu(self):
        """(id, greyed, default, text) of each item of the open menu; None when none is open."""
        lines = self.ask("menu")
        if lines == ["menu=none"]:
            return None
        return [tuple(line[len("item="):].split("|", 3)) for line in lines]

    def open_menu(self, which):
        self.ask("open-menu", which)
        items = []
        if not harness.PelunSession.poll_until(lambda: items.append(self.menu()) or items[-1], 20):
            raise AssertionError("the %s menu did not open" % which)
        return items[-1]


def link(href, title="-", type_=RSS_TYPE, rel="alternate"):
    return "%s|%s|%s|%s" % (type_, rel, href, title)


class BandTest(unittest.TestCase):
    def setUp(self):
        self.session = harness.PelunSession().__enter__()
        self.addCleanup(self.session.close)
        for name in ("pelunband.dll", "band_host.exe"):
            shutil.copy2(os.path.join(self.session.windows_build, name), self.session.program_dir)
        self.dll = harness.windows_path(os.path.join(self.session.program_dir, "pelunband.dll"))

    def regsvr32(self, *args):
        subprocess.run([self.session.env["WINE"], "regsvr32", "/s"] + list(args) + [self.dll], env=self.session.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)

    def exported(self, key):
        """The key's export by the registry editor (values and subkeys); None when it is missing."""
        path = os.path.join(self.session.workdir, "export.reg")
        if os.path.exists(path):
            os.remove(path)
        subprocess.run([self.session.env["WINE"], "regedit", "/E", harness.windows_path(path), key],
                       env=self.session.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        if not os.path.exists(path) or os.path.getsize(path) == 0:
            return None
        with open(path, "rb") as f:
            data = f.read()
        return data.decode("utf-16") if data.startswith(b"\xff\xfe") else data.decode("utf-8", "replace")

    def registered(self):
        self.regsvr32()
        self.addCleanup(self.regsvr32, "/u")

    def test_registration_writes_and_removes_the_layout(self):
        dll = self.dll.replace("\\", "\\\\")
        expected = {
            "HKEY_CLASSES_ROOT\\AppID\\" + APPID: ['@="pelunband"'],
            "HKEY_CLASSES_ROOT\\AppID\\pelunband.dll": ['"AppID"="%s"' % APPID],
            "HKEY_CLASSES_ROOT\\RssToolbar.RssToolBand.1": ['@="RssToolBand Class"', '@="%s"' % BAND],
            "HKEY_CLASSES_ROOT\\RssToolbar.RssToolBand": ['@="%s"' % BAND, '@="RssToolbar.RssToolBand.1"'],
            "HKEY_CLASSES_ROOT\\RssToolbar.PelunUtil": ['@="PelunUtil Class"', '@="RssToolbar.PelunUtil.1"'],
            "HKEY_CLASSES_ROOT\\CLSID\\" + BAND: [
                '@="pelun拡張ツールバー(&C)"', '"AppID"="%s"' % APPID, '@="RssToolbar.RssToolBand.1"',
                '@="RssToolbar.RssToolBand"', "\\Programmable]", '@="%s"' % dll, '"ThreadingModel"="Apartment"',
                '@="%s"' % LIBID],
            "HKEY_CLASSES_ROOT\\CLSID\\" + UTIL: ['@="PelunUtil Class"', '@="RssToolbar.PelunUtil.1"',
                                                 "\\Programmable]", '@="%s"' % dll, '@="%s"' % LIBID],
            "HKEY_CLASSES_ROOT\\TypeLib\\" + LIBID: ["\\1.0]", '@="%s"' % dll],
            MENU_EXT + "pelun: RSSを探して追加する": ['@="res://%s/addrss.html"' % dll, '"Contexts"=dword:00000035'],
            MENU_EXT + "pelun: 選択中のRSSを追加する": ['@="res://%s/addrss2.html"' % dll, '"Contexts"=dword:00000022'],
            STATS + "\\iexplore\\AllowedDomains\\" + self.dll: ["AllowedDomains\\%s]" % self.dll],
        }
        self.regsvr32()
        for key, texts in expected.items():
            export = self.exported(key)
            self.assertIsNotNone(export, key)
            for text in texts:
                self.assertIn(text, export, key)
        self.assertNotIn('@=""', self.exported(STATS + "\\iexplore\\AllowedDomains\\" + self.dll),
                         "the domain key is empty")
        self.assertIn('"%s"=""' % BAND, self.exported(TOOLBAR_KEY))

        self.regsvr32("/u")
        for key in expected:
            self.assertIsNone(self.exported(key), key)
        self.assertNotIn(BAND, self.exported(TOOLBAR_KEY) or "")
        for parent in ("HKEY_CLASSES_ROOT\\AppID", "HKEY_CLASSES_ROOT\\CLSID", MENU_EXT[:-1]):
            self.assertIsNotNone(self.exported(parent), parent)

    def test_band_in_a_host_without_and_with_the_program(self):
        self.registered()
        host = BandHost(self.session)
        self.addCleanup(host.close)
        self.assertEqual(host.ask("start"), ["created=1", "setsite=0", "toolbar=1 class=ToolbarWindow32 parent-is-rebar=1"
                                             " buttons=2", "visible=1"])
        info = host.value("band-info")
        self.assertIn("min=44x24 max=999x24 integral=5x0 actual=44x24 modeflags=0 title=untouched "
                      "background=197121", info)
        self.assertEqual(host.value("button-image", str(ARTICLES)), "2", "no program, no news")

        with self.subTest("feeds found on pages"):
            host.ask("page", "http://site.example/dir/index.html", "top",
                     link("feed.xml", "Site\r feed"), link("/atom", type_="APPLICATION/ATOM+XML", rel="ALTERNATE"),
                     link("style.css", "style", type_="text/css", rel="stylesheet"))
            self.assertEqual(host.value("button-image", str(FEED)), "1")
            self.assertEqual([item[3] for item in host.open_menu("feed")], ["/atom", "Site feed"])
            host.ask("close-menu")
            for n in range(11):
                host.ask("page", "http://frame.example/%d" % n, "http://frame.example/%d" % n,
                         link("http://feeds.example/%d.xml" % n, "F&%d" % n))
            host.ask("page", "http://frame.example/5", "http://frame.example/5", link("http://feeds.example/5.xml", "again"))
            items = host.open_menu("feed")
            self.assertEqual([item[3] for item in items],
                             ["again"] + ["F&&%d" % n for n in (10, 9, 8, 7, 6, 4, 3, 2, 1, 0)])
            self.assertEqual([item[0] for item in items], [str(45100 + i) for i in range(11)])

            # Without the program the chosen feed goes to the clipboard, with a notice.
            host.ask("choose", "45100")
            notice = "http://feeds.example/5.xml" + CLIPBOARD_NOTICE
            self.assertTrue(self.session.poll_until(
                lambda: notice in self.session.wintool("dialog-text", "#32770", "pelun")[1], 20))
            self.assertEqual(host.value("clipboard"), "http://feeds.example/5.xml")
            self.session.wintool_ok("close-window", "#32770", "pelun")

            host.ask("leave", "top")
            self.assertEqual(host.value("button-image", str(FEED)), "0")
            self.assertEqual(host.open_menu("feed"), [("45100", "1", "0", "RSSは見つかっていません")])
            host.ask("close-menu")

        with self.subTest("articles button without the program"):
            self.assertEqual(host.open_menu("articles"), [("1012", "0", "0", "pelunについて(&A)")])
            host.ask("choose", "1012")
            self.assertTrue(self.session.poll_until(lambda: host.ask("navigations") != [], 10))
            host.ask("click", str(ARTICLES))
            self.assertEqual(host.ask("navigations"), ["navigate=https://pelun.example/ "] * 2)

        with self.subTest("the context-menu helper without the program"):
            self.assertEqual(host.ask("util"), ["created=1 dispid=1"])
            for href, text in (("", "RSSリンクが見つかりません。"),
                               ("../feed.rdf", "http://site.example/feed.rdf" + CLIPBOARD_NOTICE)):
                host.ask("addrss", "http://site.example/a/page.html", href)
                self.assertTrue(self.session.poll_until(
                    lambda: text in self.session.wintool("dialog-text", "#32770", "pelun")[1], 20), text)
                self.session.wintool_ok("close-window", "#32770", "pelun")
                self.assertTrue(self.session.poll_until(
                    lambda: self.session.wintool("wait-window", "#32770", "pelun", "0")[0] != 0, 10))
            self.assertEqual(host.value("clipboard"), "http://site.example/feed.rdf")

        with self.subTest("hidden and shown again, and a second browser window in the process"):
            self.assertEqual(host.ask("reopen"), ["restored-on-close=1", "toolbar=1"])
            host.ask("page", "http://x.example/", "top", link("f.xml", "X"))
            self.assertEqual([i[3] for i in host.open_menu("feed")], ["X"], "through the rebar hooked once")
            host.ask("close-menu")
            self.assertEqual(host.ask("second", "start")[0], "created=1")
            self.assertEqual(host.value("catch-windows"), "2", "each window follows the broadcast")
            self.assertEqual(host.ask("second", "close"), ["rebar-restored=1"])
            self.assertEqual(host.value("catch-windows"), "1")
            self.assertEqual([i[3] for i in host.open_menu("feed")], ["X"], "the first rebar keeps its hook")
            host.ask("close-menu")

        # The program starts, checks its sites and announces news: the band follows.
        port = harness.free_port()
        feeds = FeedServer(lifetime=300).start()
        self.addCleanup(feeds.stop)
        for name, count in (("a", 2), ("a2", 1), ("b", 0), ("c", 3)):
            feeds.add_feed("/%s.xml" % name, rss(name, count), last_modified=True)
        start_program(self.session, "first=1\ndelay=0\ntimer=0\ntimeout=20\nport=%d\nnotifyMyWindow=0\n" % port,
                      [folder("ニュース", [("A", feeds.url("/a.xml")), ("A2", feeds.url("/a2.xml"))]), folder("静か", [("B", feeds.url("/b.xml"))]),
                       folder("R&D", [("C", feeds.url("/c.xml"))])])
        self.assertTrue(self.session.poll_until(lambda: host.value("button-image", str(ARTICLES)) == "3", 60),
                        "the news broadcast reaches the band")

        with self.subTest("folder menu from the program"):
            items = host.open_menu("articles")
            self.assertEqual([(i[2], i[3]) for i in items[:3]],
                             [("1", "【ニュース】\t2件"), ("0", "【静か】\t-"), ("0", "【R&&D】\t1件")])
            self.assertEqual([i[3] for i in items[3:]], ["", "全てを更新(&R)", "設定(&S)", "", "pelunについて(&A)"])
            self.session.screenshot("band_folder_menu.png")
            host.ask("hold", "shift")
            host.ask("choose", "45202")
            folder_page = r"^navigate=http://127\.0\.0\.1:%d/new\?\d+ - _blank $" % port
            self.assertTrue(self.session.poll_until(
                lambda: re.match(folder_page, host.ask("navigations")[-1]), 10), "with Shift in a new window")
            host.ask("hold", "none")
            host.ask("click", str(ARTICLES))
            self.assertEqual(host.ask("navigations")[-1], "navigate=http://127.0.0.1:%d/new " % port)

        with self.subTest("news read: the broadcast says so"):
            with urllib.request.urlopen("http://127.0.0.1:%d/folderlist.xml" % port, timeout=10) as answer:
                paths = [line.split("<url>")[1].split("</url>")[0]
                         for line in answer.read().decode().splitlines() if "<url>" in line]
            for path in paths:
                urllib.request.urlopen("http://127.0.0.1:%d%s" % (port, path), timeout=10).read()
            self.assertTrue(self.session.poll_until(lambda: host.value("button-image", str(ARTICLES)) == "2", 30))

        with self.subTest("a chosen feed opens the program's add-site dialog"):
            host.ask("leave", "top")
            host.ask("page", "http://blog.example/a/b.html", "top", link("../rss/index.xml", "Blog"))
            items = host.open_menu("feed")
            self.assertEqual(items, [("45100", "0", "0", "Blog")])
            self.session.screenshot("band_feed_menu.png")
            host.ask("hold", "ctrl")
            host.ask("choose", "45100")
            notice = "http://blog.example/rss/index.xml" + CLIPBOARD_NOTICE
            self.assertTrue(self.session.poll_until(
                lambda: notice in self.session.wintool("dialog-text", "#32770", "pelun")[1], 20), "Control: clipboard")
            self.session.wintool_ok("close-window", "#32770", "pelun")
            host.ask("hold", "none")
            host.open_menu("feed")
            host.ask("choose", "45100")
            self.assertTrue(self.session.poll_until(
                lambda: "http://blog.example/rss/index.xml" in self.session.wintool("dialog-text", "#32770", "新規サイト")[1],
                30))
            subprocess.run(["convert", os.path.join(harness.ARTIFACTS, "band_feed_menu.png"),
                            os.path.join(harness.ARTIFACTS, "band_folder_menu.png"), "+append",
                            os.path.join(harness.ARTIFACTS, "band_menus.png")], check=True)

        self.assertEqual(host.ask("close"), ["rebar-restored=1"])
        self.session.wintool_ok("close-window", "#32770", "新規サイト")
        exit_program(self.session)


if __name__ == "__main__":
    harness.main()
