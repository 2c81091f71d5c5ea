"""The trip wizard, typed into as a user would, writes the trip, its days, travellers, stops and
meal guests; File > Exit then ends the program cleanly."""
import unittest

from kvo_desktop import Desktop, list_items, table_cells, wait_for

DETAILS = "Trip Wizard: details (step 1 of 3)"
TRAVELLERS = "Trip Wizard: travelers (step 2 of 3)"
STOPS = "Trip Wizard: meal stops (step 3 of 3)"
DONE = "Trip Wizard completed!"
NEW_PERSON = "Add new person (they are added as a traveler as well on this trip):"


class TripWizardTest(unittest.TestCase):
    def test_typed_trip_with_travellers_and_stops_is_stored(self):
        with Desktop() as desktop:
            main = desktop.window("Kestavo")
            desktop.press(main, "Add...")

            details = desktop.window(DETAILS)
            desktop.fill(desktop.control(details, "text", "Name:"), "Kettle Lakes")
            desktop.fill(desktop.control(details, "text", "Location:"), "Lake O'Hara")
            desktop.fill(desktop.control(details, "text", "# of days:"), "4")
            desktop.press(details, "OK")

            travellers = desktop.window(TRAVELLERS)
            chosen = desktop.control(travellers, "list", "Travelers:")
            for person in ("Anna", "Ben"):
                desktop.fill(desktop.control(travellers, "text", NEW_PERSON), person)
                desktop.press(travellers, "Add person")
                wait_for(f"{person} among the travellers", lambda p=person: p in list_items(chosen))
            desktop.press(travellers, "OK")

            stops = desktop.window(STOPS)
            available = desktop.control(stops, "list", "Available food stops:")
            planned = desktop.control(stops, "list", "Planned trip stops:")
            offered = wait_for("the food stops", lambda: list_items(available))
            for stop in offered[:2]:
                desktop.click(desktop.control(available, "list item", stop))
                desktop.press(stops, "Add <<")
                wait_for(f"{stop} planned", lambda s=stop: s in list_items(planned))
            desktop.press(stops, "OK")

            done = desktop.window(DONE)
            desktop.press(done, "Close")
            desktop.no_window(DONE)

            trips = desktop.control(main, "table", "Trips:")
            wait_for("the new trip in the list",
                     lambda: [row[:2] for row in table_cells(trips)] == [["Kettle Lakes", "Lake O'Hara"]])

            # Every page wrote its rows before the next one opened.
            self.assertEqual(desktop.rows("select name, location from Trips"), [("Kettle Lakes", "Lake O'Hara")])
            self.assertEqual(desktop.rows("select day_num from TripDays order by day_num"),
                             [(1,), (2,), (3,), (4,)])
            self.assertEqual(desktop.rows(
                "select People.name from TripPeople join People on People.id = TripPeople.person"
                " order by People.name"), [("Anna",), ("Ben",)])
            self.assertEqual(desktop.rows(
                "select FoodStops.name, count(*) from DayFoodStops"
                " join FoodStops on FoodStops.id = DayFoodStops.food_stop"
                " group by FoodStops.id order by FoodStops.seq"),
                [(stop.split(") ", 1)[1], 4) for stop in offered[:2]])
            self.assertEqual(desktop.rows(
                "select People.name, count(*) from MealPeople join People on People.id = MealPeople.person"
                " group by People.name order by People.name"), [("Anna", 8), ("Ben", 8)])

            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)


if __name__ == "__main__":
    unittest.main()
