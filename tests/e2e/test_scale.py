"""A tree of the size users have: one folder of 500 sites and one of 20, one check cycle.

Every site gets its articles, the local server keeps answering while the cycle runs, and the
program still ends when asked. A fault that makes per-check work grow with the folder, or a
window procedure that recurses, shows here where a handful of sites would hide it.
"""
import threading
import time
import unittest
import xml.etree.ElementTree as ElementTree

import harness
from feed_server import FeedServer

FOLDERS = (("大きなフォルダ", "a", 500), ("小さなフォルダ", "b", 20))
ARTICLES = 10
CYCLE_LIMIT = 120     # seconds for the whole cycle: generous, this is no benchmark
PAGE_LIMIT = 2.0      # the top page answers within this even in the middle of the cycle
EXIT_LIMIT = 20


def feed(name):
    items = "".join("<item><title>%s 記事 %d</title><link>http://example.com/%s/%d</link>"
                    "<pubDate>Mon, %02d Jan 2024 00:00:00 GMT</pubDate><description>本文</description></item>"
                    % (name, j, name, j, 28 - j) for j in range(ARTICLES))
    return ('<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel><title>%s</title>'
            "<link>http://example.com/%s</link>%s</channel></rss>" % (name, name, items)).encode("utf-8")


def data_file(server):
    folders = []
    for title, prefix, count in FOLDERS:
        sites = "".join('<item type="rss"><title>%s%d</title><link/><src>%s</src><newflag>0</newflag>'
                        '<usedate>1</usedate><count check="0" error="0" update="0"/></item>'
                        % (prefix, i, server.url("/%s/%d.xml" % (prefix, i))) for i in range(count))
        folders.append('<item type="folder"><title>%s</title><newflag>0</newflag>'
                       '<count check="0" error="0" update="0"/><filter condition="0" scope="0"/>%s</item>'
                       % (title, sites))
    return ("<?xml version='1.0' encoding='utf-8'?>\n<pelun>%s</pelun>" % "".join(folders)).encode("utf-8")


def news_counts(port):
    _, body = harness.http_get(port, "/folderlist.xml", timeout=10)
    return [int(folder.findtext("new")) for folder in ElementTree.fromstring(body).findall("folder")]


class PagePoller(threading.Thread):
    """Asks for the top page again and again; keeps the slowest answer and any failure."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.port = port
        self.slowest = 0.0
        self.failures = []
        self.stopping = threading.Event()

    def run(self):
        while not self.stopping.wait(0.2):
            started = time.monotonic()
            try:
                head, _ = harness.http_get(self.port, "/", timeout=PAGE_LIMIT + 8)
                if not head.startswith("HTTP/1.0 200"):
                    self.failures.append(head.splitlines()[0] if head else "no answer")
            except OSError as error:
                self.failures.append(repr(error))
            self.slowest = max(self.slowest, time.monotonic() - started)


class ScaleCycle(unittest.TestCase):
    def test_a_cycle_over_520_sites_keeps_the_program_answering(self):
        port = harness.free_port()
        expected = [count for _, _, count in FOLDERS]
        with FeedServer(lifetime=400) as server, harness.PelunSession() as session:
            for _, prefix, count in FOLDERS:
                for i in range(count):
                    server.add_feed("/%s/%d.xml" % (prefix, i), feed("%s%d" % (prefix, i)),
                                    last_modified="Mon, 01 Jan 2024 00:00:00 GMT")
            session.write_settings("[Option]\r\nfirst=0\r\ntimer=0\r\nconnection=5\r\nport=%d\r\n" % port)
            with open(session.data_file, "wb") as f:
                f.write(data_file(server))
            process = session.start()
            self.assertNotEqual(session.wait_for_main_window(), 0)
            self.assertTrue(harness.wait_for_port(port))
            self.assertEqual(news_counts(port), [0, 0])

            poller = PagePoller(port)
            poller.start()
            self.assertEqual(session.run("/reload")[0], 0)
            shown = harness.PelunSession.poll_until(lambda: news_counts(port) == expected, CYCLE_LIMIT, 0.5)
            poller.stopping.set()
            poller.join()
            self.assertTrue(shown, "news after %d s: %s of %s; %d feed requests"
                            % (CYCLE_LIMIT, news_counts(port), expected, len(server.requests())))
            self.assertEqual(poller.failures, [])
            self.assertLess(poller.slowest, PAGE_LIMIT, "the top page took %.1f s" % poller.slowest)
            self.assertEqual(len(server.requests()), sum(expected), "each feed is asked for once")
            self.assertLessEqual(max(server.peak_concurrency().values()), 5)

            exit_started = time.monotonic()
            session.start("/exit")
            self.assertEqual(session.wait_for_exit(process, EXIT_LIMIT), 0,
                             "the program did not end within %d s" % EXIT_LIMIT)
            self.assertLess(time.monotonic() - exit_started, EXIT_LIMIT)

            # The data file holds what the pages showed: every site checked once, with news.
            root = ElementTree.parse(session.data_file).getroot()
            folders = root.findall("item")
            self.assertEqual([len(f.findall("item")) for f in folders], expected)
            for folder in folders:
                for site in folder.findall("item"):
                    title = site.findtext("title")
                    self.assertEqual(site.find("count").get("check"), "1", title)
                    self.assertEqual(site.findtext("newflag"), "1", title)
                    self.assertEqual(len(site.findall("item")), ARTICLES, title)


if __name__ == "__main__":
    harness.main()
