"""setup.exe under Wine: the start-up shortcut by command line, and the window that registers
and unregisters the toolbar band (driven as a user would, by its buttons)."""
import os
import shutil
import subprocess
import unittest

import harness

CAPTION = "IE用拡張機能 for pelun"
DIALOG = "#32770"
REGISTER, UNREGISTER, CLOSE, OK = "1000", "1001", "2", "1"
BAND_KEY = "HKEY_CLASSES_ROOT\\CLSID\\{DE2BA9C8-CF2E-41DF-8B64-441C516B64AE}"


class SetupTest(unittest.TestCase):
    def setUp(self):
        self.session = harness.PelunSession().__enter__()
        self.addCleanup(self.session.close)
        build = self.session.windows_build
        self.folder = self.session.program_dir
        for name in ("setup.exe", "pelunband.dll"):
            shutil.copy2(os.path.join(build, name), self.folder)

    def other_folder(self, name, band=None):
        """A program folder of setup.exe alone, or with `band` as its pelunband.dll."""
        folder = os.path.join(self.session.workdir, name)
        os.makedirs(folder)
        shutil.copy2(os.path.join(self.session.windows_build, "setup.exe"), folder)
        if band:
            shutil.copy2(os.path.join(self.session.windows_build, band), os.path.join(folder, "pelunband.dll"))
        return folder

    def setup(self, *args, folder=None):
        """Runs setup.exe with exactly this command-line text after its name; its exit code."""
        program = harness.windows_path(os.path.join(folder or self.folder, "setup.exe"))
        out = self.session.wintool_ok("run-command-line", '"%s"%s' % (program, "".join(args)))
        return int(out.split("=")[1])

    def shortcut(self):
        code, out = self.session.wintool("startup-shortcut", "show")
        fields = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return fields if code == 0 else None, fields["path"]

    def unix_path(self, windows):
        drive, rest = windows.split(":", 1)
        self.assertEqual(drive.upper(), "C")
        return os.path.join(self.session.env["WINEPREFIX"], "drive_c", *rest.strip("\\").split("\\"))

    def band_registered(self):
        path = os.path.join(self.session.workdir, "band.reg")
        if os.path.exists(path):
            os.remove(path)
        subprocess.run([self.session.env["WINE"], "regedit", "/E", harness.windows_path(path), BAND_KEY],
                       env=self.session.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        return os.path.exists(path) and os.path.getsize(path) > 0

    def window_open(self, folder=None):
        """The setup window; started without waiting, since it stays until closed."""
        self.session.start(program=os.path.relpath(os.path.join(folder or self.folder, "setup.exe"), self.folder))
        self.assertTrue(self.session.poll_until(lambda: self.button_texts(), 30), "the setup window")

    def button_texts(self):
        code, out = self.session.wintool("dialog-text", DIALOG, CAPTION)
        return code == 0 and "システムに登録" in out

    def press_and_read(self, button):
        """Presses a button of the setup window; the text of the message it answers with."""
        self.session.wintool_ok("press-button", DIALOG, CAPTION, button)
        texts = []
        self.assertTrue(self.session.poll_until(
            lambda: texts.append(self.session.wintool("dialog-text", DIALOG, CAPTION)[1]) or "しました" in texts[-1], 20))
        self.session.wintool_ok("press-button", DIALOG, CAPTION, OK)
        return texts[-1]

    def test_startup_shortcut(self):
        self.addCleanup(self.setup, " /uninstall")
        for _ in range(2):
            self.assertEqual(self.setup(" /install"), 0)
        fields, path = self.shortcut()
        program = harness.windows_path(self.folder)
        self.assertEqual((fields["target"].lower(), fields["directory"].lower(), fields["show"]),
                         ((program + "\\pelun.exe").lower(), program.lower(), "1"))
        startup = os.path.dirname(self.unix_path(path))
        self.assertEqual([n for n in os.listdir(startup) if n.lower().startswith("pelun")], ["pelun.lnk"])

        self.setup(" /uninstall")
        self.assertIsNone(self.shortcut()[0])
        self.assertFalse(self.band_registered(), "the shortcut modes leave the band alone")
        self.setup("   /INSTALL  ")
        self.assertIsNotNone(self.shortcut()[0], "trimmed and in any case")
        self.setup("\t/Uninstall")
        self.assertIsNone(self.shortcut()[0])

        # Without pelun.exe beside it there is nothing to start at log-on.
        self.setup(" /install", folder=self.other_folder("no-program"))
        self.assertIsNone(self.shortcut()[0])

    def test_window_registers_and_unregisters_the_band(self):
        self.assertEqual(self.setup(" /install x", folder=self.other_folder("no-band")), 0,
                         "without the band no window: the program ends at once")
        self.window_open()
        self.assertIn("登録が完了しました。", self.press_and_read(REGISTER))
        self.assertTrue(self.session.poll_until(lambda: not self.button_texts(), 20), "closed when done")
        self.assertTrue(self.band_registered())
        self.assertIsNone(self.shortcut()[0], "the window does not make the shortcut")

        self.window_open()
        self.assertIn("登録解除が完了しました。", self.press_and_read(UNREGISTER))
        self.assertTrue(self.session.poll_until(lambda: not self.button_texts(), 20))
        self.assertFalse(self.band_registered())

        # A band whose registration fails, and which has no unregistration: the window says so
        # and stays for another try.
        broken = self.other_folder("broken", band="failing_band.dll")
        self.window_open(broken)
        for button, text in ((REGISTER, "登録に失敗しました。"), (UNREGISTER, "登録解除に失敗しました。")):
            self.assertIn(text, self.press_and_read(button))
            self.assertTrue(self.session.poll_until(self.button_texts, 10), "the window stays")
        self.session.wintool_ok("press-button", DIALOG, CAPTION, CLOSE)
        self.assertTrue(self.session.poll_until(lambda: not self.button_texts(), 20))


if __name__ == "__main__":
    harness.main()
