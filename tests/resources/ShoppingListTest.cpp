// The shopping list's amounts on a small trip whose totals were worked out by hand.
//
// People: Ann (appetite 1), Ben (no appetite: counts 1), Cat (0.5).
// Day 1 dinner, guests Ann, Ben, Cat (eaters 2.5): the meal Supper chosen twice, and Tea alone.
// Day 2 breakfast, guest Ann (eaters 1): the meal Lunchbox.
// Day 2 lunch, no guests: Supper (counted nowhere, and named in the warning).
// Supper = Stew (feeds 2) + Tea (no feeds: 1) + Tea again; Lunchbox = Sandwich (feeds 0: 1).
// Stew: rice 200 g, flour 0.5 kg (kept in g), honey 0.25 cups (kept in g: no conversion).
// Tea: milk 0.5 cups (kept in ml). Sandwich: bread 2 "g" (a units-only ingredient), salami
// 3 slices of 20 g, cheese 1 wedge (a portion without a size), butter 0.5 lb (kept in lb).
//
// Servings at dinner: Stew x2, Tea x5 (2 x 2 in the meals + 1 alone); at breakfast Sandwich x1.
//   rice   200 x 2.5 / 2 x 2          = 500 g
//   flour  0.5 x 1000 x 2.5 / 2 x 2   = 1250 g
//   honey  0.25 x 2.5 / 2 x 2         = 0.625 cups, not converted -> 0.63 (rounded up)
//   milk   0.5 x 2.5 x 5 = 6.25 cups  = 1478.676... ml -> 1478.68 (rounded up)
//   bread  2 x 1                      = 2 units
//   salami 3 x 20                     = 60 g (3 slices)
//   cheese 1 wedge, not converted
//   butter 0.5 lb

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/report/ReportData.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportReader.h"
#include "platform/report/WReportControl.h"
#include "tests/support/TestDataSource.h"

