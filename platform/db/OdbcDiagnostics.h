#pragma once
// The driver's diagnostic records of a handle as one text, for LastError().

#include <sql.h>
#include <sqlext.h>

#include <string>

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
