// The program's own statements, run through WQuery on a small trip and catalogue, each with
// the answer the original engine gave.

#include "platform/db/DialectTranslator.h"

#include <gtest/gtest.h>

#include <regex>

#include "platform/db/WQuery.h"
#include "tests/support/TestDataSource.h"

namespace {

struct StatementCase {
    std::string name;
    std::string sql;
    std::vector<WDataValue> parameters;
    std::vector<std::string> rows;          // values joined by '|', NULL as "NULL"
    std::vector<std::string> setup = {};    // statements run first, through WQuery too
    long rowCount = -1;                     // when set, only the first rows are listed
};

std::ostream& operator<<(std::ostream& out, const StatementCase& c) { return out << c.name; }

std::string RowText(const WQuery& query, long row) {
    std::string text;
    for (int c = 0; c < query.GetNumColumns(); ++c) {
        if (c > 0) text += '|';
        const WDataValue& v = query.GetValue(row, c);
        text += v.IsNull() ? "NULL" : v.AsText();
    }
    return text;
}

// A trip of three days from 30 January 2024 with two stops and two travellers, four
// ingredients, two menu items and three meals (one empty).
const char* const FixtureRows[] = {
    "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size, licensor )"
    " values( 1, 'Oats', 10, 0, '', 1.0, NULL )",
    "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size, licensor )"
    " values( 2, 'Apples', 10, 1, 'apple', 150.0, 'Food Co' )",
    "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size )"
    " values( 3, 'Milk powder', 5, 0, '', 1.0 )",
    "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size )"
    " values( 4, 'Eggs', 14, 0, '', 1.0 )",
    "insert into Ingredients( id, name ) values( 5, 'Salt' )",
    "insert into Courses( id, name, feeds, recipe_format ) values( 1, 'Porridge', 2.0, 1 )",
    "insert into Courses( id, name, feeds, recipe_format ) values( 2, 'Apple pie', 1.0, 2 )",
    "insert into Recipes( course, seq, data ) values( 2, 0, x'00000000' )",
    "insert into CourseIngredients( id, course, ingredient, measure, amount, unit_measure ) values( 1, 1, 1, 10, 80.0, 0 )",
    "insert into CourseIngredients( id, course, ingredient, measure, amount, unit_measure ) values( 2, 1, 3, 5, 0.5, 0 )",
    "insert into CourseIngredients( id, course, ingredient, measure, amount, unit_measure ) values( 3, 2, 2, 10, 3.0, 1 )",
    "insert into CourseIngredients( id, course, ingredient, measure, amount, unit_measure ) values( 4, 2, 4, 14, 6.0, 0 )",
    "insert into Meals( id, name ) values( 1, 'Breakfast A' )",
    "insert into Meals( id, name ) values( 2, 'Dessert' )",
    "insert into Meals( id, name ) values( 3, 'Empty meal' )",
    "insert into MealCourses( id, meal, course ) values( 1, 1, 1 )",
    "insert into MealCourses( id, meal, course ) values( 2, 1, 1 )",
    "insert into MealCourses( id, meal, course ) values( 3, 2, 2 )",
    "insert into People( id, name, appetite ) values( 1, 'Ann', 1.0 )",
    "insert into People( id, name, appetite ) values( 2, 'bob', 1.5 )",
    "insert into Trips( id, name, location, trip_date ) values( 1, 'Summit', 'Alps', '2024-01-30' )",
    "insert into Trips( id, name, location ) values( 2, 'Day hike', '' )",
    "insert into TripDays( id, day_num, trip ) values( 1, 1, 1 )",
    "insert into TripDays( id, day_num, trip ) values( 2, 2, 1 )",
    "insert into TripDays( id, day_num, trip ) values( 3, 3, 1 )",
    "insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 4 )",
    "insert into DayFoodStops( id, trip_day, food_stop ) values( 2, 2, 1 )",
    "insert into MealPeople( id, person, day_stop ) values( 1, 1, 1 )",
    "insert into MealPeople( id, person, day_stop ) values( 2, 2, 1 )",
    "insert into DayMeals( id, day_stop, meal ) values( 1, 1, 2 )",
    "insert into TripPeople( id, person, trip ) values( 1, 1, 1 )",
    "insert into TripPeople( id, person, trip ) values( 2, 2, 1 )",
};

class DialectStatementTest : public KestavoDatabaseTest,
                             public ::testing::WithParamInterface<StatementCase> {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        for (const char* row : FixtureRows) ASSERT_TRUE(Exec(row));
    }
};

