#pragma once
// What the table data file tests share: a database filled in every exchanged table with the
// values that a file must carry (quotes, colons, backslashes, line breaks, accents, NULLs, a
// 100 KB recipe with every byte value), the rows of a database told by names and values
// instead of ids, and the import and export as the main window runs them.

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "exchange/DBFile.h"
#include "tests/support/MainWindowDatabaseTest.h"

// Every row of the exchanged tables, each table's rows sorted, ids replaced by the names of the
// rows they stand for; a NULL note or credit reads as an empty one.
using TableRows = std::map<std::string, std::vector<std::string>>;
TableRows ReadTableRows(const std::filesystem::path& database);

// The rows of a query straight on a database file through SQLite, as texts (read-write, so that
// a transaction left behind by a killed program is rolled back first).
std::vector<std::string> SqliteRows(const std::filesystem::path& database, const std::string& sql);

// The fourteen exchanged tables, parents first.
const std::vector<std::string>& ExchangedTables();

class ExchangeTest : public MainWindowDatabaseTest {
protected:
    // Fills every exchanged table through the program's own connection.
    void FillDatabase();
    // Deletes every row of the exchanged tables, children first.
    void EmptyExchangedTables();
    bool ExportTo(const std::filesystem::path& file, const std::vector<std::string>& tables = ExchangedTables());
    // Imports through the main window's one transaction, as the wait window's worker does.
    bool ImportFrom(const std::filesystem::path& file, const std::vector<std::string>& tables = ExchangedTables(),
                    const std::string& prefix = "", const std::string& suffix = "",
                    std::optional<std::string> licensor = std::nullopt);
    TableRows Rows() { return ReadTableRows(folder.File("Kestavo.db")); }
    std::string Text(const std::string& sql) { return Value(sql).AsText(); }

    std::filesystem::path dataFile() const { return folder.File("data.kvo"); }
    DBFile transfer;
    std::string lastError;
};
