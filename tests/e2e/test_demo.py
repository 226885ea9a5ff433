"""The demo of `make run`: a first start imports the demo server's list and checks its feeds, and
a forwarded /reload brings an article the server added since. Read as a user reads: through the
program's folder list and pages."""
import os
import subprocess
import sys
import unittest
import urllib.error
import urllib.request
import xml.etree.ElementTree as ElementTree

import harness

TOOLS = os.path.join(harness.ROOT, "tools")
DEMO_SERVER = os.path.join(TOOLS, "demo_feed_server.py")
# A new article somewhere every 3 s, so each feed every 15 s: no feed reaches the 15 articles
# where old ones drop off while the test runs.
NEW_ITEM_SECONDS = 3
MAX_FEED_ITEMS = 15
RSS1 = "{http://purl.org/rss/1.0/}"
ATOM = "{http://www.w3.org/2005/Atom}"

# Everything here is on loopback: no proxy from the environment.
_opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))


def fetch(url, headers=None):
    """(status, headers, body); redirects followed."""
    try:
        with _opener.open(urllib.request.Request(url, headers=headers or {}), timeout=10) as answer:
            return answer.status, answer.headers, answer.read()
    except urllib.error.HTTPError as error:
        return error.code, error.headers, b""


def articles(url):
    """(title, link) of a feed's articles in document order, whatever its dialect."""
    root = ElementTree.fromstring(fetch(url)[2])
    found = [(e.findtext("title"), e.findtext("link")) for e in root.iter("item")]
    found += [(e.findtext(RSS1 + "title"), e.findtext(RSS1 + "link")) for e in root.iter(RSS1 + "item")]
    found += [(e.findtext(ATOM + "title"), e.find(ATOM + "link").get("href"))
              for e in root.iter(ATOM + "entry")]
    return found


class Pelun:
    """The running program's local server, as a browser sees it."""

    def __init__(self, port):
        self.base = "http://127.0.0.1:%d" % port

    def folders(self):
        """{title: (item id, sites with news)}"""
        root = ElementTree.fromstring(fetch(self.base + "/folderlist.xml")[2])
        return {f.findtext("title"): (f.findtext("url").split("?", 1)[1], int(f.findtext("new")))
                for f in root.findall("folder")}

    def read(self, folder_id):
        """The folder's page, as following its link shows it; its news is then read."""
        return fetch("%s/new?%s" % (self.base, folder_id))[2].decode("utf-8")


class Demo(unittest.TestCase):
    def test_demo_list_imported_checked_and_reload_brings_news(self):
        sys.path.insert(0, TOOLS)
        import demo_feed_server as demo
        # Feeds start with their seed and never grow past the limit.
        schedule = demo.Schedule(NEW_ITEM_SECONDS, started=demo.EPOCH + 1e6)
        later = demo.EPOCH + 1e6 + 100 * len(demo.SITES) * NEW_ITEM_SECONDS
        self.assertEqual([len(schedule.numbers(s, demo.EPOCH + 1e6)) for s in demo.SITES],
                         [s.seed for s in demo.SITES])
        self.assertEqual({len(schedule.numbers(s, later)) for s in demo.SITES}, {MAX_FEED_ITEMS})

        demo_port, port = harness.free_port(), harness.free_port()
        with harness.PelunSession() as session:
            with open(os.path.join(session.workdir, "demo-server.log"), "wb") as log:
                server = subprocess.Popen(
                    [sys.executable, DEMO_SERVER, "--port", str(demo_port), "--new-item-seconds",
                     str(NEW_ITEM_SECONDS), "--lifetime", "180", "--parent-pid", str(os.getpid())],
                    stdout=subprocess.DEVNULL, stderr=log)
            self.addCleanup(harness.stop_process, server)
            self.assertTrue(harness.wait_for_port(demo_port))
            opml = ElementTree.fromstring(fetch("http://127.0.0.1:%d/demo.opml" % demo_port)[2])
            feeds = {f.get("title"): [o.get("xmlUrl") for o in f] for f in opml.find("body")}
            urls = [url for folder in feeds.values() for url in folder]
            self.assertTrue(4 <= len(urls) <= 5, feeds)

            # Conditional answers: 304 unless the feed gained an article in between.
            _, headers, _ = fetch(urls[0])
            stamp = headers["Last-Modified"]
            status, headers, _ = fetch(urls[0], {"If-Modified-Since": stamp})
            self.assertTrue(status == 304 or headers["Last-Modified"] != stamp, (status, stamp))

            session.write_define_ini(session.default_define_ini() +
                                     "[Subscription]\r\nDefaultList=http://127.0.0.1:%d/demo.opml\r\n"
                                     % demo_port)
            session.write_settings("[Option]\r\ndelay=0\r\ntimeout=10\r\nport=%d\r\n" % port)
            process = session.start()
            self.assertNotEqual(session.wait_for_main_window(), 0)
            self.assertTrue(harness.wait_for_port(port))
            pelun = Pelun(port)
            self.assertEqual(list(pelun.folders()), list(feeds), "the demo folders, in order")

            # The first check: every feed's oldest article (there until the feed is full) shows
            # on its folder's pages. Reading along marks everything read.
            oldest = {url: articles(url)[-1][0] for url in urls}
            shown = {folder: "" for folder in feeds}
            def first_check_shown():
                for folder, (folder_id, _) in pelun.folders().items():
                    shown[folder] += pelun.read(folder_id)
                return all(oldest[url] in shown[folder] for folder in feeds for url in feeds[folder])
            self.assertTrue(session.poll_until(first_check_shown, timeout=40, interval=1),
                            {f: [oldest[u] for u in feeds[f] if oldest[u] not in shown[f]] for f in feeds})
            def all_read():
                news = [folder_id for folder_id, new in pelun.folders().values() if new]
                for folder_id in news:
                    pelun.read(folder_id)
                return not news
            self.assertTrue(session.poll_until(all_read, timeout=10, interval=0.5))

            # An article the program cannot have seen yet; its periodic check is far away, so
            # only the forwarded /reload can bring it.
            known = {url: set(articles(url)) for url in urls}
            added = []
            def server_added():
                added[:] = [(url, a) for url in urls for a in articles(url) if a not in known[url]]
                return bool(added)
            self.assertTrue(session.poll_until(server_added, timeout=5 * NEW_ITEM_SECONDS, interval=0.5))
            url, (title, _) = added[0]
            folder = next(f for f in feeds if url in feeds[f])
            self.assertEqual(session.run("/reload")[0], 0)
            def arrived_as_news():
                folder_id, new = pelun.folders()[folder]
                return new > 0 and title in pelun.read(folder_id)
            self.assertTrue(session.poll_until(arrived_as_news, timeout=30, interval=1), title)

            self.assertEqual(session.run("/exit")[0], 0)
            self.assertEqual(session.wait_for_exit(process), 0)


if __name__ == "__main__":
    harness.main()
