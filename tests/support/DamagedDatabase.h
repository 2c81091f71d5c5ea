#pragma once
// Real files that stand where a database should be, as a user may end up with them, and a lock
// held by another connection, as another program in the middle of a write holds it.

#include <sqlite3.h>

#include <filesystem>
#include <string>

enum class BrokenDatabase {
    ZeroBytes,         // an empty file: SQLite opens it as a database without tables
    TextFile,          // notes saved under a .db name
    BadHeader,         // the SQLite header with a page size no database has
    TruncatedToHalf,   // a copy that stopped half-way
    VersionPageDamaged,   // the schema reads, the page of DBVersion does not
};

// Writes the kind of file at path, made from the empty template where it needs one.
void WriteBrokenDatabase(BrokenDatabase kind, const std::filesystem::path& path);

// Sets the SQLite3 ODBC driver's busy wait of a data source in the user's odbc.ini (ODBCINI),
// so that a locked database fails within the test instead of after the driver's 100 seconds.
void SetDriverBusyTimeout(const std::string& dataSource, int milliseconds);

// An exclusive lock on a database file through a connection of its own ("BEGIN EXCLUSIVE"):
// no other connection can read the file until the object goes.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const std::filesystem::path& database);
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    bool Held() const { return held_; }

private:
    sqlite3* connection_ = nullptr;
    bool held_ = false;
};

// A read lock on a database file through a connection of its own ("BEGIN", then a read), as a
// program that reads the file holds it: others may read and prepare a write, but no commit
// gets through until the object goes (or Release is called).
class ReadLock {
public:
    explicit ReadLock(const std::filesystem::path& database);
    ~ReadLock() { Release(); }
    ReadLock(const ReadLock&) = delete;
    ReadLock& operator=(const ReadLock&) = delete;

    bool Held() const { return held_; }
    void Release();

private:
    sqlite3* connection_ = nullptr;
    bool held_ = false;
};

// The first value of a query on the file through a connection of its own, as another program
// reads it; -1 when it cannot be read.
long ValueOnFile(const std::filesystem::path& database, const std::string& sql);

// Whether another connection can start a write at once: false while some connection holds a
// transaction with a write in it.
bool CanStartWrite(const std::filesystem::path& database);
