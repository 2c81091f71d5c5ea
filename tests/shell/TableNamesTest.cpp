#include <gtest/gtest.h>

#include <cstring>

#include "shell/TableNames.h"

TEST(TableNames, NounsStandBesideTheirTables) {
    struct Pair { int index; const char* name; const char* noun; };
    const Pair pairs[] = {
        {0, "MeasureTypes", "measure type"}, {4, "Courses", "menu item"},
        {6, "CourseIngredients", "menu item ingredient"}, {13, "DayFoodStops", "trip stop"},
        {16, "MealPeople", "meal guest"}, {17, "TripPeople", "traveller"},
    };
    for (const Pair& p : pairs) {
        EXPECT_STREQ(TableNames[p.index], p.name);
        EXPECT_STREQ(TableNouns[p.index], p.noun);
    }
}
