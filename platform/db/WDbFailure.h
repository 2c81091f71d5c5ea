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
};
