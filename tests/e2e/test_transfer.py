"""The HTTP transfer on WinINet under Wine against the feed test server, driven through
`wintool fetch`, which runs the program's own transfer code and prints what came back."""
import os
import unittest

import harness
from feed_server import FeedServer

FEED = b"""<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE rss SYSTEM "http://127.0.0.1:1/never.dtd">
<rss version="2.0"><channel><title>T</title><item><title>A</title></item></channel></rss>
"""
PLAIN = b'<?xml version="1.0"?><rss version="2.0"><channel><title>Z</title></channel></rss>'
SERVER_LIFETIME = 300
STALL_SECONDS = 8


def parse(output):
    return dict(line.split("=", 1) for line in output.splitlines() if "=" in line)


def linux_path(windows_path):
    assert windows_path.startswith("Z:"), windows_path
    return windows_path[2:].replace("\\", "/")


class Transfer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = FeedServer(lifetime=SERVER_LIFETIME).start()
        cls.session = harness.PelunSession().__enter__()
        cls.temp = os.path.join(cls.session.workdir, "transfer temp")
        cls.lm = cls.server.add_feed("/feed.xml", FEED, last_modified=True)
        cls.server.add_feed("/plain.xml", PLAIN, gzip_body=True)
        for status in (404, 410):
            cls.server.add_status("/status%d" % status, status)
        cls.server.add_redirect("/r1", cls.server.url("/r2"), 301)
        cls.server.add_redirect("/r2", "r3", 302)          # relative
        cls.server.add_redirect("/r3", "/feed.xml", 307)
        cls.server.add_redirect("/dir/moved", "../plain.xml", 302)
        cls.server.add_gzip_bomb("/bomb.xml")
        cls.server.add_endless("/endless.xml")
        cls.server.stall("/stall.xml", STALL_SECONDS)
        cls.server.add_feed("/proxied.xml", PLAIN)
        cls.server.proxy_credentials = ("px", "pw")

    @classmethod
    def tearDownClass(cls):
        cls.session.close()
        cls.server.stop()

    def fetch(self, url, *options):
        code, out = self.session.wintool("fetch", url, harness.windows_path(self.temp), *options,
                                         timeout=120)
        self.assertEqual(code, 0, out)
        return parse(out)

    def temp_files(self):
        return os.listdir(self.temp) if os.path.isdir(self.temp) else []

    def test_answers_bodies_and_headers(self):
        url = self.server.url("/feed.xml")
        first = self.fetch(url)
        self.assertEqual((first["result"], first["status"]), ("1", "200"))
        self.assertEqual(first["last_modified"], self.lm)
        with open(linux_path(first["body"]), "rb") as f:
            body = f.read()
        # The declaration is blanked in place: same length, nothing else touched.
        lines, expected = body.split(b"\n"), FEED.split(b"\n")
        self.assertEqual(len(body), len(FEED))
        self.assertEqual(lines[1].strip(b" "), b"")
        self.assertEqual(lines[:1] + lines[2:], expected[:1] + expected[2:])

        again = self.fetch(url, "--last-modified", first["last_modified"], "--item", "8")
        self.assertEqual((again["status"], again["body_bytes"]), ("304", "0"))
        forced = self.fetch(url, "--last-modified", first["last_modified"], "--reload", "--item", "9")
        self.assertEqual(forced["status"], "200")

        seen = self.server.requests("/feed.xml")
        self.assertEqual(len(seen), 3)
        self.assertEqual([r.header("If-Modified-Since") for r in seen], [None, self.lm, None])
        for record in seen:
            self.assertEqual(record.header("User-Agent"), "pelun/1.06")
            self.assertEqual(record.header("Accept-Encoding"), "gzip,deflate")
        browser = self.fetch(url, "--agent-fragment", "127.0.0.1")
        self.assertEqual(browser["status"], "200")
        self.assertIn("MSIE 6.0", self.server.requests("/feed.xml")[-1].header("User-Agent"))

        # Compressed on the wire, plain in the body; feed:// is fetched over http.
        packed = self.fetch(self.server.url("/plain.xml").replace("http:", "feed:", 1), "--item", "10")
        self.assertEqual(packed["status"], "200")
        self.assertTrue(self.server.requests("/plain.xml")[-1].gzipped)
        with open(linux_path(packed["body"]), "rb") as f:
            self.assertEqual(f.read(), PLAIN)

        # A local file is read where it is, never moved or deleted.
        local = os.path.join(self.session.workdir, "local feed.xml")
        with open(local, "wb") as f:
            f.write(PLAIN)
        url = "file:///" + harness.windows_path(local).replace("\\", "/").replace(" ", "%20")
        result = self.fetch(url, "--item", "11")
        self.assertEqual((result["status"], result["body_bytes"]), ("200", str(len(PLAIN))))
        self.assertTrue(os.path.exists(local))

    def test_error_statuses(self):
        for status in ("404", "410"):
            url = self.server.url("/status" + status)
            scheduled = self.fetch(url)
            self.assertEqual((scheduled["result"], scheduled["status"], scheduled["body_bytes"]), ("1", status, "0"))
            now = self.fetch(url, "--now")
            self.assertEqual((now["result"], now["error"]), ("0", "HTTP " + status))
        self.assertEqual(self.fetch(self.server.url("/feed.xml"), "--now")["status"], "200")

    def test_a_proxy_that_asks_for_a_password_gets_the_configured_one(self):
        # The address names no site of this computer: only the proxy (the feed server) is asked.
        url = "http://feeds.example.test/proxied.xml"
        proxy = ("--proxy", "127.0.0.1:%d" % self.server.port)
        for options, status in ((("--proxy-user", "px", "--proxy-password", "pw"), "200"), ((), "407")):
            before = len(self.server.requests("/proxied.xml"))
            self.assertEqual(self.fetch(url, *proxy, *options)["status"], status, options)
            seen = self.server.requests("/proxied.xml")[before:]
            self.assertTrue(seen and all(r.proxied for r in seen), seen)

    def test_redirects(self):
        chain = self.fetch(self.server.url("/r1"))
        # Three requests in all: the third answer is what comes back, with the first target.
        self.assertEqual((chain["result"], chain["status"]), ("1", "307"))
        self.assertEqual(chain["location"], self.server.url("/r2"))
        self.assertEqual([len(self.server.requests(p)) for p in ("/r1", "/r2", "/r3")], [1, 1, 1])

        moved = self.fetch(self.server.url("/dir/moved"))
        self.assertEqual(moved["status"], "200")
        self.assertEqual(moved["location"], self.server.url("/plain.xml"))

    def test_oversized_bodies_end_without_result(self):
        for path in ("/bomb.xml", "/endless.xml"):
            result = self.fetch(self.server.url(path), "--item", "21")
            self.assertEqual(result["result"], "0", path)
            self.assertNotIn("21.body", self.temp_files(), path)
        self.assertLess(self.server.requests("/endless.xml")[-1].body_bytes, 64 << 20)

    def test_cancelled_stalled_transfer_posts_nothing(self):
        result = self.fetch(self.server.url("/stall.xml"), "--cancel-after", "1000", "--item", "31")
        self.assertEqual((result["cancelled"], result["finished"], result["posted"]), ("1", "1", "0"))
        self.assertNotIn("31.body", self.temp_files())


if __name__ == "__main__":
    harness.main()
