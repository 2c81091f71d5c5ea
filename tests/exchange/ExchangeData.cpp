#include "tests/exchange/ExchangeData.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

// Each query gives one text per row; ids are replaced by names through sub-selects.
const std::map<std::string, std::string> RowQueries = {
    {"Ingredients",
     "select quote(name), quote(def_measure), quote(unit_measure), quote(unit_measure_name), "
     "quote(unit_measure_size), quote(coalesce(notes, '')), quote(modified), quote(coalesce(licensor, '')) "
     "from Ingredients"},
    {"Courses",
     "select quote(name), quote(feeds), quote(recipe_format), quote(coalesce(notes, '')), quote(modified), "
     "quote(coalesce(licensor, '')) from Courses"},
    {"Recipes", "select (select name from Courses where id = course), seq, hex(data) from Recipes"},
    {"CourseIngredients",
     "select (select name from Courses where id = course), (select name from Ingredients where id = ingredient), "
     "quote(measure), quote(amount), quote(unit_measure) from CourseIngredients"},
    {"Meals",
     "select quote(name), quote(coalesce(notes, '')), quote(modified), quote(coalesce(licensor, '')) from Meals"},
    {"MealCourses",
     "select (select name from Meals where id = meal), (select name from Courses where id = course) from MealCourses"},
    {"People", "select quote(name), quote(coalesce(notes, '')), quote(modified), quote(appetite) from People"},
    {"Trips",
     "select quote(name), quote(location), quote(trip_date), quote(coalesce(notes, '')), quote(modified) from Trips"},
    {"TripDays",
     "select (select name from Trips where id = trip), day_num, quote(coalesce(notes, '')) from TripDays"},
    {"DayFoodStops",
     "select t.name, d.day_num, s.food_stop, quote(coalesce(s.notes, '')) from DayFoodStops s "
     "join TripDays d on d.id = s.trip_day join Trips t on t.id = d.trip"},
    {"DayMeals",
     "select t.name, d.day_num, s.food_stop, (select name from Meals where id = m.meal) from DayMeals m "
     "join DayFoodStops s on s.id = m.day_stop join TripDays d on d.id = s.trip_day join Trips t on t.id = d.trip"},
    {"DayCourses",
     "select t.name, d.day_num, s.food_stop, (select name from Courses where id = c.course) from DayCourses c "
     "join DayFoodStops s on s.id = c.day_stop join TripDays d on d.id = s.trip_day join Trips t on t.id = d.trip"},
    {"MealPeople",
     "select (select name from People where id = p.person), t.name, d.day_num, s.food_stop from MealPeople p "
     "join DayFoodStops s on s.id = p.day_stop join TripDays d on d.id = s.trip_day join Trips t on t.id = d.trip"},
    {"TripPeople",
     "select (select name from People where id = person), (select name from Trips where id = trip) from TripPeople"},
};

// 100 KB in which every byte value occurs, zero bytes and line ends among them.
WDataValue::Bytes RecipeBytes(std::size_t size) {
    WDataValue::Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 256) % 256);
    return bytes;
}

}  // namespace

