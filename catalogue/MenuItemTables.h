#pragma once
// The tables and nouns of the menu-item forms, by their place in the table-name lists, and the
// printf-style statements they build.

#include "shell/SqlText.h"
#include "shell/TableNames.h"
#include "shell/WinStart.h"

namespace MenuItemTables {

inline const char* Ingredients() { return TableNames[3]; }
inline const char* Courses() { return TableNames[4]; }
inline const char* Recipes() { return TableNames[5]; }
inline const char* CourseIngredients() { return TableNames[6]; }
inline const char* MealCourses() { return TableNames[8]; }
inline const char* DayCourses() { return TableNames[15]; }

inline const char* IngredientNoun() { return TableNouns[3]; }
inline const char* MenuItemNoun() { return TableNouns[4]; }
inline const char* MealNoun() { return TableNouns[7]; }
inline const char* TripMenuItemNoun() { return TableNouns[15]; }

}  // namespace MenuItemTables
