"""`make bench`: the local server's throughput and latency under a load tool on loopback.

wrk drives the real program under Wine for three pages: the top page, the folder list and the
page of a folder of 100 sites with 15 articles each (stored once, then served as "/top?").
The yardstick is the barest blocking accept loop under the same Wine (`wintool serve-fixed`).
Target: each page at least 80% of the yardstick's rate. Prints each figure beside its target.
"""
import os
import re
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
import harness  # noqa: E402

SITES = 100
ARTICLES = 15
SECONDS = 5
CONNECTIONS = 4
TARGET_SHARE = 0.8


def data_file():
    def article(s, a):
        return ("<item><title>記事 %d-%d</title><link>http://example.com/%d/%d</link>"
                "<dc:date>2024-01-%02dT00:00:00+09:00</dc:date><content:encoded>&lt;p&gt;本文 %s&lt;/p&gt;"
                "</content:encoded><newflag>1</newflag></item>" % (s, a, s, a, 28 - a, "段落。" * 40))
    sites = "".join('<item type="rss"><title>サイト %d</title><link>http://example.com/%d</link>'
                    '<src>http://127.0.0.1:1/%d.xml</src><newflag>1</newflag><usedate>1</usedate>'
                    '<count check="1" error="0" update="1"/>%s</item>'
                    % (s, s, s, "".join(article(s, a) for a in range(ARTICLES))) for s in range(SITES))
    return ("<?xml version='1.0' encoding='utf-8'?>\n<pelun xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
            "xmlns:content=\"http://purl.org/rss/1.0/modules/content/\"><item type=\"folder\">"
            "<title>大きなフォルダ</title><newflag>1</newflag><count check=\"0\" error=\"0\" update=\"0\"/>"
            "<filter condition=\"0\" scope=\"0\"/>%s</item></pelun>" % sites).encode("utf-8")


def wrk(url):
    out = subprocess.run(["wrk", "-t2", "-c%d" % CONNECTIONS, "-d%ds" % SECONDS, "--latency",
                          "-H", "Connection: close", url],
                         capture_output=True, text=True, timeout=SECONDS + 30).stdout
    if os.environ.get("BENCH_VERBOSE"):
        print(out)
    rate = float(re.search(r"Requests/sec:\s+([\d.]+)", out).group(1))
    median = re.search(r"50%\s+([\d.]+\w+)", out).group(1)
    return rate, median


def http_get(port, path):
    with socket.create_connection(("127.0.0.1", port), timeout=30) as s:
        s.sendall(("GET %s HTTP/1.0\r\n\r\n" % path).encode())
        data = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                return data
            data += chunk


def main():
    harness._build_dir = os.path.abspath(sys.argv[1])
    with harness.PelunSession() as session:
        port = harness.free_port()
        tool = session.start("serve-fixed", str(port), str(SECONDS + 20), program="wintool.exe")
        if not harness.wait_for_port(port):
            raise RuntimeError("the yardstick did not listen")
        yardstick, yardstick_median = wrk("http://127.0.0.1:%d/" % port)
        tool.wait(60)

        port = harness.free_port()
        process = session.start_server(port, data_file(), extra_files=())
        location = re.search(rb"Location: (\S+)", http_get(port, "/new")).group(1).decode()
        page_path = location[location.index("/top?"):]
        size = len(http_get(port, page_path))
        print("local server: wrk, %d connections, %d s each; folder page %d KiB" % (CONNECTIONS, SECONDS, size // 1024))
        print("%-24s %8.0f req/s  median %s" % ("yardstick accept loop", yardstick, yardstick_median))
        for name, path in (("top page", "/"), ("folder list", "/folderlist.xml"), ("folder page", page_path)):
            rate, median = wrk("http://127.0.0.1:%d%s" % (port, path))
            share = rate / yardstick
            print("%-24s %8.0f req/s  median %-8s %3.0f%% of the yardstick (target >= %d%%) %s"
                  % (name, rate, median, share * 100, TARGET_SHARE * 100,
                     "ok" if share >= TARGET_SHARE else "SLOW"))
        session.run("/exit")
        session.wait_for_exit(process, 60)


if __name__ == "__main__":
    main()
