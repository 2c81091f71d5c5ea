"""The harness itself: a display of its own, screenshots that never fail a test, and program runs
whose sanitizer reports or unlooked-at deaths fail it whatever the test expected."""
import contextlib
import os
import tempfile
import unittest

from kvo_desktop import Desktop, DesktopError, sanitizer_reports, wait_for

FAILING_TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "failing-tools")
UBSAN_LINE = "shell/WinStart.cpp:120:9: runtime error: signed integer overflow: 2147483647 + 1 cannot be represented"


def stand_in(script):
    """A prepare that puts a shell script in the program's place: the harness starts it as it
    starts the program, with the program folder as the current directory."""
    def prepare(program_dir):
        path = os.path.join(program_dir, "Kestavo")
        os.remove(path)
        with open(path, "w") as f:
            f.write("#!/bin/sh\n" + script)
        os.chmod(path, 0o755)
    return prepare


@contextlib.contextmanager
def evidence_folder():
    """The evidence of the block's desktops goes to a folder of the test's own."""
    saved = os.environ.get("KVO_E2E_EVIDENCE")
    with tempfile.TemporaryDirectory() as folder:
        os.environ["KVO_E2E_EVIDENCE"] = folder
        try:
            yield folder
        finally:
            if saved is None:
                del os.environ["KVO_E2E_EVIDENCE"]
            else:
                os.environ["KVO_E2E_EVIDENCE"] = saved


def kept(folder, log):
    with open(os.path.join(folder, log)) as f:
        return f.read()


class HarnessTest(unittest.TestCase):
    def test_the_display_is_a_high_number_of_its_own_that_answers(self):
        with Desktop() as desktop:
            number = int(desktop.display.lstrip(":"))
            self.assertGreaterEqual(number, 100)
            self.assertTrue(desktop._display_answers(number))
            desktop.window("Kestavo")

    def test_a_convert_that_fails_leaves_a_note_and_the_xwd(self):
        saved_path = os.environ["PATH"]
        os.environ["PATH"] = FAILING_TOOLS + os.pathsep + saved_path
        try:
            with Desktop() as desktop, tempfile.TemporaryDirectory() as folder:
                desktop.window("Kestavo")
                taken = desktop.screenshot(os.path.join(folder, "main.png"))
                self.assertEqual(taken, os.path.join(folder, "main.xwd"))
                self.assertTrue(os.path.exists(taken))
                with open(os.path.join(folder, "main.txt")) as note:
                    self.assertIn("convert could not make the PNG", note.read())
        finally:
            os.environ["PATH"] = saved_path

    def test_a_sanitizer_report_fails_a_run_that_ends_as_expected_and_is_kept(self):
        with evidence_folder() as folder:
            with self.assertRaises(DesktopError) as failure:
                with Desktop(prepare=stand_in(f"echo '{UBSAN_LINE}' >&2\nexit 1\n")) as desktop:
                    self.assertEqual(desktop.wait_for_exit(), 1)
            self.assertIn(UBSAN_LINE, str(failure.exception))
            self.assertIn(UBSAN_LINE, kept(folder, "program.log"))

    def test_a_sanitizer_report_of_a_second_copy_fails_the_test_and_is_kept(self):
        # The first run stays; the second prints the report and ends with 1, as a refused copy does.
        script = f"if [ -e started ]; then echo '{UBSAN_LINE}' >&2; exit 1; fi\ntouch started\nexec sleep 600\n"
        with evidence_folder() as folder:
            with self.assertRaises(DesktopError) as failure:
                with Desktop(prepare=stand_in(script)) as desktop:
                    wait_for("the first run", lambda: os.path.exists(desktop.path("started")))
                    self.assertEqual(desktop.another_copy().wait_for_exit(), 1)
                    self.assertTrue(desktop.running())
            self.assertIn("program-2.log", str(failure.exception))
            self.assertIn(UBSAN_LINE, kept(folder, "program-2.log"))
            self.assertEqual(kept(folder, "program.log"), "")

    def test_a_run_that_died_without_the_test_looking_fails_it(self):
        with evidence_folder() as folder:
            with self.assertRaises(DesktopError) as failure:
                with Desktop(prepare=stand_in("echo 'the last words' >&2\nexit 3\n")) as desktop:
                    wait_for("the end of the run", lambda: not desktop.running())
            self.assertIn("ended with exit code 3", str(failure.exception))
            self.assertIn("the last words", kept(folder, "program.log"))

    def test_every_kind_of_sanitizer_report_is_seen_and_nothing_else(self):
        reports = [
            UBSAN_LINE,
            "==4242==ERROR: AddressSanitizer: heap-use-after-free on address 0x602000000010",
            "==4242==ERROR: LeakSanitizer: detected memory leaks",
            "WARNING: ThreadSanitizer: data race (pid=4242)",
            "SUMMARY: UndefinedBehaviorSanitizer: undefined-behavior shell/WinStart.cpp:120:9 in",
            "SUMMARY: MemorySanitizer: use-of-uninitialized-value",
        ]
        for line in reports:
            with self.subTest(line):
                self.assertEqual(sanitizer_reports(f"before\n{line}\nafter\n"), [line])
        quiet = "qt.qpa.xcb: could not connect to display\nRuntime is short\nSUMMARY: 3 trips\nERROR: no database\n"
        self.assertEqual(sanitizer_reports(quiet), [])


if __name__ == "__main__":
    unittest.main()
