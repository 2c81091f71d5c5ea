// The layout and reference rows of the empty database template.

#include "tests/resources/TemplateCopy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const auto& part : parts) text += (text.empty() ? "" : ",") + part;
    return text;
}

struct TableColumns {
    const char* table;
    const char* columns;   // in "select *" order
};

void PrintTo(const TableColumns& param, std::ostream* out) { *out << param.table; }

class ColumnOrder : public testing::TestWithParam<TableColumns> {};

// Positional code reads these columns by number, and table data files carry values in this
// order, so the order is part of the file format.
TEST_P(ColumnOrder, SelectStarGivesTheColumnsInTheirFixedOrder)
{
    TemplateCopy db;
    sqlite3_stmt* statement = nullptr;
    std::string sql = std::string("select * from ") + GetParam().table;
    ASSERT_EQ(sqlite3_prepare_v2(db.Db(), sql.c_str(), -1, &statement, nullptr), SQLITE_OK);
    std::vector<std::string> names;
    for (int c = 0; c < sqlite3_column_count(statement); ++c)
        names.push_back(sqlite3_column_name(statement, c));
    sqlite3_finalize(statement);
    EXPECT_EQ(Joined(names), GetParam().columns);
}

INSTANTIATE_TEST_SUITE_P(Tables, ColumnOrder, testing::Values(
    TableColumns{"MeasureTypes", "id,name"},
    TableColumns{"Measures", "id,name,description,measure_type,metric,imperial,cooking_measure"},
    TableColumns{"MeasureConversions", "measure_from,measure_to,factor"},
    TableColumns{"Ingredients", "id,name,def_measure,unit_measure,unit_measure_name,"
                                "unit_measure_size,notes,modified,licensor"},
    TableColumns{"Courses", "id,name,feeds,recipe_format,notes,modified,licensor"},
    TableColumns{"Recipes", "course,seq,data"},
    TableColumns{"CourseIngredients", "id,course,ingredient,measure,amount,unit_measure"},
    TableColumns{"Meals", "id,name,notes,modified,licensor"},
    TableColumns{"MealCourses", "id,meal,course"},
    TableColumns{"People", "id,name,notes,modified,appetite"},
    TableColumns{"FoodStops", "id,name,seq"},
    TableColumns{"Trips", "id,name,location,trip_date,notes,modified"},
    TableColumns{"TripDays", "id,day_num,trip,notes"},
    TableColumns{"DayFoodStops", "id,trip_day,food_stop,notes"},
    TableColumns{"DayMeals", "id,day_stop,meal"},
    TableColumns{"DayCourses", "id,day_stop,course"},
    TableColumns{"MealPeople", "id,person,day_stop"},
    TableColumns{"TripPeople", "id,person,trip"},
    TableColumns{"DBVersion", "version"},
    TableColumns{"TripMeals", "TripID,TripDayID,DayFoodStopID,Day,FoodStop,Food,Travelers,"
                              "day_num,seq"}),
    [](const testing::TestParamInfo<TableColumns>& info) { return info.param.table; });

TEST(EmptyDatabase, HoldsVersionNineAndNoUserRows)
{
    TemplateCopy db;
    EXPECT_EQ(db.Rows("select version from DBVersion"),
              (std::vector<std::vector<std::string>>{{"9"}}));
    for (const char* table : {"Ingredients", "Courses", "Recipes", "CourseIngredients", "Meals",
                              "MealCourses", "People", "Trips", "TripDays", "DayFoodStops",
                              "DayMeals", "DayCourses", "MealPeople", "TripPeople"})
        EXPECT_EQ(db.Value(std::string("select count(*) from ") + table), "0") << table;
    // An empty table's largest id reads as NULL, not 0.
    EXPECT_EQ(db.Value("select max( id ) from Ingredients"), "NULL");
}

