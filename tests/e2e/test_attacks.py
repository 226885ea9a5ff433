"""Attacks on the program from what feeds, redirects and other web sites control, one scenario
per attack class: the real program under Wine, headless Chromium, and the test server playing
the attacker. Each scenario ends by checking that nothing was lost and the program still works.
"""
import os
import time
import unittest
import xml.etree.ElementTree as ElementTree

import harness
from feed_server import FeedServer

EFFECT_WAIT = 3.0  # posted commands run after the answer: give them time to show themselves


def hostile_feed(port):
    """Articles whose pictures name the local server's commands in many spellings; the second
    has no web address, so its relative addresses would resolve against the local server."""
    local = ["http://127.0.0.1:%d/add?/exit" % port, "http://127.0.0.1:%d/reload" % port,
             "http://2130706433:%d/reload" % port, "http://0x7f.1:%d/new" % port,
             "http://localhost:%d/sync" % port, "//[::1]:%d/reload" % port, "http://127.1:%d/top?0" % port]
    pictures = "".join('&lt;img src="%s"&gt;' % url for url in local)
    relative = "".join('&lt;img src="%s"&gt;' % url for url in ("/add?/exit", "/new", "/reload", "sync"))
    return ('<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel><title>Hostile</title>'
            "<link>http://example.com/</link>"
            "<item><title>Pictures</title><link>http://example.com/1</link>"
            "<pubDate>Mon, 01 Jan 2024 00:00:00 GMT</pubDate><description>%s</description></item>"
            "<item><title>No address</title>"
            "<pubDate>Mon, 01 Jan 2024 00:00:00 GMT</pubDate><description>%s</description></item>"
            "</channel></rss>" % (pictures, relative)).encode("utf-8")


def hostile_page(port):
    """A page of another site (localhost is another site than 127.0.0.1 to the browser)."""
    root = "http://127.0.0.1:%d" % port
    return ("""<!DOCTYPE html><html><body>
<img src="{root}/reload"><img src="{root}/add?http://evil.example/feed">
<link rel="stylesheet" href="{root}/new">
<iframe src="{root}/sync"></iframe>
<iframe name="sink"></iframe>
<form id="post" method="post" enctype="text/plain" action="{root}/reload" target="sink">
<input name="x&#13;&#10;Sec-Fetch-Site: same-origin&#13;&#10;Origin: {root}&#13;&#10;y" value="z"></form>
<script>document.getElementById('post').submit();</script>
<script src="{root}/bar.js?0"></script>
<script>fetch('{root}/folderlist.xml', {{mode: 'no-cors'}}); fetch('{root}/new', {{mode: 'no-cors'}});</script>
</body></html>""").format(root=root).encode("utf-8")


def data_file(feed_url, kept_url):
    """A folder for the hostile feed, and one with unread news the attacks must not mark read."""
    return ("""<?xml version='1.0' encoding='utf-8'?>
<pelun><item type="folder"><title>攻撃</title><newflag>0</newflag><count check="0" error="0" update="0"/>
<filter condition="0" scope="0"/><item type="rss"><title>hostile</title><link/><src>{feed}</src><newflag>0</newflag>
<usedate>1</usedate><count check="0" error="0" update="0"/></item></item>
<item type="folder"><title>大切</title><newflag>1</newflag><count check="0" error="0" update="0"/>
<filter condition="0" scope="0"/><item type="rss"><title>kept</title><link>http://example.com/</link><src>{kept}</src>
<newflag>1</newflag><usedate>1</usedate><count check="1" error="0" update="1"/>
<item><title>未読の記事</title><link>http://example.com/unread</link><description>本文</description><newflag>1</newflag></item>
</item></item></pelun>""").format(feed=feed_url, kept=kept_url).encode("utf-8")


def folders(port):
    _, body = harness.http_get(port, "/folderlist.xml")
    return {f.findtext("title"): (f.findtext("url"), f.findtext("new"))
            for f in ElementTree.fromstring(body).findall("folder")}


