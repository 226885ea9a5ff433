"""Checking feeds end to end: the real program against the project's feed server."""
import os
import time
import unittest
import xml.etree.ElementTree as ElementTree

import harness
from feed_server import FeedServer

TIMEOUT_SECONDS = 10   # the shortest check timeout the settings accept


def rss(titles, channel="Feed"):
    items = "".join(
        "<item><title>%s</title><link>http://example.com/%s</link>"
        "<pubDate>Mon, %02d Jan 2024 00:00:00 GMT</pubDate><description>本文 %s</description></item>"
        % (t, t, 28 - i, t) for i, t in enumerate(titles))
    return ('<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel><title>%s</title>'
            "<link>http://example.com/</link>%s</channel></rss>" % (channel, items)).encode("utf-8")


def data_file(sites):
    """A data file with one folder holding (title, src) or (title, src, user, pass) sites."""
    def site(title, src, user="", password=""):
        credentials = "<user>%s</user><pass>%s</pass>" % (user, password) if user else ""
        return ('<item type="rss"><title>%s</title><link/><src>%s</src>%s<newflag>0</newflag>'
                '<usedate>1</usedate><count check="0" error="0" update="0"/></item>'
                % (title, src.replace("&", "&amp;"), credentials))
    items = "".join(site(*s) for s in sites)
    return ("<?xml version='1.0' encoding='utf-8'?>\n<pelun><item type=\"folder\"><title>F</title>"
            "<newflag>0</newflag><count check=\"0\" error=\"0\" update=\"0\"/>"
            "<filter condition=\"0\" scope=\"0\"/>%s</item></pelun>" % items).encode("utf-8")


class Site:
    def __init__(self, element):
        self.element = element
        self.src = element.findtext("src")
        count = element.find("count")
        self.checks = int(count.get("check"))
        self.updates = int(count.get("update"))
        self.errors = int(count.get("error"))
        error = element.find("error")
        self.error_code = int(error.get("code")) if error is not None else 0
        self.articles = [(a.findtext("title"), a.findtext("newflag")) for a in element.findall("item")]
        self.new_titles = [t for t, flag in self.articles if flag == "1"]


def read_sites(session):
    root = ElementTree.parse(session.data_file).getroot()
    return {site.findtext("title"): Site(site) for site in root.iter("item")
            if site.get("type") == "rss"}


def prepare(session, sites, options=""):
    # A free port of its own: another program on the default port would stop this one starting.
    session.write_settings("[Option]\r\ndelay=0\r\ntimeout=%d\r\nport=%d\r\n%s"
                           % (TIMEOUT_SECONDS, harness.free_port(), options))
    with open(session.data_file, "wb") as f:
        f.write(data_file(sites))


def run_cycle(test, session, server, expected_requests, settle=2.0, limit=60):
    """Starts the program (its first check follows two seconds later), waits until the server
    has seen the requests and has been quiet for `settle` seconds, then ends it with /exit."""
    before = len(server.requests())
    process = session.start()
    test.assertNotEqual(session.wait_for_main_window(), 0)
    test.assertTrue(server.wait_for_requests(before + expected_requests, timeout=limit),
                    server.requests()[before:])
    quiet_since, seen = time.monotonic(), len(server.requests())
    while time.monotonic() - quiet_since < settle:
        time.sleep(0.1)
        if len(server.requests()) != seen:
            quiet_since, seen = time.monotonic(), len(server.requests())
    session.run("/exit")
    test.assertEqual(session.wait_for_exit(process), 0)
    return server.requests()[before:]


