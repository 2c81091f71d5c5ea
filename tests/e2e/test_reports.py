"""Reports from the main window: the shopping list of a trip with food, saved as a PDF whose text
holds the amounts to buy, and a detailed trip plan in the preview, whose whole page fills the
window when it opens and again when the window is resized."""
import contextlib
import os
import sqlite3
import subprocess
import tempfile
import unittest

from kvo_desktop import Desktop, find_all, list_items, text_of, wait_for
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


def three_hundred_ingredients(program_dir):
    """Ingredients enough for an ingredients report of several pages."""
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.executemany("insert into Ingredients( id, name, def_measure ) values( ?, ?, 10 )",
                       [(n, f"Ingredient {n:03d}") for n in range(1, 301)])
        db.commit()


class PrintTest(unittest.TestCase):
    def test_the_print_dialog_takes_the_pages_of_a_smaller_paper_past_the_previews_last_and_reverse(self):
        with Desktop(prepare=three_hundred_ingredients) as desktop, \
                tempfile.TemporaryDirectory(prefix="kvo-print-") as folder:
            main = desktop.window("Kestavo")
            desktop.press(main, "Report...")
            chooser = desktop.window(CHOOSER)
            reports = desktop.control(chooser, "list", "Select the type of report to use for this trip:")
            desktop.click(desktop.control(reports, "list item", "Ingredients report"))
            desktop.press(chooser, "OK")
            desktop.no_window(CHOOSER)
            preview = desktop.window("Ingredients")
            count = wait_for("the page count", lambda: next(
                (label.name for label in find_labels(preview) if label.name.endswith(" pages")), None))
            on_screen = int(count.split()[0])

            desktop.press(preview, "Print...")
            dialog = desktop.window("Print Ingredients")
            path = os.path.join(folder, "a5.pdf")
            desktop.fill(desktop.control(dialog, "text", "Output file:"), path)
            desktop.press(dialog, "Properties")
            properties = desktop.window("Printer Properties")
            desktop.choose(desktop.combo_box(properties, "Page size:"), "A5")
            desktop.click(desktop.control(properties, "radio button", "Landscape"))
            desktop.press(properties, "OK")
            desktop.no_window("Printer Properties")

            # From the first page past the preview's last to one far beyond: the boxes take them.
            desktop.press(dialog, "Options >>")
            desktop.click(desktop.control(dialog, "radio button", "Pages from"))
            first, last = list(find_all(dialog, "spin button", "Print range", showing=True))
            desktop.fill(last, "99")
            desktop.fill(first, str(on_screen + 1))
            desktop.click(desktop.control(dialog, "check box", "Reverse"))
            desktop.keep_screenshot("print dialog")
            desktop.press(dialog, "Print")
            desktop.no_window("Print Ingredients")
            wait_for("the printed PDF", lambda: os.path.exists(path) and pdf_text(path).strip())

            footers = [page.strip().splitlines()[-1].strip() for page in pdf_text(path).split("\f") if page.strip()]
            total = int(footers[0].split()[-1])
            self.assertGreater(total, on_screen + 1, footers)
            self.assertEqual(footers, [f"Page {n} of {total}" for n in range(total, on_screen, -1)])
            size = subprocess.run(["pdfinfo", path], capture_output=True, text=True, check=True, timeout=60).stdout
            self.assertRegex(size, r"Page size:\s+595(\.\d+)? x 4(19\.\d+|20) pts", "A5, landscape")
            self.assertTrue(desktop.running())


def named(node, name, depth=0):
    """The first node below node with that accessible name, whatever its role."""
    if node is None or depth > 30:
        return None
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None and child.name == name:
            return child
        found = named(child, name, depth + 1)
        if found is not None:
            return found
    return None


def white_rows(picture, box):
    """The first and last row of the screen picture, within the box, that hold a run of white
    pixels across a fifth of the box's width at least: the page drawn there."""
    ppm = subprocess.run(["convert", picture, "-crop", f"{box.width}x{box.height}+{box.x}+{box.y}",
                          "+repage", "-depth", "8", "ppm:-"], capture_output=True, check=True,
                         timeout=60).stdout
    fields, at = [], 0
    while len(fields) < 4:   # P6, width, height, maximum; a single blank follows the last
        while ppm[at:at + 1].isspace():
            at += 1
        if ppm[at:at + 1] == b"#":   # a comment, to the end of its line
            at = ppm.index(b"\n", at)
            continue
        start = at
        while not ppm[at:at + 1].isspace():
            at += 1
        fields.append(ppm[start:at])
    width, height = int(fields[1]), int(fields[2])
    pixels = ppm[at + 1:]
    white = b"\xff\xff\xff" * max(1, width // 5)
    rows = [y for y in range(height) if white in pixels[y * width * 3:(y + 1) * width * 3]]
    return (rows[0], rows[-1]) if rows else None


class PreviewFitTest(unittest.TestCase):
    def assert_whole_page_fills(self, desktop, pages, when):
        """The page's white sheet, found in a real picture of the screen, is as tall as the view
        of the pages less their margins (12 pixels above and below, and the view's frame)."""
        import pyatspi
        box = pages.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        evidence = os.environ.get("KVO_E2E_EVIDENCE") or tempfile.mkdtemp(prefix="kvo-fit-")
        os.makedirs(evidence, exist_ok=True)
        picture = desktop.screenshot(os.path.join(evidence, f"whole page {when}.png"))
        self.assertTrue(picture and picture.endswith(".png"), picture)
        found = white_rows(picture, box)
        self.assertIsNotNone(found, f"no page in the view {when}")
        top, bottom = found
        sheet = bottom - top + 1
        self.assertGreaterEqual(sheet, box.height - 2 * 12 - 8, f"{when}: a page {sheet} px tall in {box.height}")
        self.assertLessEqual(sheet, box.height - 2 * 12 + 1, f"{when}: a page {sheet} px tall in {box.height}")
        self.assertLessEqual(top, 12 + 4, when)

    def test_the_whole_page_fills_the_preview_at_first_show_and_after_a_resize(self):
        with Desktop(prepare=add_catalogue, fake_time=FAKE_NOW) as desktop:
            main = desktop.window("Kestavo")
            plan_a_breakfast(desktop, main)
            chooser = open_report(desktop, main, "Trip plan - detailed report")
            self.assertEqual(desktop.combo_box(chooser, "Preview magnification:").name, "Default (whole page)")
            desktop.press(chooser, "OK")
            desktop.no_window(CHOOSER)
            title = wait_for("the plan's preview", lambda: next(
                (w.name for w in desktop.windows() if w.name.startswith("Trip plan")), None))
            preview = desktop.window(title)
            wait_for("the page count", lambda: any(label.name.endswith(("page", "pages"))
                                                   for label in find_labels(preview)))
            pages = wait_for("the view of the pages", lambda: named(preview, "Report pages"))
            self.assert_whole_page_fills(desktop, pages, "at first show")

            import pyatspi
            before = pages.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            window = subprocess.run(["xdotool", "search", "--name", "^" + title + "$"], env=desktop.env,
                                    capture_output=True, text=True, check=True, timeout=30).stdout.split()[0]
            desktop.xdotool("windowsize", "--sync", window, "700", "560")
            wait_for("the smaller window", lambda: pages.queryComponent().getExtents(
                pyatspi.DESKTOP_COORDS).height < before.height - 100)
            self.assert_whole_page_fills(desktop, pages, "after a resize")


def find_labels(window):
    from kvo_desktop import find_all
    return list(find_all(window, "label", showing=True))


if __name__ == "__main__":
    unittest.main()
