#pragma once
// The long trip the report benchmarks run on: 30 days of 4 stops (breakfast, lunch, dinner,
// evening snack), 12 guests at every stop; a catalogue of 2,000 ingredients, 500 menu items of
// 6 lines each and 100 meals of 4 menu items. Every stop serves one or two meals and one menu
// item alone. The trip's id is 1.

#include <filesystem>
#include <string>
#include <vector>

namespace long_trip {

constexpr int Days = 30, Guests = 12, Ingredients = 2000, MenuItems = 500, LinesEach = 6, Meals = 100;
constexpr int StopsOfADay[] = {1, 4, 7, 8};

// Writes the trip and its catalogue into a copy of the empty template; false when it fails.
bool Fill(const std::filesystem::path& database);

// Runs the statements on the database file; false, with SQLite's error after `what`, when they fail.
bool ExecSql(const std::filesystem::path& database, const char* sql, const char* what);

// The five report parameters the shopping list of the benchmark is run with.
const std::vector<std::string>& Parameters();

// A fresh scratch folder (mkdtemp of the pattern) that holds the run's runtime folder and
// $ODBCINI, for a program drawn offscreen; call it before the QApplication. Empty when it fails.
std::filesystem::path MakeScratchFolder(const char* pattern);

// Registers the database as a user data source of that name in $ODBCINI; false when it fails.
bool WriteDataSource(const std::string& name, const std::filesystem::path& database);

}  // namespace long_trip
