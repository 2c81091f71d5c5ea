"""The File menu's clearing of the database under its wait window, the options dialog, and the
Help menu's quick help and about box; the quick help also as it opens at start."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, checked, labels_of, wait_for

CLEAR = "Clear Database"
WAIT = "Wait for task to complete..."
QUICK_HELP = "Quick Start Help"
ABOUT = "About Kestavo"
SPLASH = "Software presented by..."
OPTIONS = "Kestavo Options"

FILLED = [
    "insert into Ingredients (id, name) values (1, 'rice')",
    "insert into Courses (id, name) values (1, 'rice pot')",
    "insert into CourseIngredients (id, course, ingredient, measure, amount) values (1, 1, 1, 14, 2.0)",
    "insert into Meals (id, name) values (1, 'dinner')",
    "insert into MealCourses (id, meal, course) values (1, 1, 1)",
    "insert into People (id, name) values (1, 'Ann'), (2, 'Ben')",
    "insert into Trips (id, name) values (1, 'Hike')",
    "insert into TripDays (id, day_num, trip) values (1, 1, 1)",
    "insert into DayFoodStops (id, trip_day, food_stop) values (1, 1, 1)",
    "insert into DayMeals (id, day_stop, meal) values (1, 1, 1)",
    "insert into DayCourses (id, day_stop, course) values (1, 1, 1)",
    "insert into MealPeople (id, person, day_stop) values (1, 1, 1)",
    "insert into TripPeople (id, person, trip) values (1, 1, 1), (2, 2, 1)",
]
# Every traveller's row takes the database a second or two to delete, so that the wait window
# stays up long enough to be seen (a trigger may not hold a common table expression).
SLOW_DELETE = ("create trigger slow_delete before delete on TripPeople begin select count(*) from "
               "Measures a, Measures b, Measures c, MeasureConversions d, MeasureConversions e "
               "where a.id + b.id + c.id + d.factor + e.factor > -1; end")
FOOD_TABLES = ("Ingredients", "Courses", "CourseIngredients", "Meals", "MealCourses")
TRIP_TABLES = ("Trips", "TripDays", "DayFoodStops", "DayMeals", "DayCourses", "MealPeople", "TripPeople")


def fill(*extra):
    def prepare(program_dir):
        with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
            for statement in FILLED + list(extra):
                db.execute(statement)
            db.commit()
    return prepare


def count(desktop, table):
    return desktop.rows(f"select count(*) from {table}")[0][0]


def options_file(desktop):
    with open(desktop.path("kvo.dat")) as f:
        return dict(line.rstrip("\r\n").split(": ", 1) for line in f if ": " in line)


class ClearDatabaseTest(unittest.TestCase):
    def test_clearing_with_the_food_box_checked_empties_trips_and_food_and_keeps_people(self):
        with Desktop(prepare=fill(SLOW_DELETE)) as desktop:
            desktop.window("Kestavo")
            desktop.menu("File", "Clear database...")
            form = desktop.window(CLEAR)
            food = desktop.control(form, "check box", "Remove all food data in addtion to trip data")
            self.assertTrue(checked(food))
            desktop.keep_screenshot("clear_database")
            kept = {table: count(desktop, table) for table in ("People", "FoodStops", "Measures", "DBVersion")}
            desktop.press(form, "OK")
            wait = desktop.window(WAIT)
            desktop.control(wait, "label", "The task you requested will take a moment to finish.")
            desktop.keep_screenshot("wait_window")
            desktop.no_window(WAIT, timeout=60)
            wait_for("the trips cleared", lambda: count(desktop, "Trips") == 0)
            for table in TRIP_TABLES + FOOD_TABLES:
                self.assertEqual(count(desktop, table), 0, table)
            self.assertEqual({table: count(desktop, table) for table in kept}, kept)
            self.assertEqual(kept["People"], 2)


class OptionsTest(unittest.TestCase):
    def test_options_ok_is_written_to_the_options_file_at_exit(self):
        with Desktop() as desktop:
            desktop.window("Kestavo")
            desktop.menu("File", "Options...")
            options = desktop.window(OPTIONS)
            desktop.choose(desktop.labelled(options, "combo box", "Treat cooking measurements as:"), "metric only")
            desktop.click(desktop.control(options, "check box", "Show measurement conversion window on startup"))
            desktop.keep_screenshot("options")
            desktop.press(options, "OK")
            desktop.no_window(OPTIONS)
            wait_for("metric cooking measures", lambda: desktop.rows(
                "select count(*) from Measures where cooking_measure = 1 and imperial = 1")[0][0] == 0)
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)
            written = options_file(desktop)
            self.assertEqual(written["cooking_measure"], "1")
            self.assertEqual(written["startup_convert"], "0")


class HelpMenuTest(unittest.TestCase):
    def test_the_quick_help_shows_at_start_and_its_box_turns_it_off(self):
        with Desktop(quick_help=True) as desktop:
            desktop.window("Kestavo")
            help_window = desktop.window(QUICK_HELP)
            for topic in ("What is Kestavo?", "Understanding the Data", "Editing Ingredients",
                          "Editing Menu Items", "Editing Meals", "Editing Trips", "Tutorials"):
                desktop.control(help_window, "push button", topic)
            desktop.keep_screenshot("quick_help")
            desktop.click(desktop.control(help_window, "check box", "Don't show this dialog on startup anymore"))
            desktop.press(help_window, "Close")
            desktop.no_window(QUICK_HELP)
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)
            self.assertEqual(options_file(desktop)["startup_help"], "0")

    def test_the_quick_help_box_set_by_a_screen_readers_toggle_action_turns_it_off(self):
        with Desktop(quick_help=True) as desktop:
            desktop.window("Kestavo")
            help_window = desktop.window(QUICK_HELP)
            box = desktop.control(help_window, "check box", "Don't show this dialog on startup anymore")
            self.assertFalse(checked(box))
            action = box.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            toggle = next((i for i, name in enumerate(names) if name.lower() == "toggle"), None)
            self.assertIsNotNone(toggle, f"no toggle action among {names}")
            self.assertTrue(action.doAction(toggle))
            wait_for("the box checked", lambda: checked(box))
            desktop.press(help_window, "Close")
            desktop.no_window(QUICK_HELP)
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)
            self.assertEqual(options_file(desktop)["startup_help"], "0")

    def test_the_about_boxs_addresses_are_named_by_what_they_hold(self):
        with Desktop() as desktop:
            desktop.window("Kestavo")
            desktop.menu("Help", "About...")
            about = desktop.window(ABOUT)
            for address, caption in (("https://www.kestavo.com/", "Web:"), ("support@kestavo.com", "E-mail:")):
                label = desktop.control(about, "label", address)
                self.assertEqual(labels_of(label), [caption])
            desktop.press(about, "OK")
            desktop.no_window(ABOUT)

    def test_the_help_menu_opens_the_quick_help_and_the_about_box(self):
        with Desktop() as desktop:
            desktop.window("Kestavo")
            self.assertNotIn(QUICK_HELP, [w.name for w in desktop.windows()])
            desktop.menu("Help", "Quick help...")
            desktop.window(QUICK_HELP)
            desktop.menu("Help", "About...")
            about = desktop.window(ABOUT)
            desktop.control(about, "label", "Kestavo")
            desktop.control(about, "label", "Release 3.02")
            desktop.keep_screenshot("about")
            desktop.press(about, "OK")
            desktop.no_window(ABOUT)
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)
            self.assertEqual(options_file(desktop)["startup_help"], "1")

    def test_with_product_version_3_the_about_box_shows_the_picture_window_for_two_seconds(self):
        def version_3(program_dir):
            with open(os.path.join(program_dir, "kvo.dat"), "w") as f:
                f.write("kvo_v_10:\nproduct_version: 3\nkvo_end:\n")
        with Desktop(prepare=version_3) as desktop:
            desktop.window("Kestavo")
            desktop.menu("Help", "About...")
            desktop.press(desktop.window(ABOUT), "OK")
            desktop.window(SPLASH)
            desktop.keep_screenshot("picture_window")
            desktop.no_window(SPLASH)
            desktop.no_window(ABOUT)


if __name__ == "__main__":
    unittest.main()
