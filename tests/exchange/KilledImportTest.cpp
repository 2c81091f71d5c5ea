// An import killed half-way (SIGKILL, no chance to clean up) leaves a sound database that holds
// none of the import: the import is one transaction, which SQLite rolls back at the next open.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/exchange/ExchangeData.h"
#include "tests/support/TestDataSource.h"

namespace fs = std::filesystem;

namespace {

// Enough rows that the import outgrows SQLite's page cache and writes into the file before it
// commits.
void WriteLargeFile(const fs::path& path, int rows) {
    std::ofstream out(path, std::ios::binary);
    out << "kvo_1_0:\r\nload_version: 103\r\ntable: Ingredients\r\nrows_start: id, name\r\n";
    for (int row = 0; row < rows; ++row)
        out << "row_start:\r\ncol_val_int: " << row << "\r\ncol_val_str: ingredient number " << row
            << " with a long name to fill the pages\r\ncol_val_int: 14\r\ncol_val_int: 0\r\ncol_val_str: \r\n"
               "col_val_double: 1.0000\r\ncol_val_long_str: \r\ncol_val_str: 2026-01-01 00:00:00\r\n"
               "col_val_long_str: \r\nrow_end:\r\n";
    out << "rows_end:\r\nkvo_end:\r\n";
}

TEST(KilledImportTest, LeavesASoundDatabaseWithNoneOfTheImport) {
    TempFolder folder;
    const fs::path database = folder.File("Kestavo.db");
    fs::copy_file(TemplateDatabasePath(), database);
    PrivateDataSource dataSource(database);
    ASSERT_TRUE(dataSource.Written());
    const fs::path file = folder.File("large.kvo");
    WriteLargeFile(file, 100000);
    const auto sizeBefore = fs::file_size(database);

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        execl(KVO_IMPORT_CHILD, KVO_IMPORT_CHILD, folder.Path().c_str(), file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Half-way: the transaction has spilled pages into the database file.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool midway = false;
    int status = 0;
    while (!midway && std::chrono::steady_clock::now() < deadline && waitpid(child, &status, WNOHANG) == 0) {
        std::error_code error;
        midway = fs::exists(folder.File("Kestavo.db-journal"), error) && fs::file_size(database, error) > sizeBefore;
        if (!midway) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    ASSERT_TRUE(midway) << "the import ended or never began writing";
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(SqliteRows(database, "pragma integrity_check"), std::vector<std::string>{"ok"});
    EXPECT_EQ(SqliteRows(database, "select count(*) from Ingredients"), std::vector<std::string>{"0"});
}

}  // namespace
