"""`make bench`: the program at the size of a large subscription list, measured from outside.

- Start-up: from launch to the local server answering, with an empty tree and with 2,000 sites
  of 15 articles each in 20 folders. Target: at most 0.5 s more than empty.
- A cycle of 2,000 sites (10 ms per answer, `connection` 10): the slowest answer of the top page
  "/" asked every 50 ms while the cycle runs. Target: under 100 ms.
- Memory: the resident size after a cycle of 1,000 sites with 15 articles each, beside the same
  program idle with an empty tree. Target: at most 15 MB more, once the program is idle again
  (the system's pool retires the idle download threads about 5 s after the cycle; each holds
  about 1 MB under Wine). The figure 2 s after the cycle is printed too.
Each figure is printed beside its target; nothing is asserted.
"""
import os
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
import harness  # noqa: E402
from feed_server import FeedServer  # noqa: E402

FOLDERS = 20
SITES_PER_FOLDER = 100
ARTICLES = 15
LATENCY = 0.010


def feed(i):
    items = "".join("<item><title>記事 %d.%d</title><link>http://example.com/%d/%d</link>"
                    "<pubDate>Mon, %02d Jan 2024 00:00:00 GMT</pubDate><description>本文 %d</description></item>"
                    % (i, j, i, j, 28 - j, j) for j in range(ARTICLES))
    return ('<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel><title>Feed %d</title>'
            "<link>http://example.com/%d</link>%s</channel></rss>" % (i, i, items)).encode("utf-8")


def data_file(src_of, with_articles, folder_count=FOLDERS):
    def articles(i):
        if not with_articles:
            return ""
        return "".join("<item><title>記事 %d.%d</title><link>http://example.com/%d/%d</link>"
                       "<dc:date>2024-01-%02dT00:00:00+09:00</dc:date><newflag>0</newflag></item>"
                       % (i, j, i, j, 28 - j) for j in range(ARTICLES))
    folders = []
    for f in range(folder_count):
        sites = "".join('<item type="rss"><title>サイト %d</title><link>http://example.com/%d</link>'
                        '<src>%s</src><newflag>0</newflag><usedate>1</usedate>'
                        '<count check="1" error="0" update="1"/>%s</item>'
                        % (i, i, src_of(i), articles(i))
                        for i in range(f * SITES_PER_FOLDER, (f + 1) * SITES_PER_FOLDER))
        folders.append('<item type="folder"><title>フォルダ %d</title><newflag>0</newflag>'
                       '<count check="0" error="0" update="0"/><filter condition="0" scope="0"/>%s</item>'
                       % (f, sites))
    return ("<?xml version='1.0' encoding='utf-8'?>\n<pelun xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
            "%s</pelun>" % "".join(folders)).encode("utf-8")


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def start_and_time(session, port, data, settings=""):
    """Seconds from launch to the server answering; the running process."""
    session.write_settings("[Option]\r\nfirst=0\r\ntimer=0\r\nport=%d\r\n%s" % (port, settings))
    with open(session.data_file, "wb") as f:
        f.write(data)
    started = time.monotonic()
    process = session.start()
    if not harness.wait_for_port(port, timeout=60):
        raise RuntimeError("the server did not open")
    return time.monotonic() - started, process


def stop(session, process):
    session.run("/exit")
    session.wait_for_exit(process, 60)


def median_startup(data):
    times, memory = [], 0
    for _ in range(3):
        port = harness.free_port()
        with harness.PelunSession() as session:
            seconds, process = start_and_time(session, port, data)
            time.sleep(1.0)
            memory = resident_kib(process.pid)
            times.append(seconds)
            stop(session, process)
    return sorted(times)[1], memory


def worst_top_page(port, stopping):
    worst = 0.0
    while not stopping.is_set():
        started = time.monotonic()
        try:
            harness.http_get(port, "/", timeout=10)
        except OSError:
            pass
        worst = max(worst, time.monotonic() - started)
        stopping.wait(0.05)
    return worst


def main():
    harness._build_dir = os.path.abspath(sys.argv[1])
    sites = FOLDERS * SITES_PER_FOLDER
    empty_data = b"<?xml version='1.0' encoding='utf-8'?>\n<pelun><item type=\"folder\"><title>F</title>" \
                 b"<newflag>0</newflag><count check=\"0\" error=\"0\" update=\"0\"/></item></pelun>"
    empty, empty_memory = median_startup(empty_data)
    full, _ = median_startup(data_file(lambda i: "http://127.0.0.1:1/%d.xml" % i, True))
    print("start-up, empty tree              %6.2f s" % empty)
    print("start-up, %d sites x %d articles %6.2f s  +%.2f s (target +0.5 s) %s"
          % (sites, ARTICLES, full, full - empty, "ok" if full - empty <= 0.5 else "SLOW"))

    worst, _ = run_cycle(FOLDERS)
    print("cycle of %d sites: slowest '/' %4.0f ms (target < 100 ms) %s"
          % (sites, worst * 1000, "ok" if worst < 0.1 else "SLOW"))
    _, (soon, idle) = run_cycle(FOLDERS // 2)
    print("memory 2 s after a cycle of %d sites %d MiB, idle empty %d MiB: +%.1f MB"
          % (sites // 2, soon // 1024, empty_memory // 1024, (soon - empty_memory) / 1024))
    grown = (idle - empty_memory) / 1024
    print("memory idle after a cycle of %d sites %d MiB, idle empty %d MiB: +%.1f MB (target +15 MB) %s"
          % (sites // 2, idle // 1024, empty_memory // 1024, grown, "ok" if grown <= 15 else "HIGH"))


def run_cycle(folders):
    """One cycle over `folders` folders of sites; the slowest '/' during it and the resident
    size 2 s after it and once idle again."""
    sites = folders * SITES_PER_FOLDER
    with FeedServer(lifetime=900, latency=LATENCY) as server, harness.PelunSession() as session:
        for i in range(sites):
            server.add_feed("/f/%d.xml" % i, feed(i))
        port = harness.free_port()
        data = data_file(lambda i: server.url("/f/%d.xml" % i), False, folders)
        _, process = start_and_time(session, port, data, "connection=10\r\n")
        stopping = threading.Event()
        result = {}
        poller = threading.Thread(target=lambda: result.setdefault("worst", worst_top_page(port, stopping)))
        poller.start()
        session.run("/reload")
        server.wait_for_requests(sites, timeout=300)
        time.sleep(2.0)  # the last documents are merged
        stopping.set()
        poller.join()
        soon = resident_kib(process.pid)
        time.sleep(8.0)  # the idle download threads retire
        idle = resident_kib(process.pid)
        stop(session, process)
    return result.get("worst", 0.0), (soon, idle)

if __name__ == "__main__":
    main()
