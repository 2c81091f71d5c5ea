// How fast a table data file comes into the database: 10,000 ingredients imported through the
// wait window's worker (reading the file, renumbering, one name look-up per row, the inserts and
// the commit of the one transaction) against the same rows inserted through the SQLite C API in
// one transaction, each into a fresh copy of the empty template. Goal: at most 10 times the C API,
// and under 2 seconds.

#include <sqlite3.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "exchange/DBFile.h"
#include "exchange/TableDataReader.h"
#include "shell/DataFile.h"
#include "shell/ODBCAdmin.h"
#include "shell/WinStart.h"

namespace fs = std::filesystem;

namespace {

constexpr int Rows = 10000;
constexpr int Repeats = 5;

std::string Name(int i) { return "ingredient number " + std::to_string(i); }
std::string Notes(int i) { return "notes of ingredient " + std::to_string(i) + ": keep dry"; }
constexpr const char* Modified = "2026-01-01 00:00:00";

// The file as the export writes it for those rows: plain lines, the notes and credit scrambled.
void WriteDataFile(const fs::path& path) {
    DataFile file;
    file.OpenWrite(path.string(), TableDataTags, false);
    file.SetScramble(false);
    file.WriteTag(TagHeader);
    file.WriteInt(TagLoadVersion, 103);
    file.WriteTagValue(TagTable, "%s", "Ingredients");
    file.WriteTagValue(TagRowsStart, "%s", "id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size, "
                                           "notes, modified, licensor");
    auto longText = [&file](const std::string& text) {
        file.SetScramble(true);
        file.WriteTagValue(TagLongStr, "%s", text.c_str());
        file.SetScramble(false);
    };
    for (int i = 0; i < Rows; ++i) {
        file.WriteTag(TagRowStart);
        file.WriteInt(TagInt, i);
        file.WriteTagValue(TagStr, "%s", Name(i).c_str());
        file.WriteInt(TagInt, 14);
        file.WriteInt(TagInt, 0);
        file.WriteTagValue(TagStr, "%s", "");
        file.WriteTagValue(TagDouble, "%.4lf", 1.0);
        longText(Notes(i));
        file.WriteTagValue(TagStr, "%s", Modified);
        longText("");
        file.WriteTag(TagRowEnd);
    }
    file.WriteTag(TagRowsEnd);
    file.WriteTag(TagEnd);
    file.Close();
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long CountIngredients(const fs::path& database) {
    sqlite3* db = nullptr;
    long count = -1;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "select count(*) from Ingredients", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

// The import as File > Import database... runs it, without the dialogs and the safety copy.
double ImportSeconds(WinStart& main, const fs::path& database, const fs::path& file) {
    main.transaction_KVO->Disconnect();
    fs::copy_file(KVO_BENCH_TEMPLATE, database, fs::copy_options::overwrite_existing);
    if (!main.transaction_KVO->Connect()) return -1;
    DBFile::ImportArguments arguments;
    arguments.path = file.string();
    arguments.transaction = main.transaction_KVO.get();
    arguments.schemas = &main.schemaList;
    arguments.tables = {"Ingredients"};
    arguments.maxLoadVersion = 302;
    DBFile import;
    const auto start = std::chrono::steady_clock::now();
    const bool imported = import.Import(std::move(arguments));
    const double seconds = Seconds(start);
    return imported ? seconds : -1;
}

double DirectSeconds(const fs::path& database) {
    fs::copy_file(KVO_BENCH_TEMPLATE, database, fs::copy_options::overwrite_existing);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return -1;
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    const auto start = std::chrono::steady_clock::now();
    bool ok = sqlite3_prepare_v2(db, "insert into Ingredients values( ?, ?, 14, 0, '', 1.0, ?, ?, '' )", -1, &stmt,
                                 nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    for (int i = 0; ok && i < Rows; ++i) {
        const std::string name = Name(i), notes = Notes(i);
        sqlite3_bind_int64(stmt, 1, i);
        sqlite3_bind_text(stmt, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 3, notes.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 4, Modified, -1, SQLITE_STATIC);
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
    }
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_finalize(stmt);
    const double seconds = Seconds(start);
    sqlite3_close(db);
    return ok ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
    char pattern[] = "/tmp/kvo-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path folder = pattern;
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const fs::path database = folder / "Kestavo.db", direct = folder / "direct.db", file = folder / "data.kvo";
    WriteDataFile(file);
    fs::copy_file(KVO_BENCH_TEMPLATE, database);
    bool ok = ODBCAdmin::RegisterDataSource("Kestavo", database.string());
    WinStart main;
    main.programFolder = folder.string() + "/";
    main.CreateDataObjects();
    ok = ok && main.transaction_KVO->Connect();
    main.BuildTableSchemas();

    // The disk is shared with other work: each side is run several times and its best time kept.
    double import = 1e9, sqlite = 1e9;
    for (int repeat = 0; ok && repeat < Repeats; ++repeat) {
        const double imported = ImportSeconds(main, database, file);
        const double inserted = DirectSeconds(direct);
        ok = imported >= 0 && inserted >= 0 && CountIngredients(database) == Rows && CountIngredients(direct) == Rows;
        import = std::min(import, imported);
        sqlite = std::min(sqlite, inserted);
    }
    main.DestroyDataObjects();
    fs::remove_all(folder);
    if (!ok) {
        std::printf("FAILED: a run did not store its %d rows\n", Rows);
        return 1;
    }
    const double ratio = import / sqlite;
    std::printf("%-44s %8.3f s %10.0f rows/s\n", "table data file import (wait window)", import, Rows / import);
    std::printf("%-44s %8.3f s %10.0f rows/s\n", "SQLite C API inserts, one transaction", sqlite, Rows / sqlite);
    std::printf("the import takes %.1f times as long as the C API (goal: at most 10, and under 2 s): %s\n", ratio,
                ratio <= 10 && import < 2 ? "met" : "NOT MET");
    return ratio <= 10 && import < 2 ? 0 : 2;
}