namespace {

const char* const Fixture[] = {
    "insert into People( id, name, appetite ) values( 1, 'Ann', 1.0 ), ( 2, 'Ben', NULL ), ( 3, 'Cat', 0.5 )",
    "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size ) values"
    " ( 1, 'Rice', 10, 0, '', 1 ), ( 2, 'Flour', 10, 0, '', 1 ), ( 3, 'Honey', 10, 0, '', 1 ),"
    " ( 4, 'Milk', 1, 0, '', 1 ), ( 5, 'Bread', 14, 0, '', 1 ), ( 6, 'Salami', 10, 1, 'slices', 20 ),"
    " ( 7, 'Cheese', 10, 1, 'wedges', NULL ), ( 8, 'Butter', 13, 0, '', 1 )",
    "insert into Courses( id, name, feeds ) values( 1, 'Stew', 2 ), ( 2, 'Tea', NULL ), ( 3, 'Sandwich', 0 )",
    "insert into CourseIngredients( course, ingredient, measure, amount, unit_measure ) values"
    " ( 1, 1, 10, 200, 0 ), ( 1, 2, 11, 0.5, 0 ), ( 1, 3, 5, 0.25, 0 ), ( 2, 4, 5, 0.5, 0 ),"
    " ( 3, 5, 10, 2, 0 ), ( 3, 6, 10, 3, 1 ), ( 3, 7, 10, 1, 1 ), ( 3, 8, 13, 0.5, 0 )",
    "insert into Meals( id, name ) values( 1, 'Supper' ), ( 2, 'Lunchbox' )",
    "insert into MealCourses( meal, course ) values( 1, 1 ), ( 1, 2 ), ( 1, 2 ), ( 2, 3 )",
    "insert into Trips( id, name, location, trip_date ) values( 1, 'Fjord', 'Coast', '2024-01-30' ), ( 2, 'Other', '', NULL )",
    "insert into TripDays( id, trip, day_num ) values( 1, 1, 1 ), ( 2, 1, 2 ), ( 3, 2, 1 )",
    "insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 7 ), ( 2, 2, 1 ), ( 3, 2, 4 ), ( 4, 3, 7 )",
    "insert into DayMeals( day_stop, meal ) values( 1, 1 ), ( 1, 1 ), ( 2, 2 ), ( 3, 1 ), ( 4, 1 )",
    "insert into DayCourses( day_stop, course ) values( 1, 2 )",
    "insert into MealPeople( person, day_stop ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 ), ( 1, 2 ), ( 2, 4 )",
    "insert into TripPeople( person, trip ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 )",
};

struct ListCase {
    std::string name;
    int unitType;
    int portions;
    std::vector<std::string> lines;   // name|amount as shown|measure|note
};

std::ostream& operator<<(std::ostream& out, const ListCase& c) { return out << c.name; }

const ListCase Cases[] = {
    {"DefaultMeasures", 0, 0,
     {"Bread|2|units|", "Butter|0.5|lb|", "Cheese|1|wedges|not converted", "Flour|1250|g|", "Honey|0.63|cups|not converted",
      "Milk|1478.68|ml|", "Rice|500|g|", "Salami|60|g|"}},
    {"NearestWholeInTheSameSystem", 1, 0,
     {"Bread|2|units|", "Butter|8|oz|", "Cheese|1|wedges|not converted", "Flour|1.25|kg|", "Honey|0.63|cups|not converted",
      "Milk|1.48|l|", "Rice|500|g|", "Salami|60|g|"}},
    {"MetricOnly", 2, 0,
     {"Bread|2|units|", "Butter|226.8|g|", "Cheese|1|wedges|not converted", "Flour|1.25|kg|",
      "Honey|0.63|cups|not converted", "Milk|1.48|l|", "Rice|500|g|", "Salami|60|g|"}},
    {"ImperialOnly", 3, 0,
     {"Bread|2|units|", "Butter|8|oz|", "Cheese|1|wedges|not converted", "Flour|2.76|lb|", "Honey|0.63|cups|not converted",
      "Milk|1.57|quarts|", "Rice|1.11|lb|", "Salami|2.12|oz|"}},
    {"PortionsWhereTheIngredientHasThem", 0, 1,
     {"Bread|2|units|", "Butter|0.5|lb|", "Cheese|1|wedges|not converted", "Flour|1250|g|", "Honey|0.63|cups|not converted",
      "Milk|1478.68|ml|", "Rice|500|g|", "Salami|3|slices|"}},
};

class ShoppingListTest : public KestavoDatabaseTest, public ::testing::WithParamInterface<ListCase> {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        for (const char* statement : Fixture) ASSERT_TRUE(Exec(statement));
        ReportFailure failure;
        report = ReportData::Load(KVO_REPORTS_DIR "/report_shopping_list.rpt", failure);
        ASSERT_TRUE(report.has_value()) << failure.text;
    }

    // The list as the report shows it: each amount in its column's own number format.
    std::vector<std::string> Lines(int tripId, int unitType, int portions) {
        ReportData data;
        ReportFailure failure;
        EXPECT_TRUE(data.BindParameters(*report, Texts(tripId, unitType, portions), failure)) << failure.text;
        EXPECT_TRUE(data.RunDatasets(*report, &Transaction(), failure)) << failure.text;
        const ReportRows* rows = data.Rows("items");
        EXPECT_NE(rows, nullptr);
        if (!rows) return {};
        const ReportTable* table = nullptr;
        for (const ReportBlock& block : report->body)
            if (block.kind == ReportBlock::Kind::Table && block.table.dataset == "items") table = &block.table;
        EXPECT_NE(table, nullptr);
        std::vector<std::string> lines;
        for (const auto& row : rows->rows) {
            std::string line;
            for (const ReportColumn& column : table->columns) {
                const WDataValue& v = row[static_cast<std::size_t>(rows->Find(column.column))];
                if (!line.empty()) line += '|';
                line += column.format.isNumber ? FormatReportNumber(v.AsDouble(), column.format) : v.AsText();
            }
            lines.push_back(line);
        }
        unserved.clear();
        for (const auto& row : data.Rows("unserved")->rows) unserved.push_back(row[0].AsText() + " " + row[1].AsText());
        return lines;
    }

