// The child-first delete over the schema registry, on a real database with its foreign keys
// enforced.

#include "shell/CascadeDelete.h"

#include <gtest/gtest.h>

#include <map>

#include "shell/TableSchema.h"
#include "tests/support/MainWindowDatabaseTest.h"

namespace {

const char* const ExchangedTables[] = {
    "Ingredients", "Courses", "Recipes", "CourseIngredients", "Meals", "MealCourses", "People",
    "Trips", "TripDays", "DayFoodStops", "DayMeals", "DayCourses", "MealPeople", "TripPeople",
};

class CascadeDeleteTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override {
        MainWindowDatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        main.BuildTableSchemas();
        AddCatalogue();
        AddTrip(1, "Coast");
        AddTrip(2, "Hills");
    }

    void AddCatalogue() {
        Exec("insert into People( id, name ) values( 1, 'Ann' )");
        Exec("insert into People( id, name ) values( 2, 'Bob' )");
        Exec("insert into People( id, name ) values( 3, 'Cy' )");
        Exec("insert into Ingredients( id, name ) values( 1, 'Oats' )");
        Exec("insert into Courses( id, name ) values( 1, 'Oatmeal' )");
        Exec("insert into Courses( id, name ) values( 2, 'Chili' )");
        Exec("insert into CourseIngredients( id, course, ingredient, measure ) values( 1, 1, 1, 14 )");
        Exec("insert into CourseIngredients( id, course, ingredient, measure ) values( 2, 2, 1, 14 )");
        Exec("insert into Recipes( course, seq, data ) values( 1, 0, ? )", {WDataValue(WDataValue::Bytes(4, 0))});
        Exec("insert into Recipes( course, seq, data ) values( 2, 0, ? )", {WDataValue(WDataValue::Bytes(4, 0))});
        Exec("insert into Meals( id, name ) values( 1, 'Breakfast' )");
        Exec("insert into MealCourses( id, meal, course ) values( 1, 1, 1 )");
    }

    // Two days, three stops a day, each stop with a meal, a menu item and two guests, and two
    // travellers. Ids are the trip's number times a hundred, plus a running number.
    void AddTrip(int trip, const std::string& name) {
        const auto id = [&](int n) { return std::to_string(trip * 100 + n); };
        Exec("insert into Trips( id, name, trip_date ) values( " + id(0) + ", '" + name + "', '2024-06-01' )");
        for (int day = 1; day <= 2; ++day) {
            Exec("insert into TripDays( id, day_num, trip ) values( " + id(day) + ", " + std::to_string(day) + ", " +
                 id(0) + " )");
            for (int stop = 1; stop <= 3; ++stop) {
                const std::string s = id(day * 10 + stop);
                Exec("insert into DayFoodStops( id, trip_day, food_stop ) values( " + s + ", " + id(day) + ", " +
                     std::to_string(stop) + " )");
                Exec("insert into DayMeals( id, day_stop, meal ) values( " + s + ", " + s + ", 1 )");
                Exec("insert into DayCourses( id, day_stop, course ) values( " + s + ", " + s + ", 1 )");
                Exec("insert into MealPeople( person, day_stop ) values( 1, " + s + " )");
                Exec("insert into MealPeople( person, day_stop ) values( 2, " + s + " )");
            }
        }
        Exec("insert into TripPeople( person, trip ) values( 1, " + id(0) + " )");
        Exec("insert into TripPeople( person, trip ) values( 3, " + id(0) + " )");
    }

    std::map<std::string, long> Counts() {
        std::map<std::string, long> counts;
        for (const char* table : ExchangedTables) counts[table] = Count(table);
        return counts;
    }

    TableSchema* Schema(const std::string& table) { return main.FindTableSchema(table); }
    WTransaction* Transaction() { return main.GetTransaction(); }
};

TEST_F(CascadeDeleteTest, DeletingATripRemovesItsDaysStopsMealsMenuItemsGuestsAndTravellers) {
    auto expected = Counts();
    expected["Trips"] -= 1;
    expected["TripDays"] -= 2;
    expected["DayFoodStops"] -= 6;
    expected["DayMeals"] -= 6;
    expected["DayCourses"] -= 6;
    expected["MealPeople"] -= 12;
    expected["TripPeople"] -= 2;
    EXPECT_TRUE(CascadeDelete(Schema("Trips"), 0, 100, Transaction(), true, false));
    EXPECT_EQ(Counts(), expected);
    EXPECT_EQ(Count("Trips", "id = 100"), 0);
    EXPECT_EQ(Count("TripDays", "trip = 200"), 2);
    EXPECT_EQ(Count("TripPeople", "trip = 200"), 2);
}

