#include "shell/TableNames.h"

const std::array<const char* const, NumTables> TableNames = {
    "MeasureTypes", "Measures",     "MeasureConversions", "Ingredients", "Courses",
    "Recipes",      "CourseIngredients", "Meals",         "MealCourses", "People",
    "FoodStops",    "Trips",        "TripDays",           "DayFoodStops", "DayMeals",
    "DayCourses",   "MealPeople",   "TripPeople",
};

const std::array<const char* const, NumTables> TableNouns = {
    "measure type", "measure",   "measure conversion", "ingredient", "menu item",
    "recipe",       "menu item ingredient", "meal",    "meal menu item", "person",
    "food stop",    "trip",      "trip day",           "trip stop",  "trip meal",
    "trip menu item", "meal guest", "traveller",
};
