"""End-to-end harness: runs the real pelun.exe under Wine on a private X server.

Each session gets its own program directory (the executables plus a define.ini that keeps data
and temporary files inside the session) so tests never see each other's files. Everything the
session started is ended when it closes: its Wine processes through the prefix's wineserver,
and its X server by process id.
"""
import argparse
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
MAIN_WINDOW_CLASS = "p_e_l_u_n_window_class"
MAIN_WINDOW_TITLE = "pelun設定"
DESKTOP_SIZE = (1024, 768)
ARTIFACTS = os.path.join(ROOT, "build", "artifacts")

_build_dir = None


def build_dir():
    return _build_dir


def main():
    """Runs the unittest cases of the calling module; takes --build DIR before them."""
    global _build_dir
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    args, rest = parser.parse_known_args()
    _build_dir = os.path.abspath(args.build)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def wine_environment():
    """The variables tools/wine-env sets, read from the script itself so there is one truth."""
    dump = subprocess.run(
        ["bash", "-c", 'source "$1/tools/wine-env" && env -0', "env", ROOT],
        check=True, capture_output=True).stdout
    env = dict(item.split("=", 1) for item in dump.decode().split("\0") if "=" in item)
    return env


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class XServer:
    def __init__(self, size=DESKTOP_SIZE):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % size,
             "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def stop(self):
        stop_process(self.process)


def stop_process(process):
    """Asks a process of ours to end, and makes it end after ten seconds."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def free_port():
    """A loopback port nobody listens on right now."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for_port(port, timeout=20):
    """Until something accepts connections on the loopback port."""
    def accepts():
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return True
        except OSError:
            return False
    return PelunSession.poll_until(accepts, timeout)


def read_to_end(connection):
    """Everything the other side sends until it closes."""
    chunks = []
    while True:
        chunk = connection.recv(65536)
        if not chunk:
            return b"".join(chunks)
        chunks.append(chunk)


