"""The food catalogue and the people, typed into as a user would from the main window: a person
with an appetite, an ingredient with a portion, and a menu item with two ingredient lines and a
recipe written by an editor program."""
import contextlib
import os
import sqlite3
import stat
import unittest
import zlib

from kvo_desktop import Desktop, checked, list_items, table_cells, text_of, wait_for

PEOPLE_BUTTON = "Click this to view and edit the available people"
INGREDIENTS_BUTTON = "Click this to view and edit the available ingredients"
PEOPLE = "People (for trips)"
PEOPLE_LIST = "People that can be selected for trips:"
PERSON = "Edit Person"
INGREDIENTS = "Edit Ingredients"
MENU_ITEMS = "Menu Items"
MENU_ITEMS_LIST = ("All menu items that can be part of meals (a 'menu item' is one serving or part of a meal."
                   " Meals consist of one or more menu items):")
MENU_ITEM = "Edit Menu Item"
ADD_INGREDIENT = "Add ingredient"
LINE = "Edit Menu Item Ingredient"
RESET_RECIPE = "Reset Recipe"
RECIPE_QUESTION = "Recipe editor"
RECIPE = b"Trail chili\r\n1. Soak the rice.\n2. Slice the salami \xc3\xa0 la minute.\n"


def add_person(desktop, people, name):
    """Add, then the editor opens at once on the new person; answers the editor."""
    desktop.press(people, "Add")
    editor = desktop.window(PERSON)
    field = desktop.control(editor, "text", "Name:")
    wait_for("the new person's name", lambda: text_of(field) == "new_person")
    desktop.fill(field, name)
    return editor


class PeopleAndIngredientsTest(unittest.TestCase):
    def test_a_person_and_an_ingredient_with_a_portion_typed_in_are_stored(self):
        with Desktop() as desktop:
            main = desktop.window("Kestavo")
            desktop.press(main, PEOPLE_BUTTON)
            people = desktop.window(PEOPLE)

            editor = add_person(desktop, people, "Anna Berg")
            desktop.fill(desktop.control(editor, "text", "Appetite:"), "1.5")
            desktop.keep_screenshot("person editor")
            desktop.press(editor, "OK")
            desktop.no_window(PERSON)

            # The drop-down of standard appetites fills the appetite box.
            editor = add_person(desktop, people, "Ben")
            desktop.choose(desktop.combo_box(editor, "Or, person eats..."), "more than average")
            appetite = desktop.control(editor, "text", "Appetite:")
            wait_for("the preset appetite", lambda: text_of(appetite) == "1.20")
            desktop.press(editor, "OK")
            desktop.no_window(PERSON)

            grid = desktop.control(people, "table", PEOPLE_LIST)
            wait_for("both people in the list",
                     lambda: [row[:2] for row in table_cells(grid)] == [["Anna Berg", "1.5"], ["Ben", "1.2"]])
            desktop.keep_screenshot("people list")
            desktop.press(people, "Close")
            desktop.no_window(PEOPLE)

            desktop.press(main, INGREDIENTS_BUTTON)
            ingredients = desktop.window(INGREDIENTS)
            desktop.press(ingredients, "Add")
            name = desktop.control(ingredients, "text", "Name:")
            wait_for("the new ingredient's name", lambda: text_of(name) == "new_ingredient")
            desktop.fill(name, "Salami")
            desktop.choose(desktop.combo_box(ingredients, "Default measure:"), "g (weight: grams)")
            desktop.fill(desktop.control(ingredients, "text", "Unit size name:"), "slices")
            portions = desktop.control(ingredients, "check box", "Allow unit sizing for ingredient:")
            wait_for("unit sizing allowed by the typed portion name", lambda: checked(portions))
            # A decimal comma is read as the decimal point.
            desktop.fill(desktop.control(ingredients, "text", "Unit size:"), "12,5")
            desktop.keep_screenshot("ingredients form")
            desktop.press(ingredients, "Close")
            desktop.no_window(INGREDIENTS)

            self.assertEqual(desktop.rows("select name, appetite, modified is not null from People order by name"),
                             [("Anna Berg", 1.5, 1), ("Ben", 1.2, 1)])
            self.assertEqual(desktop.rows(
                "select name, def_measure, unit_measure, unit_measure_name, unit_measure_size, modified is not null"
                " from Ingredients"), [("Salami", 10, 1, "slices", 12.5, 1)])


def add_rice_and_salami(program_dir):
    """The catalogue the menu item is made of: rice weighed in grams, salami in slices of 20 g."""
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.execute("insert into Ingredients( name, def_measure ) values( 'Rice', 10 )")
        db.execute("insert into Ingredients( name, def_measure, unit_measure, unit_measure_name, unit_measure_size )"
                   " values( 'Salami', 10, 1, 'slices', 20 )")
        db.commit()


def register_text_editor(desktop, source):
    """A text editor of the test's own, registered for text files in the private XDG folders: it
    writes the bytes of source over the file it is given, or, while source is absent, ends at once
    and leaves the file as it was (as an editor that hands the file to a window already open)."""
    program = os.path.join(desktop.root, "recipe-editor")
    with open(program, "w") as f:
        f.write(f'#!/bin/sh\nif [ -f "{source}" ]; then cat "{source}" > "$1"; fi\n')
    os.chmod(program, stat.S_IRWXU)
    applications = os.path.join(desktop.home, "data", "applications")
    os.makedirs(applications, exist_ok=True)
    with open(os.path.join(applications, "kvo-recipe-editor.desktop"), "w") as f:
        f.write(f"[Desktop Entry]\nType=Application\nName=Recipe editor\nExec={program} %f\nMimeType=text/plain;\n")
    with open(os.path.join(desktop.home, "config", "mimeapps.list"), "w") as f:
        f.write("[Default Applications]\ntext/plain=kvo-recipe-editor.desktop\n")


