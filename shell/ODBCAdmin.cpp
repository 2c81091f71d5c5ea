#include "shell/ODBCAdmin.h"

#include <odbcinst.h>
#include <sqlext.h>

#include <array>
#include <filesystem>

#include "platform/db/DataSourceOptions.h"

namespace {

constexpr const char* UserIni = "odbc.ini";
constexpr const char* DriverIni = "odbcinst.ini";

// Where Debian and other distributions put the SQLite3 ODBC driver.
constexpr std::array<const char*, 3> KnownDriverLibraries = {
    "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
    "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
    "/usr/lib64/libsqlite3odbc.so",
};

// What the data source's "Driver" value names: a driver section that odbcinst.ini registers,
// or, for the program's own fallback name when no such section exists, the driver library.
std::string DriverEntry(const std::string& driver) {
    char value[1024] = "";
    SQLGetPrivateProfileString(driver.c_str(), "Driver", "", value, sizeof value, DriverIni);
    if (value[0] != '\0') return driver;
    if (driver != ODBCAdmin::FallbackDriver) return {};
    for (const char* library : KnownDriverLibraries)
        if (std::filesystem::exists(library)) return library;
    return {};
}

bool WriteValue(const std::string& section, const char* key, const std::string& value) {
    return SQLWritePrivateProfileString(section.c_str(), key, value.c_str(), UserIni) != 0;
}

}  // namespace

bool ODBCAdmin::RegisterDataSource(const std::string& name, const std::string& databasePath) {
    return RegisterDataSourceDriver(name, databasePath, PrimaryDriver);
}

bool ODBCAdmin::RegisterDataSourceDriver(const std::string& name, const std::string& databasePath,
                                         const std::string& driver) {
    SQLSetConfigMode(ODBC_USER_DSN);
    WriteValue("ODBC Data Sources", name.c_str(), driver);
    if (!WriteValue(name, "Database", databasePath)) return false;
    WriteValue(name, "Description", name);
    WriteDriverOptions(name);
    const std::string entry = DriverEntry(driver);
    return !entry.empty() && WriteValue(name, "Driver", entry);
}
