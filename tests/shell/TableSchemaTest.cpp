// The registry of the exchanged tables and its id maps.

#include "shell/TableSchema.h"

#include <gtest/gtest.h>

#include "tests/support/MainWindowDatabaseTest.h"

namespace {

// ---- id map

TEST(ColIDMap, BucketsAnyIdNegativeOnesIncluded) {
    EXPECT_EQ(HashColID(0), 0);
    EXPECT_EQ(HashColID(1000), 1000);
    EXPECT_EQ(HashColID(1001), 0);
    EXPECT_EQ(HashColID(-1), 1000);
    EXPECT_EQ(HashColID(-1001), 0);
    EXPECT_EQ(HashColID(-2147483647L - 1), HashColID(-2147483647L - 1 + 1001L * 1000));
}

TEST(ColIDMap, KeepsEntriesOfOneBucketApartAndReplacesByOldId) {
    ColIDMap map;
    map.Set(5, {50, false});
    map.Set(1006, {60, true});
    map.Set(-996, {70, false});   // the same bucket as 5
    map.Set(-1, {-1, false});
    ASSERT_NE(map.Find(1006), nullptr);
    EXPECT_EQ(map.Find(5)->newId, 50);
    EXPECT_EQ(map.Find(1006)->newId, 60);
    EXPECT_TRUE(map.Find(1006)->existing);
    EXPECT_EQ(map.Find(-996)->newId, 70);
    EXPECT_EQ(map.Find(-1)->newId, -1);
    EXPECT_EQ(map.Find(2011), nullptr);
    EXPECT_EQ(map.Size(), 4u);

    map.Set(5, {55, true});
    EXPECT_EQ(map.Find(5)->newId, 55);
    EXPECT_TRUE(map.Find(5)->existing);
    EXPECT_EQ(map.Size(), 4u);

    map.Clear();
    EXPECT_EQ(map.Find(5), nullptr);
    EXPECT_EQ(map.Size(), 0u);
}

// ---- one schema

TEST(TableSchema, ArraysGrowToTheColumnSet) {
    SchemaList list;
    TableSchema* parent = AddTableSchema(list);
    TableSchema* child = AddTableSchema(list);
    EXPECT_EQ(child->ownerList, &list);
    EXPECT_EQ(child->idColumn, -1);
    EXPECT_EQ(child->uniqueColumn, -1);
    EXPECT_EQ(child->modifiedColumn, -1);

    child->SetForeignKey(parent, 2, true);
    ASSERT_EQ(child->foreignKeys.size(), 3u);
    EXPECT_EQ(child->GetForeignKey(0).referencedTable, nullptr);
    EXPECT_EQ(child->GetForeignKey(2).referencedTable, parent);
    EXPECT_TRUE(child->GetForeignKey(2).owned);
    EXPECT_EQ(child->GetForeignKey(7).referencedTable, nullptr);

    child->SetColumnDefault(WDataValue(1.0), 4);
    ASSERT_EQ(child->columnDefaults.size(), 5u);
    EXPECT_TRUE(child->GetColumnDefault(3).IsNull());
    EXPECT_EQ(child->GetColumnDefault(4), WDataValue(1.0));
    EXPECT_TRUE(child->GetColumnDefault(9).IsNull());

    child->LoadColumns("People", nullptr);
    EXPECT_EQ(child->tableName, "People");
    EXPECT_TRUE(child->columnNames.empty());

    FreeSchemaList(list);
    EXPECT_TRUE(list.empty());
}

// ---- the registry on a real database

struct RegistryCase {
    const char* table;
    const char* noun;
    int id, unique, modified;
    std::vector<std::string> columns;                         // the columns that matter, by position
    std::vector<std::tuple<int, std::string, bool>> keys;     // column, referenced table, owned
    friend void PrintTo(const RegistryCase& c, std::ostream* os) { *os << c.table; }
};

class RegistryTest : public MainWindowDatabaseTest, public ::testing::WithParamInterface<RegistryCase> {
protected:
    void SetUp() override {
        MainWindowDatabaseTest::SetUp();
        if (!HasFatalFailure()) main.BuildTableSchemas();
    }
};

TEST_P(RegistryTest, DescribesTheTable) {
    const RegistryCase& c = GetParam();
    TableSchema* schema = main.FindTableSchema(c.table);
    ASSERT_NE(schema, nullptr);
    EXPECT_EQ(schema->tableName, c.table);
    EXPECT_EQ(schema->noun, c.noun);
    EXPECT_EQ(schema->idColumn, c.id);
    EXPECT_EQ(schema->uniqueColumn, c.unique);
    EXPECT_EQ(schema->modifiedColumn, c.modified);
    EXPECT_EQ(schema->ownerList, &main.schemaList);
    for (std::size_t position = 0; position < c.columns.size(); ++position)
        if (!c.columns[position].empty()) EXPECT_EQ(schema->GetColumnName(static_cast<int>(position)), c.columns[position]);
    std::vector<std::tuple<int, std::string, bool>> keys;
    for (int column = 0; column < static_cast<int>(schema->foreignKeys.size()); ++column)
        if (const ForeignKeyMap key = schema->GetForeignKey(column); key.referencedTable)
            keys.emplace_back(column, key.referencedTable->tableName, key.owned);
    EXPECT_EQ(keys, c.keys);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RegistryTest,
    ::testing::Values(
        RegistryCase{"Ingredients", "ingredient", 0, 1, 7, {"id", "name", "", "", "", "", "", "modified"}, {}},
        RegistryCase{"Courses", "menu item", 0, 1, 5, {"id", "name", "", "", "", "modified"}, {}},
        RegistryCase{"Recipes", "recipe", -1, -1, -1, {"course", "seq", "data"}, {{0, "Courses", true}}},
        RegistryCase{"CourseIngredients", "menu item ingredient", 0, -1, -1, {"id", "course", "ingredient"},
                     {{1, "Courses", true}, {2, "Ingredients", false}}},
        RegistryCase{"Meals", "meal", 0, 1, 3, {"id", "name", "", "modified"}, {}},
        RegistryCase{"MealCourses", "meal menu item", 0, -1, -1, {"id", "meal", "course"},
                     {{1, "Meals", true}, {2, "Courses", false}}},
        RegistryCase{"People", "person", 0, 1, 3, {"id", "name", "", "modified", "appetite"}, {}},
        RegistryCase{"Trips", "trip", 0, 1, 5, {"id", "name", "", "", "", "modified"}, {}},
        RegistryCase{"TripDays", "trip day", 0, -1, -1, {"id", "", "trip"}, {{2, "Trips", true}}},
        RegistryCase{"DayFoodStops", "trip stop", 0, -1, -1, {"id", "trip_day"}, {{1, "TripDays", true}}},
        RegistryCase{"DayMeals", "trip meal", 0, -1, -1, {"id", "day_stop", "meal"},
                     {{1, "DayFoodStops", true}, {2, "Meals", false}}},
        RegistryCase{"DayCourses", "trip menu item", 0, -1, -1, {"id", "day_stop", "course"},
                     {{1, "DayFoodStops", true}, {2, "Courses", false}}},
        RegistryCase{"MealPeople", "meal guest", 0, -1, -1, {"id", "person", "day_stop"},
                     {{1, "People", false}, {2, "DayFoodStops", true}}},
        RegistryCase{"TripPeople", "traveller", 0, -1, -1, {"id", "person", "trip"},
                     {{1, "People", false}, {2, "Trips", true}}}),
    [](const auto& info) { return std::string(info.param.table); });

class TableSchemaRegistryTest : public RegistryTest {};

TEST_F(TableSchemaRegistryTest, HoldsTheFourteenExchangedTablesInOrder) {
    std::vector<std::string> names;
    for (const auto& schema : main.schemaList) names.push_back(schema->tableName);
    EXPECT_EQ(names, (std::vector<std::string>{"Ingredients", "Courses", "Recipes", "CourseIngredients", "Meals",
                                               "MealCourses", "People", "Trips", "TripDays", "DayFoodStops",
                                               "DayMeals", "DayCourses", "MealPeople", "TripPeople"}));
    EXPECT_EQ(main.FindTableSchema("Recipes")->columnNames, (std::vector<std::string>{"course", "seq", "data"}));
}

TEST_F(TableSchemaRegistryTest, PeopleAppetiteDefaultsToOne) {
    const TableSchema* people = main.FindTableSchema("People");
    EXPECT_EQ(people->GetColumnDefault(4), WDataValue(1.0));
    for (int column : {0, 1, 2, 3, 5}) EXPECT_TRUE(people->GetColumnDefault(column).IsNull());
    EXPECT_TRUE(main.FindTableSchema("Meals")->columnDefaults.empty());
}

TEST_F(TableSchemaRegistryTest, FindsTablesWithoutRegardToCase) {
    EXPECT_EQ(FindTableSchema(main.schemaList, "tripdays"), main.schemaList[8].get());
    EXPECT_EQ(FindTableSchema(main.schemaList, "TRIPDAYS"), main.schemaList[8].get());
    EXPECT_EQ(FindTableSchema(main.schemaList, "Measures"), nullptr);
    EXPECT_EQ(FindTableSchema(main.schemaList, "FoodStops"), nullptr);
    EXPECT_EQ(FindTableSchema(main.schemaList, "TripDay"), nullptr);
}

TEST_F(TableSchemaRegistryTest, BuildingAgainGivesOneRegistry) {
    main.BuildTableSchemas();
    EXPECT_EQ(main.schemaList.size(), 14u);
    EXPECT_EQ(main.FindTableSchema("TripDays")->GetForeignKey(2).referencedTable, main.FindTableSchema("Trips"));
}

class UnreadableTableTest : public RegistryTest {
protected:
    UnreadableTableTest() { prepareScript = "alter table Meals rename to MealsElsewhere;"; }
};

TEST_F(UnreadableTableTest, KeepsItsEntryWithoutColumnNames) {
    const TableSchema* meals = main.FindTableSchema("Meals");
    ASSERT_NE(meals, nullptr);
    EXPECT_TRUE(meals->columnNames.empty());
    EXPECT_EQ(meals->idColumn, 0);
    EXPECT_EQ(main.schemaList.size(), 14u);
    EXPECT_EQ(main.FindTableSchema("MealCourses")->GetForeignKey(1).referencedTable, meals);
}

}  // namespace