def add_line(desktop, editor, search, ingredient):
    """Add..., the ingredient found by typing, OK: answers the line editor opened on the new line."""
    desktop.press(editor, "Add...")
    finder = desktop.window(ADD_INGREDIENT)
    desktop.fill(desktop.control(finder, "text", None), search)
    results = desktop.control(finder, "list", "Select or double click an item:")
    wait_for(f"only {ingredient} found", lambda: list_items(results) == [ingredient])
    desktop.click(desktop.control(results, "list item", ingredient))
    desktop.press(finder, "OK")
    desktop.no_window(ADD_INGREDIENT)
    line = desktop.window(LINE)
    wait_for(f"the line of {ingredient}",
             lambda: text_of(desktop.control(line, "text", "Ingredient:")) == ingredient)
    return line


def stored_recipe(desktop):
    """The only menu item's recipe document: its chunks joined are the document's length (four
    bytes, little-endian) and the document compressed by zlib."""
    chunks = desktop.rows("select data from Recipes where course = ( select id from Courses ) order by seq")
    blob = b"".join(bytes(chunk) for chunk, in chunks)
    document = zlib.decompress(blob[4:])
    assert len(document) == int.from_bytes(blob[:4], "little"), "the stored length is the document's"
    return document


class MenuItemTest(unittest.TestCase):
    def test_a_menu_item_with_two_typed_lines_and_a_recipe_is_stored(self):
        with Desktop(prepare=add_rice_and_salami) as desktop:
            main = desktop.window("Kestavo")
            edited_recipe = os.path.join(desktop.root, "edited-recipe.txt")
            register_text_editor(desktop, edited_recipe)
            desktop.menu("Edit", "Edit menu items...")
            items = desktop.window(MENU_ITEMS)
            desktop.press(items, "Add")

            editor = desktop.window(MENU_ITEM)
            name = desktop.control(editor, "text", "Name:")
            wait_for("the new menu item's name", lambda: text_of(name) == "new_menu_item")
            desktop.fill(name, "Trail chili")
            feeds = desktop.combo_box(editor, "Feeds:")
            desktop.fill(desktop.control(feeds, "text", None), "2.5")

            line = add_line(desktop, editor, "ri", "Rice")
            self.assertEqual(text_of(desktop.control(line, "text", "Meal course:")), "Trail chili")
            desktop.fill(desktop.control(line, "text", "Amount:"), "0.25")
            desktop.choose(desktop.combo_box(line), "kg (weight: kilograms)")
            desktop.keep_screenshot("ingredient line editor")
            desktop.press(line, "OK")
            desktop.no_window(LINE)

            line = add_line(desktop, editor, "sal", "Salami")
            desktop.fill(desktop.control(line, "text", "Amount:"), "3")
            portions = desktop.control(line, "radio button", "Measured units (of above amount):")
            desktop.click(portions)
            wait_for("the amount counted in slices", lambda: checked(portions))
            desktop.keep_screenshot("ingredient line editor, portions")
            desktop.press(line, "OK")
            desktop.no_window(LINE)

            grid = desktop.control(editor, "table", "Ingredients:")
            wait_for("both lines in the menu item", lambda: [row[:2] for row in table_cells(grid)] == [
                ["Rice", "0.25 kg"], ["Salami", "3 slices (20 g each)"]])

            desktop.press(editor, "Reset recipe...")
            chooser = desktop.window(RESET_RECIPE)
            text_format = desktop.control(chooser, "radio button", "Reset recipe as a text file")
            self.assertTrue(checked(text_format))
            desktop.keep_screenshot("recipe format question")
            desktop.press(chooser, "OK")
            desktop.no_window(RESET_RECIPE)

            # An editor that ends at once without a change has handed the file on: asked first.
            desktop.press(editor, "Edit recipe...")
            desktop.message_box(RECIPE_QUESTION, "already open")
            desktop.keep_screenshot("recipe editor question")
            desktop.answer(RECIPE_QUESTION, "Cancel")
            desktop.no_window(RECIPE_QUESTION)
            desktop.control(editor, "label", "text file: no recipe set")
            self.assertEqual(desktop.rows("select count(*) from Recipes"), [(0,)])

            with open(edited_recipe, "wb") as f:
                f.write(RECIPE)
            desktop.press(editor, "Edit recipe...")
            desktop.control(editor, "label", "text file: recipe specified")
            desktop.keep_screenshot("menu item editor")
            desktop.press(editor, "Close")
            desktop.no_window(MENU_ITEM)

            courses = desktop.control(items, "table", MENU_ITEMS_LIST)
            wait_for("the menu item in the list", lambda: [row[0] for row in table_cells(courses)] == ["Trail chili"])
            desktop.keep_screenshot("menu items list")
            desktop.press(items, "Close")
            desktop.no_window(MENU_ITEMS)

            self.assertEqual(desktop.rows("select name, feeds, recipe_format, modified is not null from Courses"),
                             [("Trail chili", 2.5, 1, 1)])
            self.assertEqual(desktop.rows(
                "select Courses.name, Ingredients.name, Measures.name, amount, CourseIngredients.unit_measure"
                " from CourseIngredients join Courses on Courses.id = CourseIngredients.course"
                " join Ingredients on Ingredients.id = CourseIngredients.ingredient"
                " join Measures on Measures.id = CourseIngredients.measure order by Ingredients.name"),
                [("Trail chili", "Rice", "kg", 0.25, 0), ("Trail chili", "Salami", "g", 3.0, 1)])
            self.assertEqual(stored_recipe(desktop), RECIPE)


if __name__ == "__main__":
    unittest.main()
