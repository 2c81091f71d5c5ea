// How fast the database layer inserts rows compared with SQLite used directly, on copies of
// the empty template: 10,000 parameterised inserts into People, once in autocommit (as the
// program issues them, one statement at a time) and once inside one explicit transaction.

#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <algorithm>
#include <functional>
#include <string>

#include "platform/db/WQuery.h"
#include "platform/db/WTransaction.h"

namespace {

constexpr int Rows = 10000;
constexpr const char* Insert = "insert into People( id, name, notes, appetite ) values( ?, ?, ?, ? )";

std::string Name(int i) { return "Person " + std::to_string(i); }
std::string Notes(int i) { return "notes of person " + std::to_string(i) + ": likes oats"; }
double Appetite(int i) { return 1.0 + (i % 7) * 0.25; }

// Measures the inserts only: connecting and the check afterwards are left out of the time.
class Stopwatch {
public:
    void Start() { start_ = std::chrono::steady_clock::now(); }
    void Stop() { seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }
    double Seconds() const { return seconds_; }

private:
    std::chrono::steady_clock::time_point start_;
    double seconds_ = 0;
};

std::filesystem::path CopyTemplate(const std::filesystem::path& folder, const std::string& name) {
    const auto path = folder / name;
    std::filesystem::copy_file(KVO_BENCH_TEMPLATE, path);
    return path;
}

// Each run gets a data source of its own name: the driver manager caches ini look-ups.
bool WriteDataSource(const std::string& name, const std::filesystem::path& database) {
    SQLSetConfigMode(ODBC_USER_DSN);
    return SQLWriteDSNToIni(name.c_str(), "SQLite3") &&
           SQLWritePrivateProfileString(name.c_str(), "Database", database.c_str(), "odbc.ini") &&
           SQLWritePrivateProfileString(name.c_str(), "NoCreat", "1", "odbc.ini") &&
           SQLWritePrivateProfileString(name.c_str(), "FKSupport", "1", "odbc.ini");
}

bool LayerInserts(const std::filesystem::path& database, const std::string& dsn, bool oneTransaction,
                  Stopwatch& watch) {
    if (!WriteDataSource(dsn, database)) return false;
    WTransaction transaction;
    transaction.SetDataSource(dsn, "Kestavo", "TarveMolink");
    if (!transaction.Connect()) {
        std::fprintf(stderr, "connect: %s\n", transaction.LastError().c_str());
        return false;
    }
    WQuery query(&transaction);
    watch.Start();
    if (oneTransaction && !query.Execute("begin transaction")) return false;
    for (int i = 1; i <= Rows; ++i) {
        if (!query.Execute(Insert, {i, Name(i), Notes(i), Appetite(i)})) {
            std::fprintf(stderr, "insert: %s\n", query.LastError().c_str());
            return false;
        }
    }
    if (oneTransaction && !query.Execute("commit")) return false;
    watch.Stop();
    query.SetSQL("select count(*) from People");
    return query.Open() && query.GetValue(0, 0).AsLong() == Rows;
}

// The same through the ODBC API itself, prepared once: what the driver allows at best.
bool OdbcInserts(const std::filesystem::path& database, const std::string& dsn, Stopwatch& watch) {
    if (!WriteDataSource(dsn, database)) return false;
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    bool ok = SQL_SUCCEEDED(SQLConnect(dbc, (SQLCHAR*)dsn.c_str(), SQL_NTS, nullptr, 0, nullptr, 0));
    ok = ok && SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt));
    watch.Start();
    ok = ok && SQL_SUCCEEDED(SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, (SQLPOINTER)SQL_AUTOCOMMIT_OFF, 0));
    ok = ok && SQL_SUCCEEDED(SQLPrepare(stmt, (SQLCHAR*)Insert, SQL_NTS));
    SQLBIGINT id = 0;
    double appetite = 0;
    char name[64], notes[96];
    SQLLEN nameLength = 0, notesLength = 0;
    SQLBindParameter(stmt, 1, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &id, 0, nullptr);
    SQLBindParameter(stmt, 2, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, sizeof name, 0, name, sizeof name, &nameLength);
    SQLBindParameter(stmt, 3, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, sizeof notes, 0, notes, sizeof notes,
                     &notesLength);
    SQLBindParameter(stmt, 4, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &appetite, 0, nullptr);
    for (int i = 1; ok && i <= Rows; ++i) {
        id = i;
        nameLength = std::snprintf(name, sizeof name, "%s", Name(i).c_str());
        notesLength = std::snprintf(notes, sizeof notes, "%s", Notes(i).c_str());
        appetite = Appetite(i);
        ok = SQL_SUCCEEDED(SQLExecute(stmt));
    }
    ok = ok && SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT));
    watch.Stop();
    if (stmt) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return ok;
}