// The key joins of the program's SQL follow these keys, and the forms rely on the engine
// refusing rows that name a missing parent.
TEST(EmptyDatabase, DeclaresExactlyTheForeignKeysItEnforces)
{
    TemplateCopy db;
    std::set<std::string> keys;
    for (const auto& row : db.Rows("select m.name, f.\"from\", f.\"table\", f.\"to\" "
                                   "from sqlite_master m, pragma_foreign_key_list(m.name) f "
                                   "where m.type = 'table'"))
        keys.insert(row[0] + "." + row[1] + "->" + row[2] + "." + row[3]);
    EXPECT_EQ(keys, (std::set<std::string>{
        "Measures.measure_type->MeasureTypes.id",
        "Ingredients.def_measure->Measures.id",
        "Recipes.course->Courses.id",
        "CourseIngredients.course->Courses.id",
        "CourseIngredients.ingredient->Ingredients.id",
        "CourseIngredients.measure->Measures.id",
        "MealCourses.meal->Meals.id",
        "MealCourses.course->Courses.id",
        "TripDays.trip->Trips.id",
        "DayFoodStops.trip_day->TripDays.id",
        "DayFoodStops.food_stop->FoodStops.id",
        "DayMeals.day_stop->DayFoodStops.id",
        "DayMeals.meal->Meals.id",
        "DayCourses.day_stop->DayFoodStops.id",
        "DayCourses.course->Courses.id",
        "MealPeople.person->People.id",
        "MealPeople.day_stop->DayFoodStops.id",
        "TripPeople.person->People.id",
        "TripPeople.trip->Trips.id"}));
    EXPECT_TRUE(db.Rows("pragma foreign_key_check").empty());
}

TEST(EmptyDatabase, RefusesARowNamingAMissingParent)
{
    TemplateCopy db;
    EXPECT_FALSE(db.Exec("insert into MealCourses( meal, course ) values( -1, -1 )"));
    EXPECT_FALSE(db.Exec("insert into Recipes( course, seq, data ) values( -1, 0, x'00' )"));
    EXPECT_EQ(db.Value("select count(*) from MealCourses"), "0");
}

// The forms delete a row's children before the row; the import, replacing an existing item,
// rewrites the item's row including its unchanged id while other rows still refer to it.
TEST(EmptyDatabase, KeepsAReferencedParentButLetsItsRowBeRewritten)
{
    TemplateCopy db;
    ASSERT_TRUE(db.Exec("insert into Courses( id, name ) values( 5, 'Chili' );"
                        "insert into Meals( id, name ) values( 1, 'Supper' );"
                        "insert into MealCourses( meal, course ) values( 1, 5 )"));
    EXPECT_FALSE(db.Exec("delete from Courses where id = 5"));
    EXPECT_TRUE(db.Exec("update Courses set id = 5, name = 'Chili', feeds = 4 where id = 5"));
    EXPECT_TRUE(db.Exec("delete from MealCourses where course = 5;"
                        "delete from Courses where id = 5"));
}

TEST(EmptyDatabase, AnInsertWithoutIdGetsANewLargestId)
{
    TemplateCopy db;
    ASSERT_TRUE(db.Exec("insert into Ingredients( id, name ) values( 0, 'imported' )"));
    ASSERT_TRUE(db.Exec("insert into Ingredients( id, name ) values( 41, 'imported too' )"));
    ASSERT_TRUE(db.Exec("insert into Ingredients( name ) values( 'new_ingredient' )"));
    EXPECT_EQ(db.Value("select id from Ingredients where name = 'new_ingredient'"), "42");
    EXPECT_EQ(db.Value("select max( id ) from Ingredients"), "42");
}

// Rows made by Add name only their name; the rest must be usable as they come.
TEST(EmptyDatabase, ANewRowTakesUsableDefaults)
{
    TemplateCopy db;
    ASSERT_TRUE(db.Exec("insert into Ingredients( name ) values( 'i' );"
                        "insert into Courses( name ) values( 'c' );"
                        "insert into People( name ) values( 'p' )"));
    EXPECT_EQ(db.Rows("select Measures.id, modified from Ingredients"
                      " join Measures on Measures.id = def_measure"),
              (std::vector<std::vector<std::string>>{{"14", "NULL"}}));
    EXPECT_EQ(db.Rows("select feeds, recipe_format, modified from Courses"),
              (std::vector<std::vector<std::string>>{{"1.0", "1", "NULL"}}));
    EXPECT_EQ(db.Value("select appetite from People"), "1.0");
}

