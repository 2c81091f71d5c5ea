// The view TripMeals over a small trip: one row per stop, with the day, the stop's food and
// its guests as the trip stops list shows them.

#include "tests/resources/TemplateCopy.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;

class TripMealsView : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.Exec(
            "insert into People( id, name ) values( 1, 'Zoe' ), ( 2, 'Adam' ), ( 3, 'Mia' );"
            "insert into Meals( id, name ) values( 1, 'Pancakes' ), ( 2, 'Stew' );"
            "insert into Courses( id, name ) values( 1, 'Coffee' ), ( 2, 'Apple' );"
            "insert into Trips( id, name, trip_date ) values( 1, 'Lakes', '2024-06-05' ),"
            "                                               ( 2, 'Other', '2024-7-01' );"
            "insert into TripDays( id, trip, day_num ) values( 10, 1, 1 ), ( 11, 1, 2 ),"
            "                                                ( 20, 2, 1 );"
            // Day 1: dinner (seq 7) entered before breakfast (seq 1); day 2: lunch, empty.
            "insert into DayFoodStops( id, trip_day, food_stop ) values( 100, 10, 7 ),"
            "    ( 101, 10, 1 ), ( 102, 11, 4 ), ( 200, 20, 1 );"
            // Breakfast: a meal, a menu item, the same meal again; dinner: a meal only.
            "insert into DayMeals( day_stop, meal ) values( 101, 1 ), ( 100, 2 ), ( 101, 1 );"
            "insert into DayCourses( day_stop, course ) values( 101, 1 );"
            "insert into MealPeople( person, day_stop ) values( 1, 101 ), ( 2, 101 ),"
            "    ( 3, 100 ), ( 1, 200 );"));
    }

    TemplateCopy db;
};

TEST_F(TripMealsView, GivesOneRowPerStopOfTheTripWithItsFoodAndGuests)
{
    EXPECT_EQ(db.Rows("select DayFoodStopID, TripDayID, Day, FoodStop, Food, Travelers, "
                      "day_num, seq from TripMeals where TripID = 1 "
                      "order by day_num, seq, Travelers"),
              (Rows{{"101", "10", "Day 1", "Breakfast", "Pancakes, Pancakes, Coffee", "Adam, Zoe",
                     "1", "1"},
                    {"100", "10", "Day 1", "Dinner", "Stew", "Mia", "1", "7"},
                    {"102", "11", "Day 2", "Lunch", "", "", "2", "4"}}));
}

TEST_F(TripMealsView, FiltersByDayAsTheStopsListAsks)
{
    EXPECT_EQ(db.Rows("select  * from TripMeals where TripID = 1  and TripDayID = 11  "
                      "order by day_num, seq, Travelers "),
              (Rows{{"1", "11", "102", "Day 2", "Lunch", "", "", "2", "4"}}));
}

TEST_F(TripMealsView, FollowsChangesOfTheStopAtOnce)
{
    ASSERT_TRUE(db.Exec("delete from MealPeople where day_stop = 100;"
                        "delete from DayMeals where day_stop = 100;"
                        "update DayFoodStops set food_stop = 8 where id = 100"));
    EXPECT_EQ(db.Rows("select FoodStop, Food, Travelers from TripMeals where DayFoodStopID = 100"),
              (Rows{{"Evening snack", "", ""}}));
}

}  // namespace
