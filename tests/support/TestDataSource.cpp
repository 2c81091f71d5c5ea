#include "tests/support/TestDataSource.h"

#include <odbcinst.h>

#include <cstdlib>

#include "platform/db/DataSourceOptions.h"
#include "platform/db/WQuery.h"

std::filesystem::path TemplateDatabasePath() {
    // The build folder this library was built in stands in when the variable is not set.
    const char* build = std::getenv("KVO_TEST_BUILD_DIR");
    return std::filesystem::path(build && *build ? build : KVO_SUPPORT_BUILD_DIR) / "Kestavo" / "KestavoEmpty.db";
}

PrivateDataSource::PrivateDataSource(const std::filesystem::path& database, const std::string& name) {
    if (const char* previous = std::getenv("ODBCINI")) previousOdbcIni_ = previous;
    setenv("ODBCINI", IniPath().c_str(), 1);
    SQLSetConfigMode(ODBC_USER_DSN);
    written_ = SQLWriteDSNToIni(name.c_str(), "SQLite3") &&
               SQLWritePrivateProfileString(name.c_str(), "Database", database.c_str(), "odbc.ini") &&
               WriteDriverOptions(name);
}

PrivateDataSource::~PrivateDataSource() {
    if (previousOdbcIni_) setenv("ODBCINI", previousOdbcIni_->c_str(), 1);
    else unsetenv("ODBCINI");
}

void KestavoDatabaseTest::SetUp() {
    ASSERT_TRUE(std::filesystem::exists(TemplateDatabasePath())) << TemplateDatabasePath();
    databasePath_ = folder_.File("Kestavo.db");
    std::filesystem::copy_file(TemplateDatabasePath(), databasePath_);
    dataSource_ = std::make_unique<PrivateDataSource>(databasePath_);
    ASSERT_TRUE(dataSource_->Written());
    transaction_.SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    ASSERT_TRUE(transaction_.Connect()) << transaction_.LastError();
    WTransaction::Register("WinStart::transaction_KVO", &transaction_);
}

void KestavoDatabaseTest::TearDown() {
    WTransaction::Unregister("WinStart::transaction_KVO");
    transaction_.Disconnect();
    dataSource_.reset();
}

bool KestavoDatabaseTest::Exec(const std::string& sql) {
    WQuery query(&transaction_);
    const bool ok = query.Execute(sql);
    EXPECT_TRUE(ok) << sql << "\n" << query.LastError();
    return ok;
}

WDataValue KestavoDatabaseTest::Value(const std::string& sql) {
    WQuery query(&transaction_);
    query.SetSQL(sql);
    EXPECT_TRUE(query.Open()) << sql << "\n" << query.LastError();
    return query.GetValue(0, 0);
}
