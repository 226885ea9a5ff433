"""One copy per logon and per port; later copies hand their command line to the first."""
import os
import time
import unittest

import harness

CLASS, TITLE = harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE
PORT_CONFLICT = "他のユーザーが、同一ポートを使用するpelunを起動中です。"


class ForwardingToRunningCopy(unittest.TestCase):
    def test_second_start_forwards_address_and_ends(self):
        with harness.PelunSession() as session:
            first = session.start()
            self.assertNotEqual(session.wait_for_main_window(), 0)
            code, out = session.wintool("window-info", CLASS, TITLE)
            self.assertEqual(out.strip(), "visible=0")

            code, _ = session.run("http://example.com/feed.rdf", timeout=60)
            self.assertEqual(code, 0, "the second copy ends after forwarding")
            # The running copy came to the front for the add-site flow.
            self.assertTrue(session.poll_until(
                lambda: session.wintool("window-info", CLASS, TITLE)[1].strip() == "visible=1", 10))
            self.assertIsNone(first.poll(), "the first copy keeps running")
            # The add-site dialog holds the address; while it is open, a forwarded /exit is
            # dropped like any other forwarded text.
            code, title = session.wintool("wait-popup", CLASS, TITLE, "20000")
            self.assertEqual((code, title.strip()), (0, "新規サイト"))
            self.assertIn("http://example.com/feed.rdf", session.wintool("dialog-text", "#32770", "新規サイト")[1])
            session.run("/exit")
            self.assertIsNone(first.poll())
            session.wintool("press-button", "#32770", "新規サイト", "2")
            self.assertEqual(session.wintool("wait-no-window", "#32770", "新規サイト", "20000")[0], 0)

            session.run("/exit")
            self.assertEqual(session.wait_for_exit(first), 0)

    def test_second_start_without_qualifying_argument_forwards_nothing(self):
        with harness.PelunSession() as session:
            first = session.start()
            self.assertNotEqual(session.wait_for_main_window(), 0)
            for args in ((), ("not-an-address",)):
                code, _ = session.run(*args, timeout=60)
                self.assertEqual(code, 0)
                self.assertEqual(session.wintool("window-info", CLASS, TITLE)[1].strip(), "visible=0")
            self.assertIsNone(first.poll())
            session.run("/exit")
            self.assertEqual(session.wait_for_exit(first), 0)

    def test_forwarded_exit_saves_settings_and_ends(self):
        with harness.PelunSession() as session:
            ini = os.path.join(session.data_dir, "pelun.ini")
            first = session.start()
            self.assertNotEqual(session.wait_for_main_window(), 0)
            self.assertFalse(os.path.exists(ini) and "[Window]" in session.read_ini())

            session.run("/exit")
            self.assertEqual(session.wait_for_exit(first), 0)
            self.assertFalse(session.main_window_exists())
            text = session.read_ini()
            self.assertIn("[Option]", text)
            self.assertIn("port=4474", text)
            self.assertIn("sound=popup.wav", text)
            self.assertIn("[LimitUrl]", text)
            self.assertIn("[Proxy]", text)
            self.assertIn("[Window]", text)
            self.assertTrue(os.path.exists(os.path.join(session.data_dir, "pelun.dat")))

    def test_long_command_line_arrives_whole(self):
        with harness.PelunSession() as session:
            received = os.path.join(session.workdir, "received.bin")
            # A stand-in for the running copy records exactly what arrives.
            receiver = session.start("fake-main-window", harness.windows_path(received), "60000",
                                     program="wintool.exe")
            self.assertNotEqual(session.wait_for_main_window(), 0)
            head = "http://example.com/検索?q=日本語&p="
            ansi_head = head.encode("cp932")
            address = head + "x" * (4095 - len(ansi_head))
            self.assertEqual(len(address.encode("cp932")), 4095)

            code, _ = session.run(address, timeout=60)
            self.assertEqual(code, 0)
            self.assertEqual(session.wait_for_exit(receiver), 0)
            with open(received, "rb") as f:
                self.assertEqual(f.read(), address.encode("cp932"))


class PortLock(unittest.TestCase):
    def _assert_refused_with_message(self, session):
        holder = session.start("hold-mutex", "Global\\pelun_exe_global_mutex_4474", "60000",
                               program="wintool.exe")
        self.assertTrue(session.poll_until(
            lambda: session.wintool("mutex-exists", "Global\\pelun_exe_global_mutex_4474")[0] == 0, 20))
        refused = session.start()
        code, _ = session.wintool("wait-window", "#32770", "pelun", "30000")
        self.assertEqual(code, 0, "the refusal message box appears")
        _, text = session.wintool("dialog-text", "#32770", "pelun")
        self.assertIn(PORT_CONFLICT, text)
        self.assertFalse(session.main_window_exists(), "no main window is created")
        session.wintool("close-window", "#32770", "pelun")
        self.assertIsNotNone(session.wait_for_exit(refused), "the refused copy ends")
        self.assertFalse(session.main_window_exists())
        holder.kill()

    def test_copy_of_another_logon_on_same_port_is_refused(self):
        with harness.PelunSession() as session:
            self._assert_refused_with_message(session)

    def test_out_of_range_port_falls_back_to_default_lock(self):
        for port in ("70000", "-1"):
            with self.subTest(port=port), harness.PelunSession() as session:
                os.makedirs(session.data_dir)
                with open(os.path.join(session.data_dir, "pelun.ini"), "wb") as f:
                    f.write(("[Option]\r\nport=%s\r\n" % port).encode("cp932"))
                self._assert_refused_with_message(session)


if __name__ == "__main__":
    harness.main()
