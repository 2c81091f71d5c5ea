"""The main road of the program, typed and clicked as a user would: a trip made with the wizard,
then planned further from the trip editor (a day more, a stop with a meal and a menu item, a
guest less), every row checked once the forms are closed, and File > Exit."""
import contextlib
import os
import sqlite3
import unittest

from kvo_desktop import Desktop, list_items, table_cell, table_cells, text_of, wait_for

# The program's clock starts here: the wizard's start date is today.
FAKE_NOW = "2024-07-04 09:00:00"
NEW_PERSON = "Add new person (they are added as a traveler as well on this trip):"


def add_catalogue(program_dir):
    """A small food catalogue and two people, written before the start (the catalogue forms have
    tests of their own)."""
    with contextlib.closing(sqlite3.connect(os.path.join(program_dir, "Kestavo.db"))) as db:
        db.executescript("""
            insert into Ingredients( id, name, def_measure ) values
                ( 1, 'Rolled oats', 10 ), ( 2, 'Milk powder', 10 ), ( 3, 'Rice', 10 ), ( 4, 'Cocoa', 4 );
            insert into Courses( id, name, feeds ) values
                ( 1, 'Porridge', 2 ), ( 2, 'Hot chocolate', 1 ), ( 3, 'Rice pot', 6 );
            insert into CourseIngredients( course, ingredient, measure, amount ) values
                ( 1, 1, 10, 100 ), ( 1, 2, 10, 30 ), ( 2, 2, 10, 20 ), ( 2, 4, 4, 1 ), ( 3, 3, 11, 0.5 );
            insert into Meals( id, name ) values ( 1, 'Camp breakfast' );
            insert into MealCourses( meal, course ) values ( 1, 1 ), ( 1, 2 );
            insert into People( id, name, appetite ) values ( 1, 'Carla', 1.5 ), ( 2, 'Dev', 1.0 );
        """)
        db.commit()


def plan_trip_with_the_wizard(desktop, main, name, location, days, new_people=(), known_people=(),
                              stops=()):
    """The three wizard pages, typed and clicked; answers when the trip is in the main list."""
    desktop.press(main, "Add...")
    details = desktop.window("Trip Wizard: details (step 1 of 3)")
    desktop.fill(desktop.control(details, "text", "Name:"), name)
    desktop.fill(desktop.control(details, "text", "Location:"), location)
    desktop.fill(desktop.control(details, "text", "# of days:"), str(days))
    desktop.press(details, "OK")

    travellers = desktop.window("Trip Wizard: travelers (step 2 of 3)")
    chosen = desktop.control(travellers, "list", "Travelers:")
    for person in new_people:
        desktop.fill(desktop.control(travellers, "text", NEW_PERSON), person)
        desktop.press(travellers, "Add person")
        wait_for(f"{person} among the travellers", lambda p=person: p in list_items(chosen))
    people = desktop.control(travellers, "list", "People:")
    for person in known_people:
        desktop.click(desktop.control(people, "list item", person))
        desktop.press(travellers, "Add <<")
        wait_for(f"{person} among the travellers", lambda p=person: p in list_items(chosen))
    desktop.press(travellers, "OK")

    page = desktop.window("Trip Wizard: meal stops (step 3 of 3)")
    available = desktop.control(page, "list", "Available food stops:")
    planned = desktop.control(page, "list", "Planned trip stops:")
    offered = wait_for("the food stops", lambda: list_items(available))
    for stop in stops:
        entry = next(item for item in offered if item.endswith(") " + stop))
        desktop.click(desktop.control(available, "list item", entry))
        desktop.press(page, "Add <<")
        wait_for(f"{stop} planned", lambda e=entry: e in list_items(planned))
    desktop.press(page, "OK")

    done = desktop.window("Trip Wizard completed!")
    desktop.press(done, "Close")
    desktop.no_window("Trip Wizard completed!")
    trips = desktop.control(main, "table", "Trips:")
    wait_for(f"{name} in the trips list", lambda: name in [row[0] for row in table_cells(trips)])
    return trips


def select_row(desktop, table, first_cell):
    """Clicks the row of a grid whose first cell shows this text; answers its cells."""
    rows = wait_for(f"{first_cell!r} in {table.name!r}", lambda: table_cells(table))
    row = next(i for i, cells in enumerate(rows) if cells[0] == first_cell)
    desktop.click(table_cell(table, row, 0))
    return rows[row]


def choose_food(desktop, editor, *entries):
    """Adds entries of the available meals and menu items to the stop's chosen ones."""
    available = desktop.control(editor, "list", "Available meals/menu items:")
    chosen = desktop.control(editor, "list", "Selected meals/menu items::")
    for entry in entries:
        desktop.click(desktop.control(available, "list item", entry))
        desktop.press(editor, "Add <<")
        wait_for(f"{entry} chosen", lambda e=entry: e in list_items(chosen))
    return chosen


