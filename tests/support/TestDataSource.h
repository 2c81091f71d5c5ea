#pragma once
// The ODBC side of database tests: the built empty template, a private odbc.ini with the
// "Kestavo" data source, and a fixture with a connected transaction on a copy of the template.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/db/WDataValue.h"
#include "platform/db/WTransaction.h"
#include "tests/support/TempFolder.h"

// $KVO_TEST_BUILD_DIR/Kestavo/KestavoEmpty.db, as the build made it (the build folder of this
// library when the variable is not set).
std::filesystem::path TemplateDatabasePath();

// Points ODBCINI at an odbc.ini of its own folder and writes the data source there (driver
// SQLite3 as /etc/odbcinst.ini registers it). ODBCINI is restored when the object goes.
// The driver manager caches ini look-ups within a process: write before the first connect.
class PrivateDataSource {
public:
    explicit PrivateDataSource(const std::filesystem::path& database, const std::string& name = "Kestavo");
    ~PrivateDataSource();
    PrivateDataSource(const PrivateDataSource&) = delete;
    PrivateDataSource& operator=(const PrivateDataSource&) = delete;

    bool Written() const { return written_; }
    std::filesystem::path IniPath() const { return folder_.File("odbc.ini"); }

private:
    TempFolder folder_;
    std::optional<std::string> previousOdbcIni_;
    bool written_ = false;
};

// Copies the template to <temp>/Kestavo.db, writes the data source and connects a transaction
// registered as "WinStart::transaction_KVO", as the main window does.
class KestavoDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    WTransaction& Transaction() { return transaction_; }
    const std::filesystem::path& DatabasePath() const { return databasePath_; }
    TempFolder& Folder() { return folder_; }

    // Runs one statement through WQuery; false on failure (the error is added to the test).
    bool Exec(const std::string& sql);
    // The first value of the first row of a query through WQuery; NULL when no row.
    WDataValue Value(const std::string& sql);

private:
    TempFolder folder_;
    std::filesystem::path databasePath_;
    std::unique_ptr<PrivateDataSource> dataSource_;
    WTransaction transaction_;
};
