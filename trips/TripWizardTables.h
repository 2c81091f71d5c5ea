#pragma once
// The tables the trip wizard pages write, by their place in the table-name list, and the
// printf-style statement text the pages build.

#include <cstdarg>
#include <cstdio>
#include <string>

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
inline std::string Sql(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

}  // namespace TripWizardTables
