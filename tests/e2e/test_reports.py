"""Reports from the main window: the shopping list of a trip with food, saved as a PDF whose text
holds the amounts to buy, and a detailed trip plan in the preview."""
import os
import subprocess
import tempfile
import unittest

from kvo_desktop import Desktop, list_items, text_of, wait_for
from test_trip_main_road import FAKE_NOW, add_catalogue, choose_food, plan_trip_with_the_wizard, select_row

CHOOSER = "Select report type"


def plan_a_breakfast(desktop, main):
    """Granite Pass, two days, Carla (appetite 1.5) and Dev (1.0) at every breakfast; the first
    breakfast serves Camp breakfast (Porridge and Hot chocolate) and a Rice pot."""
    trips = plan_trip_with_the_wizard(desktop, main, "Granite Pass", "Sierra", 2,
                                      known_people=("Carla", "Dev"), stops=("Breakfast",))
    select_row(desktop, trips, "Granite Pass")
    desktop.press(main, "Edit...")
    editor = desktop.window("Edit Trip")
    desktop.press(editor, "Edit trip stops (trip meals)...")
    stops = desktop.window("Trip Stops")
    grid = desktop.control(stops, "table", "Planned meals for this trip:")
    select_row(desktop, grid, "Day 1")
    desktop.press(stops, "Edit...")
    stop_editor = desktop.window("Edit Trip Stop (trip meal)")
    choose_food(desktop, stop_editor, "Camp breakfast (meal)", "Rice pot (menu item)")
    desktop.press(stop_editor, "Close")
    wait_for("the breakfast's food in the list",
             lambda: grid.queryTable().getAccessibleAt(0, 2).name == "Camp breakfast, Rice pot")
    desktop.press(stops, "Close")
    desktop.no_window("Trip Stops")
    desktop.press(editor, "Close")
    desktop.no_window("Edit Trip")
    select_row(desktop, trips, "Granite Pass")


def open_report(desktop, main, report):
    """Report... from the main window, the report chosen in the list, OK; answers the preview."""
    desktop.press(main, "Report...")
    chooser = desktop.window(CHOOSER)
    reports = desktop.control(chooser, "list", "Select the type of report to use for this trip:")
    wait_for("the trip's name in the chooser",
             lambda: text_of(desktop.control(chooser, "text", "Trip:")) == "Granite Pass")
    desktop.click(desktop.control(reports, "list item", report))
    return chooser


def pdf_text(path):
    return subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True,
                          check=True, timeout=60).stdout


def squeezed_lines(text):
    """The text's lines with their runs of blanks made single blanks, empty ones left out."""
    return [" ".join(line.split()) for line in text.splitlines() if line.strip()]


class ShoppingListTest(unittest.TestCase):
    def test_the_shopping_list_saved_as_pdf_holds_the_amounts_to_buy(self):
        with Desktop(prepare=add_catalogue, fake_time=FAKE_NOW) as desktop, \
                tempfile.TemporaryDirectory(prefix="kvo-pdf-") as folder:
            main = desktop.window("Kestavo")
            plan_a_breakfast(desktop, main)

            chooser = open_report(desktop, main, "Trip shopping list report")
            self.assertEqual(sorted(list_items(desktop.control(
                chooser, "list", "Select the type of report to use for this trip:"))), [
                "Ingredients report", "Meals report", "Menu items report", "Trip plan - detailed report",
                "Trip plan - summary report", "Trip plan - very detailed report (menu item notes)",
                "Trip shopping list report"])
            desktop.keep_screenshot("report chooser")
            desktop.press(chooser, "OK")
            desktop.no_window(CHOOSER)

            preview = desktop.window("Trip shopping list")
            wait_for("the page count", lambda: any(
                label.name == "1 page" for label in find_labels(preview)))
            desktop.keep_screenshot("shopping list preview")
            path = os.path.join(folder, "granite.pdf")
            desktop.press(preview, "Save as PDF...")
            desktop.choose_file("Save as PDF", path)
            wait_for("the PDF", lambda: os.path.exists(path) and pdf_text(path).strip())

            lines = squeezed_lines(pdf_text(path))
            # Breakfast of day 1: eaters 1.5 + 1.0 = 2.5.
            #   Porridge (feeds 2): oats 100 g, milk powder 30 g -> 125 g and 37.5 g
            #   Hot chocolate (feeds 1): milk powder 20 g, cocoa 1 tbsp -> 50 g and 2.5 tbsp
            #   Rice pot (feeds 6): rice 0.5 kg = 500 g -> 208.333... g, rounded up to 208.34
            for expected in ("Shopping list for Granite Pass",
                             "Thu 4 Jul 2024 to Fri 5 Jul 2024 (Sierra), 2 days",
                             "Travellers: Carla, Dev",
                             "Ingredient Amount Measure",
                             "Cocoa 2.5 tbsp",
                             "Milk powder 87.5 g",
                             "Rice 208.34 g",
                             "Rolled oats 125 g"):
                self.assertIn(expected, lines, "\n".join(lines))
            ingredients = [line for line in lines
                           if line.split(" ")[0] in ("Cocoa", "Milk", "Rice", "Rolled")]
            self.assertEqual(ingredients, ["Cocoa 2.5 tbsp", "Milk powder 87.5 g", "Rice 208.34 g",
                                           "Rolled oats 125 g"])
            self.assertTrue(any(line.startswith("Shopping list: Granite Pass") for line in lines), lines)
            self.assertIn("Page 1 of 1", lines)
            self.assertFalse(any("Not counted" in line for line in lines), lines)


class TripPlanTest(unittest.TestCase):
    def test_the_detailed_trip_plan_shows_the_stops_food_in_the_preview(self):
        with Desktop(prepare=add_catalogue, fake_time=FAKE_NOW) as desktop:
            main = desktop.window("Kestavo")
            plan_a_breakfast(desktop, main)
            chooser = open_report(desktop, main, "Trip plan - detailed report")
            desktop.press(chooser, "OK")
            desktop.no_window(CHOOSER)
            preview = desktop.window(wait_for("the plan's preview", lambda: next(
                (w.name for w in desktop.windows() if w.name.startswith("Trip plan")), None)))
            wait_for("the page count", lambda: any(label.name.endswith(("page", "pages"))
                                                   for label in find_labels(preview)))
            desktop.keep_screenshot("detailed trip plan preview")
            desktop.press(preview, "Close")
            desktop.no_window(preview.name)
            self.assertTrue(desktop.running())

    def test_escape_closes_the_preview(self):
        with Desktop(prepare=add_catalogue, fake_time=FAKE_NOW) as desktop:
            main = desktop.window("Kestavo")
            plan_a_breakfast(desktop, main)
            chooser = open_report(desktop, main, "Trip shopping list report")
            desktop.press(chooser, "OK")
            desktop.no_window(CHOOSER)
            preview = desktop.window("Trip shopping list")
            wait_for("the page count", lambda: any(label.name == "1 page" for label in find_labels(preview)))
            desktop.activate(preview)
            desktop.keys("Escape")
            desktop.no_window("Trip shopping list")
            self.assertTrue(desktop.running())


def find_labels(window):
    from kvo_desktop import find_all
    return list(find_all(window, "label", showing=True))


if __name__ == "__main__":
    unittest.main()
