#pragma once
// The 18 tables of the database and the nouns that messages use for them. The two lists are
// parallel: TableNouns[i] names a row of TableNames[i].

#include <array>

inline constexpr int NumTables = 18;

extern const std::array<const char* const, NumTables> TableNames;
extern const std::array<const char* const, NumTables> TableNouns;

// A table's place in the two lists, so that code names a table, and its noun, by the lists.
enum class TableId {
    MeasureTypes, Measures, MeasureConversions, Ingredients, Courses, Recipes, CourseIngredients,
    Meals, MealCourses, People, FoodStops, Trips, TripDays, DayFoodStops, DayMeals, DayCourses,
    MealPeople, TripPeople,
};
inline const char* TableName(TableId table) { return TableNames[static_cast<int>(table)]; }
inline const char* TableNoun(TableId table) { return TableNouns[static_cast<int>(table)]; }
