"""The food catalogue and the people worked with the keyboard as a new user would: Tab leaves a
list for its buttons, a form opens with its name ready to be typed over, and Edit in the
ingredients form hands the name box the focus."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, enabled, has_focus, table_cells, text_of, wait_for

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


if __name__ == "__main__":
    unittest.main()
