"""The database file through the desktop: a restore of this start's own copy, a start on a kept
older version, and files that are no database or cannot be read."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, file_digest, table_cells, wait_for

# The program's clock starts here, so that the start-up copy and the restore share one minute.
FAKE_NOW = "2024-05-06 10:00:05"
START_COPY = "Kestavo_20240506_1000.db"
# Where a start of that minute keeps a database that it replaces by the empty template.
REPLACED = "Replaced_Kestavo_20240506_1000.db"
BAD_VERSION = "Bad database version"
STARTUP_ERROR = "Startup Error"


def add_trip_with_the_wizard(desktop, main):
    """A trip made by mistake: the wizard's defaults, every page accepted."""
    desktop.press(main, "Add...")
    for page in ("Trip Wizard: details (step 1 of 3)", "Trip Wizard: travelers (step 2 of 3)",
                 "Trip Wizard: meal stops (step 3 of 3)"):
        desktop.press(desktop.window(page), "OK")
    desktop.press(desktop.window("Trip Wizard completed!"), "Close")
    trips = desktop.control(main, "table", "Trips:")
    wait_for("the trip in the list", lambda: len(table_cells(trips)) == 1)


def restore_from_startup_backup(desktop, name):
    desktop.menu("File", "Restore from startup backup...")
    desktop.choose_file("Restore database from backup", name)


def make_old_version(program_dir):
    """Kestavo.db of the version before this one, holding one trip."""
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.execute("update DBVersion set version = 8")
        db.execute("insert into Trips( name, location, trip_date ) values( 'Old trip', 'Old place', '2001-02-03' )")
        db.commit()


class RestoreOfThisStartsCopyTest(unittest.TestCase):
    def test_restoring_the_copy_of_this_minute_brings_it_back_and_keeps_it(self):
        with Desktop(fake_time=FAKE_NOW) as desktop:
            main = desktop.window("Kestavo")
            wait_for("this start's copy", lambda: desktop.backups() == [START_COPY])
            start_copy = desktop.path("dbbackups", START_COPY)
            start_digest = file_digest(start_copy)
            add_trip_with_the_wizard(desktop, main)

            restore_from_startup_backup(desktop, START_COPY)

            trips = desktop.control(main, "table", "Trips:")
            wait_for("the trip gone from the list", lambda: table_cells(trips) == [])
            self.assertEqual(desktop.rows("select name from Trips"), [])
            self.assertEqual(file_digest(start_copy), start_digest)
            safety = [name for name in desktop.backups() if name != START_COPY]
            self.assertEqual(len(safety), 1, desktop.backups())
            self.assertRegex(safety[0], r"^Kestavo_20240506_1000_\d\d\.db$")
            self.assertEqual(len(desktop.backups_rows(safety[0], "select name from Trips")), 1)
            self.assertTrue(desktop.running())


class RestoreOfAKeptOldVersionTest(unittest.TestCase):
    def test_restoring_the_kept_old_version_keeps_it_and_brings_the_current_database_back(self):
        old_digest = {}

        def prepare(program_dir):
            make_old_version(program_dir)
            old_digest["value"] = file_digest(os.path.join(program_dir, "Kestavo.db"))

        with Desktop(prepare=prepare, fake_time=FAKE_NOW) as desktop:
            desktop.answer(BAD_VERSION, "OK", "is not matched with this version of 'Kestavo'")
            desktop.window("Kestavo")
            wait_for("the old database kept aside", lambda: desktop.backups() == [REPLACED])
            kept = desktop.path("dbbackups", REPLACED)
            self.assertEqual(file_digest(kept), old_digest["value"])

            restore_from_startup_backup(desktop, REPLACED)
            desktop.answer(BAD_VERSION, "OK")
            desktop.no_window(BAD_VERSION)
            wait_for("the safety copy", lambda: len(desktop.backups()) == 2)

            self.assertEqual(file_digest(kept), old_digest["value"])
            self.assertEqual(desktop.rows("select version from DBVersion"), [(9,)])
            self.assertEqual(desktop.rows("select name from Trips"), [])
            self.assertTrue(desktop.running())


