#include "platform/db/WTransaction.h"

#include <gtest/gtest.h>

#include "platform/db/WQuery.h"
#include "tests/support/DamagedDatabase.h"
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

// What a failed connect or statement says about the file decides whether the program may put
// the template in its place: only a file that holds no database, or a damaged one, says so.
struct FileCase {
    const char* name;
    BrokenDatabase kind;
    bool connects;                  // the schema reads
    WDbFailureKind versionFailure;  // of "select version from DBVersion", or of the connect
    friend void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }
};

class UnreadableDatabaseTest : public testing::TestWithParam<FileCase> {};

TEST_P(UnreadableDatabaseTest, TellsAFileThatHoldsNoDatabase) {
    TempFolder folder;
    WriteBrokenDatabase(GetParam().kind, folder.File("Kestavo.db"));
    PrivateDataSource source(folder.File("Kestavo.db"));
    WTransaction transaction;
    transaction.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    ASSERT_EQ(transaction.Connect(), GetParam().connects) << transaction.LastError();
    if (!GetParam().connects) {
        EXPECT_EQ(transaction.LastFailure().kind, GetParam().versionFailure);
        EXPECT_FALSE(transaction.LastFailure().reason.empty());
        return;
    }
    WQuery query(&transaction);
    query.SetSQL("select version from DBVersion");
    EXPECT_FALSE(query.Open());
    EXPECT_EQ(query.LastFailure().kind, GetParam().versionFailure) << query.LastError();
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableDatabaseTest, testing::Values(
    FileCase{"ZeroBytesIsADatabaseWithoutTables", BrokenDatabase::ZeroBytes, true, WDbFailureKind::Refused},
    FileCase{"TextFile", BrokenDatabase::TextFile, false, WDbFailureKind::NotADatabase},
    FileCase{"BadHeader", BrokenDatabase::BadHeader, false, WDbFailureKind::NotADatabase},
    FileCase{"TruncatedToHalf", BrokenDatabase::TruncatedToHalf, false, WDbFailureKind::NotADatabase},
    FileCase{"VersionPageDamaged", BrokenDatabase::VersionPageDamaged, true, WDbFailureKind::NotADatabase}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

TEST(WTransactionConnectTest, AFolderInPlaceOfTheFileIsUnavailableNotBroken) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("Kestavo.db"));
    PrivateDataSource source(folder.File("Kestavo.db"));
    WTransaction transaction;
    transaction.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    EXPECT_FALSE(transaction.Connect());
    EXPECT_EQ(transaction.LastFailure().kind, WDbFailureKind::Unavailable);
}

TEST(WTransactionConnectTest, ALockedDatabaseIsUnavailableWithTheDriversReason) {
    TempFolder folder;
    std::filesystem::copy_file(TemplateDatabasePath(), folder.File("Kestavo.db"));
    PrivateDataSource source(folder.File("Kestavo.db"));
    SetDriverBusyTimeout("Kestavo", 100);
    ExclusiveLock lock(folder.File("Kestavo.db"));
    ASSERT_TRUE(lock.Held());
    WTransaction transaction;
    transaction.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    EXPECT_FALSE(transaction.Connect());
    EXPECT_EQ(transaction.LastFailure().kind, WDbFailureKind::Unavailable);
    EXPECT_EQ(transaction.LastFailure().reason, "database is locked");
}

TEST(WTransactionConnectTest, AMissingDataSourceIsNoDataSource) {
    TempFolder folder;
    PrivateDataSource source(folder.File("Kestavo.db"), "Other");
    WTransaction transaction;
    transaction.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    EXPECT_FALSE(transaction.Connect());
    EXPECT_EQ(transaction.LastFailure().kind, WDbFailureKind::NoDataSource);
}