    static std::vector<std::string> Texts(int tripId, int unitType, int portions) {
        return {"Trip id; " + std::to_string(tripId) + "; TRUE", "version; 3.02; TRUE",
                "unit_type; " + std::to_string(unitType) + "; TRUE", "ingredient_units; " + std::to_string(portions) + "; TRUE",
                "trip_very_detailed; 0; TRUE"};
    }

    std::optional<ReportDefinition> report;
    std::vector<std::string> unserved;
};

TEST_P(ShoppingListTest, GivesTheHandComputedTotals) {
    const ListCase& c = GetParam();
    EXPECT_EQ(Lines(1, c.unitType, c.portions), c.lines);
}

INSTANTIATE_TEST_SUITE_P(UnitsSettings, ShoppingListTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return info.param.name; });

using ShoppingListWarningTest = ShoppingListTest;

TEST_F(ShoppingListWarningTest, StopsThatServeFoodWithoutGuestsAreNamed) {
    Lines(1, 0, 0);
    EXPECT_EQ(unserved, (std::vector<std::string>{"Day 2 Lunch"}));
}

TEST_F(ShoppingListWarningTest, AStopWithoutGuestsAddsNothing) {
    // Day 2 lunch serves Supper to nobody; given a guest, its Stew adds rice 200 x 1 / 2.
    ASSERT_TRUE(Exec("insert into MealPeople( person, day_stop ) values( 1, 3 )"));
    const std::vector<std::string> lines = Lines(1, 0, 0);
    // rice: 500 + 200 x 1 / 2 = 600 g
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Rice|600|g|"), lines.end());
    EXPECT_TRUE(unserved.empty());
}

TEST_F(ShoppingListWarningTest, AnotherTripsStopsCountNothing) {
    // Trip 2 serves Supper to Ben once: rice 200 x 1 / 2 = 100 g, and nothing of trip 1.
    const std::vector<std::string> lines = Lines(2, 0, 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Flour|250|g|");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Rice|100|g|"), lines.end());
    EXPECT_TRUE(unserved.empty());
}

TEST_F(ShoppingListWarningTest, TheTripHeaderGivesDatesDaysAndTravellers) {
    ReportData data;
    ReportFailure failure;
    ASSERT_TRUE(data.BindParameters(*report, Texts(1, 2, 1), failure)) << failure.text;
    ASSERT_TRUE(data.RunDatasets(*report, &Transaction(), failure)) << failure.text;
    const ReportRows* trip = data.Rows("trip");
    ASSERT_EQ(trip->rows.size(), 1u);
    const auto& row = trip->rows[0];
    EXPECT_EQ(row[trip->Find("name")].AsText(), "Fjord");
    EXPECT_EQ(row[trip->Find("dates")].AsText(), "Tue 30 Jan 2024 to Wed 31 Jan 2024");
    EXPECT_EQ(row[trip->Find("days")].AsText(), "2 days");
    EXPECT_EQ(row[trip->Find("travellers")].AsText(), "Ann, Ben, Cat");
    EXPECT_EQ(row[trip->Find("units")].AsText(), "in metric measures (nearest whole), portions where the ingredient has them");
}

}  // namespace

