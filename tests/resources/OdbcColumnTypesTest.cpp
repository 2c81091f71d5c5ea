// The template as the program sees it: through unixODBC and the SQLite3 ODBC driver. The
// table data file picks each value's tag by the type the driver reports, and the import
// compares `modified` values as text.

#include "tests/resources/TemplateCopy.h"

#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <cstdlib>
#include <string>

namespace {

class OdbcConnection {
public:
    explicit OdbcConnection(const std::filesystem::path& database, bool foreignKeys = true)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
        std::string text = std::string("DRIVER=") + KVO_SQLITE_ODBC_DRIVER + ";Database="
                           + database.string() + ";NoCreat=1;FKSupport="
                           + (foreignKeys ? "1" : "0") + ";";
        SQLCHAR out[1024];
        SQLSMALLINT outLength = 0;
        connected_ = SQL_SUCCEEDED(SQLDriverConnect(
            dbc_, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, out, sizeof out,
            &outLength, SQL_DRIVER_NOPROMPT));
    }
    ~OdbcConnection()
    {
        if (connected_) SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }

    bool Connected() const { return connected_; }

    bool Exec(const std::string& sql)
    {
        SQLHSTMT statement = NewStatement();
        bool ok = SQL_SUCCEEDED(
            SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                          SQL_NTS));
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        return ok;
    }

    // The SQL type of every result column, joined by ",".
    std::string ColumnTypes(const std::string& sql)
    {
        SQLHSTMT statement = NewStatement();
        std::string types;
        if (SQL_SUCCEEDED(SQLExecDirect(
                statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS))) {
            SQLSMALLINT count = 0;
            SQLNumResultCols(statement, &count);
            for (SQLUSMALLINT c = 1; c <= count; ++c) {
                SQLCHAR name[128];
                SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
                SQLULEN size = 0;
                SQLDescribeCol(statement, c, name, sizeof name, &nameLength, &type, &size,
                               &digits, &nullable);
                types += (types.empty() ? "" : ",") + std::to_string(type);
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        return types;
    }

    // The first column of the first row, read as text.
    std::string Text(const std::string& sql)
    {
        SQLHSTMT statement = NewStatement();
        std::string text;
        if (SQL_SUCCEEDED(SQLExecDirect(
                statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS))
            && SQL_SUCCEEDED(SQLFetch(statement))) {
            char buffer[256];
            SQLLEN length = 0;
            SQLRETURN result;
            while (SQL_SUCCEEDED(result = SQLGetData(statement, 1, SQL_C_CHAR, buffer,
                                                     sizeof buffer, &length))
                   && length != SQL_NULL_DATA) {
                text += buffer;
                if (result == SQL_SUCCESS) break;
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        return text;
    }

private:
    SQLHSTMT NewStatement()
    {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &statement);
        return statement;
    }

    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
};

struct TableTypes {
    const char* table;
    const char* types;   // ODBC SQL type of each column of "select *", in order
};

void PrintTo(const TableTypes& param, std::ostream* out) { *out << param.table; }

class ReportedTypes : public testing::TestWithParam<TableTypes> {};

// 4 integer, 8 double, 12 varchar, -1 long varchar, -2 binary, 91 date, 93 timestamp.
TEST_P(ReportedTypes, EveryExchangedColumnReportsTheTypeItsValueTagNeeds)
{
    TemplateCopy copy;
    OdbcConnection odbc(copy.Path());
    ASSERT_TRUE(odbc.Connected());
    EXPECT_EQ(odbc.ColumnTypes(std::string("select * from ") + GetParam().table),
              GetParam().types);
}

INSTANTIATE_TEST_SUITE_P(Tables, ReportedTypes, testing::Values(
    TableTypes{"Ingredients", "4,12,4,4,12,8,-1,93,-1"},
    TableTypes{"Courses", "4,12,8,4,-1,93,-1"},
    TableTypes{"Recipes", "4,4,-2"},
    TableTypes{"CourseIngredients", "4,4,4,4,8,4"},
    TableTypes{"Meals", "4,12,-1,93,-1"},
    TableTypes{"MealCourses", "4,4,4"},
    TableTypes{"People", "4,12,-1,93,8"},
    TableTypes{"Trips", "4,12,12,91,-1,93"},
    TableTypes{"TripDays", "4,4,4,-1"},
    TableTypes{"DayFoodStops", "4,4,4,-1"},
    TableTypes{"DayMeals", "4,4,4"},
    TableTypes{"DayCourses", "4,4,4"},
    TableTypes{"MealPeople", "4,4,4"},
    TableTypes{"TripPeople", "4,4,4"},
    TableTypes{"MeasureConversions", "4,4,8"}),
    [](const testing::TestParamInfo<TableTypes>& info) { return info.param.table; });

TEST(OdbcTemplate, TimestampsAndDatesReadBackAsTheTextWritten)
{
    TemplateCopy copy;
    OdbcConnection odbc(copy.Path());
    ASSERT_TRUE(odbc.Connected());
    ASSERT_TRUE(odbc.Exec("insert into Trips( id, name, trip_date, modified ) "
                          "values( 1, 'Lakes', '2024-06-05', '2024-06-07 14:03:07.250' )"));
    for (int reading = 0; reading < 2; ++reading) {
        EXPECT_EQ(odbc.Text("select modified from Trips where id = 1"), "2024-06-07 14:03:07.250");
        EXPECT_EQ(odbc.Text("select trip_date from Trips where id = 1"), "2024-06-05");
    }
}

TEST(OdbcTemplate, ANameLongerThanItsDeclaredLengthReadsBackWhole)
{
    TemplateCopy copy;
    OdbcConnection odbc(copy.Path());
    ASSERT_TRUE(odbc.Connected());
    std::string name(600, 'x');
    ASSERT_TRUE(odbc.Exec("insert into Meals( name ) values( '" + name + "' )"));
    EXPECT_EQ(odbc.Text("select name from Meals"), name);
}

// The data source must ask for foreign keys: the driver leaves them off otherwise.
TEST(OdbcTemplate, ForeignKeysAreEnforcedWhenTheDataSourceTurnsThemOn)
{
    TemplateCopy copy;
    {
        OdbcConnection enforcing(copy.Path(), true);
        ASSERT_TRUE(enforcing.Connected());
        EXPECT_FALSE(enforcing.Exec("insert into MealCourses( meal, course ) values( -1, -1 )"));
        EXPECT_EQ(enforcing.Text("select count(*) from MealCourses"), "0");
    }
    OdbcConnection lax(copy.Path(), false);
    ASSERT_TRUE(lax.Connected());
    EXPECT_TRUE(lax.Exec("insert into MealCourses( meal, course ) values( -1, -1 )"));
}

}  // namespace
