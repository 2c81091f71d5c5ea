"""Changes the database does not store, met as a user meets them: another program reads Kestavo.db
for longer than the driver waits for it, or the file is read-only. The program says so once
("Database Error"), shows nothing of the change as saved, and stores the next change once the file
can take it."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, table_cells, wait_for

DATABASE_ERROR = "Database Error"
DETAILS = "Trip Wizard: details (step 1 of 3)"
PEOPLE = "People (for trips)"
PEOPLE_LIST = "People that can be selected for trips:"
PERSON = "Edit Person"


def not_stored(reason):
    """The message as the harness reads it: its lines joined by blanks."""
    return f"Kestavo could not store the change: {reason} Nothing of it was kept."


@contextlib.contextmanager
def reader_of(database):
    """Another program in the middle of reading the file: its read lock keeps every commit out."""
    reader = sqlite3.connect(database, isolation_level=None)
    try:
        reader.execute("BEGIN")
        reader.execute("select count(*) from Trips").fetchall()
        yield
    finally:
        reader.execute("ROLLBACK")
        reader.close()


def add_person(desktop, people, name):
    desktop.press(people, "Add")
    editor = desktop.window(PERSON)
    desktop.fill(desktop.control(editor, "text", "Name:"), name)
    desktop.press(editor, "OK")
    desktop.no_window(PERSON)


class ReadersLockTest(unittest.TestCase):
    def test_a_trip_whose_commit_meets_a_readers_lock_is_told_and_a_later_person_is_stored(self):
        with Desktop() as desktop:
            main = desktop.window("Kestavo")
            trips = desktop.control(main, "table", "Trips:")
            with reader_of(desktop.database):
                desktop.press(main, "Add...")
                details = desktop.window(DETAILS)
                desktop.fill(desktop.control(details, "text", "Name:"), "Kettle Lakes")
                desktop.fill(desktop.control(details, "text", "# of days:"), "3")
                desktop.press(details, "OK")
                # The driver waits five seconds for the reader before the commit gives up.
                self.assertEqual(desktop.answer(DATABASE_ERROR, "OK"), not_stored("database is locked"))
                desktop.no_window(DATABASE_ERROR)
                desktop.no_window(DETAILS)
            self.assertEqual(table_cells(trips), [])
            self.assertEqual(desktop.rows("select count(*) from Trips"), [(0,)])
            self.assertEqual(desktop.rows("select count(*) from TripDays"), [(0,)])

            desktop.menu("Edit", "Edit people...")
            people = desktop.window(PEOPLE)
            add_person(desktop, people, "Dana")
            wait_for("Dana stored", lambda: desktop.rows("select name from People") == [("Dana",)])
            desktop.press(people, "Close")
            desktop.no_window(PEOPLE)
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)
            self.assertEqual(desktop.rows("select name from People"), [("Dana",)])
            self.assertEqual(desktop.rows("select count(*) from Trips"), [(0,)])


def read_only_with_ann(program_dir):
    database = os.path.join(program_dir, "Kestavo.db")
    with contextlib.closing(sqlite3.connect(database)) as db:
        db.execute("insert into People( name ) values( 'Ann' )")
        db.commit()
    os.chmod(database, 0o444)


class ReadOnlyDatabaseTest(unittest.TestCase):
    def test_people_add_on_a_read_only_database_is_told_each_time_and_opens_no_editor(self):
        with Desktop(prepare=read_only_with_ann, obey_file_permissions=True) as desktop:
            desktop.window("Kestavo")
            desktop.menu("Edit", "Edit people...")
            people = desktop.window(PEOPLE)
            grid = desktop.control(people, "table", PEOPLE_LIST)
            # Nothing the user asked for has failed yet: the start-up's own writes say nothing.
            self.assertNotIn(DATABASE_ERROR, [window.name for window in desktop.windows()])
            for _ in range(2):
                desktop.press(people, "Add")
                self.assertEqual(desktop.answer(DATABASE_ERROR, "OK"),
                                 not_stored("attempt to write a readonly database"))
                desktop.no_window(DATABASE_ERROR)
                self.assertEqual([row[0] for row in table_cells(grid)], ["Ann"])
                self.assertNotIn(PERSON, [window.name for window in desktop.windows()])
            desktop.press(people, "Close")
            desktop.no_window(PEOPLE)
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)
            self.assertEqual(desktop.rows("select name from People"), [("Ann",)])


if __name__ == "__main__":
    unittest.main()
