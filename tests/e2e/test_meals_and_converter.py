"""Meals made in the meal editor from the main window, and the measurement converter: opened
from the File menu, and on its own at start unless its box says otherwise."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, list_items, table_cells, text_of, wait_for

MEALS = "Meals"
MEAL_EDITOR = "Edit Meal"
CONVERTER = "Measurement Conversion"
MENU_ITEMS = ("Bannock", "Cocoa", "Trail mix")
OUNCES = "oz (weight: ounces)"
GRAMS = "g (weight: grams)"
CUPS = "cups (volume: cups of 8 fluid ounces)"
MILLILITRES = "ml (volume: millilitres)"


def extents(node):
    import pyatspi   # only once the desktop's buses are there
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def is_below(lower, upper):
    return lower.x == upper.x and lower.y == upper.y + upper.height


def checked(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_CHECKED)


def write_options(program_dir, startup_convert):
    with open(os.path.join(program_dir, "kvo.dat"), "w") as f:
        f.write(f"kvo_v_10:\nstartup_convert: {startup_convert}\nkvo_end:\n")


def read_options(program_dir):
    with open(os.path.join(program_dir, "kvo.dat")) as f:
        return dict(line.rstrip("\n").split(": ", 1) for line in f if ": " in line)


def prepare_menu_items(program_dir):
    """Three menu items in the catalogue, and no converter in the way at start."""
    write_options(program_dir, 0)
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.executemany("insert into Courses( name ) values( ? )", [(name,) for name in MENU_ITEMS])
        db.commit()


class MealEditorTest(unittest.TestCase):
    def test_a_meal_of_two_menu_items_one_chosen_twice_is_stored_with_the_repeat(self):
        with Desktop(prepare=prepare_menu_items) as desktop:
            desktop.window("Kestavo")
            desktop.menu("Edit", "Edit meals...")
            meals = desktop.window(MEALS)
            desktop.press(meals, "Add")

            editor = desktop.window(MEAL_EDITOR)
            name = desktop.control(editor, "text", "Name:")
            wait_for("the new meal's name", lambda: text_of(name) == "new_meal")
            desktop.fill(name, "Lakeside breakfast")
            available = desktop.control(editor, "list", "Available menu items:")
            chosen = desktop.control(editor, "list", "Menu items in this meal:")
            wait_for("the catalogue's menu items", lambda: list_items(available) == list(MENU_ITEMS))
            for item, expected in (("Bannock", ["Bannock"]), ("Cocoa", ["Bannock", "Cocoa"]),
                                   ("Cocoa", ["Bannock", "Cocoa", "Cocoa"])):
                desktop.click(desktop.control(available, "list item", item))
                desktop.press(editor, "Add <<")
                wait_for(f"{expected} chosen", lambda e=expected: list_items(chosen) == e)
            # A chosen menu item stays on offer, for the next repeat.
            self.assertEqual(list_items(available), list(MENU_ITEMS))
            desktop.keep_screenshot("meal editor")
            desktop.press(editor, "Close")
            desktop.no_window(MEAL_EDITOR)

            grid = desktop.control(meals, "table", "All meals that can be assigned to meal stops on a trip"
                                   " (a meal is composed of one or more meal menu items):")
            rows = wait_for("the meal in the list", lambda: [row[:2] for row in table_cells(grid)])
            self.assertEqual(rows, [["Lakeside breakfast", "Bannock,Cocoa,Cocoa"]])
            desktop.keep_screenshot("meals list")
            desktop.press(meals, "Close")
            desktop.no_window(MEALS)

            self.assertEqual(desktop.rows("select name from Meals where modified is not null"),
                             [("Lakeside breakfast",)])
            self.assertEqual(desktop.rows(
                "select Meals.name, Courses.name from MealCourses"
                " join Meals on Meals.id = MealCourses.meal join Courses on Courses.id = MealCourses.course"
                " order by MealCourses.id"),
                [("Lakeside breakfast", "Bannock"), ("Lakeside breakfast", "Cocoa"),
                 ("Lakeside breakfast", "Cocoa")])


class ConverterTest(unittest.TestCase):
    def test_the_converter_from_the_file_menu_shows_a_typed_amount_converted(self):
        with Desktop(prepare=lambda folder: write_options(folder, 0)) as desktop:
            desktop.window("Kestavo")
            desktop.menu("File", "Convert measurements...")
            converter = desktop.window(CONVERTER)
            desktop.choose(desktop.labelled(converter, "combo box", "From:"), OUNCES)
            amount = desktop.control(converter, "text", "Amount:")
            equals = desktop.control(converter, "text", "Equals:")
            desktop.fill(amount, "2.5")
            desktop.choose(desktop.labelled(converter, "combo box", "To:"), GRAMS)
            wait_for("2.5 oz in grams", lambda: text_of(equals) == "70.8738")
            desktop.keep_screenshot("converter")

            desktop.fill(amount, "2,5")
            wait_for("2,5 oz in grams", lambda: text_of(equals) == "70.8738")
            # The number at the start counts; the word after it does not spoil it.
            desktop.choose(desktop.labelled(converter, "combo box", "From:"), CUPS)
            desktop.choose(desktop.labelled(converter, "combo box", "To:"), MILLILITRES)
            desktop.fill(amount, "2.5 cups")
            wait_for("2.5 cups in millilitres", lambda: text_of(equals) == "591.4706")
            desktop.fill(amount, "abc")
            wait_for("no result for a text that is no number", lambda: text_of(equals) == "")

            desktop.press(converter, "Close")
            desktop.no_window(CONVERTER)
            self.assertTrue(desktop.running())

    def test_the_converter_opens_at_start_and_its_box_keeps_it_closed_at_the_next_start(self):
        with Desktop(prepare=lambda folder: write_options(folder, 1)) as desktop:
            main = desktop.window("Kestavo")
            converter = desktop.window(CONVERTER)
            # Directly below the main window, left edges in line.
            wait_for("the converter below the main window",
                     lambda: is_below(extents(converter), extents(main)))
            desktop.press(converter, "Don't show this dialog at startup", role="check box")
            box = desktop.control(converter, "check box", "Don't show this dialog at startup")
            wait_for("the box checked", lambda: checked(box))
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)
            self.assertEqual(read_options(desktop.program_dir)["startup_convert"], "0")


if __name__ == "__main__":
    unittest.main()
