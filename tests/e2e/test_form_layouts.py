"""The date picker, the notes editor, the four trip-wizard pages and the export's choice of tables,
which lay their controls out with the window: each as the user meets it, pictured on the way."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, extents, list_items, wait_for

DETAILS = "Trip Wizard: details (step 1 of 3)"
DATE_PICKER = "Date Picker"
TRAVELLERS = "Trip Wizard: travelers (step 2 of 3)"
STOPS = "Trip Wizard: meal stops (step 3 of 3)"
DONE = "Trip Wizard completed!"
PEOPLE = "People (for trips)"
EXPORT_TABLES = "Export Database Tables"


def add_ann(program_dir):
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.execute("insert into People (id, name, notes) values (1, 'Ann', 'vegetarian')")
        db.commit()


def controls_of(window):
    """The window's shown controls with their places on the screen."""
    import pyatspi
    controls = []
    for i in range(window.childCount):
        child = window.getChildAtIndex(i)
        if child is not None and child.getState().contains(pyatspi.STATE_SHOWING):
            controls.append((f"{child.getRoleName()} {child.name!r}", extents(child)))
    return controls


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


class FormLayoutsTest(unittest.TestCase):
    def assert_laid_out_at_its_minimum_size(self, desktop, title, shot):
        """Gives the window the smallest size it allows, as a window manager would, and finds
        every control inside it and clear of the others; pictures it for the evidence."""
        window = desktop.window(title)
        width, height = desktop.minimum_size(title)
        desktop.resize(window, width, height)
        frame = extents(window)
        controls = wait_for(f"the controls of {title!r} in place", lambda: [
            c for c in controls_of(window) if c[1][2] > 0] or None)
        for name, box in controls:
            self.assertTrue(frame[0] <= box[0] and box[0] + box[2] <= frame[0] + frame[2] and
                            frame[1] <= box[1] and box[1] + box[3] <= frame[1] + frame[3],
                            f"{title}: {name} {box} outside the window {frame}")
        for i, (name, box) in enumerate(controls):
            for other, other_box in controls[i + 1:]:
                self.assertFalse(overlaps(box, other_box), f"{title}: {name} {box} overlaps {other} {other_box}")
        desktop.keep_screenshot(shot)
        return window

    def test_the_wizard_pages_at_their_minimum_sizes(self):
        with Desktop(prepare=add_ann) as desktop:
            main = desktop.window("Kestavo")
            desktop.press(main, "Add...")
            details = self.assert_laid_out_at_its_minimum_size(desktop, DETAILS, "wizard details at its minimum size")
            desktop.press(details, "OK")
            travellers = desktop.window(TRAVELLERS)
            wait_for("Ann offered", lambda: list_items(desktop.control(travellers, "list", "People:")) == ["Ann"])
            self.assert_laid_out_at_its_minimum_size(desktop, TRAVELLERS, "wizard travellers at its minimum size")
            desktop.press(travellers, "OK")
            stops = desktop.window(STOPS)
            wait_for("the food stops", lambda: list_items(desktop.control(stops, "list", "Available food stops:")))
            self.assert_laid_out_at_its_minimum_size(desktop, STOPS, "wizard stops at its minimum size")
            desktop.press(stops, "OK")
            done = self.assert_laid_out_at_its_minimum_size(desktop, DONE, "wizard done at its minimum size")
            desktop.press(done, "Close")
            desktop.no_window(DONE)
            self.assertEqual(desktop.rows("select name from Trips"), [("new_trip",)])

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

    def test_the_export_tables_window_asks_a_least_size_within_its_most_and_shows_all_there(self):
        with Desktop() as desktop:
            desktop.window("Kestavo")
            desktop.menu("File", "Export database...")
            desktop.window(EXPORT_TABLES)
            least, most = desktop.minimum_size(EXPORT_TABLES), desktop.maximum_size(EXPORT_TABLES)
            self.assertTrue(least[0] <= most[0] and least[1] <= most[1], f"minimum {least} beyond maximum {most}")
            window = self.assert_laid_out_at_its_minimum_size(desktop, EXPORT_TABLES, "export tables at its minimum size")
            desktop.press(window, "Cancel")
            desktop.no_window(EXPORT_TABLES)

    def test_the_notes_editor(self):
        with Desktop(prepare=add_ann) as desktop:
            desktop.window("Kestavo")
            desktop.menu("Edit", "Edit people...")
            people = desktop.window(PEOPLE)
            desktop.press(people, "Notes...")
            notes = desktop.window("Notes for 'Ann'")
            desktop.control(notes, "push button", "OK")
            # Without a credit line the window ends above it, and the window manager may not change that.
            least, most = desktop.minimum_size(notes.name), desktop.maximum_size(notes.name)
            self.assertEqual(least[1], most[1], f"minimum {least}, maximum {most}")
            desktop.keep_screenshot("notes editor")
            desktop.press(notes, "Cancel")
            desktop.no_window("Notes for 'Ann'")


if __name__ == "__main__":
    unittest.main()