class KeptOldVersionTest(unittest.TestCase):
    def test_starting_again_in_the_same_minute_keeps_the_replaced_old_database(self):
        old_digest = {}

        def prepare(program_dir):
            make_old_version(program_dir)
            old_digest["value"] = file_digest(os.path.join(program_dir, "Kestavo.db"))

        with Desktop(prepare=prepare, fake_time=FAKE_NOW) as desktop:
            kept = desktop.path("dbbackups", REPLACED)
            text = desktop.answer(BAD_VERSION, "OK", "is not matched with this version of 'Kestavo'")
            self.assertTrue(text.endswith(f"if you have one. Your database was kept as '{kept}'."), text)
            desktop.window("Kestavo")
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)

            # The user simply starts again, within the same minute, on the empty template.
            again = desktop.another_copy()
            again.window("Kestavo")
            wait_for("this start's own copy", lambda: desktop.backups() == [START_COPY, REPLACED])
            self.assertEqual(file_digest(kept), old_digest["value"])
            self.assertEqual(desktop.backups_rows(REPLACED, "select version from DBVersion"), [(8,)])
            self.assertEqual(desktop.backups_rows(REPLACED, "select name from Trips"), [("Old trip",)])
            self.assertTrue(again.running())


class UnreadableDatabaseTest(unittest.TestCase):
    def start_on_a_database_holding(self, content):
        def prepare(program_dir):
            with open(os.path.join(program_dir, "Kestavo.db"), "wb") as f:
                f.write(content)

        with Desktop(prepare=prepare) as desktop:
            desktop.answer(BAD_VERSION, "OK", "is not matched with this version of 'Kestavo'")
            main = desktop.window("Kestavo")
            desktop.control(main, "table", "Trips:")
            wait_for("this start's copy", lambda: len(desktop.backups()) == 1)
            with open(desktop.path("dbbackups", desktop.backups()[0]), "rb") as f:
                self.assertEqual(f.read(), content)
            self.assertEqual(desktop.rows("select version from DBVersion"), [(9,)])
            self.assertTrue(desktop.running())

    def test_an_empty_file_is_kept_as_this_starts_copy_and_the_template_takes_its_place(self):
        self.start_on_a_database_holding(b"")

    def test_a_text_file_is_kept_as_this_starts_copy_and_the_template_takes_its_place(self):
        self.start_on_a_database_holding(b"Shopping: rice, lentils, coffee\n")

    def test_a_locked_database_is_left_as_it_is_and_the_program_ends(self):
        lock = {}

        def prepare(program_dir):
            path = os.path.join(program_dir, "Kestavo.db")
            lock["digest"] = file_digest(path)
            lock["db"] = sqlite3.connect(path, isolation_level=None, timeout=0)
            lock["db"].execute("begin exclusive")
            self.addCleanup(lock["db"].close)

        with Desktop(prepare=prepare) as desktop:
            text = desktop.answer(STARTUP_ERROR, "OK", "could not be opened:", timeout=60)
            self.assertIn(f"The Kestavo database '{desktop.database}' could not be opened:", text)
            self.assertTrue(text.endswith("It has been left as it is."), text)
            self.assertEqual(desktop.wait_for_exit(), 0)
            lock["db"].rollback()
            self.assertEqual(file_digest(desktop.database), lock["digest"])
            self.assertEqual(desktop.backups(), [])


class StartupRestoreTest(unittest.TestCase):
    def test_a_file_that_is_not_a_database_is_refused_and_the_question_comes_again(self):
        notes = {}

        def prepare(program_dir):
            os.remove(os.path.join(program_dir, "Kestavo.db"))
            notes["path"] = os.path.join(os.path.dirname(program_dir), "notes.db")
            with open(notes["path"], "w") as f:
                f.write("Bring the big pot.\n")

        with Desktop(prepare=prepare) as desktop:
            desktop.answer(STARTUP_ERROR, "OK", "The required camping food database 'Kestavo.db' could not be found.")
            desktop.choose_file("Restore Database From File", notes["path"])
            text = desktop.answer(STARTUP_ERROR, "OK", "is not a Kestavo database")
            self.assertEqual(text, f"The file '{notes['path']}' is not a Kestavo database.")
            desktop.answer(STARTUP_ERROR, "Cancel", "could not be found")
            self.assertEqual(desktop.wait_for_exit(), 0)
            self.assertFalse(os.path.exists(desktop.database))
            with open(notes["path"]) as f:
                self.assertEqual(f.read(), "Bring the big pot.\n")


if __name__ == "__main__":
    unittest.main()
