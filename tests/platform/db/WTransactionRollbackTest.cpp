// Units whose own savepoint statements fail inside the driver: a "rollback to" that is refused
// must not let the following release commit what the unit answered false for, and a savepoint
// that cannot be made leaves its own reason, not the last unit's.

#include <gtest/gtest.h>

#include <odbcinst.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/CollationExtension.h"
#include "platform/db/WDbObserver.h"
#include "platform/db/WQuery.h"
#include "platform/db/WTransaction.h"
#include "tests/support/DamagedDatabase.h"
#include "tests/support/TestDataSource.h"

namespace {

class ToldFailures : public WDbObserver {
public:
    ToldFailures() { WDbObserver::Install(this); }
    ~ToldFailures() override { WDbObserver::Install(nullptr); }
    void StatementStarts() override {}
    void ChangeNotStored(const WDbFailure& failure) override { reasons.push_back(failure.reason); }
    std::vector<std::string> reasons;
};

constexpr const char* kNotAuthorized = "not authorized";
constexpr const char* kRefusedRow = "insert into TripPeople( trip, person ) values( -1, -1 )";

class WTransactionRollbackTest : public testing::TestWithParam<WTransaction::UnitFailures> {
protected:
    void SetUp() override {
        std::filesystem::copy_file(TemplateDatabasePath(), Database());
        source = std::make_unique<PrivateDataSource>(Database());
        ASSERT_TRUE(source->Written());
        const std::string extensions = CollationExtensionPath() + "," + KVO_REFUSAL_EXTENSION;
        ASSERT_TRUE(SQLWritePrivateProfileString("Kestavo", "LoadExt", extensions.c_str(), "odbc.ini"));
        SetDriverBusyTimeout("Kestavo", 300);
        transaction.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
        ASSERT_TRUE(transaction.Connect()) << transaction.LastError();
        ASSERT_TRUE(Refuse("", "")) << "the refusal extension was not loaded";
    }

    std::filesystem::path Database() const { return folder.File("Kestavo.db"); }
    bool Run(const std::string& sql) {
        WQuery query(&transaction);
        return query.Execute(sql);
    }
    bool Refuse(const std::string& operation, const std::string& name) {
        return Run("select kvo_refuse_savepoint( '" + operation + "', '" + name + "' )");
    }
    long People() const { return ValueOnFile(Database(), "select count(*) from People"); }
    bool Unit(const std::string& name, const std::function<bool()>& work) {
        return transaction.RunAsOneUnit(name, work, GetParam());
    }
    // The one failure the unit tells: to the observer, or to its caller.
    std::vector<std::string> Told() const {
        if (GetParam() == WTransaction::UnitFailures::Told) return observer.reasons;
        EXPECT_TRUE(observer.reasons.empty());
        const std::string reason = transaction.LastUnitFailure().reason;
        return reason.empty() ? std::vector<std::string>{} : std::vector<std::string>{reason};
    }

    TempFolder folder;
    std::unique_ptr<PrivateDataSource> source;
    WTransaction transaction;
    ToldFailures observer;
};

TEST_P(WTransactionRollbackTest, AUnitWhoseRollbackFailsCommitsNothingAndTellsItOnce) {
    ASSERT_TRUE(Refuse("ROLLBACK", "change"));
    EXPECT_FALSE(Unit("change", [&] { return Run("insert into People( name ) values( 'Ann' )") && Run(kRefusedRow); }));
    EXPECT_EQ(Told(), std::vector<std::string>{kNotAuthorized});
    EXPECT_TRUE(CanStartWrite(Database()));   // no transaction left open
    EXPECT_EQ(People(), 0);
    // The connection is its own again: a later write stands by itself.
    ASSERT_TRUE(Refuse("", ""));
    ASSERT_TRUE(Run("insert into People( name ) values( 'Ben' )"));
    EXPECT_EQ(People(), 1);
}

TEST_P(WTransactionRollbackTest, AnInnerUnitWhoseRollbackFailsTakesTheOuterUnitsWorkAndLaterWritesWithIt) {
    ASSERT_TRUE(Refuse("ROLLBACK", "inner"));
    EXPECT_FALSE(Unit("outer", [&] {
        const bool ann = Run("insert into People( name ) values( 'Ann' )");
        EXPECT_FALSE(Unit("inner", [&] { return Run("insert into People( name ) values( 'Ben' )") && Run(kRefusedRow); }));
        // An outer unit that carries on regardless still keeps nothing.
        return ann && Run("insert into People( name ) values( 'Cleo' )");
    }));
    EXPECT_EQ(Told(), std::vector<std::string>{kNotAuthorized});
    EXPECT_TRUE(CanStartWrite(Database()));
    EXPECT_EQ(People(), 0);
}

TEST_P(WTransactionRollbackTest, ASavepointThatCannotBeMadeLeavesItsOwnReasonNotTheLastUnits) {
    {
        ReadLock reader(Database());
        ASSERT_TRUE(reader.Held());
        EXPECT_FALSE(Unit("change", [&] { return Run("insert into People( name ) values( 'Ann' )"); }));
    }
    observer.reasons.clear();
    ASSERT_TRUE(Refuse("BEGIN", "change"));
    bool worked = false;
    EXPECT_FALSE(Unit("change", [&] { return worked = true; }));
    EXPECT_FALSE(worked);
    EXPECT_EQ(transaction.LastUnitFailure().reason, kNotAuthorized);
    EXPECT_TRUE(observer.reasons.empty());   // a refused statement, not a file that failed: the caller tells it
    EXPECT_TRUE(CanStartWrite(Database()));
    EXPECT_EQ(People(), 0);
}

INSTANTIATE_TEST_SUITE_P(Failures, WTransactionRollbackTest,
                         testing::Values(WTransaction::UnitFailures::Told, WTransaction::UnitFailures::LeftToCaller),
                         [](const testing::TestParamInfo<WTransaction::UnitFailures>& info) {
                             return info.param == WTransaction::UnitFailures::Told ? "Told" : "LeftToCaller";
                         });

}  // namespace
