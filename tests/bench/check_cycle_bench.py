"""`make bench`: one check cycle over 500 sites on the local feed server, 20 ms per answer.

Prints, for `connection` 5 and 10, the wall time of the first cycle (every feed answers 200)
and of the second (every feed answers 304) beside the ideal (the sum of latencies divided by
the concurrency) and the target (1.2 times the ideal for the first, 1.1 times for the second),
and the program's peak memory. The wall time runs from the first request's arrival at the feed
server to the program's end of cycle, where a user sees it: the news broadcast the main window
sends to every band when a cycle ends, caught by a stand-in band window.

Beside each figure, in the same run against the same server: newsboat, a terminal feed reader,
with as many reload threads (from the first request to its exit, once its cache is written),
and the floor, a plain client with as many keep-alive connections.
"""
import os
import shutil
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
import harness  # noqa: E402
from feed_server import FeedServer  # noqa: E402

SITES = 500
LATENCY = 0.020
TARGET_RATIOS = {"first (200)": 1.2, "second (304)": 1.1}
HERE = os.path.dirname(os.path.abspath(__file__))


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


class BandBroadcasts(threading.Thread):
    """A stand-in band's catch window (wintool); a thread notes when each news line arrives."""

    def __init__(self, session):
        super().__init__(daemon=True)
        self.path = os.path.join(session.workdir, "band.log")
        self.times = []
        self.lock = threading.Lock()
        session.start("catch-window", harness.windows_path(self.path), "3600000", program="wintool.exe")
        if not harness.PelunSession.poll_until(lambda: self._lines(), 60, 0.05):
            raise RuntimeError("the catch window did not start")
        self.start()

    def _lines(self):
        try:
            with open(self.path, encoding="utf-8") as f:
                return [line for line in f.read().splitlines() if line]
        except OSError:
            return []

    def run(self):
        seen = 1  # the "ready" line
        while True:
            lines = self._lines()
            now = time.monotonic()
            with self.lock:
                self.times.extend([now] * max(0, len(lines) - seen))
            seen = max(seen, len(lines))
            time.sleep(0.002)

    def wait_after(self, moment, timeout):
        """The arrival time of the first broadcast after `moment`; None after `timeout`."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            with self.lock:
                found = [t for t in self.times if t > moment]
            if found:
                return found[0]
            time.sleep(0.01)
        return None


def one_cycle(session, server, band):
    """Starts the program, waits for its end of cycle, ends it; returns the wall time from the
    first request to the end of cycle, and the peak memory."""
    before = len(server.requests())
    process = session.start()
    if not server.wait_for_requests(before + 1, timeout=60):
        raise RuntimeError("no request")
    if not server.wait_for_requests(before + SITES, timeout=120):
        raise RuntimeError("only %d requests after 120 s" % (len(server.requests()) - before))
    records = server.requests()[before:]
    # The cycle cannot end before its last request: broadcasts of the icon's changes on the
    # way are not its end.
    end = band.wait_after(max(r.started for r in records), 120)
    if end is None:
        raise RuntimeError("no end of cycle within 120 s of the last request")
    first = min(r.started for r in records)
    memory = peak_memory_kib(process.pid)
    session.run("/exit")
    session.wait_for_exit(process, 60)
    return end - first, memory


def newsboat_cycles(server, connection, workdir):
    """newsboat's wall time for a first and an all-304 cycle of every feed; None when it is not
    installed. It stores a feed's validators only from its second fetch on, so a warm-up cycle
    comes between the two that are timed."""
    if not shutil.which("newsboat"):
        return None
    home = os.path.join(workdir, "newsboat")
    os.makedirs(home, exist_ok=True)
    urls, config, cache = (os.path.join(home, name) for name in ("urls", "config", "cache.db"))
    with open(urls, "w") as f:
        f.write("".join(server.url("/f/%d.xml" % i) + "\n" for i in range(SITES)))
    with open(config, "w") as f:
        f.write("reload-threads %d\n" % connection)
    walls = []
    for timed in (True, False, True):
        before = len(server.requests())
        subprocess.run(["newsboat", "-u", urls, "-c", cache, "-C", config, "-x", "reload"],
                       env=dict(os.environ, HOME=home), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300, check=True)
        ended = time.monotonic()
        if timed:
            walls.append(ended - min(r.started for r in server.requests()[before:]))
    return walls


def floor_cycles(server, connection):
    """A plain keep-alive client's wall time for a first and an all-304 cycle."""
    paths = ["/f/%d.xml" % i for i in range(SITES)]
    output = subprocess.run([sys.executable, os.path.join(HERE, "keepalive_client.py"), str(server.port),
                             str(connection)] + paths, capture_output=True, text=True, check=True).stdout
    return [float(line) for line in output.split()]


def main():
    harness._build_dir = os.path.abspath(sys.argv[1])
    print("check cycle: %d sites, %d ms per answer" % (SITES, LATENCY * 1000))
    # The last run's servers send only an entity tag, as many feed servers and CDNs do: without
    # If-None-Match every cycle there would cost what its first does.
    for connection, validator in ((5, "last-modified"), (10, "last-modified"), (5, "etag only")):
        ideal = SITES * LATENCY / connection
        with FeedServer(lifetime=600, latency=LATENCY) as server, harness.PelunSession() as session:
            for i in range(SITES):
                if validator == "etag only":
                    server.add_feed("/f/%d.xml" % i, feed(i), etag='W/"%d-1"' % i)
                else:
                    server.add_feed("/f/%d.xml" % i, feed(i), last_modified="Mon, 01 Jan 2024 00:00:00 GMT")
            session.write_settings("[Option]\r\ndelay=0\r\nconnection=%d\r\nport=%d\r\n"
                                   % (connection, harness.free_port()))
            with open(session.data_file, "wb") as f:
                f.write(data_file(server))
            band = BandBroadcasts(session)
            ours = []
            for name in TARGET_RATIOS:
                before = len(server.requests())
                wall, memory = one_cycle(session, server, band)
                statuses = sorted({r.status for r in server.requests()[before:]})
                ours.append(wall)
                ratio, target = wall / ideal, TARGET_RATIOS[name]
                print("connection %-2d %-13s %-13s %6.2f s  ideal %.2f s  %.2fx (target <= %.1fx) %s  "
                      "peak memory %d MiB  answers %s"
                      % (connection, validator, name, wall, ideal, ratio, target,
                         "ok" if ratio <= target else "SLOW", memory // 1024, statuses))
            others = newsboat_cycles(server, connection, session.workdir)
            floors = floor_cycles(server, connection)
            for name, wall, other, floor in zip(TARGET_RATIOS, ours, others or [None] * 2, floors):
                compared = "newsboat not installed"
                if other is not None:
                    compared = "newsboat %.2f s (%.2fx): %s" % (other, other / ideal,
                                                               "faster" if wall < other else "SLOWER")
                print("    same run, %-13s %s; floor (keep-alive client) %.2f s (%.2fx)"
                      % (name, compared, floor, floor / ideal))


if __name__ == "__main__":
    main()
