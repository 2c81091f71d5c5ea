"""One copy of the program on a program folder: a second one is refused before it touches
anything, and a copy that was killed keeps nobody out."""
import os
import unittest

from kvo_desktop import Desktop, enabled, file_digest, wait_for

STARTUP_ERROR = "Startup Error"


def started(desktop):
    """Waits until the start-up has run to its end: the options file is written and the
    commands are on."""
    main = desktop.window("Kestavo")
    wait_for("the options file", lambda: os.path.exists(desktop.path("kvo.dat")))
    add = desktop.control(main, "push button", "Add...")
    wait_for("the commands on", lambda: enabled(add))
    return main


def what_the_program_keeps(desktop):
    """Every file a start writes, with its contents and its time."""
    files = [desktop.database, desktop.path("kvo.dat"), desktop.env["ODBCINI"]]
    files += [desktop.path("dbbackups", name) for name in desktop.backups()]
    return {path: (file_digest(path), os.stat(path).st_mtime_ns) for path in files}


class SecondCopyTest(unittest.TestCase):
    def test_a_second_copy_on_the_same_folder_is_refused_changes_nothing_and_ends_with_1(self):
        with Desktop() as desktop:
            started(desktop)
            before = what_the_program_keeps(desktop)

            second = desktop.another_copy()
            text = second.answer(STARTUP_ERROR, "OK", "already running")
            self.assertEqual(text, f"Kestavo is already running with the database '{desktop.database}'. "
                                   "Only one copy of the program can use it at a time.")
            self.assertEqual(second.wait_for_exit(), 1)

            self.assertEqual(what_the_program_keeps(desktop), before)
            self.assertTrue(desktop.running())
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)

    def test_a_copy_that_was_killed_keeps_nobody_out(self):
        with Desktop() as desktop:
            started(desktop)
            desktop.program.kill()
            desktop.wait_for_exit()

            again = desktop.another_copy()
            started(again)
            self.assertFalse(any(w.name == STARTUP_ERROR for w in again.windows()))
            self.assertTrue(again.running())


if __name__ == "__main__":
    unittest.main()
