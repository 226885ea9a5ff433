"""The local server of the real program: routes, reading marks read, and refusals."""
import os
import socket
import time
import unittest
import xml.etree.ElementTree as ElementTree

import harness

DATA = """<?xml version='1.0' encoding='utf-8'?>
<pelun><item type="folder"><title>ニュース: 速報</title><newflag>1</newflag><count check="0" error="0" update="0"/>
<filter condition="0" scope="0"/><item type="rss"><title>サイト "A"</title><link>http://example.com/</link>
<src>http://127.0.0.1:1/a.xml</src><newflag>1</newflag><usedate>1</usedate><count check="1" error="0" update="1"/>
<item><title>新着 &lt;script&gt;alert(1)&lt;/script&gt;</title><link>javascript:alert(2)</link>
<content:encoded>&lt;p onclick="x()"&gt;本文&lt;/p&gt;&lt;script&gt;bad()&lt;/script&gt;</content:encoded><newflag>1</newflag></item>
</item></item><item type="folder"><title>空</title><newflag>0</newflag><count check="0" error="0" update="0"/>
<filter condition="0" scope="0"/></item></pelun>
""".replace("<pelun>", '<pelun xmlns:content="http://purl.org/rss/1.0/modules/content/">')


request = harness.http_request
get = harness.http_get


def listening_addresses(port):
    """The IPv4 addresses this machine listens on at `port`, from the kernel's table."""
    addresses = []
    with open("/proc/net/tcp") as table:
        for line in list(table)[1:]:
            local, state = line.split()[1], line.split()[3]
            address, local_port = local.split(":")
            if state == "0A" and int(local_port, 16) == port:
                addresses.append(socket.inet_ntoa(bytes.fromhex(address)[::-1]))
    return addresses


class LocalServer(unittest.TestCase):
    def test_routes_reading_and_refusals(self):
        port = harness.free_port()
        with harness.PelunSession() as session:
            process = session.start_server(port, DATA.encode("utf-8"))

            head, body = get(port, "/")
            self.assertTrue(head.startswith("HTTP/1.0 200\r\nContent-Type: text/html"))
            self.assertIn("ニュース: 速報", body.decode("utf-8"))
            head, body = get(port, "/folderlist.xml")
            folders = ElementTree.fromstring(body).findall("folder")
            self.assertEqual([f.findtext("new") for f in folders], ["1", "0"])
            self.assertIsNone(folders[0].find("url2"))

            # Reading: the redirect names the folder with news, whose page is stored first.
            head, _ = get(port, "/new")
            folder_id = folders[0].findtext("url").split("?")[1]
            self.assertIn("Location: http://127.0.0.1:%d/top?%s" % (port, folder_id), head)
            stored = os.path.join(session.temp_dir, "ニュース： 速報.html")
            self.assertTrue(os.path.exists(stored), os.listdir(session.temp_dir))
            head, page = get(port, "/top?" + folder_id)
            page = page.decode("utf-8")
            self.assertIn("本文", page)
            for hostile in ("<script>alert", "javascript:alert", "onclick=\"x()\"", "<script>bad"):
                self.assertNotIn(hostile, page)
            _, body = get(port, "/folderlist.xml")
            folders = ElementTree.fromstring(body).findall("folder")
            self.assertEqual(folders[0].findtext("new"), "0")
            self.assertEqual(folders[0].findtext("url2"), "/top?" + folder_id)

            # The remaining routes, each once.
            empty_id = folders[1].findtext("url").split("?")[1]
            routes = [
                ("/bar.js?" + folder_id, "HTTP/1.0 200\r\nContent-Type: application/x-javascript"),
                ("/common.css", "HTTP/1.0 200\r\nContent-Type: text/css"),
                ("/custom.css", "HTTP/1.0 200\r\nContent-Type: text/css"),
                ("/new?" + empty_id, "HTTP/1.0 302\r\nLocation: http://127.0.0.1:%d/ltop?%s" % (port, empty_id)),
                ("/ltop?" + empty_id, "HTTP/1.0 200\r\nContent-Type: text/html"),
                ("/folderlist?x=1", "HTTP/1.0 200\r\nContent-Type: text/html"),
                ("/exit", "HTTP/1.0 404"),
                ("/reload", "HTTP/1.0 200 OK"),
                ("/sync", "HTTP/1.0 200 OK"),
            ]
            for path, expected in routes:
                self.assertTrue(get(port, path)[0].startswith(expected), path)
            self.assertTrue(os.path.exists(os.path.join(session.temp_dir, "空.html.list")))
            self.assertTrue(harness.PelunSession.poll_until(
                lambda: session.wintool("window-info", harness.MAIN_WINDOW_CLASS,
                                        harness.MAIN_WINDOW_TITLE)[1].strip() == "visible=1", 10),
                "/sync shows the main window")

            head, icon = get(port, "/favicon.ico")
            self.assertIn("Content-length: %d" % len(icon), head)
            self.assertEqual(len(icon), os.path.getsize(os.path.join(session.program_dir, "favicon.ico")))

            # Another address of this computer, another site's name, another site's page.
            # (The request is not read from such a peer, so none is sent: unread bytes would make
            # the close a reset.)
            self.assertEqual(request(port, b"", source="127.0.0.2"), b"HTTP/1.0 403\r\n\r\n")
            raw = b"GET /reload HTTP/1.0\r\nHost: rebound.example\r\n\r\n"
            self.assertEqual(request(port, raw), b"HTTP/1.0 403\r\n\r\n")
            self.assertEqual(get(port, "/add?http://x/", "Origin: http://evil.example\r\n")[0], "HTTP/1.0 403")

            # The port is open on the loopback address only, not to the network.
            self.assertEqual(listening_addresses(port), ["127.0.0.1"])

            # Connections that send nothing (browsers open them ahead of need) hold nothing up:
            # pages and the tree answer at once, and such a connection is answered whenever its
            # request comes.
            silent = [socket.create_connection(("127.0.0.1", port)) for _ in range(10)]
            timings = []
            for _ in range(5):
                started = time.monotonic()
                self.assertTrue(get(port, "/")[0].startswith("HTTP/1.0 200"))
                timings.append(time.monotonic() - started)
            self.assertLess(sorted(timings)[2], 0.1, timings)
            self.assertIn("空", session.wintool_ok("tree-items"))
            late = silent.pop()
            late.settimeout(10)
            late.sendall(b"GET /folderlist.xml HTTP/1.0\r\nHost: 127.0.0.1:%d\r\n\r\n" % port)
            self.assertTrue(harness.read_to_end(late).startswith(b"HTTP/1.0 200\r\nContent-Type: text/xml"))
            for connection in silent + [late]:
                connection.close()

            session.run("/exit")
            self.assertEqual(session.wait_for_exit(process), 0)
            with open(session.data_file, "rb") as f:
                saved = f.read().decode("utf-8")
            self.assertNotIn("<newflag>1</newflag>", saved, "reading marked everything read")
            self.assertNotIn("本文", saved, "read articles keep no body")


