// Units of work on the one connection, and what becomes of a change the database does not
// store: a commit that fails under another program's read lock, and statements that the file
// refuses (read-only, full, locked), each told to the observer once; a refused row stays silent.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/WDbObserver.h"
#include "platform/db/WQuery.h"
#include "platform/db/WTransaction.h"
#include "tests/support/DamagedDatabase.h"
#include "tests/support/FileRefusals.h"
#include "tests/support/TestDataSource.h"

namespace {

long PeopleOnFile(const std::filesystem::path& database) { return ValueOnFile(database, "select count(*) from People"); }

class RecordingObserver : public WDbObserver {
public:
    explicit RecordingObserver(std::filesystem::path database) : database_(std::move(database)) {
        WDbObserver::Install(this);
    }
    ~RecordingObserver() override { WDbObserver::Install(nullptr); }

    void StatementStarts() override { ++statements; }
    void ChangeNotStored(const WDbFailure& failure) override {
        reasons.push_back(failure.reason);
        writableWhenReported.push_back(CanStartWrite(database_));
    }

    int statements = 0;
    std::vector<std::string> reasons;
    std::vector<bool> writableWhenReported;   // no transaction of ours was open then

private:
    std::filesystem::path database_;
};

class WTransactionUnitsTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(TemplateDatabasePath(), Database());
        source = std::make_unique<PrivateDataSource>(Database());
        ASSERT_TRUE(source->Written());
        // A lock that outlasts the busy wait fails within the test.
        SetDriverBusyTimeout("Kestavo", 300);
        transaction.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
        ASSERT_TRUE(transaction.Connect()) << transaction.LastError();
    }

    std::filesystem::path Database() const { return folder.File("Kestavo.db"); }
    bool Run(const std::string& sql) {
        WQuery query(&transaction);
        return query.Execute(sql);
    }
    void Reconnect() {
        transaction.Disconnect();
        ASSERT_TRUE(transaction.Connect()) << transaction.LastError();
    }

    TempFolder folder;
    std::unique_ptr<PrivateDataSource> source;
    WTransaction transaction;
    RecordingObserver observer{Database()};
};

TEST_F(WTransactionUnitsTest, ACommitThatFailsUnderAReadersLockKeepsNothingAndLeavesNoTransactionOpen) {
    ReadLock reader(Database());
    ASSERT_TRUE(reader.Held());
    const bool stored = transaction.RunAsOneUnit("add_people", [&] {
        return Run("insert into People( name ) values( 'Ann' )") && Run("insert into People( name ) values( 'Ben' )");
    });
    EXPECT_FALSE(stored);
    EXPECT_EQ(observer.reasons, std::vector<std::string>{"database is locked"});
    EXPECT_EQ(observer.writableWhenReported, std::vector<bool>{true});   // rolled back before the word
    EXPECT_TRUE(CanStartWrite(Database()));
    reader.Release();
    EXPECT_EQ(PeopleOnFile(Database()), 0);
    // Later writes are the connection's own again, not parts of a transaction left open.
    ASSERT_TRUE(Run("insert into People( name ) values( 'Cleo' )"));
    EXPECT_EQ(PeopleOnFile(Database()), 1);
    EXPECT_TRUE(transaction.RunAsOneUnit("add_person", [&] { return Run("insert into People( name ) values( 'Dan' )"); }));
    EXPECT_EQ(PeopleOnFile(Database()), 2);
    EXPECT_EQ(observer.reasons.size(), 1u);
}

TEST_F(WTransactionUnitsTest, AUnitInsideAUnitIsCommittedOnlyWithTheOuterOne) {
    ReadLock reader(Database());
    const bool stored = transaction.RunAsOneUnit("outer", [&] {
        return Run("insert into People( name ) values( 'Ann' )") &&
               transaction.RunAsOneUnit("inner", [&] { return Run("insert into People( name ) values( 'Ben' )"); });
    });
    EXPECT_FALSE(stored);
    EXPECT_EQ(observer.reasons.size(), 1u);
    reader.Release();
    EXPECT_EQ(PeopleOnFile(Database()), 0);
    EXPECT_TRUE(CanStartWrite(Database()));
}

