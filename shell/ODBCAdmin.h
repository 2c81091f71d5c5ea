#pragma once
// Writes the program's ODBC data source into the user's odbc.ini at every start.

#include <string>

class ODBCAdmin {
public:
    virtual ~ODBCAdmin() = default;
    ODBCAdmin() = delete;

    // The data source on the SQLite3 ODBC driver as the system registers it.
    static bool RegisterDataSource(const std::string& name, const std::string& databasePath);
    // The data source on a named driver section of odbcinst.ini; for the program's own
    // fallback name the driver library is found in its usual places instead.
    static bool RegisterDataSourceDriver(const std::string& name, const std::string& databasePath,
                                         const std::string& driver);

    static constexpr const char* PrimaryDriver = "SQLite3";
    static constexpr const char* FallbackDriver = "KestavoSA";
};
