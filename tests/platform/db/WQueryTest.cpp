#include "platform/db/WQuery.h"

#include <gtest/gtest.h>

#include <sqlext.h>

#include "tests/support/TestDataSource.h"

namespace {

using WQueryTest = KestavoDatabaseTest;

// What the program's escape helper writes for a quoted literal.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\x0A";
        else if (c == '\r') out += "\\x0D";
        else if (c == '\'') out += "''";
        else if (c == ':') out += "\\x3a";
        else if (c == '\\') out += "\\x5c";
        else out += c;
    }
    return out;
}

TEST_F(WQueryTest, ABlobOf5000BytesRoundTrips) {
    WDataValue::Bytes blob(5000);
    for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>(i * 7);
    blob[0] = 0x00;
    blob[1] = 0x0A;
    blob[2] = 0x0D;
    blob[4999] = 0x00;
    ASSERT_TRUE(Exec("insert into Courses( id, name ) values( 1, 'Stew' )"));
    WQuery query(&Transaction());
    ASSERT_TRUE(query.Execute("insert into Recipes( course, seq, data ) values( 1, 0, ? )", {WDataValue(blob)}))
        << query.LastError();
    query.SetSQL("select data from Recipes where course = 1 order by seq");
    ASSERT_TRUE(query.Open()) << query.LastError();
    ASSERT_EQ(query.GetNumRows(), 1);
    EXPECT_TRUE(query.GetValue(0, 0).IsBytes());
    EXPECT_EQ(query.GetValue(0, 0).AsBytes(), blob);
}

TEST_F(WQueryTest, TextWithQuoteColonBackslashAndLineBreaksRoundTrips) {
    const std::string text = "Ann's plan: C:\\trips\\x0A\r\nday 2\nend\\";
    WQuery query(&Transaction());
    ASSERT_TRUE(query.Execute("insert into People( id, name, notes ) values( 1, 'bound', ? )", {text}));
    ASSERT_TRUE(Exec("insert into People( id, name, notes ) values( 2, 'written', '" + Escaped(text) + "' )"));
    query.SetSQL("select notes from People order by id");
    ASSERT_TRUE(query.Open()) << query.LastError();
    ASSERT_EQ(query.GetNumRows(), 2);
    EXPECT_EQ(query.GetValue(0, 0).AsText(), text);
    EXPECT_EQ(query.GetValue(1, 0).AsText(), text);
}

TEST_F(WQueryTest, IdsAreTakenAsGivenOrGivenByTheEngine) {
    ASSERT_TRUE(Exec("insert into Ingredients( name ) values( 'Rice' )"));
    EXPECT_EQ(Value("select id from Ingredients where name = 'Rice'").AsLong(), 1);
    ASSERT_TRUE(Exec("insert into Ingredients( id, name ) values( 42, 'Beans' )"));
    EXPECT_EQ(Value("select id from Ingredients where name = 'Beans'").AsLong(), 42);
    ASSERT_TRUE(Exec("insert into Ingredients( name ) values( 'Corn' )"));
    EXPECT_EQ(Value("select id from Ingredients where name = 'Corn'").AsLong(), 43);
    EXPECT_EQ(Value("select max(id) from Ingredients").AsLong(), 43);
}

TEST_F(WQueryTest, ParametersOfEveryKindAreBoundByPosition) {
    WQuery query(&Transaction());
    ASSERT_TRUE(query.Execute("insert into People( id, name, appetite, notes ) values( ?, ?, ?, ? )",
                              {WDataValue(7), WDataValue("Eve"), WDataValue(1.25), WDataValue::Null()}))
        << query.LastError();
    query.SetSQL("select id, name, appetite, notes from People where id = ? and name = ?");
    query.SetParameter(1, 7);
    query.SetParameter(2, "EVE");
    ASSERT_TRUE(query.Open()) << query.LastError();
    ASSERT_EQ(query.GetNumRows(), 1);
    EXPECT_TRUE(query.GetValue(0, 0).IsLong());
    EXPECT_EQ(query.GetValue(0, 0).AsLong(), 7);
    EXPECT_EQ(query.GetValue(0, 1).AsText(), "Eve");
    EXPECT_TRUE(query.GetValue(0, 2).IsDouble());
    EXPECT_DOUBLE_EQ(query.GetValue(0, 2).AsDouble(), 1.25);
    EXPECT_TRUE(query.IsNull(0, 3));
}

