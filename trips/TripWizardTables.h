#pragma once
// The tables the trip wizard pages write, by their place in the table-name list, and the
// printf-style statement text the pages build.

#include <string>

#include "shell/FormatText.h"
#include "shell/TableNames.h"

namespace TripWizardTables {

inline const char* People() { return TableNames[9]; }
inline const char* FoodStops() { return TableNames[10]; }
inline const char* Trips() { return TableNames[11]; }
inline const char* TripDays() { return TableNames[12]; }
inline const char* DayFoodStops() { return TableNames[13]; }
inline const char* MealPeople() { return TableNames[16]; }
inline const char* TripPeople() { return TableNames[17]; }

// Fills a printf format; the statements' texts are short, names included.
template <class... Args>
std::string Sql(const char* format, Args... args) {
    return FormatText(format, args...);
}

}  // namespace TripWizardTables
