"""Registering sites and OPML lists end to end: the add-site dialog reached through the local
server, the duplicate question both ways, a remote list imported and followed, a request dropped
while a dialog is open, and OPML exported in both encodings through the real save dialog and
imported again. A registered site shows its new articles in the tree. Results are read from the
data file after the program ended."""
import os
import socket
import time
import unittest
import xml.etree.ElementTree as ElementTree

import harness
from feed_server import FeedServer

MAIN = (harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE)
DIALOG = "#32770"
WM_COMMAND = "0x111"
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
ID_CHECK_ALL, ID_PASTE_SITE, ID_EXPORT_ALL, ID_EXPORT_SELECTED, ID_APP_EXIT = 165, 194, 32790, 32792, 57665
FILE_NAME_EDIT, FILE_NAME_COMBO, FILTER_COMBO = 0x480, 0x47C, 0x470
SITE_NEWS = 4  # the picture of a site with new articles


def rss(name):
    items = "".join("<item><title>%s 記事%d</title><link>http://example.com/%s/%d</link></item>"
                    % (name, i, name, i) for i in range(2))
    return ('<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel><title>%s</title>'
            "<link>http://example.com/%s</link>%s</channel></rss>" % (name, name, items)).encode()


def opml(title, body):
    return ('<?xml version="1.0" encoding="UTF-8"?><opml version="1.0"><head><title>%s</title></head>'
            "<body>%s</body></opml>" % (title, body)).encode()


def outline(server, name):
    return '<outline text="%s" type="rss" xmlUrl="%s"/>' % (name, server.url("/%s.xml" % name))


def get(port, path):
    raw = ("GET %s HTTP/1.0\r\nHost: 127.0.0.1:%d\r\n\r\n" % (path, port)).encode()
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(raw)
        while s.recv(65536):
            pass


