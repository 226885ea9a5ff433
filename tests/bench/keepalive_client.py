"""The floor of a check cycle: a plain client with N keep-alive connections fetching every
path once, with the validators a conditional cycle sends. Run as its own process so that it
does not share the feed server's interpreter lock; prints the seconds it took.

    python3 keepalive_client.py PORT CONNECTIONS CONDITIONAL PATH...
"""
import http.client
import queue
import sys
import threading
import time


def fetch_all(port, connections, conditional, paths):
    work = queue.Queue()
    for path in paths:
        work.put(path)
    headers = {}
    if conditional:
        headers = {"If-Modified-Since": "Mon, 01 Jan 2024 00:00:00 GMT"}

    def worker():
        connection = http.client.HTTPConnection("127.0.0.1", port)
        while True:
            try:
                path = work.get_nowait()
            except queue.Empty:
                return
            tag = 'W/"%s-1"' % path.rsplit("/", 1)[1].split(".")[0]
            connection.request("GET", path, headers=dict(headers, **({"If-None-Match": tag} if conditional else {})))
            connection.getresponse().read()

    threads = [threading.Thread(target=worker) for _ in range(connections)]
    started = time.monotonic()
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return time.monotonic() - started


if __name__ == "__main__":
    print("%.3f" % fetch_all(int(sys.argv[1]), int(sys.argv[2]), sys.argv[3] == "1", sys.argv[4:]))
