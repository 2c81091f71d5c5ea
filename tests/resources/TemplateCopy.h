#pragma once
// A private copy of the built empty template in a temporary folder, opened with SQLite, so a
// test may write to it without touching the template itself.

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

class TemplateCopy {
public:
    TemplateCopy();
    ~TemplateCopy();
    TemplateCopy(const TemplateCopy&) = delete;
    TemplateCopy& operator=(const TemplateCopy&) = delete;

    sqlite3* Db() const { return db_; }
    const std::filesystem::path& Path() const { return path_; }

    // Runs statements; true when all of them succeeded.
    bool Exec(const std::string& sql);
    // The rows of a query, each value read as text ("NULL" for a null value).
    std::vector<std::vector<std::string>> Rows(const std::string& sql);
    // The first value of a query as text, "" when it gives no row.
    std::string Value(const std::string& sql);

private:
    std::filesystem::path folder_, path_;
    sqlite3* db_ = nullptr;
};

// The template as the build made it.
std::filesystem::path EmptyTemplatePath();