TEST_P(DialectStatementTest, GivesTheOriginalEnginesAnswer) {
    const StatementCase& c = GetParam();
    for (const std::string& statement : c.setup) ASSERT_TRUE(Exec(statement));
    WQuery query;
    ASSERT_TRUE(query.SetTransaction("WinStart::transaction_KVO"));
    query.SetSQL(c.sql);
    for (std::size_t i = 0; i < c.parameters.size(); ++i) query.SetParameter(static_cast<int>(i) + 1, c.parameters[i]);
    ASSERT_TRUE(query.Open()) << query.LastError() << "\n"
                              << Transaction().Translator().Translate(c.sql).sql;
    std::vector<std::string> rows;
    const long shown = c.rowCount < 0 ? query.GetNumRows()
                                      : std::min<long>(query.GetNumRows(), static_cast<long>(c.rows.size()));
    for (long r = 0; r < shown; ++r) rows.push_back(RowText(query, r));
    EXPECT_EQ(rows, c.rows) << Transaction().Translator().Translate(c.sql).sql;
    if (c.rowCount >= 0) EXPECT_EQ(query.GetNumRows(), c.rowCount);
}

const char* const Warning =
    "select \nif  isnull( licensor, ''   ) != ''   then\n'Warning: this is a downloaded/default ingredient. "
    "Click Notes for details. You can make a copy to edit your own version.'\nelse\n  ( select max( 'WARNING! "
    "Ingredient is used in one or more existing meal courses.\\nChanges here can effect existing recipes.' )  "
    "from CourseIngredients where CourseIngredients.ingredient = Ingredients.id )\nendif  \"Warning\"\nfrom "
    "Ingredients\nwhere id = ?";

const char* const CourseDetails =
    "SELECT  Courses.recipe_format, Courses.licensor, Courses.name, Courses.feeds,\nSTRING( if "
    "Courses.recipe_format = 1 then 'text file: ' else '.rtf/Word file: ' endif , \nif (select count(*) from "
    "recipes where course = Courses.id ) = 0 then\n'no recipe set'\nelse\n'recipe specified'\nendif\n )  "
    "Format\n\nFROM Kestavo.Courses Courses\nWHERE Courses.id  = ?\n";

const char* const CourseIngredientLines =
    "SELECT  Ingredients.name Name, string(CourseIngredients.Amount,' ',\n( \n\tif "
    "CourseIngredients.unit_measure=1 then\n\t\tstring( Ingredients.unit_measure_name, ' (', "
    "Ingredients.unit_measure_size, ' ', IMeasures.name, ' each)' )\n\telse\n\t\tif Ingredients.def_measure = 14 "
    "then\n\t\t\tIMeasures.name\n\t\telse\n\t\t\tMeasures.name\n\t\tendif\n\tendif\n ) ) Amount, "
    "CourseIngredients.id\nFROM Kestavo.CourseIngredients CourseIngredients == Kestavo.Ingredients "
    "Ingredients,\nKestavo.CourseIngredients CourseIngredients == Kestavo.Measures Measures,\nKestavo.Ingredients "
    "Ingredients Key inner join Kestavo.Measures IMeasures\nWHERE CourseIngredients.course   = ?\nORDER BY "
    "Ingredients.name\n";

const char* const LineDetails =
    "SELECT  Measures.measure_type,  Ingredients.unit_measure,\nstring( Ingredients.unit_measure_name, ' (', "
    "Ingredients.unit_measure_size, ' ', Measures.name, ' each)' ) \"unit_name\",\nIngredients.name IName, "
    "Courses.name CName\nFROM Kestavo.CourseIngredients CourseIngredients Key inner join Kestavo.Ingredients "
    "Ingredients, Kestavo.CourseIngredients CourseIngredients Key inner join Kestavo.Courses Courses, "
    "Kestavo.Ingredients Ingredients Key inner join Kestavo.Measures Measures\nWHERE CourseIngredients.id  = ?\n";