TEST_F(WQueryTest, ReportsColumnNamesAndTheDriversTypes) {
    ASSERT_TRUE(Exec("insert into Courses( id, name ) values( 1, 'Stew' )"));
    ASSERT_TRUE(Exec("insert into Recipes( course, seq, data ) values( 1, 0, x'0102' )"));
    ASSERT_TRUE(Exec("insert into Trips( id, name, trip_date, notes ) values( 1, 'T', '2024-05-06', 'n' )"));
    ASSERT_TRUE(Exec("update Trips set modified =  NOW( * )  where id = 1"));
    WQuery query(&Transaction());
    query.SetSQL("select Trips.id, Trips.name, Trips.trip_date, Trips.modified, Trips.notes, Courses.feeds, "
                 "Recipes.data from Trips, Courses, Recipes");
    ASSERT_TRUE(query.Open()) << query.LastError();
    ASSERT_EQ(query.GetNumColumns(), 7);
    const std::vector<std::pair<std::string, int>> expected = {
        {"id", SQL_INTEGER},         {"name", SQL_VARCHAR},    {"trip_date", SQL_TYPE_DATE},
        {"modified", SQL_TYPE_TIMESTAMP}, {"notes", SQL_LONGVARCHAR}, {"feeds", SQL_DOUBLE},
        {"data", SQL_BINARY}};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(query.GetColumnName(c), expected[c].first);
        EXPECT_EQ(query.GetColumnType(c), expected[c].second) << expected[c].first;
    }
    EXPECT_EQ(query.GetValue(0, "trip_date").AsText(), "2024-05-06");
    EXPECT_EQ(query.GetValue(0, "DATA").AsBytes(), (WDataValue::Bytes{1, 2}));
    EXPECT_EQ(query.GetColumnType(7), 0);
    EXPECT_EQ(query.FindColumn("missing"), -1);
}

TEST_F(WQueryTest, AFailedStatementAnswersFalseAndNoRows) {
    WQuery query(&Transaction());
    query.SetSQL("select nothing from Nowhere");
    EXPECT_FALSE(query.Open());
    EXPECT_FALSE(query.IsOpen());
    EXPECT_EQ(query.GetNumRows(), 0);
    EXPECT_FALSE(query.LastError().empty());
    EXPECT_FALSE(query.Execute("update Nowhere set x = 1"));
    EXPECT_EQ(query.RowsAffected(), -1);
    EXPECT_FALSE(query.Execute("select 'unterminated"));
    EXPECT_TRUE(query.GetValue(0, 0).IsNull());
    WQuery unbound;
    EXPECT_FALSE(unbound.Execute("delete from People"));
}

TEST_F(WQueryTest, RefreshSeesNewRowsAndExecuteLeavesTheRowsAlone) {
    WQuery query(&Transaction());
    query.SetSQL("select name from People order by name");
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.GetNumRows(), 0);
    ASSERT_TRUE(query.Execute("insert into People( name ) values( 'Ann' )"));
    EXPECT_EQ(query.RowsAffected(), 1);
    EXPECT_EQ(query.GetSQL(), "select name from People order by name");
    ASSERT_TRUE(query.Refresh());
    ASSERT_EQ(query.GetNumRows(), 1);
    ASSERT_TRUE(query.Execute("insert into People( name ) values( 'Bob' )"));
    EXPECT_EQ(query.GetNumRows(), 1);   // until refreshed
    EXPECT_EQ(query.GetValue(0, 0).AsText(), "Ann");
    ASSERT_TRUE(query.Execute("update People set appetite = 2"));
    EXPECT_EQ(query.RowsAffected(), 2);
    query.Close();
    EXPECT_FALSE(query.IsOpen());
    EXPECT_EQ(query.GetNumRows(), 0);
}

TEST_F(WQueryTest, TheSameStatementRunsAgainWithNewParameters) {
    WQuery insert(&Transaction());
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(insert.Execute("insert into People( id, name ) values( ?, ? )", {i, "P" + std::to_string(i)}));
    WQuery query(&Transaction());
    query.SetSQL("select name from People where id = ?");
    for (int i = 1; i <= 3; ++i) {
        query.SetParameter(1, i);
        ASSERT_TRUE(query.Open());
        ASSERT_EQ(query.GetNumRows(), 1);
        EXPECT_EQ(query.GetValue(0, 0).AsText(), "P" + std::to_string(i));
    }
    query.SetParameter(1, "2");   // an id given as text still finds its row
    ASSERT_TRUE(query.Open());
    ASSERT_EQ(query.GetNumRows(), 1);
    EXPECT_EQ(query.GetValue(0, 0).AsText(), "P2");
    EXPECT_FALSE(insert.Execute("insert into People( id, name ) values( ?, ? )", {1, "again"}));   // taken id
    EXPECT_TRUE(insert.Execute("insert into People( id, name ) values( ?, ? )", {4, "P4"}));
}

TEST_F(WQueryTest, AMarkerThatTheDialectRepeatsIsBoundEachTime) {
    WQuery query(&Transaction());
    query.SetSQL("select STRING( ?, '/', ? ), DATEFORMAT( ?, 'Mmm dd, YYYY' )");
    query.SetParameter(1, 2.5);
    query.SetParameter(2, 3);
    query.SetParameter(3, "2024-03-09");
    ASSERT_TRUE(query.Open()) << query.LastError();
    EXPECT_EQ(query.GetValue(0, 0).AsText(), "2.5/3");
    EXPECT_EQ(query.GetValue(0, 1).AsText(), "Mar 09, 2024");
}

}  // namespace
