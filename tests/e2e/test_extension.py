"""The browser extension as the build packs it, in Debian's Chromium (headless), against the
real program: the badge follows a check, the pop-up lists the folders and opens them, checks
all sites, hands a page's feed to the add-site dialog, and says so when the program is gone."""
import os
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile

import harness
from devtools import HeadlessChromium
from feed_server import FeedServer
from sample_feeds import folder, rss

TITLE = "pelun連携 - 記事を読む"
BADGE_POLL = 90  # the extension asks every minute

# Two feeds the browser band would find (one relative with a title broken over lines, one in
# capitals without a title) among links it would not take.
FEED_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>feeds</title>
<link rel="alternate" type="application/rss+xml" title="追加&#13;&#10;フィード" href="feeds/extra.xml">
<link rel="stylesheet" type="text/css" href="feeds/style.css">
<link rel="alternate" type="text/html" href="feeds/other.html">
<link rel="alternate" type="application/rss+xml" title="script" href="javascript:alert(1)">
<link rel="ALTERNATE" type="Application/Atom+XML" href="/atom.xml">
</head><body>feeds</body></html>"""

POPUP_STATE = """(() => ({
  folders: Array.from(document.querySelectorAll('#folders li')).map(li => [
      li.querySelector('.title').textContent, li.querySelector('.count').textContent,
      li.querySelector('.entry').classList.contains('default'), li.querySelector('.recent')?.textContent ?? null]),
  feeds: Array.from(document.querySelectorAll('#feeds .entry')).map(b => [b.textContent, b.title]),
  status: document.getElementById('status').textContent,
  text: document.body.innerText,
}))()"""


def figures(port):
    """(title, new, all) of each folder, as the program lists them."""
    _, body = harness.http_get(port, "/folderlist.xml")
    return [(f.findtext("title"), int(f.findtext("new")), int(f.findtext("all")))
            for f in ElementTree.fromstring(body).findall("folder")]


def unpack(build, into):
    with zipfile.ZipFile(os.path.join(build, "pelun-extension.zip")) as packed:
        packed.extractall(into)
    return into


class BrowserExtension(unittest.TestCase):
    def open_popup(self):
        """Presses the button and waits until the pop-up has asked the program and the page."""
        self.assertTrue(harness.PelunSession.poll_until(lambda: not self.chromium.has_target("/popup.html"), 20),
                        "the last pop-up closed")
        self.chromium.press_extension_button()
        popup = self.chromium.target("/popup.html")
        self.addCleanup(popup.close)
        self.assertTrue(harness.PelunSession.poll_until(
            lambda: popup.evaluate("document.querySelector('#feeds li') !== null"), 20), "the pop-up filled")
        return popup

    def badge(self, page):
        return page.evaluate("Promise.all([chrome.action.getBadgeText({}), chrome.action.getTitle({})])")

    def wait_badge(self, page, expected, timeout):
        self.assertTrue(harness.PelunSession.poll_until(lambda: self.badge(page) == expected, timeout, interval=1),
                        "badge %s, expected %s" % (self.badge(page), expected))

    def test_badge_popup_and_hand_over_against_the_program(self):
        port = harness.free_port()
        workdir = tempfile.TemporaryDirectory(prefix="pelun-extension-")
        self.addCleanup(workdir.cleanup)
        extension = unpack(harness.build_dir(), workdir.name)
        with FeedServer(lifetime=400) as server, harness.PelunSession() as session:
            server.add_feed("/news.xml", rss("ニュース", 3))
            server.add_feed("/news2.xml", rss("速報", 2))
            server.add_status("/rd.xml", 304)
            server.add_feed("/site/page.html", FEED_PAGE.encode(), content_type="text/html")
            data = folder("ニュース", [("news", server.url("/news.xml")),
                                                 ("news2", server.url("/news2.xml"))]) + folder("R&D", [("rd", server.url("/rd.xml"))])
            process = session.start_server(port, ("<?xml version='1.0' encoding='utf-8'?>\n<pelun>%s</pelun>"
                                                  % data).encode())
            self.chromium = HeadlessChromium(extension)
            with self.chromium as page:
                # The port is the extension's one option; the badge asks the program at once.
                extension_id = self.chromium.extension_id()
                page.navigate("chrome-extension://%s/options.html" % extension_id)
                self.assertEqual(page.evaluate("document.getElementById('port').value"), "4474")
                page.evaluate("document.getElementById('port').value = '%d';"
                              "document.querySelector('button[type=submit]').click()" % port)
                self.wait_badge(page, ["", TITLE], 20)

                # A check brings news; the badge shows it within the minute.
                self.assertEqual(session.run("/reload")[0], 0)
                self.assertTrue(harness.PelunSession.poll_until(lambda: figures(port)[0][1] == 2, 30))
                listed = figures(port)
                self.wait_badge(page, [str(sum(new for _, new, _ in listed)), TITLE], BADGE_POLL)

                page.navigate(server.url("/site/page.html"))
                popup = self.open_popup()
                state = popup.evaluate(POPUP_STATE)
                self.assertEqual([title for title, _, _ in listed], ["ニュース", "R&D"])
                self.assertEqual(state["folders"], [["【ニュース】", "2件 / %d" % listed[0][2], True, None],
                                                    ["【R&D】", "- / %d" % listed[1][2], False, None]])
                self.assertEqual(state["feeds"], [["/atom.xml", server.url("/atom.xml")],
                                                  ["追加フィード", server.url("/site/feeds/extra.xml")]])
                for text in ("記事を読む", "すべてチェック", "RSSを追加する"):
                    self.assertIn(text, state["text"])
                os.makedirs(harness.ARTIFACTS, exist_ok=True)
                popup.screenshot(os.path.join(harness.ARTIFACTS, "extension_popup.png"))

                # すべてチェック checks every site again.
                before = len(server.requests("/news.xml"))
                popup.evaluate("document.getElementById('check-all').click()")
                self.assertTrue(server.wait_for_requests(before + 1, path="/news.xml", timeout=30))

                # A feed of the page opens the add-site dialog with its address.
                session.wintool_ok("tree-select", "R&D")  # the flow needs a place in the tree
                popup = self.open_popup()
                popup.evaluate("document.querySelectorAll('#feeds .entry')[1].click()")
                self.assertEqual(session.wintool("wait-window", "#32770", "新規サイト", "20000")[0], 0)
                self.assertIn(server.url("/site/feeds/extra.xml"), session.wintool_ok("dialog-text", "#32770", "新規サイト"))
                session.wintool_ok("close-window", "#32770", "新規サイト")
                self.assertTrue(harness.PelunSession.poll_until(
                    lambda: session.wintool("window-info", "#32770", "")[0] != 0, 10))

                # The default folder opens in the tab; its page is then the folder's last shown.
                popup = self.open_popup()
                popup.evaluate("document.querySelector('#folders .default').click()")
                self.assertTrue(harness.PelunSession.poll_until(lambda: page.evaluate("document.title") == "ニュース", 20))
                popup = self.open_popup()
                self.assertEqual(popup.evaluate(POPUP_STATE)["folders"][0], ["【ニュース】", "- / %d" % listed[0][2], False, "最近の表示"])
                self.assertEqual(self.badge(popup), ["", TITLE])
                popup.evaluate("window.close()")

                # Without the program: a grey "!" that says why, on the button and in the pop-up.
                session.run("/exit")
                self.assertEqual(session.wait_for_exit(process), 0)
                popup = self.open_popup()
                silent = "pelunが応答しません (ポート%d)" % port
                self.assertEqual(popup.evaluate(POPUP_STATE)["status"], silent)
                self.assertEqual(self.badge(popup), ["!", silent])


if __name__ == "__main__":
    harness.main()