const char* const MeasureList =
    "SELECT  Measures.id, STRING( Measures.name, ' (', MeasureTypes.name, ': ',  Measures.description, ')' ) "
    "MDesc\nFROM Kestavo.Measures Measures == Kestavo.MeasureTypes MeasureTypes\nORDER BY Measures.measure_type, "
    "MDesc\n";

const char* const MeasuresOfType =
    "SELECT  Measures.id, STRING(Measures.name,\n' (',MeasureTypes.name,\n': ', Measures.description, ')') "
    "MDesc\nFROM Kestavo.Measures Measures Key inner join Kestavo.MeasureTypes MeasureTypes\nWHERE "
    "Measures.Measure_type   = ?\n";

const char* const TripDaysList =
    "select \nTripDays.id \"TripDayID\",\nstring( 'Day ', day_num ) \"Day #\", \nDateFormat(  Trips.trip_date + "
    "TripDays.day_num  - 1, 'Mmm dd, YYYY') \"Date\",\n( select count( DayFoodStops.id ) from DayFoodStops where "
    "\n DayFoodStops.trip_day = TripDays.id ) \"# stops\",\nTripDays.notes \"Notes\",\nday_num day_num\nfrom Trips "
    "== TripDays\nwhere Trips.id = ?\norder by TripDays.day_num";

const char* const DayMeal =
    "select \nTrips.id \"TripID\",\nDayFoodStops.id \"DayFoodStopID\",\nDayFoodStops.trip_day "
    "\"TripDayID\",\nDayFoodStops.food_stop \"FoodStopID\",\nTrips.name \"TripName\",\nTripDays.day_num "
    "\"DayNum\",\n( select LIST( People.name ) from MealPeople == People where MealPeople.day_stop = "
    "DayFoodStopID ) \"Guests\"\nfrom DayFoodStops == TripDays == Trips\nwhere DayFoodStopID = ?";

const char* const DayNums =
    "select\nTripDays.Day_num \"DayNum\",\nTripDays.id \"TripDayID\"\nfrom TripDays\nwhere\nTripDays.trip =\n( "
    "select TD2.trip from DayFoodStops == TripDays \"TD2\" where DayFoodStops.id = ?  )\norder by DayNum";

const char* const Guests =
    "select \n( select LIST( People.name ) from MealPeople == People where MealPeople.day_stop = DayFoodStops.id "
    ") \"Guests\"\nfrom DayFoodStops == TripDays == Trips\nwhere DayFoodStops.id = ?";

const char* const MealGuests =
    "select \nTrips.id \"TripID\",\nDayFoodStops.id \"DayFoodStopID\",\nFoodStops.name \"FoodStop\",\nTrips.name "
    "\"TripName\",\nTripDays.day_num \"DayNum\"\nfrom FoodStops == DayFoodStops == TripDays == Trips\nwhere "
    "DayFoodStopID = ?";