TEST_F(WTransactionUnitsTest, EveryStatementIsAnnouncedBeforeItRuns) {
    ASSERT_TRUE(Run("insert into People( name ) values( 'Ann' )"));
    WQuery query(&transaction);
    query.SetSQL("select name from People");
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(observer.statements, 2);
}

// What makes the statements fail; it may connect again to open the file as the case needs.
class FileRefusalTest;
using Refusal = std::function<std::shared_ptr<void>(FileRefusalTest&)>;

struct RefusalCase {
    const char* name;
    Refusal refuse;
    const char* statement;
    const char* reported;   // the driver's words, NULL when the refusal stays silent
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class FileRefusalTest : public WTransactionUnitsTest, public testing::WithParamInterface<RefusalCase> {
public:
    using WTransactionUnitsTest::folder;
    using WTransactionUnitsTest::Database;
    using WTransactionUnitsTest::Reconnect;
};

// A statement that fails because of the file is told once per unit however many fail in it, and
// once on its own outside one; a row the schema refuses is the caller's to handle.
TEST_P(FileRefusalTest, IsToldOncePerChangeUnlessTheRowWasRefused) {
    const auto refusal = GetParam().refuse(*this);
    ASSERT_TRUE(transaction.IsConnected());
    const std::vector<std::string> expected =
        GetParam().reported ? std::vector<std::string>{GetParam().reported} : std::vector<std::string>{};

    EXPECT_FALSE(Run(GetParam().statement));
    EXPECT_EQ(observer.reasons, expected);
    observer.reasons.clear();

    EXPECT_FALSE(transaction.RunAsOneUnit("change", [&] {
        const bool first = Run(GetParam().statement);
        const bool second = Run(GetParam().statement);
        return first && second;
    }));
    EXPECT_EQ(observer.reasons, expected);
}

// The file or its folder read-only to this thread, the database opened again as the program
// would open it there.
std::shared_ptr<void> ReadOnly(FileRefusalTest& test, const std::filesystem::path& path) {
    auto held = Hold<ReadOnlyToThisThread>(path);
    test.Reconnect();
    return held;
}

constexpr const char* kInsertPerson = "insert into People( name ) values( 'Ann' )";

INSTANTIATE_TEST_SUITE_P(Refusals, FileRefusalTest, testing::Values(
    RefusalCase{"ReadOnlyFile", [](FileRefusalTest& test) { return ReadOnly(test, test.Database()); },
                kInsertPerson, "attempt to write a readonly database"},
    RefusalCase{"ReadOnlyFolder", [](FileRefusalTest& test) { return ReadOnly(test, test.folder.Path()); },
                kInsertPerson, "attempt to write a readonly database"},
    RefusalCase{"FullDisk", [](FileRefusalTest&) { return Hold<FileSizeLimit>(0); }, kInsertPerson,
                "disk I/O error"},
    RefusalCase{"LockedPastTheBusyWait", [](FileRefusalTest& test) { return Hold<ExclusiveLock>(test.Database()); },
                kInsertPerson, "database is locked"},
    RefusalCase{"ForeignKey", [](FileRefusalTest&) { return std::shared_ptr<void>(); },
                "insert into TripPeople( trip, person ) values( -1, -1 )", nullptr},
    RefusalCase{"TakenId", [](FileRefusalTest&) { return std::shared_ptr<void>(); },
                "insert into FoodStops( id, name ) select id, name from FoodStops", nullptr},
    RefusalCase{"NoSuchTable", [](FileRefusalTest&) { return std::shared_ptr<void>(); },
                "insert into Nowhere( name ) values( 'Ann' )", nullptr}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

}  // namespace
