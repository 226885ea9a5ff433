"""The data file across starts: first-start import, reload, and damaged files left alone."""
import http.server
import os
import threading
import unittest
import xml.etree.ElementTree as ElementTree

import harness

CLASS, TITLE = harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE
LOAD_FAILED = "データファイルをロードできませんでした。データが破損している可能性があります．．．"
CREATE_FAILED = "データファイルを作成できませんでした。"
# The imported subscriptions are never fetched: the bundled list names public feeds.
NO_CHECKS = "[Option]\r\nfirst=0\r\ntimer=0\r\n"

REMOTE_LIST = """<?xml version="1.0" encoding="Shift_JIS"?>
<opml version="1.0"><head><title>配布リスト</title></head><body>
<outline text="遠隔のフォルダ"><outline text="サイト①" type="rss" xmlUrl="http://127.0.0.1/a.rdf"/>
<outline text="入れ子"><outline text="サイトⅡ" type="rss" xmlUrl="http://127.0.0.1/b.rdf"/></outline>
</outline></body></opml>
""".encode("cp932")


def folder_titles(path):
    root = ElementTree.parse(path).getroot()
    return [(folder.findtext("title"), [site.findtext("title") for site in folder.findall("item")])
            for folder in root.findall("item")]


class ListServer:
    """Serves one OPML list on 127.0.0.1 for a bounded number of requests."""

    def __init__(self, body):
        handler_body = body

        class Handler(http.server.BaseHTTPRequestHandler):
            requests = 0

            def do_GET(self):
                Handler.requests += 1
                self.send_response(200)
                self.send_header("Content-Type", "text/xml")
                self.send_header("Content-Length", str(len(handler_body)))
                self.end_headers()
                self.wfile.write(handler_body)

            def log_message(self, *args):
                pass

        self.handler = Handler
        self.server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
        self.server.timeout = 1
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.stopping = False

    def _serve(self):
        for _ in range(60):  # at most a minute, one request a second at most
            if self.stopping:
                break
            self.server.handle_request()

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stopping = True
        self.thread.join(5)
        self.server.server_close()

    @property
    def url(self):
        return "http://127.0.0.1:%d/list.opml" % self.server.server_address[1]


class FirstStart(unittest.TestCase):
    def start_and_exit(self, session):
        process = session.start()
        self.assertNotEqual(session.wait_for_main_window(), 0)
        session.run("/exit")
        self.assertEqual(session.wait_for_exit(process), 0)

    def test_bundled_list_is_imported_once_and_reloaded(self):
        with harness.PelunSession(default_list=True) as session:
            session.write_settings(NO_CHECKS)
            self.start_and_exit(session)
            imported = folder_titles(session.data_file)
            self.assertEqual([title for title, _ in imported], ["ニュース", "技術"])
            self.assertEqual(len(imported[0][1]), 3)
            with open(session.data_file, "rb") as f:
                first = f.read()
            self.assertIn(b"<newflag>1</newflag>", first, "imported sites are marked new")

            # The next start reads the file instead of importing again, and saves it unchanged.
            os.remove(os.path.join(session.program_dir, "default.opml"))
            self.start_and_exit(session)
            with open(session.data_file, "rb") as f:
                self.assertEqual(f.read(), first)

    def test_configured_list_comes_first(self):
        with harness.PelunSession(default_list=True) as session, ListServer(REMOTE_LIST) as server:
            session.write_settings(NO_CHECKS)
            session.write_define_ini(session.default_define_ini() +
                                     "[Subscription]\r\nDefaultList=%s\r\n" % server.url)
            self.start_and_exit(session)
            self.assertEqual(server.handler.requests, 1)
            self.assertEqual(folder_titles(session.data_file),
                             [("遠隔のフォルダ", ["サイト①", "サイトⅡ"])])


class DamagedDataFile(unittest.TestCase):
    def assert_reported_and_ended(self, session, process, message):
        code, _ = session.wintool("wait-window", "#32770", "pelun", "30000")
        self.assertEqual(code, 0, "the message box appears")
        _, text = session.wintool("dialog-text", "#32770", "pelun")
        self.assertIn(message, text)
        self.assertIn(harness.windows_path(session.data_file), text)
        session.wintool("close-window", "#32770", "pelun")
        self.assertIsNotNone(session.wait_for_exit(process), "the program ends")
        self.assertFalse(session.main_window_exists())

    def test_data_file_that_cannot_be_created_ends_the_first_start(self):
        with harness.PelunSession() as session:
            with open(session.data_dir, "wb"):  # a file where the data folder should be
                pass
            self.assert_reported_and_ended(session, session.start(), CREATE_FAILED)

    def test_unreadable_file_is_reported_and_left_alone(self):
        cases = {
            "not well-formed": "<?xml version='1.0' encoding='utf-8'?>\n<pelun><item type=\"folder\">",
            "no root element": "<?xml version='1.0' encoding='utf-8'?>\n<opml/>",
        }
        for name, content in cases.items():
            with self.subTest(name), harness.PelunSession() as session:
                os.makedirs(session.data_dir)
                with open(session.data_file, "wb") as f:
                    f.write(content.encode("utf-8"))
                self.assert_reported_and_ended(session, session.start(), LOAD_FAILED)
                with open(session.data_file, "rb") as f:
                    self.assertEqual(f.read(), content.encode("utf-8"))
                self.assertEqual(set(os.listdir(session.data_dir)) - {"pelun.ini"}, {"pelun.dat"})

    def test_load_that_fails_part_way_saves_nothing(self):
        # As when memory runs out in a large file: one folder is in when the load throws.
        data = ("<?xml version='1.0' encoding='utf-8'?>\n<pelun>%s</pelun>\n" % "".join(
            '<item type="folder"><title>フォルダ%d</title><newflag>0</newflag>'
            '<count check="0" error="0" update="0"/><filter condition="0" scope="0"/></item>' % n
            for n in range(3))).encode("utf-8")
        with harness.PelunSession() as session:
            session.write_settings(NO_CHECKS + "port=%d\r\n" % harness.free_port())
            with open(session.data_file, "wb") as f:
                f.write(data)
            session.env["PELUN_LOAD_FAULT_AFTER"] = "1"
            process = session.start()
            self.assertEqual(session.wintool("wait-window", "#32770", "pelun", "30000")[0], 0)
            self.assertIn(LOAD_FAILED, session.wintool("dialog-text", "#32770", "pelun")[1])
            # Asked to exit while the message is up, it ends without saving what it read.
            session.run("/exit")
            self.assertIsNotNone(session.wait_for_exit(process), "the program ends")
            with open(session.data_file, "rb") as f:
                self.assertEqual(f.read(), data)


if __name__ == "__main__":
    harness.main()
