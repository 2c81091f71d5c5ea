#pragma once
// The tables the meal forms write, and their nouns, by their place in the table-name lists; and
// the printf-style statement and message texts the forms build.

#include <cstdarg>
#include <cstdio>
#include <string>

#include "shell/TableNames.h"

namespace CatalogueTables {

inline const char* Courses() { return TableNames[4]; }
inline const char* Meals() { return TableNames[7]; }
inline const char* MealCourses() { return TableNames[8]; }
inline const char* DayMeals() { return TableNames[14]; }

inline const char* MealNoun() { return TableNouns[7]; }
inline const char* MealCourseNoun() { return TableNouns[8]; }
inline const char* DayMealNoun() { return TableNouns[14]; }

// Fills a printf format; the texts are short, names included.
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

}  // namespace CatalogueTables