class AddSiteAndOpml(unittest.TestCase):
    def setUp(self):
        self.feeds = FeedServer(lifetime=240).start()
        self.addCleanup(self.feeds.stop)
        for name in "abcd":
            self.feeds.add_feed("/%s.xml" % name, rss(name))
        self.feeds.add_feed("/secret.xml", rss("s"), credentials=("u", "pw"))
        self.feeds.add_redirect("/old.xml", self.feeds.url("/secret.xml"))
        # A nested folder: a plain import flattens it into one folder.
        self.feeds.add_feed("/list.opml", opml("同期リスト", '<outline text="F">%s<outline text="G">%s</outline></outline>'
                                               % (outline(self.feeds, "b"), outline(self.feeds, "c"))))

    # The program's dialogs ------------------------------------------------------------------
    def popup(self, expected):
        code, title = self.session.wintool("wait-popup", *MAIN, "20000")
        self.assertEqual(code, 0, "no dialog came up, expected %s" % expected)
        self.assertEqual(title.strip(), expected)
        return title.strip()

    def texts(self, title):
        code, out = self.session.wintool("dialog-text", DIALOG, title)
        self.assertEqual(code, 0)
        return out

    def handle(self, title):
        code, out = self.session.wintool("wait-window", DIALOG, title, "0")
        return out.strip() if code == 0 else None

    def press(self, title, button):
        """Until that dialog is gone; the same question asked again is another window."""
        before = self.handle(title)
        self.assertEqual(self.session.wintool("press-button", DIALOG, title, str(button))[0], 0)
        self.assertTrue(self.session.poll_until(lambda: self.handle(title) != before, 20))

    def add(self, url, target=None):
        """/add? as the band sends it; the dialog shows the address and is confirmed."""
        get(self.port, "/add?" + url)
        self.popup("新規サイト")
        texts = self.texts("新規サイト")
        self.assertIn(url, texts)
        self.assertIn("RSS/ATOM/OPMLのURLまたはファイル名を入力してください。", texts)
        if target is not None:
            self.assertEqual(self.session.wintool("select-dialog-item", DIALOG, "新規サイト", "1022", str(target))[0], 0)
        self.press("新規サイト", IDOK)

    def answer(self, expected_text, button):
        title = self.popup("pelun")
        self.assertIn(expected_text, self.texts(title))
        self.press(title, button)

    def tree_nodes(self, text):
        """(image, bold) of each tree node with that text."""
        code, out = self.session.wintool("tree-items")
        self.assertEqual(code, 0)
        fields = [line.split("\t", 8) for line in out.splitlines()]
        return [(int(f[1]), f[2] == "1") for f in fields if f[8] == text]

    def command(self, command):
        self.assertEqual(self.session.wintool("post-message", *MAIN, WM_COMMAND, str(command), "0")[0], 0)

    def export(self, command, path, filter_index):
        """Through the common save dialog: the name typed into its edit, the encoding chosen in
        its type list."""
        self.command(command)
        code, title = self.session.wintool("wait-popup", *MAIN, "20000")
        self.assertEqual(code, 0)
        title = title.strip()
        self.assertIn("export.xml", self.texts(title))
        if self.session.wintool("set-dialog-item", DIALOG, title, str(FILE_NAME_EDIT), harness.windows_path(path))[0]:
            self.assertEqual(self.session.wintool("set-dialog-item", DIALOG, title, str(FILE_NAME_COMBO),
                                                  harness.windows_path(path))[0], 0)
        self.assertEqual(self.session.wintool("select-dialog-item", DIALOG, title, str(FILTER_COMBO),
                                              str(filter_index))[0], 0)
        self.press(title, IDOK)
        self.answer("OPMLエクスポートが完了しました。", IDOK)

    def start(self, session):
        self.session = session
        self.port = harness.free_port()
        session.write_settings("[Option]\r\nfirst=0\r\ntimer=0\r\nport=%d\r\n" % self.port)
        session.start()
        # The port first: a tool started before the program's desktop exists would become
        # that desktop's own process and not return until the desktop ends.
        self.assertTrue(harness.wait_for_port(self.port, timeout=60))
        self.assertTrue(session.wait_for_main_window())

    # The scenario -----------------------------------------------------------------------------
    def test_registering_following_and_exporting(self):
        with harness.PelunSession(desktop=True) as session:
            self.start(session)
            feed_a = self.feeds.url("/a.xml")
            list_url = self.feeds.url("/list.opml")

            # An empty tree: the site goes into a new folder. A request arriving while the
            # dialog is open is dropped.
            get(self.port, "/add?" + feed_a)
            self.popup("新規サイト")
            get(self.port, "/add?" + self.feeds.url("/d.xml"))
            self.assertIn("カーソル位置", self.texts("新規サイト"))
            session.screenshot("add-site-dialog.png")
            self.press("新規サイト", IDOK)

            # The same address again: declined once, then accepted into the folder chosen in the
            # dialog, where it goes first.
            for button, target in ((IDCANCEL, None), (IDOK, 1)):
                self.add(feed_a, target)
                self.answer("%s は重複登録となりますが、よろしいですか?" % feed_a, button)
            # Both registrations, into a new folder and into an existing one, have new articles:
            # their nodes are bold with the site-news picture.
            self.assertTrue(session.poll_until(lambda: self.tree_nodes("a") == [(SITE_NEWS, True)] * 2, 20),
                            "the new sites' nodes: %s" % self.tree_nodes("a"))

            # The clipboard's text is offered by the paste command.
            self.assertEqual(session.wintool("set-clipboard", self.feeds.url("/c.xml"))[0], 0)
            self.command(ID_PASTE_SITE)
            self.popup("新規サイト")
            self.assertIn(self.feeds.url("/c.xml"), self.texts("新規サイト"))
            self.press("新規サイト", IDCANCEL)

            # A feed that moved behind a password: a refused question reports the failure; the
            # second try asks twice (a wrong password first). The password is kept for the
            # address the feed moved to.
            get(self.port, "/add?" + self.feeds.url("/old.xml"))
            self.popup("新規サイト")
            self.press("新規サイト", IDOK)
            self.popup("新規サイト - 認証")
            self.press("新規サイト - 認証", IDCANCEL)
            self.answer("認証失敗", IDOK)
            self.add(self.feeds.url("/old.xml"))
            for password in ("wrong", "pw"):
                self.popup("新規サイト - 認証")
                if password == "pw":
                    session.screenshot("user-dialog.png")
                for control, text in (("1031", "u"), ("1032", password)):
                    self.assertEqual(session.wintool("set-dialog-item", DIALOG, "新規サイト - 認証", control, text)[0], 0)
                self.press("新規サイト - 認証", IDOK)

            # The list as a plain import, then as a folder that follows it.
            self.add(list_url)
            self.answer("「同期リスト」はOPMLデータです。", IDYES)
            self.add(list_url)
            self.answer("[いいえ] 常にOPMLの内容と同期するフォルダとして登録する", IDNO)
            self.assertTrue(self.feeds.wait_for_requests(1, "/c.xml", timeout=20))

            # The list changes: b goes, d comes first. The next check follows it.
            self.feeds.add_feed("/list.opml", opml("同期リスト", outline(self.feeds, "d") + outline(self.feeds, "c")))
            self.command(ID_CHECK_ALL)
            self.assertTrue(self.feeds.wait_for_requests(1, "/d.xml", timeout=30))

            # Exports: the whole tree in UTF-8; the selected (synchronised) folder in Shift-JIS.
            all_path = os.path.join(session.workdir, "all.xml")
            folder_path = os.path.join(session.workdir, "folder.xml")
            self.export(ID_EXPORT_ALL, all_path, 0)
            self.export(ID_EXPORT_SELECTED, folder_path, 1)
            # A local path handed over by a web page is never offered: the dialog opens empty.
            # Typed by the user, the Shift-JIS file is read back and imported without a question.
            local = harness.windows_path(folder_path)
            get(self.port, "/add?" + local)
            self.popup("新規サイト")
            self.assertNotIn(local, self.texts("新規サイト"))
            self.assertEqual(self.session.wintool("set-dialog-item", DIALOG, "新規サイト", "1001", local)[0], 0)
            self.assertEqual(self.session.wintool("select-dialog-item", DIALOG, "新規サイト", "1022", "0")[0], 0)
            self.press("新規サイト", IDOK)

            self.command(ID_APP_EXIT)
            self.assertTrue(session.poll_until(lambda: not session.main_window_exists(), 30))

            self.check_data_file(session, feed_a)
            self.check_exports(all_path, folder_path)

    def test_slow_download_keeps_the_program_answering(self):
        """A registration waits for a server that answers after 10 s: the local server answers
        throughout, the site is added once the answer is in; a second one is stopped with 中止
        and adds nothing."""
        self.feeds.add_feed("/slow.xml", rss("slow"), latency=10)
        self.feeds.add_feed("/stopped.xml", rss("stopped"), latency=10)
        with harness.PelunSession(desktop=True) as session:
            self.start(session)

            self.add(self.feeds.url("/slow.xml"))
            self.assertTrue(self.feeds.wait_for_requests(1, "/slow.xml", timeout=20))
            # Another request meanwhile is dropped, as while any dialog is open.
            get(self.port, "/add?" + self.feeds.url("/a.xml"))
            deadline = time.monotonic() + 60
            while not self.tree_nodes("slow"):
                self.assertLess(time.monotonic(), deadline, "the slow site never came")
                started = time.monotonic()
                head, _ = harness.http_get(self.port, "/")
                self.assertLess(time.monotonic() - started, 0.1, "the local server stalled")
                self.assertTrue(head.startswith("HTTP/1."), head)

            self.add(self.feeds.url("/stopped.xml"))
            self.assertEqual(self.popup("受信中"), "受信中")
            self.assertIn(self.feeds.url("/stopped.xml"), self.texts("受信中"))
            session.screenshot("transfer-progress.png")
            self.press("受信中", IDCANCEL)
            # Nothing is left open: no message, no second registration, and the program takes
            # commands again.
            self.assertNotEqual(session.wintool("wait-popup", *MAIN, "2000")[0], 0)
            session.run("/exit")
            self.assertTrue(session.poll_until(lambda: not session.main_window_exists(), 30))
            root = ElementTree.parse(session.data_file).getroot()
            sites = [s.findtext("src") for f in root.findall("item") for s in f.findall("item")]
            self.assertEqual(sites, [self.feeds.url("/slow.xml")])

    def check_data_file(self, session, feed_a):
        root = ElementTree.parse(session.data_file).getroot()
        folders = [(f.findtext("title"), f.findtext("src") or "",
                    [(s.findtext("title"), s.findtext("src"), len(s.findall("item")), s.findtext("newflag"))
                     for s in f.findall("item") if s.get("type") == "rss"])
                   for f in root.findall("item")]
        url = self.feeds.url
        self.assertEqual([f[0] for f in folders], ["新しいフォルダ", "F", "同期リスト", "同期リスト"])
        new_folder, plain, synced, reimported = folders
        # Two registrations of a, each with the feed's title, its two articles and new, the second
        # first in the folder; the site behind the password after it (the selected site).
        secret = url("/secret.xml")
        self.assertEqual(new_folder[2], [("a", feed_a, 2, "1"), ("s", secret, 2, "1"), ("a", feed_a, 2, "1")])
        site = root.findall("item")[0].findall("item")[1]
        self.assertEqual(site.findtext("user"), "u")
        self.assertEqual(site.findtext("orgsrc"), url("/old.xml"))
        # The virtual desktop ended with the program; the tool runs without one.
        session.desktop = None
        code, out = session.wintool("unprotect", site.findtext("pass"), secret)
        self.assertEqual((code, out.strip()), (0, "pw"))
        self.assertEqual([(s[0], s[1]) for s in plain[2]], [("b", url("/b.xml")), ("c", url("/c.xml"))])
        self.assertEqual(synced[1], url("/list.opml"))
        # The followed list after its change, in its order, each site checked.
        self.assertEqual([(s[0], s[1]) for s in synced[2]], [("d", url("/d.xml")), ("c", url("/c.xml"))])
        self.assertTrue(all(s[2] == 2 for s in synced[2]))
        # The Shift-JIS export of that folder, imported again as a plain folder.
        self.assertEqual(reimported[1], "")
        self.assertEqual([(s[0], s[1]) for s in reimported[2]], [(s[0], s[1]) for s in synced[2]])
        self.assertTrue(os.path.exists(session.data_file + ".bak"))

    def check_exports(self, all_path, folder_path):
        with open(all_path, "rb") as f:
            whole = f.read()
        self.assertTrue(whole.startswith(b"<?xml version='1.0' encoding='utf-8'?>"), whole[:60])
        body = ElementTree.fromstring(whole).find("body")
        self.assertEqual([o.get("title") for o in body.findall("outline")], ["新しいフォルダ", "F", "同期リスト"])
        with open(folder_path, "rb") as f:
            single = f.read()
        self.assertTrue(single.startswith(b"<?xml version='1.0' encoding='Shift-JIS'?>"), single[:60])
        text = single.decode("cp932")
        self.assertIn('title="同期リスト"', text)
        self.assertIn("同期リスト".encode("cp932"), single)
        self.assertIn('<title>pelun export</title>', text)


if __name__ == "__main__":
    harness.main()
