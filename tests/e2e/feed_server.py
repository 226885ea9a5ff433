"""A feed server for end-to-end tests, benchmarks and manual runs, on 127.0.0.1 only.

Serves feeds registered by path, redirects, error statuses, stalls, gzip bodies (and a gzip
bomb), and an endless body. It records every request it saw and, per Host header, the peak
number of requests it was answering at once. It is bounded: it stops by itself after
`lifetime` seconds or `max_requests` requests, and stopping releases every stalled answer. It
also answers as a proxy (requests that name a whole address), which may ask for a password.

    with FeedServer(lifetime=60) as server:
        server.add_feed("/rss.xml", body, last_modified=True)
        url = server.url("/rss.xml")

Command line: python3 feed_server.py --feed /rss.xml=file.xml --lifetime 600
"""
import argparse
import base64
import email.utils
import gzip
import http.server
import threading
import time

HOST = "127.0.0.1"
DEFAULT_LIFETIME = 120.0
DEFAULT_MAX_REQUESTS = 10000
BOMB_DECODED_BYTES = 40 << 20          # past the client's 32 MiB limit
ENDLESS_BYTE_CAP = 256 << 20           # an endless body still ends somewhere
ENDLESS_CHUNK = 64 << 10

SAMPLE_RSS = b"""<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0"><channel><title>Sample</title><link>http://example.com/</link>
<description>Sample feed</description>
<item><title>First</title><link>http://example.com/1</link></item>
</channel></rss>
"""


class RequestRecord:
    """One request as the server saw it."""

    def __init__(self, path, headers, host, query=""):
        self.path = path
        self.query = query    # the text after "?", as sent
        self.headers = {name.lower(): value for name, value in headers.items()}
        self.host = host
        self.status = None
        self.proxied = False  # asked of the server as a proxy
        self.gzipped = False
        self.body_bytes = 0   # body bytes sent, as far as the client took them
        self.started = None   # time.monotonic() when the request arrived
        self.ended = None     # and when its answer was done

    def header(self, name, default=None):
        return self.headers.get(name.lower(), default)

    def __repr__(self):
        return "RequestRecord(%r, status=%r)" % (self.path, self.status)


class _Route:
    def __init__(self, kind, **fields):
        self.kind = kind
        self.latency = fields.pop("latency", None)
        self.__dict__.update(fields)


