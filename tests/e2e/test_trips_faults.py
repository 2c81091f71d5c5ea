"""Trips driven from the keyboard as a user would, where the desktop showed faults that are now
mended: each test names what the user now sees."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, find_all, has_focus, table_cell, table_cells, text_of, wait_for
from test_trip_main_road import FAKE_NOW, select_row


def add_two_trips(program_dir):
    """Alpha (three days from 4 July 2024) and Beta (one day from 1 August 2024)."""
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.executescript("""
            insert into Trips( id, name, location, trip_date ) values
                ( 1, 'Alpha', 'Bow Valley', '2024-07-04' ), ( 2, 'Beta', 'Yoho', '2024-08-01' );
            insert into TripDays( id, day_num, trip ) values ( 1, 1, 1 ), ( 2, 2, 1 ), ( 3, 3, 1 ), ( 4, 1, 2 );
        """)
        db.commit()


def open_trip_editor(desktop, name):
    """Selects the trip in the main window and opens its editor: answers the list and the editor."""
    main = desktop.window("Kestavo")
    trips = desktop.control(main, "table", "Trips:")
    select_row(desktop, trips, name)
    desktop.press(main, "Edit...")
    return trips, desktop.window("Edit Trip")


class DatePickerKeyboardTest(unittest.TestCase):
    def test_enter_on_the_calendar_takes_the_date_picked_with_the_arrow_keys(self):
        with Desktop(prepare=add_two_trips, fake_time=FAKE_NOW) as desktop:
            trips, editor = open_trip_editor(desktop, "Alpha")
            desktop.press(editor, "Date:")
            picker = desktop.window("Date Picker")
            desktop.activate(picker)
            # The calendar has the focus: a day later, then Enter as on any other dialog.
            desktop.keys("Right", "Return")
            desktop.no_window("Date Picker", timeout=10)
            long_date = desktop.control(editor, "text", "Date")
            wait_for("the new date in the editor", lambda: text_of(long_date) == "July 05, 2024")
            desktop.press(editor, "Close")
            desktop.no_window("Edit Trip")
            wait_for("the new date in the trips list",
                     lambda: table_cells(trips)[0][:3] == ["Alpha", "Bow Valley", "Jul. 05, 2024"])
            self.assertEqual(desktop.rows("select id, trip_date, date(modified) from Trips order by id"),
                             [(1, "2024-07-05", "2024-07-04"), (2, "2024-08-01", None)])

    def test_a_year_typed_into_the_calendar_is_the_year_taken(self):
        with Desktop(prepare=add_two_trips, fake_time=FAKE_NOW) as desktop:
            _, editor = open_trip_editor(desktop, "Alpha")
            desktop.press(editor, "Date:")
            picker = desktop.window("Date Picker")
            desktop.press(picker, "2024")   # the year on the calendar's title opens its year box
            desktop.keys("ctrl+a")
            desktop.type_text("2026")
            desktop.keys("Return")
            desktop.no_window("Date Picker", timeout=10)
            long_date = desktop.control(editor, "text", "Date")
            wait_for("the typed year in the editor", lambda: text_of(long_date) == "July 04, 2026")
            desktop.press(editor, "Close")
            desktop.no_window("Edit Trip")
            self.assertEqual(desktop.rows("select trip_date from Trips where id = 1"), [("2026-07-04",)])

    def test_enter_on_the_wizards_calendar_takes_the_date_too(self):
        with Desktop(fake_time=FAKE_NOW) as desktop:
            main = desktop.window("Kestavo")
            desktop.press(main, "Add...")
            details = desktop.window("Trip Wizard: details (step 1 of 3)")
            desktop.press(details, "Date:")
            picker = desktop.window("Date Picker")
            desktop.activate(picker)
            desktop.keys("Left", "Return")
            desktop.no_window("Date Picker", timeout=10)
            date = desktop.control(details, "text", "The date of this trip")
            wait_for("the new date on the page", lambda: text_of(date) == "July 3, 2024")
            desktop.press(details, "Cancel")
            desktop.no_window("Trip Wizard: details (step 1 of 3)")
            self.assertEqual(desktop.rows("select count(*) from Trips"), [(0,)])


def focused_control(desktop, window):
    return next((node for role in ("push button", "table", "text")
                 for node in find_all(window, role, showing=True) if has_focus(node)), None)


class GridKeyboardTest(unittest.TestCase):
    def test_tab_leaves_the_trip_days_list_for_its_buttons(self):
        with Desktop(prepare=add_two_trips, fake_time=FAKE_NOW) as desktop:
            _, editor = open_trip_editor(desktop, "Alpha")
            desktop.press(editor, "Edit trip days...")
            days = desktop.window("Trip Days")
            grid = desktop.control(days, "table", "Planned days for this trip:")
            wait_for("the three days", lambda: len(table_cells(grid)) == 3)
            desktop.click(table_cell(grid, 0, 0))
            wait_for("the focus in the days", lambda: has_focus(grid))
            desktop.keys("Tab")
            wait_for("the focus on the Close button",
                     lambda: (lambda f: f is not None and f.name == "Close")(focused_control(desktop, days)))
            # The day chosen before stays chosen, and the keys now work the buttons.
            self.assertTrue(grid.queryTable().isRowSelected(0))
            desktop.keys("Tab", "Tab", "Tab", "space")   # Meals..., Add..., Delete...
            self.assertIn("trip day # 1 (Jul 04, 2024)", desktop.answer("Remove Trip Day?", "Cancel"))
            desktop.activate(days)
            desktop.keys("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab")
            wait_for("the focus back in the days", lambda: has_focus(grid))
            desktop.keys("Escape")
            desktop.no_window("Trip Days")
            self.assertEqual(desktop.rows("select id, day_num from TripDays where trip = 1 order by day_num"),
                             [(1, 1), (2, 2), (3, 3)])


if __name__ == "__main__":
    unittest.main()
