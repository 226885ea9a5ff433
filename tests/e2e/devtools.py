"""A small client of the browser's DevTools protocol over its WebSocket, standard library only:
enough to drive headless Chromium from the end-to-end tests (navigate, evaluate, press keys,
take screenshots)."""
import base64
import json
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import time
import urllib.request

from harness import stop_process


class DevToolsPage:
    def __init__(self, websocket_url, timeout=20):
        host_port, path = websocket_url[len("ws://"):].split("/", 1)
        host, port = host_port.split(":")
        self.sock = socket.create_connection((host, int(port)), timeout=timeout)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(("GET /%s HTTP/1.1\r\nHost: %s\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                           "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n"
                           % (path, host_port, key)).encode())
        response = b""
        while b"\r\n\r\n" not in response:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise ConnectionError("no WebSocket handshake")
            response += chunk
        if b" 101 " not in response.split(b"\r\n", 1)[0]:
            raise ConnectionError(response.decode(errors="replace"))
        self.buffer = response.split(b"\r\n\r\n", 1)[1]
        self.next_id = 0
        self.events = []

    def close(self):
        self.sock.close()

    # Frames ----------------------------------------------------------------------------------
    def _send_text(self, text):
        data = text.encode()
        header = bytes([0x81])
        if len(data) < 126:
            header += bytes([0x80 | len(data)])
        elif len(data) < 65536:
            header += bytes([0x80 | 126]) + struct.pack(">H", len(data))
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", len(data))
        mask = os.urandom(4)
        self.sock.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(data)))

    def _read(self, count):
        while len(self.buffer) < count:
            chunk = self.sock.recv(1 << 16)
            if not chunk:
                raise ConnectionError("the browser closed the connection")
            self.buffer += chunk
        data, self.buffer = self.buffer[:count], self.buffer[count:]
        return data

    def _receive(self):
        message = b""
        while True:
            first, second = self._read(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack(">H", self._read(2))[0]
            elif length == 127:
                length = struct.unpack(">Q", self._read(8))[0]
            payload = self._read(length)
            opcode = first & 0x0F
            if opcode in (0x1, 0x0):
                message += payload
                if first & 0x80:
                    return json.loads(message)
            elif opcode == 0x8:
                raise ConnectionError("the browser closed the WebSocket")

    # Protocol --------------------------------------------------------------------------------
    def call(self, method, **params):
        self.next_id += 1
        self._send_text(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = self._receive()
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(message["error"])
                return message.get("result", {})
            self.events.append(message)

    def wait_event(self, method, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for i, event in enumerate(self.events):
                if event.get("method") == method:
                    return self.events.pop(i)
            self.events.append(self._receive())
        raise TimeoutError(method)

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                         awaitPromise=True)["result"].get("value")

    def navigate(self, url):
        self.events.clear()
        self.call("Page.navigate", url=url)
        self.wait_event("Page.loadEventFired")

    def press(self, key, code):
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, windowsVirtualKeyCode=code,
                      nativeVirtualKeyCode=code, key=key, code="Key" + key.upper())

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))


class HeadlessChromium:
    """Debian's Chromium, headless, with a profile of its own; ended when the block ends. With
    `extension` (an unpacked extension's folder) it runs that extension, in Japanese, and lets
    the protocol press the extension's toolbar button."""

    def __init__(self, extension=None):
        self.extension = extension

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="pelun-chromium-")
        arguments = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
                     "--window-size=1024,768", "--user-data-dir=" + self.profile]
        environment = dict(os.environ)
        if self.extension:
            arguments += ["--enable-unsafe-extension-debugging", "--load-extension=" + self.extension,
                          "--disable-extensions-except=" + self.extension]
            environment["LANGUAGE"] = "ja"  # the browser's language, which the extension's texts follow
        self.process = subprocess.Popen(arguments + ["about:blank"], env=environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + 30
        while not os.path.exists(port_file) and time.monotonic() < deadline:
            time.sleep(0.1)
        with open(port_file) as f:
            self.port = int(f.readline())
            self.browser_path = f.readline().strip()
        page = next(t for t in self.targets() if t.get("type") == "page")
        self.page = DevToolsPage(page["webSocketDebuggerUrl"])
        self.page.call("Page.enable")
        return self.page

    def targets(self):
        return json.load(urllib.request.urlopen("http://127.0.0.1:%d/json/list" % self.port, timeout=10))

    def target(self, url_end, timeout=20):
        """A connection to the first target whose address ends so, once there is one."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = next((t for t in self.targets() if t["url"].endswith(url_end)), None)
            if found:
                return DevToolsPage(found["webSocketDebuggerUrl"])
            time.sleep(0.1)
        raise TimeoutError(url_end)

    def has_target(self, url_end):
        return any(t["url"].endswith(url_end) for t in self.targets())

    def browser(self):
        return DevToolsPage("ws://127.0.0.1:%d%s" % (self.port, self.browser_path))

    def extension_id(self):
        browser = self.browser()
        try:
            return browser.call("Extensions.getExtensions")["extensions"][0]["id"]
        finally:
            browser.close()

    def press_extension_button(self):
        """The extension's toolbar button on the active tab, as the user clicks it."""
        browser = self.browser()
        try:
            tab = next(t for t in browser.call("Target.getTargets", filter=[{"type": "tab"}])["targetInfos"]
                       if t.get("embedderData", {}).get("tabActive"))
            browser.call("Extensions.triggerAction", id=self.extension_id(), targetId=tab["targetId"])
        finally:
            browser.close()

    def __exit__(self, *exc):
        self.page.close()
        stop_process(self.process)
        shutil.rmtree(self.profile, ignore_errors=True)
        return False