std::vector<std::string> SqliteRows(const std::filesystem::path& database, const std::string& sql) {
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql << sqlite3_errmsg(db);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        std::string row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const unsigned char* text = sqlite3_column_text(statement, column);
            row += (column ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

TableRows ReadTableRows(const std::filesystem::path& database) {
    TableRows tables;
    for (const auto& [table, sql] : RowQueries) {
        std::vector<std::string> rows = SqliteRows(database, sql);
        std::sort(rows.begin(), rows.end());
        tables[table] = rows;
    }
    return tables;
}

const std::vector<std::string>& ExchangedTables() {
    static const std::vector<std::string> tables = {
        "Ingredients", "Courses", "Recipes",      "CourseIngredients", "Meals",      "MealCourses", "People",
        "Trips",       "TripDays", "DayFoodStops", "DayMeals",          "DayCourses", "MealPeople",  "TripPeople"};
    return tables;
}

void ExchangeTest::FillDatabase() {
    const WDataValue null;
    const char* ingredients = "insert into Ingredients values( ?, ?, ?, ?, ?, ?, ?, ?, ? )";
    Exec(ingredients, {3, "O'Brien's salt", 10, 0, "", 1.0, "50% of it: C:\\salt\\\"x\"", "2026-01-02 03:04:05", null});
    Exec(ingredients, {7, "colon: back\\slash", 14, 1, "pinch", 0.25, null, null, "Ann's credit"});
    Exec(ingredients, {9, "line\nbreak", null, 0, null, 2.5, "two\r\nlines\n", "2026-03-04 05:06:07", ""});
    Exec(ingredients, {12, "Crème brûlée sugar", 11, 0, "", 1.0, "\tindented %s note", "2026-05-06 07:08:09", null});
    const char* courses = "insert into Courses values( ?, ?, ?, ?, ?, ?, ? )";
    Exec(courses, {4, "stew", 4.0, 1, "hot", "2026-01-01 10:00:00", null});
    Exec(courses, {8, "Pâté", 2.5, 2, null, null, null});
    const WDataValue::Bytes recipe = RecipeBytes(100 * 1024);
    for (std::size_t start = 0, seq = 0; start < recipe.size(); start += 5000, ++seq) {
        const auto first = recipe.begin() + static_cast<std::ptrdiff_t>(start);
        const auto last = recipe.begin() + static_cast<std::ptrdiff_t>(std::min(recipe.size(), start + 5000));
        Exec("insert into Recipes values( ?, ?, ? )", {4, static_cast<long>(seq), WDataValue::Bytes(first, last)});
    }
    const char* lines = "insert into CourseIngredients values( ?, ?, ?, ?, ?, ? )";
    Exec(lines, {5, 4, 3, 10, 0.25, 0});
    Exec(lines, {6, 4, 7, 14, 1.5, 1});
    Exec(lines, {11, 8, 12, null, null, 0});
    Exec("insert into Meals values( ?, ?, ?, ?, ? )", {2, "dinner", "n", "2026-02-02 02:02:02", null});
    Exec("insert into Meals values( ?, ?, ?, ?, ? )", {6, "late: 'snack'", null, null, null});
    for (const auto& [id, meal, course] : {std::tuple{1, 2, 4}, {3, 2, 8}, {4, 6, 8}})
        Exec("insert into MealCourses values( ?, ?, ? )", {id, meal, course});
    Exec("insert into People values( ?, ?, ?, ?, ? )", {5, "Åsa", null, null, 1.5});
    Exec("insert into People values( ?, ?, ?, ?, ? )", {6, "Bob \\ Jr.", "x", "2026-01-01 00:00:00", null});
    Exec("insert into Trips values( ?, ?, ?, ?, ?, ? )",
         {3, "Hike", "Lake: north", "2026-07-01", "bring water", "2026-06-01 12:00:00"});
    Exec("insert into Trips values( ?, ?, ?, ?, ?, ? )", {4, "Nulls", null, null, null, null});
    Exec("insert into TripDays values( 2, 1, 3, NULL )");
    Exec("insert into TripDays values( 5, 2, 3, 'rain' )");
    Exec("insert into DayFoodStops values( 7, 2, 1, NULL )");
    Exec("insert into DayFoodStops values( 8, 5, 4, 'lunch' )");
    Exec("insert into DayMeals values( 1, 7, 2 )");
    Exec("insert into DayCourses values( 1, 8, 8 )");
    Exec("insert into MealPeople values( 1, 5, 7 )");
    Exec("insert into MealPeople values( 2, 6, 8 )");
    Exec("insert into TripPeople values( 1, 5, 3 )");
    Exec("insert into TripPeople values( 2, 6, 3 )");
}

void ExchangeTest::EmptyExchangedTables() {
    const std::vector<std::string>& tables = ExchangedTables();
    for (auto table = tables.rbegin(); table != tables.rend(); ++table) Exec("delete from " + *table);
}

bool ExchangeTest::ExportTo(const std::filesystem::path& file, const std::vector<std::string>& tables) {
    const bool ok = transfer.Export(file.string(), nullptr, main.transaction_KVO.get(), tables, 103);
    lastError = transfer.LastError();
    return ok;
}

bool ExchangeTest::ImportFrom(const std::filesystem::path& file, const std::vector<std::string>& tables,
                              const std::string& prefix, const std::string& suffix,
                              std::optional<std::string> licensor) {
    DBFile::ImportArguments arguments;
    arguments.path = file.string();
    arguments.transaction = main.transaction_KVO.get();
    arguments.schemas = &main.schemaList;
    arguments.tables = tables;
    arguments.maxLoadVersion = 302;
    arguments.prefix = prefix;
    arguments.suffix = suffix;
    arguments.licensor = std::move(licensor);
    DBFile import;
    const bool ok = import.Import(std::move(arguments));
    lastError = import.LastError();
    return ok;
}
