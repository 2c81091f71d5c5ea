"""The date picker, the notes editor and the four trip-wizard pages, which lay their controls out
with the window: each as the user meets it, pictured on the way."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, list_items, wait_for

DETAILS = "Trip Wizard: details (step 1 of 3)"
DATE_PICKER = "Date Picker"
TRAVELLERS = "Trip Wizard: travelers (step 2 of 3)"
STOPS = "Trip Wizard: meal stops (step 3 of 3)"
DONE = "Trip Wizard completed!"
PEOPLE = "People (for trips)"


def add_ann(program_dir):
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.execute("insert into People (id, name, notes) values (1, 'Ann', 'vegetarian')")
        db.commit()


class FormLayoutsTest(unittest.TestCase):
    def test_the_wizard_pages_and_the_date_picker(self):
        with Desktop(prepare=add_ann) as desktop:
            main = desktop.window("Kestavo")
            desktop.press(main, "Add...")
            details = desktop.window(DETAILS)
            desktop.fill(desktop.control(details, "text", "Name:"), "Ridge Walk")
            desktop.keep_screenshot("wizard details")
            desktop.press(details, "Date:")
            picker = desktop.window(DATE_PICKER)
            desktop.control(picker, "push button", "Cancel")
            desktop.keep_screenshot("date picker")
            desktop.press(picker, "OK")
            desktop.no_window(DATE_PICKER)
            desktop.press(details, "OK")

            travellers = desktop.window(TRAVELLERS)
            people = desktop.control(travellers, "list", "People:")
            wait_for("Ann offered", lambda: list_items(people) == ["Ann"])
            desktop.keep_screenshot("wizard travellers")
            desktop.press(travellers, "OK")

            stops = desktop.window(STOPS)
            wait_for("the food stops", lambda: list_items(desktop.control(stops, "list", "Available food stops:")))
            desktop.keep_screenshot("wizard stops")
            desktop.press(stops, "OK")

            done = desktop.window(DONE)
            desktop.keep_screenshot("wizard done")
            desktop.press(done, "Close")
            desktop.no_window(DONE)
            self.assertEqual(desktop.rows("select name from Trips"), [("Ridge Walk",)])

    def test_the_notes_editor(self):
        with Desktop(prepare=add_ann) as desktop:
            desktop.window("Kestavo")
            desktop.menu("Edit", "Edit people...")
            people = desktop.window(PEOPLE)
            desktop.press(people, "Notes...")
            notes = desktop.window("Notes for 'Ann'")
            desktop.control(notes, "push button", "OK")
            desktop.keep_screenshot("notes editor")
            desktop.press(notes, "Cancel")
            desktop.no_window("Notes for 'Ann'")


if __name__ == "__main__":
    unittest.main()
