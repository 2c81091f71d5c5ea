// The report files write SQLite's own SQL: WITH, CASE, UNION ALL, window functions, round,
// coalesce. Through WQuery (and so through the dialect translator) each statement must give
// exactly what SQLite itself gives for it.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdlib>

#include "platform/db/DialectTranslator.h"
#include "platform/db/WQuery.h"
#include "tests/support/TestDataSource.h"

namespace {

struct PlainCase {
    std::string name;
    std::string sql;
    std::vector<WDataValue> parameters;
    long rows;   // how many rows SQLite gives, so that a case cannot pass on two empty answers
};

std::ostream& operator<<(std::ostream& out, const PlainCase& c) { return out << c.name; }

const char* const Fixture =
    "insert into People( id, name, appetite ) values( 1, 'Ann', 1.0 ), ( 2, 'Ben', NULL ), ( 3, 'Cat', 0.5 );"
    "insert into Courses( id, name, feeds ) values( 1, 'Stew', 4 ), ( 2, 'Tea', NULL ), ( 3, 'Bread', 0 );"
    "insert into Ingredients( id, name, def_measure ) values( 1, 'Beans', 10 ), ( 2, 'Water', 2 );"
    "insert into CourseIngredients( course, ingredient, measure, amount ) values"
    "  ( 1, 1, 11, 0.5 ), ( 1, 2, 1, 750 ), ( 2, 2, 5, 1 ), ( 3, 1, 10, 100 );"
    "insert into Meals( id, name ) values( 1, 'Supper' );"
    "insert into MealCourses( meal, course ) values( 1, 1 ), ( 1, 2 ), ( 1, 2 );"
    "insert into Trips( id, name, trip_date ) values( 1, 'Hike', '2024-01-30' );"
    "insert into TripDays( id, trip, day_num ) values( 1, 1, 1 ), ( 2, 1, 2 );"
    "insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 7 ), ( 2, 2, 1 );"
    "insert into DayMeals( day_stop, meal ) values( 1, 1 ), ( 1, 1 );"
    "insert into DayCourses( day_stop, course ) values( 1, 2 ), ( 2, 3 );"
    "insert into MealPeople( person, day_stop ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 );";

const PlainCase Cases[] = {
    {"WithAndWindowFunction",
     "WITH named AS (SELECT id, name FROM People)\n"
     "SELECT name, row_number() OVER (ORDER BY name DESC) AS place FROM named ORDER BY name", {}, 3},
    {"WindowPartitions",
     "SELECT ci.course, ci.amount, sum(ci.amount) OVER (PARTITION BY ci.course) AS total,\n"
     "       rank() OVER (PARTITION BY ci.course ORDER BY ci.amount DESC) AS place\n"
     "  FROM CourseIngredients ci ORDER BY ci.course, place", {}, 4},
    {"CaseAndCoalesce",
     "SELECT name, CASE WHEN appetite IS NULL THEN 'average' WHEN appetite < 1 THEN 'small' ELSE 'big' END AS eats,\n"
     "       coalesce(appetite, 1.0) AS counted FROM People ORDER BY id", {}, 3},
    {"CaseWithOperand",
     "SELECT id, CASE def_measure WHEN 10 THEN 'weight' WHEN 2 THEN 'volume' ELSE 'other' END FROM Ingredients ORDER BY id",
     {}, 2},
    {"UnionAllKeepsEveryServing",
     "SELECT dm.day_stop, mc.course FROM DayMeals dm JOIN MealCourses mc ON mc.meal = dm.meal\n"
     "UNION ALL\n"
     "SELECT dc.day_stop, dc.course FROM DayCourses dc\n"
     "ORDER BY 1, 2", {}, 8},
    {"RoundAndArithmetic",
     "SELECT round(sum(coalesce(p.appetite, 1.0)) * 750 / 4.0, 2), round(2.345, 2), round(-0.5) FROM People p", {}, 1},
    {"NestedWithAndParameters",
     "WITH stop AS (\n"
     "  SELECT s.id AS stop_id,\n"
     "         (SELECT coalesce(sum(coalesce(p.appetite, 1.0)), 0) FROM MealPeople mp JOIN People p ON p.id = mp.person\n"
     "           WHERE mp.day_stop = s.id) AS eaters\n"
     "    FROM DayFoodStops s JOIN TripDays d ON d.id = s.trip_day WHERE d.trip = ?),\n"
     "serving AS (\n"
     "  SELECT dm.day_stop AS stop_id, mc.course FROM DayMeals dm JOIN MealCourses mc ON mc.meal = dm.meal\n"
     "  UNION ALL SELECT dc.day_stop, dc.course FROM DayCourses dc)\n"
     "SELECT st.stop_id, sv.course, st.eaters / CASE WHEN c.feeds > 0 THEN c.feeds ELSE 1.0 END AS share\n"
     "  FROM stop st JOIN serving sv ON sv.stop_id = st.stop_id JOIN Courses c ON c.id = sv.course\n"
     " WHERE ? = 1 OR st.eaters > 0\n"
     " ORDER BY st.stop_id, sv.course", {1, 0}, 7},
    {"RecursiveWith",
     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5) SELECT i, i * i FROM n", {}, 5},
    {"LeftJoinOfASubqueryAndGroupBy",
     "SELECT d.day_num, count(x.id) FROM TripDays d\n"
     "  LEFT JOIN (SELECT id, trip_day FROM DayFoodStops WHERE food_stop = 7) AS x ON x.trip_day = d.id\n"
     " GROUP BY d.day_num ORDER BY d.day_num", {}, 2},
    {"ExistsInAndLimit",
     "SELECT name FROM Courses c WHERE EXISTS (SELECT 1 FROM CourseIngredients ci WHERE ci.course = c.id)\n"
     "   AND c.id IN (1, 2, 3) ORDER BY name LIMIT 2 OFFSET 1", {}, 2},
    {"DateFunctionsOnTheTripDate",
     "SELECT d.day_num, date(t.trip_date, '+' || (d.day_num - 1) || ' days'), strftime('%w', t.trip_date)\n"
     "  FROM TripDays d JOIN Trips t ON t.id = d.trip ORDER BY d.day_num", {}, 2},
    {"PrintfSubstrAndNullif",
     "SELECT printf('%.2f', 1.5), substr('JanFebMar', 4, 3), nullif(0, 0), max(1, 2), min(3, 4), iif(1 > 0, 'y', 'n')", {}, 1},
};

std::string CellText(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL: return "NULL";
    case SQLITE_FLOAT: return WDataValue(sqlite3_column_double(stmt, column)).AsText();
    default: return reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    }
}

