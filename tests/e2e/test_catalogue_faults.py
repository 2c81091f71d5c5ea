"""The food catalogue and the people worked as a new user would: with the keyboard, Tab leaves a
list for its buttons, a form opens with its name ready to be typed over, and Edit in the
ingredients form hands the name box the focus; with the mouse, the ingredient highlighted after a
rename that moved it in the list is the one its details show and its commands act on."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, enabled, has_focus, table_cell, table_cells, text_of, wait_for

PEOPLE = "People (for trips)"
PEOPLE_LIST = "People that can be selected for trips:"
PERSON = "Edit Person"
INGREDIENTS = "Edit Ingredients"


def prepare(options, *statements):
    """The options file and rows of the catalogue, written before the program starts."""
    def write(program_dir):
        with open(os.path.join(program_dir, "kvo.dat"), "w") as f:
            f.write("kvo_v_10:\n" + "".join(f"{key}: {value}\n" for key, value in options.items()) + "kvo_end:\n")
        with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
            for statement in statements:
                db.execute(statement)
            db.commit()
    return write


def tab_to(desktop, button, most):
    """Presses Tab until the button has the focus, at most that many times."""
    for _ in range(most):
        desktop.keys("Tab")
        with contextlib.suppress(AssertionError):
            wait_for(f"the focus on {button.name!r}", lambda: has_focus(button), timeout=2)
            return
    raise AssertionError(f"Tab never reached {button.name!r}")


class KeyboardTest(unittest.TestCase):
    def test_a_person_is_added_from_the_list_with_the_keyboard_alone(self):
        with Desktop(prepare=prepare({"startup_convert": 0},
                                     "insert into People( name, appetite ) values( 'Ann', 1.2 )")) as desktop:
            desktop.window("Kestavo")
            desktop.menu("Edit", "Edit people...")
            people = desktop.window(PEOPLE)
            desktop.activate(people)
            grid = desktop.control(people, "table", PEOPLE_LIST)
            wait_for("the focus in the list", lambda: has_focus(grid))

            # The list lets Tab go on to its buttons: Close, Edit..., Add.
            tab_to(desktop, desktop.control(people, "push button", "Add"), 3)
            desktop.keys("space")
            editor = desktop.window(PERSON)
            name = desktop.control(editor, "text", "Name:")
            wait_for("the new person's name", lambda: text_of(name) == "new_person")
            # The generated name is selected: what is typed replaces it.
            desktop.type_text("Dana")
            wait_for("the typed name", lambda: text_of(name) == "Dana")
            desktop.keys("Tab")
            desktop.type_text("0.8")
            appetite = desktop.control(editor, "text", "Appetite:")
            wait_for("the typed appetite", lambda: text_of(appetite) == "0.8")
            desktop.keys("Return")
            desktop.no_window(PERSON)

            wait_for("both people listed", lambda: [row[:2] for row in table_cells(grid)] ==
                     [["Ann", "1.2"], ["Dana", "0.8"]])
            desktop.activate(people)
            desktop.keys("Escape")
            desktop.no_window(PEOPLE)
            self.assertEqual(desktop.rows("select name, appetite from People order by name"),
                             [("Ann", 1.2), ("Dana", 0.8)])

    def test_a_name_typed_after_edit_renames_the_locked_ingredient_and_creates_no_menu_item(self):
        with Desktop(prepare=prepare({"startup_convert": 0, "safe_edits": 1},
                                     "insert into Ingredients( name, def_measure ) values( 'Tea', 10 )")) as desktop:
            desktop.window("Kestavo")
            desktop.menu("Edit", "Edit ingredients...")
            ingredients = desktop.window(INGREDIENTS)
            name = desktop.control(ingredients, "text", "Name:")
            wait_for("Tea shown, locked", lambda: text_of(name) == "Tea" and not enabled(name))

            desktop.press(ingredients, "Edit")
            wait_for("the name unlocked and focused", lambda: enabled(name) and has_focus(name))
            desktop.type_text("Green tea")
            wait_for("the typed name", lambda: text_of(name) == "Green tea")
            desktop.keys("Return")
            desktop.no_window(INGREDIENTS)

            self.assertEqual(desktop.rows("select name, modified is not null from Ingredients"), [("Green tea", 1)])
            self.assertEqual(desktop.rows("select count(*) from Courses"), [(0,)])


def highlighted(grid):
    table = grid.queryTable()
    return [table.getAccessibleAt(row, 0).name for row in range(table.nRows) if table.isRowSelected(row)]


class MouseTest(unittest.TestCase):
    def test_the_row_clicked_after_a_rename_that_moves_rows_is_the_one_highlighted_and_deleted(self):
        with Desktop(prepare=prepare({"startup_convert": 0},
                                     "insert into Ingredients( name, def_measure ) values( 'Flour', 10 )",
                                     "insert into Ingredients( name, def_measure ) values( 'Sugar', 10 )")) as desktop:
            desktop.window("Kestavo")
            desktop.menu("Edit", "Edit ingredients...")
            ingredients = desktop.window(INGREDIENTS)
            grid = desktop.control(ingredients, "table", "Ingredients:")
            name = desktop.control(ingredients, "text", "Name:")
            wait_for("Flour shown", lambda: text_of(name) == "Flour")

            # Flour renamed to a taken name: the question comes in the middle of the click on
            # Sugar, and the renamed row sugar_01 then lies under the pointer.
            desktop.fill(name, "sugar")
            desktop.click(table_cell(grid, 1, 0))
            desktop.answer("Name already exists", "OK", containing="'sugar_01'")
            wait_for("Sugar shown", lambda: text_of(name) == "Sugar")
            wait_for("the list sorted anew", lambda: [row[0] for row in table_cells(grid)] == ["Sugar", "sugar_01"])
            wait_for("Sugar highlighted", lambda: highlighted(grid) == ["Sugar"])

            # Sugar renamed to Zest moves below sugar_01, which the click goes to. (Clicked in
            # another column: a second click on the same spot would be a double click.)
            desktop.fill(name, "Zest")
            desktop.click(table_cell(grid, 1, 1))
            wait_for("sugar_01 shown", lambda: text_of(name) == "sugar_01")
            wait_for("the list sorted anew", lambda: [row[0] for row in table_cells(grid)] == ["sugar_01", "Zest"])
            wait_for("sugar_01 highlighted", lambda: highlighted(grid) == ["sugar_01"])
            desktop.keep_screenshot("ingredients after a rename that moved the row")

            desktop.press(ingredients, "Delete...")
            desktop.answer("Remove Ingredient?", "OK", containing="'sugar_01'")
            desktop.no_window("Remove Ingredient?")
            wait_for("Zest left alone", lambda: [row[0] for row in table_cells(grid)] == ["Zest"])
            desktop.activate(ingredients)
            desktop.keys("Escape")
            desktop.no_window(INGREDIENTS)
            self.assertEqual(desktop.rows("select name from Ingredients"), [("Zest",)])


if __name__ == "__main__":
    unittest.main()
