#pragma once
// What the trip-stop form tests share: a small trip on a private copy of the empty template.
//
//   trip "Lakes loop" (ids 1), days 1 and 2 (TripDays 11, 12), travellers Ann, Ben, Cat;
//   stop 101: day 1, Lunch, meal Trail lunch, guests Ann, Ben, Cat;
//   stop 102: day 1, Dinner, meal Camp supper and menu item Tea, guests Ann, Ben;
//   stop 103: day 2, Breakfast, menu item Porridge, guests Ann, Ben, Cat;
//   trip "Other trip" (2), day 1 (TripDays 21), traveller Dan; stop 201: Dinner, meal Camp
//   supper, guest Dan.
// The meal Camp supper and the menu item Tea share id 1. No trip carries a modified stamp.

#include <string>
#include <vector>

#include "platform/forms/WChoiceControls.h"
#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WGrid.h"
#include "platform/forms/WListBox.h"
#include "tests/trips/TripWizardTest.h"

constexpr long kTrip = 1;
constexpr long kOtherTrip = 2;
constexpr long kDay1 = 11;
constexpr long kDay2 = 12;
constexpr long kLunchStop = 101;
constexpr long kDinnerStop = 102;
constexpr long kBreakfastStop = 103;
constexpr long kOtherStop = 201;
constexpr long kCampSupper = 1;   // a meal
constexpr long kTrailLunch = 2;   // a meal
constexpr long kTea = 1;          // a menu item
constexpr long kPorridge = 2;     // a menu item
constexpr long kAnn = 1, kBen = 2, kCat = 3, kDan = 4;

// Reading and working the controls as a user sees them.
std::vector<std::string> Entries(WListBox* list);
std::vector<std::string> Entries(WComboBox* combo);
std::string Current(WListBox* list);
std::string Current(WComboBox* combo);
// The grid's shown rows, cells joined by '|'.
std::vector<std::string> Rows(WGrid* grid);
void Click(WForm& form, const char* button);
void Pick(WForm& form, const char* combo, const std::string& text);
void Choose(WForm& form, const char* list, const std::string& text);
void PressKey(WForm& form, int key);

class TripStopsTest : public TripWizardTest {
protected:
    void SetUp() override;

    bool Stamped(long trip) { return !Value("select modified from Trips where id = " + std::to_string(trip)).IsNull(); }
    // The ids in a column of the rows of one stop, in id order.
    std::vector<long> Ids(const std::string& column, const std::string& table, long stop);
    std::vector<long> Meals(long stop) { return Ids("meal", "DayMeals", stop); }
    std::vector<long> MenuItems(long stop) { return Ids("course", "DayCourses", stop); }
    std::vector<long> Guests(long stop) { return Ids("person", "MealPeople", stop); }
    long DayOf(long stop) { return static_cast<long>(Value("select trip_day from DayFoodStops where id = " + std::to_string(stop)).AsLong()); }
    long FoodStopOf(long stop) { return static_cast<long>(Value("select food_stop from DayFoodStops where id = " + std::to_string(stop)).AsLong()); }
    // Every row of the tables a trip stop and the catalogue own, for "nothing else changed".
    std::string Snapshot();
};