std::vector<std::vector<std::string>> SqliteRows(const std::string& path, const PlainCase& c) {
    std::vector<std::vector<std::string>> rows;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, c.sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    for (std::size_t i = 0; i < c.parameters.size(); ++i)
        sqlite3_bind_int64(stmt, static_cast<int>(i) + 1, c.parameters[i].AsLong());
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int col = 0; col < sqlite3_column_count(stmt); ++col) row.push_back(CellText(stmt, col));
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

// The driver may hand a computed number back as text: numbers compare as numbers.
bool SameCell(const std::string& ours, const std::string& sqlite) {
    if (ours == sqlite) return true;
    char* endA = nullptr;
    char* endB = nullptr;
    const double a = std::strtod(ours.c_str(), &endA);
    const double b = std::strtod(sqlite.c_str(), &endB);
    return !ours.empty() && !sqlite.empty() && *endA == '\0' && *endB == '\0' &&
           std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(b));
}

class PlainSqlTest : public KestavoDatabaseTest, public ::testing::WithParamInterface<PlainCase> {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        WQuery query(&Transaction());
        ASSERT_TRUE(query.Execute("select 1"));
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(DatabasePath().c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, Fixture, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }
};

TEST_P(PlainSqlTest, GivesWhatSqliteGives) {
    const PlainCase& c = GetParam();
    const auto expected = SqliteRows(DatabasePath().string(), c);
    ASSERT_EQ(static_cast<long>(expected.size()), c.rows);

    WQuery query(&Transaction());
    query.SetSQL(c.sql);
    for (std::size_t i = 0; i < c.parameters.size(); ++i) query.SetParameter(static_cast<int>(i) + 1, c.parameters[i]);
    const std::string translated = Transaction().Translator().Translate(c.sql).sql;
    ASSERT_TRUE(query.Open()) << query.LastError() << "\n" << translated;
    ASSERT_EQ(query.GetNumRows(), c.rows) << translated;
    for (long r = 0; r < query.GetNumRows(); ++r) {
        ASSERT_EQ(query.GetNumColumns(), static_cast<int>(expected[r].size()));
        for (int col = 0; col < query.GetNumColumns(); ++col) {
            const WDataValue& v = query.GetValue(r, col);
            const std::string ours = v.IsNull() ? "NULL" : v.AsText();
            EXPECT_TRUE(SameCell(ours, expected[r][col]))
                << "row " << r << " column " << col << ": " << ours << " != " << expected[r][col] << "\n" << translated;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SqliteStatements, PlainSqlTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