class HostileFeedsAndPages(unittest.TestCase):
    def assert_untouched(self, session, server, port, feed_requests, what):
        """Still running, nothing read that was not shown, no check, no dialog, window hidden."""
        time.sleep(EFFECT_WAIT)
        self.assertEqual(folders(port)["大切"][1], "1", what + ": the unread folder stays unread")
        self.assertEqual(len(server.requests("/feed.xml")) + len(server.requests("/kept.xml")), feed_requests,
                         what + ": no check started")
        self.assertNotEqual(session.wintool("window-info", "#32770", "")[0], 0, what + ": no dialog opened")
        _, info = session.wintool("window-info", harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE)
        self.assertIn("visible=0", info, what + ": the main window stays hidden")

    def test_articles_and_pages_of_others_cannot_drive_the_program(self):
        from devtools import HeadlessChromium
        port = harness.free_port()
        with FeedServer(lifetime=300) as server, harness.PelunSession() as session:
            server.add_feed("/feed.xml", hostile_feed(port))
            server.add_status("/kept.xml", 304)
            server.add_feed("/evil.html", hostile_page(port), content_type="text/html")
            process = session.start_server(port, data_file(server.url("/feed.xml"), server.url("/kept.xml")))
            self.assertEqual(session.run("/reload")[0], 0)
            self.assertTrue(harness.PelunSession.poll_until(lambda: folders(port)["攻撃"][1] == "1", 30),
                            "the hostile articles arrive")
            time.sleep(1.0)
            feed_requests = len(server.requests("/feed.xml")) + len(server.requests("/kept.xml"))
            attack_url = folders(port)["攻撃"][0]

            with HeadlessChromium() as page:
                # Reading the hostile folder: its pictures lead nowhere near the program.
                page.navigate("http://127.0.0.1:%d%s" % (port, attack_url))
                self.assertEqual(page.evaluate("document.title"), "攻撃")
                sources = page.evaluate("Array.from(document.querySelectorAll('div.content img'))"
                                        ".map(i => i.getAttribute('src'))")
                self.assertEqual(len(sources), 11)
                self.assertEqual(set(sources), {""}, sources)
                self.assert_untouched(session, server, port, feed_requests, "hostile articles")

                # Even requests that passed the markup (a script of the page's own origin stands
                # in for them) are no navigations, and the commands refuse them.
                page.evaluate("""['/add?/exit', '/reload', '/new', '/sync?1', '/top?0'].forEach(p => {
                    new Image().src = p; fetch(p, {mode: 'no-cors'});
                    const s = document.createElement('script'); s.src = p; document.body.appendChild(s); })""")
                self.assert_untouched(session, server, port, feed_requests, "subresources of our own pages")

                # A page of another site: pictures, frames, a cross-site form post, the tab-bar
                # script and the folder list.
                page.navigate(server.url("/evil.html", host="localhost"))
                self.assertTrue(page.evaluate("document.getElementById('bar') === null"),
                                "another site cannot read the folders through the tab-bar script")
                self.assertEqual(page.evaluate("document.body.innerHTML.indexOf('大切')"), -1)
                self.assert_untouched(session, server, port, feed_requests, "another site's page")

                # The same addresses typed by the user still work.
                page.navigate("http://127.0.0.1:%d/reload" % port)
                self.assertTrue(server.wait_for_requests(2, path="/kept.xml", timeout=30), "a typed /reload checks")
                session.wintool_ok("tree-select", "大切")  # the flow needs a place in the tree
                page.navigate("http://127.0.0.1:%d/add?/exit" % port)
                self.assertEqual(session.wintool("wait-window", "#32770", "新規サイト", "20000")[0], 0,
                                 "a typed /add? opens the add-site dialog, never the exit")
                session.wintool_ok("close-window", "#32770", "新規サイト")
                self.assertTrue(harness.PelunSession.poll_until(
                    lambda: session.wintool("window-info", "#32770", "")[0] != 0, 10))
                page.navigate("http://127.0.0.1:%d/new" % port)
                self.assertEqual(page.evaluate("document.title"), "大切", "a typed /new reads the news")
                self.assertEqual(folders(port)["大切"][1], "0")
            self.assertIsNone(process.poll(), "the program is still running")
            session.run("/exit")
            self.assertEqual(session.wait_for_exit(process), 0)

    def test_redirects_and_stalls_leave_nothing_behind(self):
        """A redirect may not turn a check into the reading of a local file or a network share,
        and a transfer that outlives its check leaves no file once the program has ended."""
        with FeedServer(lifetime=300) as server, harness.PelunSession() as session:
            local_feed = os.path.join(session.workdir, "local.xml")
            with open(local_feed, "wb") as f:
                f.write(hostile_feed(1))
            server.add_redirect("/share", "news://127.0.0.1/share/x.xml")
            server.add_redirect("/mail", "mailto:" + harness.windows_path(local_feed), status=301)
            server.add_redirect("/file", "file:///" + harness.windows_path(local_feed).replace("\\", "/"))
            server.stall("/stall", 40)
            sites = [("share", server.url("/share")), ("mail", server.url("/mail")), ("file", server.url("/file")),
                     ("stall", server.url("/stall"))]
            items = "".join('<item type="rss"><title>%s</title><link/><src>%s</src><newflag>0</newflag>'
                            '<usedate>1</usedate><count check="0" error="0" update="0"/></item>' % site
                            for site in sites)
            # A port of its own: the default one may be taken by another copy on this machine.
            session.write_settings("[Option]\r\ndelay=0\r\ntimeout=10\r\nport=%d\r\n" % harness.free_port())
            with open(session.data_file, "wb") as f:
                f.write(("<?xml version='1.0' encoding='utf-8'?>\n<pelun><item type=\"folder\"><title>F</title>"
                         "<newflag>0</newflag><count check=\"0\" error=\"0\" update=\"0\"/>"
                         "<filter condition=\"0\" scope=\"0\"/>%s</item></pelun>" % items).encode("utf-8"))
            process = session.start()
            self.assertTrue(server.wait_for_requests(1, path="/stall", timeout=60))
            time.sleep(14)  # past the timeout: the check is given up, its transfer still waits
            session.run("/exit")
            self.assertEqual(session.wait_for_exit(process), 0)

            root = ElementTree.parse(session.data_file).getroot()
            for site in root.iter("item"):
                if site.get("type") != "rss":
                    continue
                title = site.findtext("title")
                self.assertEqual(site.findtext("src"), dict(sites)[title], title + ": the address stays")
                self.assertEqual(site.findall("item"), [], title + ": nothing was read")
                if title != "stall":
                    self.assertEqual(site.find("count").get("error"), "1", title)
            leftovers = os.listdir(session.temp_dir) if os.path.isdir(session.temp_dir) else []
            self.assertEqual(leftovers, [], "nothing the program wrote outlives it")


if __name__ == "__main__":
    harness.main()