class FeedServer:
    def __init__(self, lifetime=DEFAULT_LIFETIME, max_requests=DEFAULT_MAX_REQUESTS, latency=0.0,
                 port=0):
        self.lifetime = lifetime
        self.max_requests = max_requests
        self.latency = latency
        self._port = port
        self._routes = {}
        self._records = []
        self._active = {}
        self._peak = {}
        self._lock = threading.Lock()
        self._stopping = threading.Event()
        self._httpd = None
        self._thread = None
        self._timer = None
        self._bomb = None
        self.proxy_credentials = None   # (user, password) a request through the proxy must present

    # Life -------------------------------------------------------------------------------------
    def start(self):
        server = self

        class Handler(_Handler):
            owner = server

        self._httpd = _ListeningServer((HOST, self._port), Handler)
        self._httpd.daemon_threads = True
        self._thread = threading.Thread(target=self._httpd.serve_forever, kwargs={"poll_interval": 0.1},
                                        daemon=True)
        self._thread.start()
        self._timer = threading.Timer(self.lifetime, self.stop)
        self._timer.daemon = True
        self._timer.start()
        return self

    def stop(self):
        if self._stopping.is_set():
            return
        self._stopping.set()
        if self._timer and self._timer is not threading.current_thread():
            self._timer.cancel()
        if self._httpd:
            self._httpd.shutdown()
            self._httpd.server_close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    @property
    def stopped(self):
        return self._stopping.is_set()

    @property
    def port(self):
        return self._httpd.server_address[1]

    def url(self, path="/", host=HOST):
        return "http://%s:%d%s" % (host, self.port, path)

    # Routes -----------------------------------------------------------------------------------
    def add_feed(self, path, body=SAMPLE_RSS, content_type="application/xml", last_modified=None,
                 gzip_body=False, latency=None, credentials=None, etag=None):
        """last_modified: a header value, True for the time of registration, None for none.
        etag: an entity tag as sent (W/"..." for a weak one), honoured in If-None-Match; None for none.
        gzip_body: send the body gzip-encoded when the request accepts gzip.
        credentials: (user, password) that Basic authentication must present, or None."""
        if last_modified is True:
            last_modified = email.utils.formatdate(time.time(), usegmt=True)
        self._routes[path] = _Route("feed", body=bytes(body), content_type=content_type,
                                    last_modified=last_modified, gzip_body=gzip_body, latency=latency,
                                    credentials=credentials, etag=etag)
        return last_modified

    def add_redirect(self, path, target, status=302, latency=None):
        """target may be relative; it is sent as written."""
        self._routes[path] = _Route("redirect", status=status, target=target, latency=latency)

    def add_status(self, path, status, body=b"", latency=None):
        self._routes[path] = _Route("status", status=status, body=body, latency=latency)

    def stall(self, path, seconds):
        """Reads the request and holds the connection without an answer for `seconds`."""
        self._routes[path] = _Route("stall", seconds=seconds)

    def add_gzip_bomb(self, path, decoded_bytes=BOMB_DECODED_BYTES):
        if self._bomb is None or self._bomb[0] != decoded_bytes:
            self._bomb = (decoded_bytes, gzip.compress(bytes(decoded_bytes), compresslevel=9))
        self._routes[path] = _Route("bomb", body=self._bomb[1])

    def add_endless(self, path, byte_cap=ENDLESS_BYTE_CAP):
        """A 200 answer without length whose body runs until the client leaves or `byte_cap`."""
        self._routes[path] = _Route("endless", byte_cap=byte_cap)

    # Observations -----------------------------------------------------------------------------
    def requests(self, path=None):
        with self._lock:
            return [r for r in self._records if path is None or r.path == path]

    def peak_concurrency(self, host=None):
        """The peak per Host header value, or for one host (without port, as sent)."""
        with self._lock:
            return dict(self._peak) if host is None else self._peak.get(host, 0)

    def wait_for_requests(self, count, path=None, timeout=10.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if len(self.requests(path)) >= count:
                return True
            time.sleep(0.05)
        return len(self.requests(path)) >= count

    # Used by the handler ----------------------------------------------------------------------
    def _begin(self, record):
        record.started = time.monotonic()
        with self._lock:
            self._records.append(record)
            active = self._active.get(record.host, 0) + 1
            self._active[record.host] = active
            self._peak[record.host] = max(self._peak.get(record.host, 0), active)
            over = len(self._records) >= self.max_requests
        if over:
            threading.Thread(target=self.stop, daemon=True).start()

    def _end(self, record):
        record.ended = time.monotonic()
        with self._lock:
            self._active[record.host] -= 1

    def _wait(self, seconds):
        """Sleeps, but never past a stop. True when the server is stopping."""
        return self._stopping.wait(seconds) if seconds else self._stopping.is_set()


class _ListeningServer(http.server.ThreadingHTTPServer):
    # The default backlog of 5 drops connection attempts of a client that opens ten at once,
    # which then wait a whole second to try again.
    request_queue_size = 128


def _basic(user, password):
    return "Basic " + base64.b64encode(("%s:%s" % (user, password)).encode("utf-8")).decode("ascii")


class _Handler(http.server.BaseHTTPRequestHandler):
    owner = None
    # Connections stay open between requests, as on real feed servers; answers without a
    # length (the endless body) and stalls close theirs.
    protocol_version = "HTTP/1.1"
    # Header and body go out in two writes: without this a kept-alive connection waits for the
    # client's delayed acknowledgement between them.
    disable_nagle_algorithm = True

    def log_message(self, *args):
        pass

    def do_GET(self):
        server = self.owner
        host = (self.headers.get("Host") or HOST).rsplit(":", 1)[0]
        path, proxied = self.path, self.path.startswith("http://")
        if proxied:   # "http://host/path": the route is the path
            path = "/" + path.split("/", 3)[3] if path.count("/") >= 3 else "/"
        route, _, query = path.partition("?")
        record = RequestRecord(route, self.headers, host, query)
        record.proxied = proxied
        server._begin(record)
        try:
            self._answer(server, record)
        except (BrokenPipeError, ConnectionResetError, ConnectionAbortedError):
            pass
        finally:
            server._end(record)

    def _answer(self, server, record):
        route = server._routes.get(record.path)
        latency = route.latency if route and route.latency is not None else server.latency
        if server._wait(latency):
            return
        if record.proxied and server.proxy_credentials and \
                record.header("Proxy-Authorization") != _basic(*server.proxy_credentials):
            return self._send(record, 407, b"", {"Proxy-Authenticate": 'Basic realm="proxy"'})
        if route is None:
            return self._send(record, 404, b"not found")
        if route.kind == "feed":
            if route.credentials and record.header("Authorization") != _basic(*route.credentials):
                return self._send(record, 401, b"", {"WWW-Authenticate": 'Basic realm="feeds"'})
            since = record.header("If-Modified-Since")
            if route.last_modified and since == route.last_modified:
                return self._send(record, 304, b"")
            # Weak comparison, as servers do for conditional GETs.
            match = [tag.strip().removeprefix("W/") for tag in (record.header("If-None-Match") or "").split(",")]
            if route.etag and route.etag.removeprefix("W/") in match:
                return self._send(record, 304, b"", {"ETag": route.etag})
            body = route.body
            headers = {"Content-Type": route.content_type}
            if route.last_modified:
                headers["Last-Modified"] = route.last_modified
            if route.etag:
                headers["ETag"] = route.etag
            if route.gzip_body and "gzip" in (record.header("Accept-Encoding") or ""):
                body = gzip.compress(body)
                headers["Content-Encoding"] = "gzip"
                record.gzipped = True
            return self._send(record, 200, body, headers)
        if route.kind == "redirect":
            return self._send(record, route.status, b"", {"Location": route.target})
        if route.kind == "status":
            return self._send(record, route.status, route.body)
        if route.kind == "stall":
            server._wait(route.seconds)
            self.close_connection = True
            return
        if route.kind == "bomb":
            record.gzipped = True
            return self._send(record, 200, route.body,
                              {"Content-Type": "application/xml", "Content-Encoding": "gzip"})
        if route.kind == "endless":
            return self._send_endless(server, record, route.byte_cap)

    def _send(self, record, status, body, headers=None):
        record.status = status
        self.send_response(status)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        record.body_bytes = len(body)

    def _send_endless(self, server, record, byte_cap):
        record.status = 200
        self.close_connection = True
        self.send_response(200)
        self.send_header("Content-Type", "application/xml")
        self.send_header("Connection", "close")
        self.end_headers()
        chunk = b"<rss><channel>" + b" " * (ENDLESS_CHUNK - 14)
        while record.body_bytes < byte_cap and not server.stopped:
            self.wfile.write(chunk)
            record.body_bytes += len(chunk)
            chunk = b" " * ENDLESS_CHUNK


def main():
    parser = argparse.ArgumentParser(description="Feed server on 127.0.0.1 for manual tests.")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--lifetime", type=float, default=600.0, help="seconds before it stops")
    parser.add_argument("--latency", type=float, default=0.0, help="seconds before every answer")
    parser.add_argument("--feed", action="append", default=[], metavar="PATH=FILE",
                        help="serve FILE at PATH, with a Last-Modified header")
    parser.add_argument("--redirect", action="append", default=[], metavar="PATH=TARGET")
    parser.add_argument("--status", action="append", default=[], metavar="PATH=CODE")
    parser.add_argument("--stall", action="append", default=[], metavar="PATH=SECONDS")
    args = parser.parse_args()

    server = FeedServer(lifetime=args.lifetime, latency=args.latency, port=args.port)
    server.add_feed("/sample.xml", SAMPLE_RSS, last_modified=True, gzip_body=True)
    for item in args.feed:
        path, name = item.split("=", 1)
        with open(name, "rb") as f:
            server.add_feed(path, f.read(), last_modified=True, gzip_body=True)
    for item in args.redirect:
        path, target = item.split("=", 1)
        server.add_redirect(path, target)
    for item in args.status:
        path, code = item.split("=", 1)
        server.add_status(path, int(code))
    for item in args.stall:
        path, seconds = item.split("=", 1)
        server.stall(path, float(seconds))
    server.add_gzip_bomb("/bomb.xml")
    server.add_endless("/endless.xml")
    server.start()
    print("serving %s for %g s (sample at /sample.xml)" % (server.url(), args.lifetime), flush=True)
    try:
        while not server.stopped:
            time.sleep(0.5)
    except KeyboardInterrupt:
        pass
    finally:
        server.stop()


if __name__ == "__main__":
    main()