def reading_data():
    def site(name, articles, body_repeat):
        items = "".join(
            "<item><title>%s の記事 %d</title><link>http://example.com/%s/%d</link>"
            "<dc:date>2024-01-%02dT09:00:00+09:00</dc:date><content:encoded>&lt;p&gt;%s&lt;/p&gt;</content:encoded>"
            "<newflag>1</newflag></item>" % (name, i, name, i, 20 - i, "読みやすい本文です。" * body_repeat)
            for i in range(articles))
        return ('<item type="rss"><title>%s</title><link>http://example.com/%s</link>'
                '<src>http://127.0.0.1:1/%s.xml</src><newflag>1</newflag><usedate>1</usedate>'
                '<count check="1" error="0" update="1"/>%s</item>' % (name, name, name, items))

    def folder(title, sites):
        return ('<item type="folder"><title>%s</title><newflag>1</newflag><count check="0" error="0" update="0"/>'
                '<filter condition="0" scope="0"/>%s</item>' % (title, "".join(sites)))

    return ("<?xml version='1.0' encoding='utf-8'?>\n<pelun xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
            "xmlns:content=\"http://purl.org/rss/1.0/modules/content/\">%s%s</pelun>"
            % (folder("技術ニュース", [site("サイト%d" % n, 6, 12) for n in range(4)]),
               folder("日記", [site("日記サイト", 2, 3)]))).encode("utf-8")


class PortTaken(unittest.TestCase):
    def test_a_port_in_use_is_reported_and_the_program_ends(self):
        with socket.socket() as holder, harness.PelunSession() as session:
            holder.bind(("127.0.0.1", 0))
            holder.listen(1)
            port = holder.getsockname()[1]
            session.write_settings("[Option]\r\nfirst=0\r\ntimer=0\r\nport=%d\r\n" % port)
            process = session.start()
            self.assertEqual(session.wintool("wait-window", "#32770", "pelun", "30000")[0], 0)
            _, text = session.wintool("dialog-text", "#32770", "pelun")
            self.assertIn("ソケットを作成できませんでした。(Error = ", text)
            session.wintool("close-window", "#32770", "pelun")
            self.assertIsNotNone(session.wait_for_exit(process), "the program ends")


class InTheBrowser(unittest.TestCase):
    def test_keys_move_between_sites_and_folders(self):
        from devtools import HeadlessChromium
        port = harness.free_port()
        with harness.PelunSession() as session:
            process = session.start_server(port, reading_data())
            with HeadlessChromium() as page:
                page.navigate("http://127.0.0.1:%d/new" % port)
                self.assertEqual(page.evaluate("document.title"), "技術ニュース")
                self.assertIn("/top?", page.evaluate("location.href"))
                self.assertEqual(page.evaluate("document.querySelectorAll('div.sitetitle').length"), 4)
                self.assertEqual(page.evaluate("document.getElementById('bar') !== null"), True)
                artifacts = os.path.join(harness.ROOT, "build", "artifacts")
                os.makedirs(artifacts, exist_ok=True)
                page.screenshot(os.path.join(artifacts, "article_page.png"))

                top = page.evaluate("window.scrollY")
                page.press("k", 75)
                after_k = page.evaluate("window.scrollY")
                self.assertGreater(after_k, top, "K moves to the next site")
                page.press("k", 75)
                self.assertGreater(page.evaluate("window.scrollY"), after_k)
                page.press("j", 74)
                self.assertEqual(page.evaluate("window.scrollY"), after_k, "J moves back one site")

                page.events.clear()
                page.press("n", 78)
                page.wait_event("Page.loadEventFired")
                self.assertEqual(page.evaluate("document.title"), "日記", "N opens the next unread folder")
            session.run("/exit")
            self.assertEqual(session.wait_for_exit(process), 0)


if __name__ == "__main__":
    harness.main()