def http_request(port, raw, source="127.0.0.1", timeout=10):
    """Sends raw request bytes to the program's local server; returns the whole answer."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout, source_address=(source, 0)) as s:
        s.sendall(raw)
        return read_to_end(s)


def http_get(port, path, headers="", source="127.0.0.1", timeout=10):
    """(head text, body bytes) of a GET the way a browser on this computer asks."""
    raw = ("GET %s HTTP/1.0\r\nHost: 127.0.0.1:%d\r\n%s\r\n" % (path, port, headers)).encode("utf-8")
    answer = http_request(port, raw, source, timeout)
    head, _, body = answer.partition(b"\r\n\r\n")
    return head.decode("utf-8"), body


class PelunSession:
    """A program directory, a data directory and an X server for one test."""

    def __init__(self, define_ini=None, default_list=False, desktop=False, compositor=False, dpi=None):
        # With a dpi, the session runs in a copy of the prefix whose display has that many dots
        # per inch, on a screen as much larger as the DPI is above 96.
        self.dpi = dpi
        self.size = tuple(n * (dpi or 96) // 96 for n in DESKTOP_SIZE)
        # With a desktop, every program of the session runs inside one Wine virtual desktop,
        # which has a task bar and a tray, and is drawn on the session's X server.
        self.desktop = "pelun-e2e,%dx%d" % self.size if desktop else None
        # With a compositor, translucent windows are blended with what lies behind them on the
        # screen. Inside a virtual desktop nothing is: Wine's windows there are children of one
        # X window, which a compositor does not blend.
        assert not (desktop and compositor)
        self.compositor = compositor
        self.windows_build = build_dir()
        self.workdir = tempfile.mkdtemp(prefix="pelun-e2e-")
        self.program_dir = os.path.join(self.workdir, "program")
        self.data_parent = os.path.join(self.workdir, "data")
        os.makedirs(self.program_dir)
        os.makedirs(self.data_parent)
        # Without the bundled list a first start subscribes to nothing, so no test reaches for
        # the public feeds it names.
        for name in ("pelun.exe", "wintool.exe") + (("default.opml",) if default_list else ()):
            shutil.copy2(os.path.join(self.windows_build, name), self.program_dir)
        self.write_define_ini(define_ini)
        self.processes = []
        self.xserver = None
        # Faults the program finds in itself (a window procedure nested too deeply) are written
        # here; a session whose program wrote any fails its test.
        self.fault_log = os.path.join(self.workdir, "faults.log")

    # Layout ---------------------------------------------------------------------------------
    @property
    def desktop_name(self):
        return self.desktop.split(",")[0]

    @property
    def data_dir(self):
        return os.path.join(self.data_parent, "pelun data")

    @property
    def temp_dir(self):
        return os.path.join(self.program_dir, "pelun temporary")

    def default_define_ini(self):
        return ("[Path]\r\nDataLocal=1\r\nDataPath=%s\r\nTempLocal=1\r\n"
                % windows_path(self.data_parent))

    def write_define_ini(self, text=None):
        if text is None:
            text = self.default_define_ini()
        with open(os.path.join(self.program_dir, "define.ini"), "wb") as f:
            f.write(text.encode("cp932"))

    @property
    def data_file(self):
        return os.path.join(self.data_dir, "pelun.dat")

    def write_settings(self, text):
        """A pelun.ini written before the program starts (section lines included). Without a
        port of its own the program serves on a free one, not on the default that another
        program on this machine may hold."""
        if "[Option]\r\n" in text and "port=" not in text:
            text = text.replace("[Option]\r\n", "[Option]\r\nport=%d\r\n" % free_port(), 1)
        os.makedirs(self.data_dir, exist_ok=True)
        with open(os.path.join(self.data_dir, "pelun.ini"), "wb") as f:
            f.write(text.encode("cp932"))

    def start_server(self, port, data, extra_files=("favicon.ico", "common.css")):
        """Starts the program with `data` as its data file, serving on `port` and checking
        nothing; returns the process once the server accepts connections. (The main window
        exists from the start of its creation; the server opens during it.)"""
        self.write_settings("[Option]\r\nfirst=0\r\ntimer=0\r\nport=%d\r\n" % port)
        with open(self.data_file, "wb") as f:
            f.write(data)
        for name in extra_files:
            shutil.copy2(os.path.join(self.windows_build, name), self.program_dir)
        process = self.start()
        if not self.wait_for_main_window() or not wait_for_port(port):
            raise RuntimeError("the server did not open")
        return process

    def read_ini(self, name="pelun.ini"):
        with open(os.path.join(self.data_dir, name), "rb") as f:
            return f.read().decode("cp932")

    # Life -----------------------------------------------------------------------------------
    def __enter__(self):
        subprocess.run([os.path.join(ROOT, "tools", "wine-prefix")], check=True)
        self.env = wine_environment()
        self.env["PELUN_FAULT_LOG"] = windows_path(self.fault_log)
        if self.dpi:
            self.use_prefix_copy()
            subprocess.run([self.env["WINE"], "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels",
                            "/t", "REG_DWORD", "/d", str(self.dpi), "/f"],
                           env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        self.xserver = XServer(self.size)
        self.env["DISPLAY"] = self.xserver.display
        if self.compositor:
            self.processes.append(subprocess.Popen(["xcompmgr"], env=self.env, stdout=subprocess.DEVNULL,
                                                   stderr=subprocess.DEVNULL))
        if self.desktop:
            # A named desktop gets its task bar, and with it the tray, only when asked to.
            subprocess.run([self.env["WINE"], "reg", "add",
                            "HKCU\\Software\\Wine\\Explorer\\Desktops\\" + self.desktop_name,
                            "/v", "EnableShell", "/t", "REG_DWORD", "/d", "1", "/f"],
                           env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
            # The desktop's shell runs on its own; programs are started into the desktop by the
            # tool, not through the shell, whose starts now and then never came to run.
            self.processes.append(subprocess.Popen(
                [self.env["WINE"], "explorer", "/desktop=" + self.desktop], env=self.env, cwd=self.workdir,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        return self

    def use_prefix_copy(self):
        """A prefix of the session's own, so that its settings touch no other test: files
        linked to the shared prefix's, except those Wine rewrites in place (the registry and
        the system's INI files), which are copies."""
        prefix = os.path.join(self.workdir, "prefix")
        subprocess.run(["cp", "-al", self.env["WINEPREFIX"], prefix], check=True)
        for folder, _, names in os.walk(prefix):
            for name in names:
                if name.endswith((".reg", ".ini")):
                    path = os.path.join(folder, name)
                    shutil.copy2(path, path + ".copy")
                    os.replace(path + ".copy", path)
        self.env["WINEPREFIX"] = prefix

    def __exit__(self, exc_type, *exc):
        faults = self.faults()
        self.close()
        if faults and exc_type is None:
            raise AssertionError("the program reported faults:\n" + faults)
        if faults:
            print("the program reported faults:\n" + faults, file=sys.stderr)
        return False

    def faults(self):
        try:
            with open(self.fault_log, encoding="utf-8", errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def close(self):
        # Ends only this prefix's processes; then our own X server.
        subprocess.run([self.env["WINESERVER"], "-k"],
                       env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for process in self.processes:
            if process.poll() is None:
                process.kill()
            process.wait()
        if self.xserver:
            self.xserver.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)

    # Programs -------------------------------------------------------------------------------
    def _command(self, program, args):
        path = os.path.join(self.program_dir, program)
        if self.desktop:
            # The tool starts the program inside the desktop and lives as long as it does.
            return self._tool_command(("run-in-desktop", subprocess.list2cmdline([windows_path(path)] + list(args))))
        return [self.env["WINE"], path] + list(args)

    def _tool_command(self, args):
        return [self.env["WINE"], os.path.join(self.program_dir, "wintool.exe"),
                "--desktop", self.desktop_name] + list(args)

    def wintool_ok(self, *args, timeout=60):
        """The tool's output; a failure of the tool fails the test with what it printed."""
        code, out = self.wintool(*args, timeout=timeout)
        if code != 0:
            raise AssertionError("wintool %s: %s" % (" ".join(args), out))
        return out

    def use_fake_browser(self):
        """Sets up the stand-in browser (a copy of the helper that logs the addresses it is
        started with) and returns its Windows path, for the "browser" setting."""
        shutil.copy2(os.path.join(self.program_dir, "wintool.exe"),
                     os.path.join(self.program_dir, "fakebrowser.exe"))
        self.browser_log = os.path.join(self.workdir, "browser.log")
        self.env["PELUN_FAKE_BROWSER_LOG"] = windows_path(self.browser_log)
        return windows_path(os.path.join(self.program_dir, "fakebrowser.exe"))

    def browser_starts(self):
        """The command lines the stand-in browser was started with, in order."""
        if not os.path.exists(self.browser_log):
            return []
        with open(self.browser_log, encoding="utf-8") as f:
            return [line.strip() for line in f if line.strip()]

    def xdotool(self, *args):
        """Real mouse and keyboard input on the session's X server."""
        subprocess.run(["xdotool"] + list(args), check=True,
                       env={**os.environ, "DISPLAY": self.xserver.display})

    def menu_visible(self):
        code, out = self.wintool("window-info", "#32768", "")
        return code == 0 and "visible=1" in out

    def screenshot(self, name):
        """The whole X screen as build/artifacts/NAME; returns the path."""
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name)
        subprocess.run(["import", "-display", self.xserver.display, "-window", "root", path],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def pixels(self, x, y, width, height):
        """RGB tuples of a screen rectangle, row by row."""
        dump = subprocess.run(
            ["import", "-display", self.xserver.display, "-window", "root",
             "-crop", "%dx%d+%d+%d" % (width, height, x, y), "-depth", "8", "rgb:-"],
            check=True, capture_output=True).stdout
        return [tuple(dump[i:i + 3]) for i in range(0, len(dump) - 2, 3)]

    def start(self, *args, program="pelun.exe"):
        process = subprocess.Popen(self._command(program, args), env=self.env, cwd=self.program_dir,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def run(self, *args, program="pelun.exe", timeout=60):
        # The tool enters the desktop itself.
        command = (self._tool_command(args) if program == "wintool.exe" and self.desktop
                   else self._command(program, args))
        # Output goes to a file: Wine's helper processes inherit a pipe and would hold it open.
        with tempfile.TemporaryFile(dir=self.workdir) as output:
            process = subprocess.Popen(command, env=self.env,
                                       cwd=self.program_dir, stdout=output,
                                       stderr=subprocess.DEVNULL)
            try:
                code = process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
                raise
            output.seek(0)
            return code, output.read().decode("utf-8", "replace")

    def wintool(self, *args, timeout=60):
        return self.run(*args, program="wintool.exe", timeout=timeout)

    def wait_for_main_window(self, timeout_ms=30000):
        code, out = self.wintool("wait-window", MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, str(timeout_ms))
        return int(out.strip()) if code == 0 else 0

    def main_window_exists(self):
        code, _ = self.wintool("wait-window", MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, "0")
        return code == 0

    @staticmethod
    def wait_for_exit(process, timeout=30):
        try:
            return process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    @staticmethod
    def poll_until(condition, timeout=30, interval=0.1):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return True
            time.sleep(interval)
        return condition()