const StatementCase Cases[] = {
    {"TripsList",
     "SELECT  Trips.name Name, Trips.location Location, DATEFORMAT( Trips.trip_date, 'Mmm. dd, YYYY' ) "
     "\"Trip date\", id\nFROM Kestavo.Trips Trips\nORDER BY Trips.name\n",
     {}, {"Day hike||NULL|2", "Summit|Alps|Jan. 30, 2024|1"}},
    {"IngredientsList",
     "SELECT  Ingredients.name Name, Ingredients.notes Notes, Ingredients.id,\nIngredients.licensor\nFROM "
     "Kestavo.Ingredients Ingredients\nORDER BY Ingredients.name\n",
     {}, {"Apples|NULL|2|Food Co", "Eggs|NULL|4|NULL", "Milk powder|NULL|3|NULL", "Oats|NULL|1|NULL",
          "Salt|NULL|5|NULL"}},
    {"IngredientDetailsByParameter",
     "SELECT  Ingredients.name, Ingredients.def_measure, Ingredients.unit_measure_name, "
     "Ingredients.unit_measure_size, Ingredients.unit_measure, Ingredients.notes\nFROM Kestavo.Ingredients "
     "Ingredients\nWHERE Ingredients.id        = ?\n",
     {2}, {"Apples|10|apple|150|1|NULL"}},
    {"KeyJoinStringOrderedByAlias", MeasureList, {},
     {"5|cups (volume: cups of 8 fluid ounces)", "6|fl oz (volume: US fluid ounces)",
      "9|gallons (volume: US gallons)", "2|l (volume: litres)", "1|ml (volume: millilitres)",
      "7|pints (volume: US pints)", "8|quarts (volume: US quarts)", "4|tbsp (volume: tablespoons)",
      "3|tsp (volume: teaspoons)", "10|g (weight: grams)", "11|kg (weight: kilograms)", "13|lb (weight: pounds)",
      "12|oz (weight: ounces)", "14|units (units: whole items, counted)"}},
    {"KeyInnerJoinWithMixedCaseColumn", MeasuresOfType, {2},
     {"10|g (weight: grams)", "11|kg (weight: kilograms)", "12|oz (weight: ounces)", "13|lb (weight: pounds)"}},
    {"CreditWarning", Warning, {2},
     {"Warning: this is a downloaded/default ingredient. Click Notes for details. You can make a copy to edit "
      "your own version."}},
    {"UseWarningWithEscapedLineBreak", Warning, {1},
     {"WARNING! Ingredient is used in one or more existing meal courses.\nChanges here can effect existing "
      "recipes."}},
    {"NoWarningIsNull", Warning, {5}, {"NULL"}},
    {"StringOfIfExpressionsWithoutRecipe", CourseDetails, {1}, {"1|NULL|Porridge|2|text file: no recipe set"}},
    {"StringOfIfExpressionsWithRecipe", CourseDetails, {2},
     {"2|NULL|Apple pie|1|.rtf/Word file: recipe specified"}},
    {"RepeatedCorrelationNamesAndNestedIf", CourseIngredientLines, {1}, {"Milk powder|0.5 cups|2", "Oats|80 g|1"}},
    {"NestedIfPortionAndUnitsMeasure", CourseIngredientLines, {2},
     {"Apples|3 apple (150 g each)|3", "Eggs|6 units|4"}},
    {"KeyInnerJoinsAcrossCommas", LineDetails, {3}, {"2|1|apple (150 g each)|Apples|Apple pie"}},
    {"ListOverLeftOuterKeyJoins",
     "select Meals.name Name, LIST( Courses.name ) \"Menu items\", max( Meals.id ) ID\nfrom Meals left outer join "
     "MealCourses left outer join Courses\ngroup by Meals.name\norder by Meals.name",
     {}, {"Breakfast A|Porridge,Porridge|1", "Dessert|Apple pie|2", "Empty meal|NULL|3"}},
    {"TripDaysWithDateArithmetic", TripDaysList, {1},
     {"1|Day 1|Jan 30, 2024|1|NULL|1", "2|Day 2|Jan 31, 2024|1|NULL|2", "3|Day 3|Feb 01, 2024|0|NULL|3"}},
    {"FullMonthName",
     "SELECT  \nDATEFORMAT( Trips.trip_date, 'Mmmmmmmmmmmmmmmm dd, YYYY' ) \"TripDateFmt\",\nTrips.Trip_date "
     "\"TripDate\", Trips.name, Trips.location\nFROM Kestavo.Trips Trips\nWHERE Trips.id  = ?\n",
     {1}, {"January 30, 2024|2024-01-30|Summit|Alps"}},
    {"AliasesInWhereAndInCorrelatedSubquery", DayMeal, {1}, {"1|1|1|4|Summit|1|Ann,bob"}},
    {"QuotedCorrelationNameInSubquery", DayNums, {2}, {"1|1", "2|2", "3|3"}},
    {"ListInCorrelatedSubquery", Guests, {1}, {"Ann,bob"}},
    {"ListOfNoGuestsIsNull", Guests, {2}, {"NULL"}},
    {"KeyJoinWhoseKeyPointsBack", MealGuests, {2}, {"1|2|Breakfast|Summit|2"}},
    {"TravellersKeyJoin", "select People.name, People.id from TripPeople == People where TripPeople.trip = 1", {},
     {"Ann|1", "bob|2"}},
    {"StopsOfTripKeyJoin", "select DayFoodStops.id from DayFoodStops == TripDays\nwhere TripDays.trip = ?", {1},
     {"1", "2"}},
    {"ConverterMeasures",
     "select Measures.id, Measures.name, description, MeasureTypes.id, MeasureTypes.name  from Measures == "
     "MeasureTypes where MeasureTypes.id != 3 order by Measures.id",
     {}, {"1|ml|millilitres|1|volume"}, {}, 13},
    {"TripStopsView",
     "select  * from TripMeals where TripID = 1  and TripDayID = 1  order by day_num, seq, Travelers ", {},
     {"1|1|1|Day 1|Lunch|Dessert|Ann, bob|1|4"}},
    {"OwnerPrefixOnTheView",
     "SELECT  TripMeals.Day, TripMeals.FoodStop, TripMeals.Food, TripMeals.Travelers, TripMeals.DayFoodStopID\nFROM "
     "Kestavo.TripMeals TripMeals\nORDER BY TripMeals.day_num\n",
     {}, {"Day 1|Lunch|Dessert|Ann, bob|1", "Day 2|Breakfast|||2"}},
    {"MaxOfEmptyTableIsNull", "select max( id ) from DayCourses", {}, {"NULL"}},
    {"MaxId", "select max(id) from Ingredients", {}, {"5"}},
    {"IsNullGivesEmptyText", "select isnull( licensor, ''   ) from Ingredients where id = 1", {}, {""}},
    {"TextComparesWithoutRegardToCase", "select id from People where name = 'ANN'", {}, {"1"}},
    {"ParameterComparesWithoutRegardToCase", "select id from People where name = ?", {"BOB"}, {"2"}},
    {"LiteralComparesWithoutRegardToCase", "select count(*) from Ingredients where isnull( licensor, '' ) = 'FOOD co'",
     {}, {"1"}},
    {"OwnerPrefixAndMixedCaseNames",
     "select Measures.Measure_type, CourseIngredients.Amount from Kestavo.courseingredients CourseIngredients == "
     "Kestavo.MEASURES Measures where CourseIngredients.ID = 1",
     {}, {"2|80"}},
    {"DatePlusInteger", "select Trips.trip_date + 2 from Trips where id = 1", {}, {"2024-02-01"}},
    {"DateMinusIntegerFormatted", "select DATEFORMAT( trip_date - 30, 'Mmm. dd, YYYY' ) from Trips where id = 1",
     {}, {"Dec. 31, 2023"}},
    {"DateFormatOfNullIsNull", "select DATEFORMAT( trip_date, 'Mmm dd, YYYY' ) from Trips where id = 2", {},
     {"NULL"}},
    {"StringOfNullsOnlyIsNull", "select STRING( notes ), STRING( notes, '' ) from Trips where id = 1", {},
     {"NULL|"}},
    {"StringPrintsNumbers", "select STRING( 'a', appetite, '-', id, '-', 0.25 * 2 ) from People where id = 2", {},
     {"a1.5-2-0.5"}},
    {"EscapesDecodedInOnePass", "select notes from Ingredients where id = 1", {},
     {"Ann's plan: day 1\r\nback\\slash \\x0A stays"},
     {"update Ingredients set notes = 'Ann''s plan\\x3a day 1\\x0D\\x0Aback\\x5cslash \\x5cx0A stays' where id = 1"}},
    {"EngineGivenId", "select id, name from Ingredients where name = 'Pepper'", {}, {"6|Pepper"},
     {"insert into Ingredients( name ) values( 'Pepper' )"}},
    {"CopyOfARow", "select name, def_measure, unit_measure_name, unit_measure_size from Ingredients where id = 6", {},
     {"Apples_01|10|apple|150"},
     {"insert into Ingredients ( name, def_measure, unit_measure, unit_measure_name, unit_measure_size, notes ) "
      "select 'Apples_01', def_measure, unit_measure, unit_measure_name, unit_measure_size, notes from Ingredients "
      "where id = 2"}},
    {"CopyOfRecipeRows", "select course, seq, length( data ) from Recipes where course = 1", {}, {"1|0|4"},
     {"insert into Recipes select 1, seq, data from Recipes where course = 2"}},
    {"IntegerArithmeticIsUntouched", "select day_num from TripDays where trip = 1 order by id", {}, {"2", "3", "4"},
     {"update TripDays set day_num = day_num + 1 where trip = 1"}},
};

