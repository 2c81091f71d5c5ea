#include "bench/report/LongTrip.h"

#include <odbcinst.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/db/DataSourceOptions.h"

namespace long_trip {

bool ExecSql(const std::filesystem::path& database, const char* sql, const char* what) {
    sqlite3* db = nullptr;
    if (sqlite3_open(database.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    char* error = nullptr;
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK;
    if (!ok) std::fprintf(stderr, "%s: %s\n", what, error ? error : "?");
    sqlite3_free(error);
    sqlite3_close(db);
    return ok;
}

bool Fill(const std::filesystem::path& database) {
    std::ostringstream sql;
    sql << "BEGIN;";
    // Ingredients kept in g, ml or units; every fifth has a portion.
    const int defaults[] = {10, 1, 14, 10, 2};
    for (int i = 1; i <= Ingredients; ++i)
        sql << "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size )"
            << " values( " << i << ", 'Ingredient " << i << "', " << defaults[i % 5] << ", " << (i % 5 == 0 ? 1 : 0)
            << ", 'pieces', 25 );";
    // Lines in the default measure, in a measure that converts, in portions, and some that do not convert.
    for (int c = 1; c <= MenuItems; ++c) {
        sql << "insert into Courses( id, name, feeds ) values( " << c << ", 'Menu item " << c << "', " << (c % 4 + 1) << " );";
        for (int l = 0; l < LinesEach; ++l) {
            const int ingredient = (c * 7 + l * 331) % Ingredients + 1;
            const int def = defaults[ingredient % 5];
            const int measure = l == 1 ? (def == 10 ? 11 : def == 1 || def == 2 ? 5 : 14) : l == 2 && def == 10 ? 5 : def;
            sql << "insert into CourseIngredients( course, ingredient, measure, amount, unit_measure ) values( " << c << ", "
                << ingredient << ", " << measure << ", " << (l + 1) * 0.75 << ", " << (l == 3 && ingredient % 5 == 0 ? 1 : 0)
                << " );";
        }
    }
    for (int m = 1; m <= Meals; ++m) {
        sql << "insert into Meals( id, name ) values( " << m << ", 'Meal " << m << "' );";
        for (int k = 0; k < 4; ++k)
            sql << "insert into MealCourses( meal, course ) values( " << m << ", " << (m * 5 + k * 97) % MenuItems + 1 << " );";
    }
    for (int p = 1; p <= Guests; ++p)
        sql << "insert into People( id, name, appetite ) values( " << p << ", 'Guest " << p << "', " << 0.75 + (p % 4) * 0.25
            << " );";
    sql << "insert into Trips( id, name, location, trip_date ) values( 1, 'Long trip', 'Mountains', '2024-06-01' );";
    for (int p = 1; p <= Guests; ++p) sql << "insert into TripPeople( person, trip ) values( " << p << ", 1 );";
    int stop = 0;
    for (int d = 1; d <= Days; ++d) {
        sql << "insert into TripDays( id, trip, day_num ) values( " << d << ", 1, " << d << " );";
        for (int foodStop : StopsOfADay) {
            ++stop;
            sql << "insert into DayFoodStops( id, trip_day, food_stop ) values( " << stop << ", " << d << ", " << foodStop << " );";
            sql << "insert into DayMeals( day_stop, meal ) values( " << stop << ", " << stop % Meals + 1 << " );";
            if (stop % 2) sql << "insert into DayMeals( day_stop, meal ) values( " << stop << ", " << (stop * 3) % Meals + 1 << " );";
            sql << "insert into DayCourses( day_stop, course ) values( " << stop << ", " << (stop * 11) % MenuItems + 1 << " );";
            for (int p = 1; p <= Guests; ++p)
                sql << "insert into MealPeople( person, day_stop ) values( " << p << ", " << stop << " );";
        }
    }
    sql << "COMMIT;";
    return ExecSql(database, sql.str().c_str(), "fixture");
}

const std::vector<std::string>& Parameters() {
    static const std::vector<std::string> parameters = {"Trip id; 1; TRUE", "version; 3.02; TRUE",
                                                        "unit_type; 1; TRUE", "ingredient_units; 1; TRUE",
                                                        "trip_very_detailed; 0; TRUE"};
    return parameters;
}

bool WriteDataSource(const std::string& name, const std::filesystem::path& database) {
    SQLSetConfigMode(ODBC_USER_DSN);
    return SQLWriteDSNToIni(name.c_str(), "SQLite3") &&
           SQLWritePrivateProfileString(name.c_str(), "Database", database.c_str(), "odbc.ini") &&
           WriteDriverOptions(name);
}

std::filesystem::path MakeScratchFolder(const char* pattern) {
    if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string name = pattern;
    if (!mkdtemp(name.data())) return {};
    const std::filesystem::path folder = name;
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);
    return folder;
}

}  // namespace long_trip
