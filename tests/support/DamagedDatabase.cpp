#include "tests/support/DamagedDatabase.h"

#include <odbcinst.h>

#include "tests/support/FileText.h"
#include "tests/support/TestDataSource.h"

namespace {

long RootPageOf(const std::filesystem::path& database, const char* table) {
    sqlite3* connection = nullptr;
    long page = 0;
    if (sqlite3_open_v2(database.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(connection, "select rootpage from sqlite_master where name = ?", -1,
                               &statement, nullptr) == SQLITE_OK) {
            sqlite3_bind_text(statement, 1, table, -1, SQLITE_STATIC);
            if (sqlite3_step(statement) == SQLITE_ROW) page = sqlite3_column_int(statement, 0);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(connection);
    return page;
}

}  // namespace

void WriteBrokenDatabase(BrokenDatabase kind, const std::filesystem::path& path) {
    const std::string database = ReadFileText(TemplateDatabasePath());
    // The page size, big-endian at offset 16 of the header.
    const std::size_t PageSize = database.size() < 100 ? 4096
                                 : (static_cast<unsigned char>(database[16]) << 8 |
                                    static_cast<unsigned char>(database[17]));
    switch (kind) {
    case BrokenDatabase::ZeroBytes:
        WriteFileText(path, "");
        break;
    case BrokenDatabase::TextFile:
        WriteFileText(path, "Trip notes: bring the stove.\r\n");
        break;
    case BrokenDatabase::BadHeader: {
        std::string bytes = database;
        bytes[16] = 0;   // a page size of 7: no power of two
        bytes[17] = 7;
        WriteFileText(path, bytes);
        break;
    }
    case BrokenDatabase::TruncatedToHalf:
        WriteFileText(path, database.substr(0, database.size() / 2 / PageSize * PageSize));
        break;
    case BrokenDatabase::VersionPageDamaged: {
        std::string bytes = database;
        const long page = RootPageOf(TemplateDatabasePath(), "DBVersion");
        if (page > 0) bytes.replace((page - 1) * PageSize, PageSize, PageSize, '\xff');
        WriteFileText(path, bytes);
        break;
    }
    }
}

void SetDriverBusyTimeout(const std::string& dataSource, int milliseconds) {
    SQLSetConfigMode(ODBC_USER_DSN);
    SQLWritePrivateProfileString(dataSource.c_str(), "Timeout", std::to_string(milliseconds).c_str(),
                                 "odbc.ini");
}

ExclusiveLock::ExclusiveLock(const std::filesystem::path& database) {
    if (sqlite3_open_v2(database.c_str(), &connection_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return;
    held_ = sqlite3_exec(connection_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

ExclusiveLock::~ExclusiveLock() {
    if (held_) sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(connection_);
}

ReadLock::ReadLock(const std::filesystem::path& database) {
    if (sqlite3_open_v2(database.c_str(), &connection_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return;
    held_ = sqlite3_exec(connection_, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr) ==
            SQLITE_OK;
}

void ReadLock::Release() {
    if (held_) sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
    held_ = false;
    if (connection_) sqlite3_close(connection_);
    connection_ = nullptr;
}

bool CanStartWrite(const std::filesystem::path& database) {
    sqlite3* connection = nullptr;
    bool can = sqlite3_open_v2(database.c_str(), &connection, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
               sqlite3_exec(connection, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (can) sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(connection);
    return can;
}

long ValueOnFile(const std::filesystem::path& database, const std::string& sql) {
    sqlite3* connection = nullptr;
    sqlite3_stmt* statement = nullptr;
    long value = -1;
    if (sqlite3_open_v2(database.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(connection);
    return value;
}
