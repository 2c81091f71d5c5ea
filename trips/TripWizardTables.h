#pragma once
// The tables the trip wizard pages write, by their place in the table-name list.

#include <string>

#include "shell/SqlText.h"
#include "shell/TableNames.h"

namespace TripWizardTables {

inline const char* People() { return TableNames[9]; }
inline const char* FoodStops() { return TableNames[10]; }
inline const char* Trips() { return TableNames[11]; }
inline const char* TripDays() { return TableNames[12]; }
inline const char* DayFoodStops() { return TableNames[13]; }
inline const char* MealPeople() { return TableNames[16]; }
inline const char* TripPeople() { return TableNames[17]; }

}  // namespace TripWizardTables
