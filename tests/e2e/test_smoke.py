"""The program starts hidden under Wine, is found by its window, and ends on request."""
import unittest

import harness


class StartAndExit(unittest.TestCase):
    def test_exit_argument_without_running_copy_ends_without_window(self):
        with harness.PelunSession() as session:
            code, _ = session.run("/exit", timeout=60)
            self.assertEqual(code, 0)
            self.assertFalse(session.main_window_exists())

    def test_program_runs_hidden_until_asked_to_exit(self):
        with harness.PelunSession() as session:
            process = session.start()
            self.assertNotEqual(session.wait_for_main_window(), 0, "main window never appeared")
            self.assertIsNone(process.poll())
            code, out = session.wintool("window-info", harness.MAIN_WINDOW_CLASS, harness.MAIN_WINDOW_TITLE)
            self.assertEqual((code, out.strip()), (0, "visible=0"))

            code, _ = session.run("/exit")
            self.assertEqual(code, 0)
            self.assertEqual(session.wait_for_exit(process), 0, "running copy did not end")
            self.assertFalse(session.main_window_exists())


if __name__ == "__main__":
    harness.main()
