"""The release archive: packed by tools/make-dist (the script behind `make dist`) from the
Windows build that runs here, unpacked into a fresh program folder, and started from there."""
import os
import subprocess
import unittest
import urllib.request
import zipfile

import harness

ROOT = harness.ROOT
SHIPPED = ("pelun.exe", "pelunband.dll", "setup.exe", "define.ini", "default.opml", "common.css", "favicon.ico",
           "popup.bmp", "popup.wav", "pelun-extension.zip", "readme_ja.txt", "readme_en.txt")


class DistTest(unittest.TestCase):
    def test_unpacked_release_runs(self):
        with harness.PelunSession() as session:
            archive = subprocess.run([os.path.join(ROOT, "tools", "make-dist"), session.windows_build,
                                      os.path.join(session.workdir, "dist")],
                                     check=True, capture_output=True, text=True).stdout.strip()
            self.assertTrue(archive.endswith("pelun-1.06.zip"), archive)
            with zipfile.ZipFile(archive) as z:
                self.assertEqual(sorted(z.namelist()), sorted("pelun-1.06/" + n for n in SHIPPED))
                self.assertTrue(z.read("pelun-1.06/readme_ja.txt").decode("utf-8-sig").startswith("pelun 1.06\r\n"))
                # A fresh program folder holds only what the archive brings (and the test's tool).
                os.remove(os.path.join(session.program_dir, "pelun.exe"))
                for name in z.namelist():
                    with open(os.path.join(session.program_dir, os.path.basename(name)), "wb") as f:
                        f.write(z.read(name))
            # The shipped configuration, with the data kept inside the session.
            with open(os.path.join(session.program_dir, "define.ini"), "rb") as f:
                shipped = f.read().decode("cp932")
            with open(os.path.join(ROOT, "app", "define.ini"), "rb") as f:
                self.assertEqual(shipped, f.read().decode("cp932"))
            session.write_define_ini(shipped + "\r\n" + session.default_define_ini())
            port = harness.free_port()
            session.start_server(port, b"<?xml version='1.0' encoding='utf-8'?>\n<pelun></pelun>", extra_files=())

            # The style sheet and the icon are served from beside the program.
            for name in ("common.css", "favicon.ico"):
                with urllib.request.urlopen("http://127.0.0.1:%d/%s" % (port, name), timeout=10) as answer:
                    with open(os.path.join(ROOT, "app", name), "rb") as f:
                        self.assertEqual(answer.read(), f.read(), name)
            head, body = harness.http_get(port, "/")
            self.assertTrue(head.startswith("HTTP/1.0 200"), head)


if __name__ == "__main__":
    harness.main()