INSTANTIATE_TEST_SUITE_P(PartsStatements, DialectStatementTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return info.param.name; });

using DialectTest = KestavoDatabaseTest;

TEST_F(DialectTest, NowReadsBackAsTheSameTextEachTime) {
    ASSERT_TRUE(Exec("insert into People( id, name ) values( 1, 'Ann' )"));
    ASSERT_TRUE(Exec("update People set modified =  NOW( * )  where id = 1"));
    const std::string first = Value("select modified from People where id = 1").AsText();
    const std::string second = Value("select modified from People where id = 1").AsText();
    EXPECT_EQ(first, second);
    EXPECT_TRUE(std::regex_match(first, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})"))) << first;
}

TEST_F(DialectTest, QuotedAliasesNameTheColumns) {
    WQuery query(&Transaction());
    query.SetSQL("SELECT  Trips.name Name, DATEFORMAT( Trips.trip_date, 'Mmm. dd, YYYY' ) \"Trip date\", id\n"
                 "FROM Kestavo.Trips Trips\n");
    ASSERT_TRUE(query.Open()) << query.LastError();
    ASSERT_EQ(query.GetNumColumns(), 3);
    EXPECT_EQ(query.GetColumnName(0), "Name");
    EXPECT_EQ(query.GetColumnName(1), "Trip date");
    EXPECT_EQ(query.FindColumn("TRIP DATE"), 1);
}