TEST_F(CascadeDeleteTest, DeletingATripDayRemovesItsStopsAndWhatTheyHold) {
    auto expected = Counts();
    expected["TripDays"] -= 1;
    expected["DayFoodStops"] -= 3;
    expected["DayMeals"] -= 3;
    expected["DayCourses"] -= 3;
    expected["MealPeople"] -= 6;
    EXPECT_TRUE(CascadeDelete(Schema("TripDays"), 0, 102, Transaction(), true, false));
    EXPECT_EQ(Counts(), expected);
    EXPECT_EQ(Count("DayFoodStops", "trip_day = 102"), 0);
    EXPECT_EQ(Count("DayFoodStops", "trip_day = 101"), 3);
}

TEST_F(CascadeDeleteTest, DeletingAStopThatNoRowHasDeletesNothing) {
    const auto before = Counts();
    EXPECT_TRUE(CascadeDelete(Schema("DayFoodStops"), 0, 999, Transaction(), true, false));
    EXPECT_EQ(Counts(), before);
}

TEST_F(CascadeDeleteTest, OwnedOnlyTakesTheOwnedChildrenAndKeepsTheRow) {
    auto expected = Counts();
    expected["CourseIngredients"] -= 1;
    expected["Recipes"] -= 1;
    EXPECT_TRUE(CascadeDelete(Schema("Courses"), 0, 1, Transaction(), false, true));
    EXPECT_EQ(Counts(), expected);
    EXPECT_EQ(Count("CourseIngredients", "course = 1"), 0);
    EXPECT_EQ(Count("Recipes", "course = 2"), 1);
    EXPECT_EQ(Count("Courses", "id = 1"), 1);
}

TEST_F(CascadeDeleteTest, ByAnotherColumnDeletesWhatRefersToEachMatchingRow) {
    auto expected = Counts();
    expected["DayFoodStops"] -= 3;
    expected["DayMeals"] -= 3;
    expected["DayCourses"] -= 3;
    expected["MealPeople"] -= 6;
    EXPECT_TRUE(CascadeDelete(Schema("DayFoodStops"), 1, 201, Transaction(), true, false));
    EXPECT_EQ(Counts(), expected);
    EXPECT_EQ(Count("DayFoodStops", "trip_day = 201"), 0);
}

TEST_F(CascadeDeleteTest, RefusesATableWhoseColumnsAreUnknownBeforeDeletingAnything) {
    Schema("DayFoodStops")->columnNames.clear();   // as when the table could not be read at start-up
    const auto before = Counts();
    EXPECT_FALSE(CascadeDelete(Schema("Trips"), 0, 100, Transaction(), true, false));
    EXPECT_EQ(Counts(), before);
}

TEST_F(CascadeDeleteTest, RefusesAColumnOutsideTheTableOrNoSchema) {
    const auto before = Counts();
    EXPECT_FALSE(CascadeDelete(Schema("Trips"), 6, 100, Transaction(), true, false));
    EXPECT_FALSE(CascadeDelete(Schema("Trips"), -1, 100, Transaction(), true, false));
    EXPECT_FALSE(CascadeDelete(nullptr, 0, 100, Transaction(), true, false));
    EXPECT_FALSE(CascadeDelete(Schema("Trips"), 0, 100, nullptr, true, false));
    EXPECT_EQ(Counts(), before);
}

TEST_F(CascadeDeleteTest, RefusesALoopOfReferences) {
    Schema("Trips")->SetForeignKey(Schema("TripDays"), 3, true);
    const auto before = Counts();
    EXPECT_FALSE(CascadeDelete(Schema("Trips"), 0, 100, Transaction(), true, false));
    EXPECT_EQ(Counts(), before);
}

class FailingCascadeDeleteTest : public CascadeDeleteTest {
protected:
    FailingCascadeDeleteTest() {
        prepareScript = "create trigger KeepTrips before delete on Trips begin select raise(abort, 'kept'); end;";
    }
};

TEST_F(FailingCascadeDeleteTest, AFailedStatementLeavesEveryRow) {
    const auto before = Counts();
    EXPECT_FALSE(CascadeDelete(Schema("Trips"), 0, 100, Transaction(), true, false));
    EXPECT_EQ(Counts(), before);
    // The connection is out of the failed unit: the next delete works and stays.
    EXPECT_TRUE(CascadeDelete(Schema("TripDays"), 0, 101, Transaction(), true, false));
    EXPECT_EQ(Count("TripDays", "id = 101"), 0);
}

}  // namespace