TEST(EmptyDatabase, ComparesNamesWithoutRegardToCase)
{
    TemplateCopy db;
    ASSERT_TRUE(db.Exec("insert into Meals( name ) values( 'Trail Mix' )"));
    EXPECT_EQ(db.Value("select count(*) from Meals where name = 'TRAIL mix'"), "1");
}

TEST(ReferenceRows, TypeThreeIsUnitsAndMeasureFourteenIsItsOnlyMeasure)
{
    TemplateCopy db;
    EXPECT_EQ(db.Value("select name from MeasureTypes where id = 3"), "units");
    EXPECT_EQ(db.Rows("select id from Measures where measure_type = 3"),
              (std::vector<std::vector<std::string>>{{"14"}}));
    EXPECT_EQ(db.Value("select name from Measures where id = 14"), "units");
}

TEST(ReferenceRows, CookingMeasuresFollowTheOptionUpdate)
{
    TemplateCopy db;
    EXPECT_EQ(db.Value("select group_concat(name, ',') from Measures where cooking_measure = 1"),
              "tsp,tbsp,cups");
    ASSERT_TRUE(db.Exec("update Measures set metric = 0, imperial = 1 where cooking_measure = 1"));
    EXPECT_EQ(db.Value("select count(*) from Measures where cooking_measure = 1"
                       " and metric = 0 and imperial = 1"), "3");
    // Every measure counts in at least one system, so a report always has one to use.
    EXPECT_EQ(db.Value("select count(*) from Measures where cooking_measure = 0"
                       " and metric = 0 and imperial = 0"), "0");
}

TEST(ReferenceRows, EveryTwoMeasuresOfAConvertibleTypeConvertBothWaysReciprocally)
{
    TemplateCopy db;
    // Each pair of distinct measures of one type other than units, exactly once each way.
    EXPECT_EQ(db.Value("select count(*) from Measures f join Measures t"
                       " on f.measure_type = t.measure_type and f.id <> t.id"
                       " where f.measure_type <> 3"),
              db.Value("select count(*) from MeasureConversions"));
    EXPECT_EQ(db.Value("select count(*) from MeasureConversions c"
                       " join Measures f on f.id = c.measure_from"
                       " join Measures t on t.id = c.measure_to"
                       " where f.measure_type = t.measure_type and f.measure_type <> 3"
                       " and f.id <> t.id"),
              db.Value("select count(*) from MeasureConversions"));
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.Db(),
                  "select a.factor, b.factor from MeasureConversions a"
                  " left join MeasureConversions b"
                  " on b.measure_from = a.measure_to and b.measure_to = a.measure_from",
                  -1, &statement, nullptr), SQLITE_OK);
    int pairs = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        ++pairs;
        ASSERT_NE(sqlite3_column_type(statement, 1), SQLITE_NULL);
        EXPECT_NEAR(sqlite3_column_double(statement, 0) * sqlite3_column_double(statement, 1),
                    1.0, 1e-12);
    }
    sqlite3_finalize(statement);
    EXPECT_GT(pairs, 0);
}

TEST(ReferenceRows, KnownFactors)
{
    TemplateCopy db;
    auto factor = [&](int from, int to) {
        return std::stod(db.Value("select factor from MeasureConversions where measure_from = "
                                  + std::to_string(from) + " and measure_to = "
                                  + std::to_string(to)));
    };
    EXPECT_NEAR(factor(12, 11), 0.028349523125, 1e-15);   // oz -> kg
    EXPECT_NEAR(factor(4, 3), 3.0, 1e-12);                // tbsp -> tsp
    EXPECT_NEAR(factor(5, 6), 8.0, 1e-12);                // cups -> fl oz
    EXPECT_NEAR(factor(2, 1), 1000.0, 1e-12);             // l -> ml
    EXPECT_NEAR(factor(13, 12), 16.0, 1e-12);             // lb -> oz
}

TEST(ReferenceRows, FoodStopsCoverTheDayInOrder)
{
    TemplateCopy db;
    EXPECT_EQ(db.Value("select group_concat(name, ',') from"
                       " (select name from FoodStops order by seq)"),
              "Breakfast,Morning break,Morning rest stop,Lunch,Afternoon break,"
              "Afternoon rest stop,Dinner,Evening snack");
    EXPECT_EQ(db.Value("select count(distinct seq) = count(*) from FoodStops"), "1");
}

}  // namespace
