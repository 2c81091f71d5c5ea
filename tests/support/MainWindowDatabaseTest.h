#pragma once
// A main window with its data objects connected, as start-up leaves it, on a private copy of
// the empty template. A test may set prepareScript in its constructor: it runs on the copy
// through SQLite before the connection is made, for what the program's SQL cannot say
// (a trigger that makes a statement fail, a table that cannot be read).

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/WQuery.h"
#include "shell/WinStart.h"
#include "tests/support/TestDataSource.h"

// Runs statements straight on a database file through SQLite, as another program would.
void RunSqliteOnFile(const std::filesystem::path& database, const std::string& script);

class MainWindowDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements straight on the database file through SQLite.
    void RunSqlite(const std::string& script);
    // Through the program's own connection.
    bool Exec(const std::string& sql, const std::vector<WDataValue>& parameters = {});
    WDataValue Value(const std::string& sql);
    long Count(const std::string& table, const std::string& where = "");

    std::string prepareScript;   // set before SetUp runs (in the test's constructor)
    TempFolder folder;
    std::unique_ptr<PrivateDataSource> dataSource;
    WinStart main;
};
