#include "tests/resources/TemplateCopy.h"

#include <gtest/gtest.h>

#include <random>

namespace fs = std::filesystem;

fs::path EmptyTemplatePath() { return fs::path(KVO_EMPTY_DB_PATH); }

TemplateCopy::TemplateCopy()
{
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("kvo-schema-" + std::to_string(random()));
    fs::create_directories(folder_);
    path_ = folder_ / "Kestavo.db";
    fs::copy_file(EmptyTemplatePath(), path_);
    if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK)
        ADD_FAILURE() << "cannot open " << path_;
    // The program's connection turns foreign keys on; so do the tests.
    Exec("PRAGMA foreign_keys = ON");
}

TemplateCopy::~TemplateCopy()
{
    sqlite3_close(db_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

bool TemplateCopy::Exec(const std::string& sql)
{
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::vector<std::vector<std::string>> TemplateCopy::Rows(const std::string& sql)
{
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db_) << " in: " << sql;
        return rows;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const unsigned char* text = sqlite3_column_text(statement, c);
            row.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    return rows;
}

std::string TemplateCopy::Value(const std::string& sql)
{
    auto rows = Rows(sql);
    return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}