class CheckCycle(unittest.TestCase):
    def test_results_of_a_cycle_and_of_the_next_ones(self):
        with FeedServer(lifetime=300) as server, harness.PelunSession() as session:
            stamp = server.add_feed("/a.xml", rss(["a3", "a2", "a1"]), last_modified=True)
            server.add_feed("/etag.xml", rss(["e1"]), etag='W/"e-1"')  # honours If-None-Match only
            server.add_feed("/both.xml", rss(["b1"]), etag='"both-1"', last_modified="Mon, 01 Jan 2024 00:00:00 GMT")
            server.add_feed("/b.xml", rss(["b1"]), gzip_body=True)
            server.add_redirect("/moved1", "/moved2", status=301)
            server.add_redirect("/moved2", server.url("/b.xml"), status=307)
            for step in range(1, 4):
                server.add_redirect("/chain%d" % step, "/chain%d" % (step + 1), status=302)
            server.add_feed("/chain4", rss(["never"]))
            server.add_status("/gone", 410)
            server.add_status("/missing", 404)
            server.add_status("/broken", 500)
            server.add_gzip_bomb("/bomb")
            server.add_endless("/endless")
            server.stall("/stall", TIMEOUT_SECONDS * 3)
            corpus = harness.windows_path(os.path.join(harness.ROOT, "tests/data/feeds/atom03.xml"))
            prepare(session, [
                ("a", server.url("/a.xml")), ("a twin", server.url("/a.xml")),
                ("moved", server.url("/moved1")), ("chain", server.url("/chain1")),
                ("gone", server.url("/gone")), ("missing", server.url("/missing")),
                ("broken", server.url("/broken")), ("bomb", server.url("/bomb")),
                ("endless", server.url("/endless")), ("stall", server.url("/stall")),
                ("file", "file:///" + corpus.replace("\\", "/")),
                ("feed scheme", "feed://127.0.0.1:%d/b.xml" % server.port),
                ("etag only", server.url("/etag.xml")), ("both", server.url("/both.xml")),
            ])
            seen = run_cycle(self, session, server, 16, settle=TIMEOUT_SECONDS + 3)
            sites = read_sites(session)

            self.assertEqual(len([r for r in seen if r.path == "/a.xml"]), 1, "one download for twins")
            for title in ("a", "a twin"):
                self.assertEqual(sites[title].new_titles, ["a3", "a2", "a1"])
                self.assertEqual((sites[title].checks, sites[title].updates), (1, 1))
            self.assertEqual(sites["a"].element.findtext("lastmodified"), stamp)
            self.assertIsNone(sites["a"].element.find("etag"), "written only when there is one")
            self.assertEqual(sites["etag only"].element.findtext("etag"), 'W/"e-1"', "a weak tag as sent")
            self.assertIsNone(sites["etag only"].element.find("lastmodified"))
            self.assertTrue(any(r.gzipped for r in seen if r.path == "/b.xml"))
            self.assertEqual(sites["moved"].src, server.url("/moved2"), "the first target is kept")
            self.assertEqual(sites["moved"].new_titles, ["b1"])
            self.assertEqual((sites["chain"].error_code, sites["chain"].src),
                             (302, server.url("/chain2")))
            self.assertEqual((sites["gone"].error_code, sites["gone"].src), (410, ""))
            self.assertEqual(sites["missing"].error_code, 404)
            self.assertEqual(sites["broken"].error_code, 500)
            for title in ("bomb", "endless"):
                self.assertEqual((sites[title].error_code, sites[title].errors), (10000, 1), title)
            self.assertEqual(sites["stall"].error_code, 1)
            self.assertEqual(sites["file"].new_titles, ["Zero point three"])
            self.assertEqual(sites["feed scheme"].new_titles, ["b1"])
            leftovers = [n for n in os.listdir(session.temp_dir) if n.endswith(".tmp")] \
                if os.path.isdir(session.temp_dir) else []
            self.assertEqual(leftovers, [])
            agent = seen[0].header("User-Agent")
            self.assertEqual(agent, "pelun/1.06")

            # The next start asks conditionally: 304 leaves everything as it was.
            seen = run_cycle(self, session, server, 14, settle=TIMEOUT_SECONDS + 3)
            conditional = [r for r in seen if r.path == "/a.xml"]
            self.assertEqual([r.header("If-Modified-Since") for r in conditional], [stamp])
            for path, since, tag in (("/etag.xml", None, 'W/"e-1"'),
                                     ("/both.xml", "Mon, 01 Jan 2024 00:00:00 GMT", '"both-1"')):
                asked = [r for r in seen if r.path == path]
                self.assertEqual([(r.header("If-Modified-Since"), r.header("If-None-Match"), r.status) for r in asked],
                                 [(since, tag, 304)], path)
            again = read_sites(session)
            for title in ("a", "etag only", "both"):
                self.assertEqual(again[title].articles, sites[title].articles, title)
                self.assertEqual((again[title].checks, again[title].updates), (2, 1), title)
            self.assertEqual(again["etag only"].element.findtext("etag"), 'W/"e-1"')

            # One new article on top; the one that left the feed is carried over.
            server.add_feed("/a.xml", rss(["a4", "a3", "a2"]), last_modified=True)
            run_cycle(self, session, server, 12, settle=TIMEOUT_SECONDS + 3)
            third = read_sites(session)
            self.assertEqual([t for t, _ in third["a"].articles], ["a4", "a3", "a2", "a1"])
            self.assertEqual(third["a"].new_titles, ["a4", "a3", "a2", "a1"],
                             "earlier news is still unread, so it stays new")
            self.assertEqual(third["a"].updates, 2)