class TripMainRoadTest(unittest.TestCase):
    def test_a_trip_planned_from_the_wizard_to_its_stops_and_guests_is_stored(self):
        with Desktop(prepare=add_catalogue, fake_time=FAKE_NOW) as desktop:
            main = desktop.window("Kestavo")
            trips = plan_trip_with_the_wizard(desktop, main, "Kettle Lakes", "Lake O'Hara", 3,
                                              new_people=("Anna", "Ben"), stops=("Breakfast", "Dinner"))

            # The trip editor: a new location, kept when it leads on to the days.
            select_row(desktop, trips, "Kettle Lakes")
            desktop.press(main, "Edit...")
            editor = desktop.window("Edit Trip")
            self.assertEqual(text_of(desktop.control(editor, "text", "Name:")), "Kettle Lakes")
            wait_for("the long date", lambda: text_of(desktop.control(editor, "text", "Date")) == "July 04, 2024")
            desktop.fill(desktop.control(editor, "text", "Location:"), "Lake O'Hara, Yoho")
            desktop.keep_screenshot("trip editor")

            # Its days: one more at the end.
            desktop.press(editor, "Edit trip days...")
            days = desktop.window("Trip Days")
            grid = desktop.control(days, "table", "Planned days for this trip:")
            desktop.press(days, "Add...")
            new_day = desktop.window("New Trip Day")
            desktop.click(desktop.control(new_day, "radio button", "Add new day to the end of the trip"))
            desktop.keep_screenshot("new trip day")
            desktop.press(new_day, "OK")
            desktop.no_window("New Trip Day")
            expected_days = [["Day 1", "Jul 04, 2024", "2", ""], ["Day 2", "Jul 05, 2024", "2", ""],
                             ["Day 3", "Jul 06, 2024", "2", ""], ["Day 4", "Jul 07, 2024", "0", ""]]
            wait_for("the fourth day", lambda: [row[:4] for row in table_cells(grid)] == expected_days)
            desktop.keep_screenshot("trip days")

            # The stops of day 1: a lunch added, which opens at once in the stop editor.
            select_row(desktop, grid, "Day 1")
            desktop.press(days, "Meals...")
            stops = desktop.window("Trip Stops for day 1")
            stop_grid = desktop.control(stops, "table", "Planned meals for this trip:")
            wait_for("the wizard's stops of day 1", lambda: [row[:4] for row in table_cells(stop_grid)] ==
                     [["Day 1", "Breakfast", "", "Anna, Ben"], ["Day 1", "Dinner", "", "Anna, Ben"]])
            desktop.keep_screenshot("trip stops list")
            desktop.press(stops, "Add...")
            new_stop = desktop.window("New Trip Stop (trip meal)")
            desktop.choose(desktop.labelled(new_stop, "combo box", "Food stop:"), "Lunch")
            desktop.keep_screenshot("new trip stop")
            desktop.press(new_stop, "OK")
            lunch = desktop.window("Edit Trip Stop (trip meal)")
            desktop.press(lunch, "Close")
            desktop.no_window("Edit Trip Stop (trip meal)")
            wait_for("the lunch in the list", lambda: [row[1] for row in table_cells(stop_grid)] ==
                     ["Breakfast", "Lunch", "Dinner"])

            # The breakfast: a meal and a menu item, and Ben no longer eats there.
            rows = table_cells(stop_grid)
            desktop.click(table_cell(stop_grid, [row[1] for row in rows].index("Breakfast"), 1))
            desktop.press(stops, "Edit...")
            stop_editor = desktop.window("Edit Trip Stop (trip meal)")
            choose_food(desktop, stop_editor, "Camp breakfast (meal)", "Hot chocolate (menu item)")
            guests_text = desktop.control(stop_editor, "text", "Meal guests")
            wait_for("both guests", lambda: text_of(guests_text) == "Anna,Ben")
            desktop.keep_screenshot("stop editor")

            desktop.press(stop_editor, "Meal guests...")
            guests = desktop.window("Edit Meal Guests")
            at_the_meal = desktop.control(guests, "list", "Meal guests:")
            others = desktop.control(guests, "list", "Trip travelers:")
            wait_for("both travellers as guests", lambda: sorted(list_items(at_the_meal)) == ["Anna", "Ben"])
            desktop.click(desktop.control(at_the_meal, "list item", "Ben"))
            desktop.press(guests, ">> Remove")
            wait_for("Ben among the other travellers",
                     lambda: list_items(others) == ["Ben"] and list_items(at_the_meal) == ["Anna"])
            desktop.keep_screenshot("meal guests")
            desktop.press(guests, "OK")
            desktop.no_window("Edit Meal Guests")
            wait_for("Anna alone at the breakfast", lambda: text_of(guests_text) == "Anna")

            desktop.press(stop_editor, "Close")
            desktop.no_window("Edit Trip Stop (trip meal)")
            wait_for("the breakfast's food and guest in the list", lambda: [row[:4] for row in table_cells(stop_grid)] == [
                ["Day 1", "Breakfast", "Camp breakfast, Hot chocolate", "Anna"],
                ["Day 1", "Lunch", "", "Anna, Ben"],
                ["Day 1", "Dinner", "", "Anna, Ben"]])
            desktop.press(stops, "Close")
            desktop.no_window("Trip Stops for day 1")
            wait_for("three stops on day 1", lambda: table_cells(grid)[0][:3] == ["Day 1", "Jul 04, 2024", "3"])
            desktop.press(days, "Close")
            desktop.no_window("Trip Days")
            desktop.press(editor, "Close")
            desktop.no_window("Edit Trip")
            wait_for("the new location in the trips list", lambda: [row[:3] for row in table_cells(trips)] ==
                     [["Kettle Lakes", "Lake O'Hara, Yoho", "Jul. 04, 2024"]])

            self.check_rows(desktop)
            desktop.menu("File", "Exit")
            self.assertEqual(desktop.wait_for_exit(), 0)

    def check_rows(self, desktop):
        rows = desktop.rows
        self.assertEqual(rows("select id, name, location, trip_date from Trips"),
                         [(1, "Kettle Lakes", "Lake O'Hara, Yoho", "2024-07-04")])
        self.assertEqual(rows("select day_num, trip, notes from TripDays order by day_num"),
                         [(1, 1, None), (2, 1, None), (3, 1, None), (4, 1, None)])
        self.assertEqual(rows("select People.name, People.appetite from TripPeople"
                              " join People on People.id = TripPeople.person where TripPeople.trip = 1"
                              " order by People.name"), [("Anna", 1.0), ("Ben", 1.0)])
        stops = ("select TripDays.day_num, FoodStops.name from DayFoodStops"
                 " join TripDays on TripDays.id = DayFoodStops.trip_day"
                 " join FoodStops on FoodStops.id = DayFoodStops.food_stop")
        self.assertEqual(rows(stops + " order by TripDays.day_num, FoodStops.seq"), [
            (1, "Breakfast"), (1, "Lunch"), (1, "Dinner"), (2, "Breakfast"), (2, "Dinner"),
            (3, "Breakfast"), (3, "Dinner")])
        self.assertEqual(rows("select DayFoodStops.notes from DayFoodStops where notes is not null"), [])
        breakfast = ("(select DayFoodStops.id from DayFoodStops join TripDays on TripDays.id = DayFoodStops.trip_day"
                     " where TripDays.day_num = 1 and DayFoodStops.food_stop = 1)")
        self.assertEqual(rows("select Meals.name from DayMeals join Meals on Meals.id = DayMeals.meal"
                              f" where DayMeals.day_stop = {breakfast}"), [("Camp breakfast",)])
        self.assertEqual(rows("select count(*) from DayMeals"), [(1,)])
        self.assertEqual(rows("select Courses.name from DayCourses join Courses on Courses.id = DayCourses.course"
                              f" where DayCourses.day_stop = {breakfast}"), [("Hot chocolate",)])
        self.assertEqual(rows("select count(*) from DayCourses"), [(1,)])
        # Every traveller eats at every stop, but Ben not at the first breakfast.
        self.assertEqual(rows("select TripDays.day_num, FoodStops.name, group_concat(People.name, ', ')"
                              " from (select * from MealPeople order by person) MealPeople"
                              " join People on People.id = MealPeople.person"
                              " join DayFoodStops on DayFoodStops.id = MealPeople.day_stop"
                              " join TripDays on TripDays.id = DayFoodStops.trip_day"
                              " join FoodStops on FoodStops.id = DayFoodStops.food_stop"
                              " group by DayFoodStops.id order by TripDays.day_num, FoodStops.seq"), [
            (1, "Breakfast", "Anna"), (1, "Lunch", "Anna, Ben"), (1, "Dinner", "Anna, Ben"),
            (2, "Breakfast", "Anna, Ben"), (2, "Dinner", "Anna, Ben"),
            (3, "Breakfast", "Anna, Ben"), (3, "Dinner", "Anna, Ben")])
        self.assertEqual(rows("select count(*) from MealPeople"), [(13,)])
        # The trip was planned today: the editors stamped it.
        self.assertEqual(rows("select date(modified) from Trips"), [("2024-07-04",)])
        # The catalogue is as it was.
        self.assertEqual(rows("select count(*) from Meals"), [(1,)])
        self.assertEqual(rows("select count(*) from Courses"), [(3,)])


if __name__ == "__main__":
    unittest.main()