// The table data import writes whole rows by position, and its update has no blank before "where".
TEST_F(DialectTest, ImportStatementsBindEveryColumnByPosition) {
    WQuery query(&Transaction());
    ASSERT_TRUE(query.Execute("insert into People values( ?, ?, ?, ?, ? )",
                              {7, "Cy", WDataValue::Null(), "2024-01-01 10:00:00.000", 1.25}))
        << query.LastError();
    ASSERT_TRUE(query.Execute("update People set id = ?, name = ?, notes = ?, modified = ?, appetite = ?where id = 7",
                              {7, "Cy", "a\nnote: ?", "2024-01-02 11:00:00.000", 2.0}))
        << query.LastError();
    EXPECT_EQ(query.RowsAffected(), 1);
    query.SetSQL("select id, name, notes, modified, appetite from People where id = 7");
    ASSERT_TRUE(query.Open()) << query.LastError();
    ASSERT_EQ(query.GetNumRows(), 1);
    EXPECT_EQ(query.GetValue(0, 2).AsText(), "a\nnote: ?");
    EXPECT_EQ(query.GetValue(0, 3).AsText(), "2024-01-02 11:00:00.000");
    EXPECT_DOUBLE_EQ(query.GetValue(0, 4).AsDouble(), 2.0);
}

TEST_F(DialectTest, AnInsertNamingAMissingRowIsRefused) {
    WQuery query(&Transaction());
    EXPECT_FALSE(query.Execute("insert into TripPeople( person, trip ) values( -1, -1 )"));
    EXPECT_FALSE(query.LastError().empty());
}

TEST_F(DialectTest, AKeyJoinWithoutAForeignKeyFailsQuietly) {
    WQuery query(&Transaction());
    query.SetSQL("select * from People == FoodStops");
    EXPECT_FALSE(query.Open());
    EXPECT_EQ(query.GetNumRows(), 0);
    EXPECT_NE(query.LastError().find("foreign key"), std::string::npos) << query.LastError();
}

TEST_F(DialectTest, KeyJoinsFollowTheDeclaredKeysOfTheConnectedDatabase) {
    // A table this program never had: its key is found because the database declares it.
    ASSERT_TRUE(Exec("create table Gear( id integer primary key, owner integer references People( id ) )"));
    Transaction().Disconnect();
    ASSERT_TRUE(Transaction().Connect());
    ASSERT_TRUE(Exec("insert into People( id, name ) values( 7, 'Cy' )"));
    ASSERT_TRUE(Exec("insert into Gear( id, owner ) values( 1, 7 )"));
    EXPECT_EQ(Value("select People.name from Gear == People").AsText(), "Cy");
}

}  // namespace
