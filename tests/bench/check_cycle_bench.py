"""`make bench`: one check cycle over 500 sites on the local feed server, 20 ms per answer.

Prints, for `connection` 5 and 10, the wall time of the first cycle (every feed answers 200)
and of the second (every feed answers 304) beside the ideal (the sum of latencies divided by
the concurrency) and the target (1.2 times the ideal), and the program's peak memory. The wall
time runs from the first request's arrival to the last answer's end, as the server saw them.
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
import harness  # noqa: E402
from feed_server import FeedServer  # noqa: E402

SITES = 500
LATENCY = 0.020
TARGET_RATIO = 1.2


def feed(i):
    items = "".join("<item><title>Article %d.%d</title><link>http://example.com/%d/%d</link>"
                    "<pubDate>Mon, %02d Jan 2024 00:00:00 GMT</pubDate><description>本文</description></item>"
                    % (i, j, i, j, 28 - j) for j in range(15))
    return ('<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel><title>Feed %d</title>'
            "<link>http://example.com/%d</link>%s</channel></rss>" % (i, i, items)).encode("utf-8")


def data_file(server):
    sites = "".join('<item type="rss"><title>s%d</title><link/><src>%s</src><newflag>0</newflag>'
                    '<usedate>1</usedate><count check="0" error="0" update="0"/></item>'
                    % (i, server.url("/f/%d.xml" % i)) for i in range(SITES))
    return ("<?xml version='1.0' encoding='utf-8'?>\n<pelun><item type=\"folder\"><title>F</title>"
            "<newflag>0</newflag><count check=\"0\" error=\"0\" update=\"0\"/>"
            "<filter condition=\"0\" scope=\"0\"/>%s</item></pelun>" % sites).encode("utf-8")


def peak_memory_kib(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def one_cycle(session, server):
    """Starts the program, waits for SITES requests and their answers, ends it; returns the
    server-side wall time and the peak memory."""
    before = len(server.requests())
    process = session.start()
    if not server.wait_for_requests(before + SITES, timeout=120):
        raise RuntimeError("only %d requests" % (len(server.requests()) - before))
    records = server.requests()[before:]
    deadline = time.monotonic() + 30
    while any(r.ended is None for r in records) and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(1.0)  # the last documents are parsed and merged
    memory = peak_memory_kib(process.pid)
    session.run("/exit")
    session.wait_for_exit(process, 60)
    wall = max(r.ended for r in records) - min(r.started for r in records)
    return wall, memory


def main():
    harness._build_dir = os.path.abspath(sys.argv[1])
    print("check cycle: %d sites, %d ms per answer" % (SITES, LATENCY * 1000))
    for connection in (5, 10):
        ideal = SITES * LATENCY / connection
        with FeedServer(lifetime=600, latency=LATENCY) as server, harness.PelunSession() as session:
            for i in range(SITES):
                server.add_feed("/f/%d.xml" % i, feed(i), last_modified="Mon, 01 Jan 2024 00:00:00 GMT")
            session.write_settings("[Option]\r\ndelay=0\r\nconnection=%d\r\n" % connection)
            with open(session.data_file, "wb") as f:
                f.write(data_file(server))
            for name in ("first (200)", "second (304)"):
                wall, memory = one_cycle(session, server)
                ratio = wall / ideal
                print("connection %-2d %-13s %6.2f s  ideal %.2f s  %.2fx (target < %.1fx) %s  peak memory %d MiB"
                      % (connection, name, wall, ideal, ratio, TARGET_RATIO,
                         "ok" if ratio < TARGET_RATIO else "SLOW", memory // 1024))


if __name__ == "__main__":
    main()
