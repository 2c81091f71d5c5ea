#include "platform/db/WTransaction.h"

#include <gtest/gtest.h>

#include "platform/db/WQuery.h"
#include "tests/support/TestDataSource.h"

using WTransactionTest = KestavoDatabaseTest;

TEST_F(WTransactionTest, ConnectsThroughTheDataSourceAndIsFoundByItsRegisteredName) {
    EXPECT_TRUE(Transaction().IsConnected());
    EXPECT_EQ(WTransaction::Find("WinStart::transaction_KVO"), &Transaction());
    WQuery query;
    ASSERT_TRUE(query.SetTransaction("WinStart::transaction_KVO"));
    query.SetSQL("select version from DBVersion");
    ASSERT_TRUE(query.Open()) << query.LastError();
    EXPECT_EQ(query.GetValue(0, 0).AsLong(), 9);
}

TEST_F(WTransactionTest, AnUnregisteredNameIsNotFound) {
    WTransaction::Unregister("WinStart::transaction_KVO");
    WQuery query;
    EXPECT_FALSE(query.SetTransaction("WinStart::transaction_KVO"));
    EXPECT_EQ(WTransaction::Find("WinStart::transaction_KVO"), nullptr);
}

TEST_F(WTransactionTest, WritesAreKeptWithoutACommit) {
    ASSERT_TRUE(Exec("insert into People( name ) values( 'Ann' )"));
    Transaction().Disconnect();
    ASSERT_TRUE(Transaction().Connect()) << Transaction().LastError();
    EXPECT_EQ(Value("select count(*) from People where name = 'Ann'").AsLong(), 1);
}

TEST_F(WTransactionTest, DisconnectClosesOpenQueriesAndQueriesFailUntilConnectedAgain) {
    WQuery query(&Transaction());
    query.SetSQL("select id from FoodStops");
    ASSERT_TRUE(query.Open());
    ASSERT_GT(query.GetNumRows(), 0);
    Transaction().Disconnect();
    EXPECT_FALSE(Transaction().IsConnected());
    EXPECT_FALSE(query.IsOpen());
    EXPECT_EQ(query.GetNumRows(), 0);
    EXPECT_FALSE(query.Open());
    EXPECT_FALSE(query.Execute("delete from People"));
    ASSERT_TRUE(Transaction().Connect());
    EXPECT_TRUE(query.Open()) << query.LastError();
}

TEST_F(WTransactionTest, ConnectsAgainAfterTheFileIsReplacedByACopy) {
    ASSERT_TRUE(Exec("insert into People( name ) values( 'Before' )"));
    const auto saved = Folder().File("saved.db");
    Transaction().Disconnect();
    std::filesystem::copy_file(DatabasePath(), saved);
    ASSERT_TRUE(Transaction().Connect());
    ASSERT_TRUE(Exec("delete from People"));
    Transaction().Disconnect();
    std::filesystem::copy_file(saved, DatabasePath(), std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(Transaction().Connect()) << Transaction().LastError();
    EXPECT_EQ(Value("select name from People").AsText(), "Before");
    // Key joins still resolve: the schema is read again at every connect.
    EXPECT_TRUE(Value("select count(*) from Measures == MeasureTypes").AsLong() > 0);
}

TEST(WTransactionConnectTest, AMissingDataSourceFailsWithAnError) {
    TempFolder folder;
    PrivateDataSource source(folder.File("Kestavo.db"), "Other");
    WTransaction transaction;
    transaction.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    EXPECT_FALSE(transaction.Connect());
    EXPECT_FALSE(transaction.IsConnected());
    EXPECT_FALSE(transaction.LastError().empty());
}

TEST(WTransactionConnectTest, AMissingDatabaseFileFailsAndIsNotCreated) {
    TempFolder folder;
    PrivateDataSource source(folder.File("Kestavo.db"));
    WTransaction transaction;
    transaction.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    EXPECT_FALSE(transaction.Connect());
    EXPECT_FALSE(std::filesystem::exists(folder.File("Kestavo.db")));
}
