#pragma once
// The driver's diagnostic records of a handle as one text, for LastError().

#include <sql.h>
#include <sqlext.h>

#include <string>

#include "platform/db/WDbFailure.h"

inline std::string OdbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::string text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[8] = {};
        SQLCHAR message[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, record, state, &native, message, sizeof message, &length);
        if (!SQL_SUCCEEDED(rc)) break;
        if (!text.empty()) text += "; ";
        text += reinterpret_cast<char*>(state);
        text += ": ";
        text += reinterpret_cast<char*>(message);
    }
    return text;
}

// The first diagnostic record of a handle, told by what it says about the database file. This
// driver gives SQLite's result code as the native error (extended codes keep it in the low byte).
inline WDbFailure DescribeOdbcFailure(SQLSMALLINT handleType, SQLHANDLE handle) {
    SQLCHAR state[8] = {};
    SQLCHAR message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    WDbFailure failure{WDbFailureKind::Unavailable, {}};
    if (!SQL_SUCCEEDED(SQLGetDiagRec(handleType, handle, 1, state, &native, message, sizeof message, &length)))
        return failure;
    std::string reason = reinterpret_cast<char*>(message);
    // "[unixODBC][SQLite]database is locked (5)": the tags and the number are for developers.
    while (!reason.empty() && reason.front() == '[' && reason.find(']') != std::string::npos)
        reason.erase(0, reason.find(']') + 1);
    const std::string number = " (" + std::to_string(native) + ")";
    if (reason.size() > number.size() && reason.compare(reason.size() - number.size(), number.size(), number) == 0)
        reason.resize(reason.size() - number.size());
    failure.reason = reason;
    failure.code = static_cast<int>(native & 0xff);

    enum { SqliteError = 1, SqliteCorrupt = 11, SqliteNotADatabase = 26 };
    if (std::string(reinterpret_cast<char*>(state)).rfind("IM", 0) == 0)
        failure.kind = WDbFailureKind::NoDataSource;
    else if (failure.code == SqliteNotADatabase || failure.code == SqliteCorrupt)
        failure.kind = WDbFailureKind::NotADatabase;
    else if (failure.code == SqliteError)
        failure.kind = WDbFailureKind::Refused;
    return failure;
}