namespace {

struct FileCase {
    std::string name;
    std::string file;
    int tripId;
    int veryDetailed;
    std::vector<std::string> shown;
    std::vector<std::string> notShown = {};
};

std::ostream& operator<<(std::ostream& out, const FileCase& c) { return out << c.name; }

const FileCase Files[] = {
    {"ShoppingList", "report_shopping_list.rpt", 1, 0,
     {"Shopping list for Fjord", "Tue 30 Jan 2024 to Wed 31 Jan 2024 (Coast), 2 days", "Travellers: Ann, Ben, Cat",
      "Milk\n1478.68\nml", "Honey\n0.63\ncups\nnot converted", "Not counted: these stops serve food", "Day 2\nLunch"}},
    {"TripPlanSummary", "report_trip_plan.rpt", 1, 0,
     {"Trip plan for Fjord", "Day 1: Tue 30 Jan 2024", "Dinner\nSupper, Supper, Tea\nAnn, Ben, Cat",
      "Day 2: Wed 31 Jan 2024", "Lunch\nSupper\nwithout guests: nothing counted"}},
    {"TripPlanDetailed", "report_trip_plan_detailed.rpt", 1, 0,
     {"Dinner: Ann, Ben, Cat (eating as 2.5 people)", "Supper", "Stew (feeds 2)", "Rice\n250\ng", "Flour\n625\ng",
      "Single menu items", "Tea (feeds 1)", "Milk\n295.74\nml", "Cheese\n1\nwedges\nnot converted",
      "Lunch: without guests, nothing counted"},
     {"Soak the rice"}},
    {"TripPlanVeryDetailed", "report_trip_plan_detailed.rpt", 1, 1, {"Stew (feeds 2)", "Soak the rice"}},
    {"IngredientsOfOneTrip", "report_ingredients.rpt", 2, 0,
     {"Only what the trip Other uses", "Flour", "Rice", "g (grams)"}, {"Salami", "Bread"}},
    {"WholeCatalogueOfIngredients", "report_ingredients.rpt", -1, 0,
     {"The whole catalogue", "Salami", "slices of 20 g", "wedges of no size set"}},
    {"MenuItems", "report_courses.rpt", -1, 0,
     {"Sandwich: feeds 1", "Salami\n3\nslices (20 g each)", "Bread\n2\nunits", "Stew: feeds 2", "Flour\n0.5\nkg"}},
    {"Meals", "report_meals.rpt", -1, 0, {"Supper", "Stew\n2", "Tea\n1\n\nTea\n1", "Lunchbox\nSandwich"}},
};

class ReportFileRunTest : public KestavoDatabaseTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(ReportFileRunTest, ShowsWhatTheTripHolds) {
    const FileCase& c = GetParam();
    for (const char* statement : Fixture) ASSERT_TRUE(Exec(statement));
    ASSERT_TRUE(Exec("update Courses set notes = 'Soak the rice' where id = 1"));
    WReportControl control("WinStart::transaction_KVO");
    control.SetReportFileName(std::string(KVO_REPORTS_DIR "/") + c.file);
    const std::vector<std::string> texts = {"Trip id; " + std::to_string(c.tripId) + "; TRUE", "version; 3.02; TRUE",
                                            "unit_type; 0; TRUE", "ingredient_units; 0; TRUE",
                                            "trip_very_detailed; " + std::to_string(c.veryDetailed) + "; TRUE"};
    for (std::size_t i = 0; i < texts.size(); ++i) control.SetParameterField(static_cast<int>(i), texts[i]);
    ASSERT_EQ(control.PrintReport(), 0) << control.GetLastErrorString();
    ASSERT_EQ(control.Previews().size(), 1u);
    const std::string text = control.Previews().front()->Document().PlainText();
    for (const std::string& part : c.shown) EXPECT_NE(text.find(part), std::string::npos) << part << "\n---\n" << text;
    for (const std::string& part : c.notShown) EXPECT_EQ(text.find(part), std::string::npos) << part << "\n---\n" << text;
}

INSTANTIATE_TEST_SUITE_P(ReportFiles, ReportFileRunTest, ::testing::ValuesIn(Files),
                         [](const auto& info) { return info.param.name; });

}  // namespace