class Credentials(unittest.TestCase):
    def test_password_follows_a_permanent_move_and_reload_checks_now(self):
        with FeedServer(lifetime=120) as server, harness.PelunSession() as session:
            server.add_redirect("/old.xml", "/new.xml", status=301)
            server.add_feed("/new.xml", rss(["secret news"]), credentials=("ユーザー", "秘密"))
            old, new = server.url("/old.xml"), server.url("/new.xml")
            code, protected = session.wintool("protect", "秘密", old)
            self.assertEqual(code, 0)
            prepare(session, [("private", old, "ユーザー", protected.strip())])
            run_cycle(self, session, server, 3)
            site = read_sites(session)["private"]
            self.assertEqual((site.src, site.new_titles), (new, ["secret news"]))
            stored = site.element.findtext("pass")
            self.assertEqual(session.wintool("unprotect", stored, new)[1].strip(), "秘密")

            # No start-up check this time: a forwarded "/reload" checks everything.
            session.write_settings("[Option]\r\nfirst=0\r\n")
            process = session.start()
            self.assertNotEqual(session.wait_for_main_window(), 0)
            before = len(server.requests())
            session.run("/reload")
            # The challenge, then the answer with the password that followed the move.
            self.assertTrue(server.wait_for_requests(before + 2, timeout=30))
            answered = server.requests()[before + 1]
            self.assertEqual((answered.path, answered.status), ("/new.xml", 200))
            self.assertIsNotNone(answered.header("Authorization"))
            session.run("/exit")
            self.assertEqual(session.wait_for_exit(process), 0)


class PowerEvents(unittest.TestCase):
    WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, PBT_APMRESUMEAUTOMATIC = 0x218, 0x0, 0x12

    def test_suspend_saves_and_resume_checks_again(self):
        with FeedServer(lifetime=120) as server, harness.PelunSession() as session:
            server.add_feed("/a.xml", rss(["a1"]))
            server.stall("/slow.xml", 60)
            prepare(session, [("a", server.url("/a.xml")), ("slow", server.url("/slow.xml"))])
            process = session.start()
            self.assertNotEqual(session.wait_for_main_window(), 0)
            self.assertTrue(server.wait_for_requests(2, timeout=30))
            time.sleep(1.5)  # the quick feed is parsed and merged; the slow one still runs
            # Removed from outside Wine, whose file locks bind only Windows programs: only the
            # save before suspending can bring it back.
            os.remove(session.data_file)
            def power(event):
                session.wintool("send-message", harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE,
                                str(self.WM_POWERBROADCAST), str(event), "0")
            power(self.PBT_APMQUERYSUSPEND)
            self.assertEqual(read_sites(session)["a"].new_titles, ["a1"], "saved before suspending")
            power(self.PBT_APMRESUMEAUTOMATIC)
            # Five seconds after resuming the network test passes and everything is checked.
            self.assertTrue(server.wait_for_requests(4, timeout=30))
            session.run("/exit")
            self.assertEqual(session.wait_for_exit(process), 0)


class Concurrency(unittest.TestCase):
    def test_connection_and_limited_hosts(self):
        with FeedServer(lifetime=120, latency=0.4) as server, harness.PelunSession() as session:
            sites = []
            for i in range(6):
                server.add_feed("/free/%d.xml" % i, rss(["f%d" % i]))
                sites.append(("free %d" % i, server.url("/free/%d.xml" % i)))
            for i in range(3):
                server.add_feed("/limited/%d.xml" % i, rss(["l%d" % i]))
                sites.append(("limited %d" % i, server.url("/limited/%d.xml" % i)))
            prepare(session, sites, "connection=3\r\n[LimitUrl]\r\nurl_0=/limited/\r\n")
            seen = run_cycle(self, session, server, 9)
            self.assertEqual(server.peak_concurrency("127.0.0.1"), 3)
            limited = [r for r in seen if r.path.startswith("/limited/")]
            overlapping = max(sum(1 for o in limited if o.started < r.ended and r.started < o.ended)
                              for r in limited)
            self.assertEqual(overlapping, 1, "limited feeds never download together")
            self.assertTrue(all(s.new_titles for s in read_sites(session).values()))


if __name__ == "__main__":
    harness.main()