bool DirectInserts(const std::filesystem::path& database, bool oneTransaction, Stopwatch& watch) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return false;
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    watch.Start();
    bool ok = sqlite3_prepare_v2(db, Insert, -1, &stmt, nullptr) == SQLITE_OK;
    if (ok && oneTransaction) ok = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    for (int i = 1; ok && i <= Rows; ++i) {
        const std::string name = Name(i), notes = Notes(i);
        sqlite3_bind_int64(stmt, 1, i);
        sqlite3_bind_text(stmt, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 3, notes.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(stmt, 4, Appetite(i));
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
    }
    if (ok && oneTransaction) ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_finalize(stmt);
    watch.Stop();
    sqlite3_close(db);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    // "transaction" as the argument runs only the quick runs (for profiling).
    const bool quickOnly = argc > 1 && std::string(argv[1]) == "transaction";
    char pattern[] = "/tmp/kvo-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::filesystem::path folder = pattern;
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);

    struct Run {
        const char* label;
        bool autocommit;
        std::function<bool(const std::filesystem::path&, const std::string&, Stopwatch&)> work;
        double seconds = 0;
    };
    Run runs[] = {
        {"WQuery, autocommit", true,
         [](const auto& db, const auto& dsn, Stopwatch& w) { return LayerInserts(db, dsn, false, w); }},
        {"SQLite API, autocommit", true,
         [](const auto& db, const auto&, Stopwatch& w) { return DirectInserts(db, false, w); }},
        {"WQuery, one transaction", false,
         [](const auto& db, const auto& dsn, Stopwatch& w) { return LayerInserts(db, dsn, true, w); }},
        {"SQLite API, one transaction", false,
         [](const auto& db, const auto&, Stopwatch& w) { return DirectInserts(db, true, w); }},
        {"ODBC API, one transaction", false,
         [](const auto& db, const auto& dsn, Stopwatch& w) { return OdbcInserts(db, dsn, w); }},
    };
    // The quick runs are repeated and the best time kept; the disk is shared with other work.
    bool allOk = true;
    int file = 0;
    for (Run& run : runs) {
        if (quickOnly && run.autocommit) continue;
        bool ok = true;
        run.seconds = 1e9;
        for (int repeat = 0; repeat < (run.autocommit ? 1 : 5); ++repeat) {
            const std::string name = "run" + std::to_string(++file);
            const auto database = CopyTemplate(folder, name + ".db");
            Stopwatch watch;
            ok = run.work(database, "KestavoBench" + name, watch) && ok;
            run.seconds = std::min(run.seconds, watch.Seconds());
        }
        allOk = allOk && ok;
        std::printf("%-30s %8.3f s %10.0f rows/s%s\n", run.label, run.seconds, Rows / run.seconds,
                    ok ? "" : "  FAILED");
    }
    // Each ratio is the first side's time over the second's: above 1, the first is slower.
    auto ratio = [](const char* label, const Run& a, const Run& b) {
        const double r = a.seconds / b.seconds;
        std::printf("ratio %-42s %6.2f  (%s)\n", label, r, r >= 1 ? "the first is slower" : "the first is faster");
    };
    if (!quickOnly) ratio("WQuery / SQLite API, autocommit:", runs[0], runs[1]);
    ratio("WQuery / SQLite API, one transaction:", runs[2], runs[3]);
    // The driver prepares a parameterised statement anew at every execution; this ratio shows
    // how much of the gap is the driver's.
    ratio("ODBC API / SQLite API, one transaction:", runs[4], runs[3]);
    std::filesystem::remove_all(folder);
    return allOk ? 0 : 1;
}
