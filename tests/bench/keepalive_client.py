"""The floor of a check cycle: a plain client with N keep-alive connections fetching every path
once, then once more with the validators each answer gave (If-Modified-Since, If-None-Match).
Run as its own process so that it does not share the feed server's interpreter lock; prints
the seconds each cycle took, one per line.

    python3 keepalive_client.py PORT CONNECTIONS PATH...
"""
import http.client
import queue
import sys
import threading
import time

VALIDATORS = (("Last-Modified", "If-Modified-Since"), ("ETag", "If-None-Match"))


def cycle(port, connections, paths, validators):
    """Fetches every path once; returns the seconds it took. Fills `validators` from the answers."""
    work = queue.Queue()
    for path in paths:
        work.put(path)

    def worker():
        connection = http.client.HTTPConnection("127.0.0.1", port)
        while True:
            try:
                path = work.get_nowait()
            except queue.Empty:
                return
            connection.request("GET", path, headers=validators.get(path, {}))
            answer = connection.getresponse()
            answer.read()
            validators[path] = {ask: answer.getheader(given) for given, ask in VALIDATORS if answer.getheader(given)}

    threads = [threading.Thread(target=worker) for _ in range(connections)]
    started = time.monotonic()
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return time.monotonic() - started


if __name__ == "__main__":
    port, connections, paths = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3:]
    validators = {}
    for _ in range(2):
        print("%.3f" % cycle(port, connections, paths, validators))
