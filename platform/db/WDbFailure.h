#pragma once
// What a failed connect or statement says about the database file behind it, so that the
// program can tell a file that holds no database from one that only cannot be reached now.

#include <string>

enum class WDbFailureKind {
    None,
    NotADatabase,   // the file holds no database, or a damaged one
    Refused,        // the statement was refused (no such table or column); the file is readable
    Unavailable,    // locked, busy, no permission, an I/O error: the file may well be sound
    NoDataSource,   // the data source or its driver cannot be found
};

struct WDbFailure {
    WDbFailureKind kind = WDbFailureKind::None;
    std::string reason;   // the driver's own words, without its tags
    int code = 0;         // SQLite's primary result code; 0 when the driver gave none
};

// Whether the statement failed because of the file or its lock (read-only, still locked after
// the busy wait, disk full, an I/O error, a damaged file) rather than because of what it asked
// for: a refused row (a constraint, a foreign key) or a statement that does not fit the schema.
inline bool IsFileFailure(const WDbFailure& failure) {
    enum {
        SqliteBusy = 5, SqliteLocked = 6, SqliteReadOnly = 8, SqliteIoError = 10, SqliteCorrupt = 11,
        SqliteFull = 13, SqliteCannotOpen = 14, SqliteNotADatabase = 26,
    };
    switch (failure.code) {
    case SqliteBusy: case SqliteLocked: case SqliteReadOnly: case SqliteIoError: case SqliteCorrupt:
    case SqliteFull: case SqliteCannotOpen: case SqliteNotADatabase: return true;
    default: return false;
    }
}
