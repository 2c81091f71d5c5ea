"""Table data files through the desktop: File > Export database..., File > Clear database... and
File > Import database... bring every row back; an import whose menu item clashes with a newer
one is answered through the real question window."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, wait_for

CATALOGUE = "select name from Ingredients union all select name from Courses union all select name from Meals"
LINES = ("select c.name, i.name, amount from CourseIngredients l join Courses c on c.id = l.course "
         "join Ingredients i on i.id = l.ingredient order by 1, 2")
TRIPS = ("select t.name, p.name from TripPeople x join Trips t on t.id = x.trip join People p on p.id = x.person "
         "order by 1, 2")
QUESTION = "Item with same name already exists"
KEEP_BOTH = "Keep both items, giviing the new one a unique name (numeric suffix added)"


def add_catalogue_and_trip(program_dir):
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.executescript("""
            insert into Ingredients( id, name, def_measure, modified ) values
                ( 1, 'Rolled oats', 10, '2024-01-01 00:00:00' ), ( 2, 'Milk powder', 10, '2024-01-01 00:00:00' );
            insert into Courses( id, name, feeds, notes, modified ) values
                ( 1, 'Porridge', 2, 'stir: slowly', '2024-01-01 00:00:00' );
            insert into CourseIngredients( course, ingredient, measure, amount ) values ( 1, 1, 10, 100 ), ( 1, 2, 10, 30 );
            insert into Meals( id, name ) values ( 1, 'Camp breakfast' );
            insert into MealCourses( meal, course ) values ( 1, 1 );
            insert into People( id, name, appetite ) values ( 1, 'Carla', 1.5 );
            insert into Trips( id, name, location, trip_date ) values ( 1, 'Lakes', 'North', '2024-07-04' );
            insert into TripPeople( person, trip ) values ( 1, 1 );
        """)
        db.commit()


def export_to(desktop, path):
    desktop.menu("File", "Export database...")
    form = desktop.window("Export Database Tables")
    desktop.keep_screenshot("export_tables")
    desktop.press(form, "OK")
    desktop.choose_file("Export Database to File", path)
    wait_for("the exported file", lambda: os.path.exists(path) and open(path, "rb").read().endswith(b"kvo_end:\r\n"))


def start_import(desktop, path):
    desktop.menu("File", "Import database...")
    desktop.choose_file("Import database from file", path)
    form = desktop.window("Import Database Tables")
    desktop.keep_screenshot("import_tables")
    desktop.press(form, "OK")


class ExportClearImportTest(unittest.TestCase):
    def test_export_clear_and_import_bring_every_row_back(self):
        with Desktop(prepare=add_catalogue_and_trip) as desktop:
            main = desktop.window("Kestavo")
            before = [desktop.rows(CATALOGUE), desktop.rows(LINES), desktop.rows(TRIPS)]
            data_file = desktop.path("camp.kvo")
            export_to(desktop, data_file)

            desktop.menu("File", "Clear database...")
            desktop.press(desktop.window("Clear Database"), "OK")
            wait_for("the database cleared", lambda: desktop.rows(CATALOGUE) == [] and desktop.rows(TRIPS) == [])

            start_import(desktop, data_file)
            wait_for("the rows back", lambda: [desktop.rows(CATALOGUE), desktop.rows(LINES), desktop.rows(TRIPS)] == before)
            self.assertTrue(os.path.exists(desktop.path("tmp.db")))
            desktop.keep_screenshot("after_import")
            self.assertTrue(desktop.running())


class ImportWithAClashTest(unittest.TestCase):
    def test_a_clash_answered_with_keep_both_adds_the_imported_item_renamed(self):
        with Desktop(prepare=add_catalogue_and_trip) as desktop:
            desktop.window("Kestavo")
            data_file = desktop.path("camp.kvo")
            export_to(desktop, data_file)
            with contextlib.closing(sqlite3.connect(desktop.database)) as db:
                db.execute("update Courses set notes = 'mine', modified = '2025-01-01 00:00:00' where id = 1")
                db.commit()

            start_import(desktop, data_file)
            question = desktop.window(QUESTION)
            desktop.keep_screenshot("clash_question")
            desktop.press(question, KEEP_BOTH, role="radio button")
            desktop.press(question, "Close")
            desktop.no_window(QUESTION)
            wait_for("both menu items", lambda: desktop.rows("select name, notes from Courses order by name") ==
                     [("Porridge", "mine"), ("Porridge_01", "stir: slowly")])
            self.assertEqual(desktop.rows("select count(*) from CourseIngredients"), [(4,)])
            self.assertEqual(desktop.rows("select count(*) from Ingredients"), [(2,)])


if __name__ == "__main__":
    unittest.main()
