#include "platform/db/DataSourceOptions.h"

#include <odbcinst.h>

#include "platform/db/CollationExtension.h"

bool WriteDriverOptions(const std::string& dataSource) {
    const auto write = [&](const char* key, const std::string& value) {
        return SQLWritePrivateProfileString(dataSource.c_str(), key, value.c_str(), "odbc.ini") != 0;
    };
    bool written = write("NoCreat", "1") && write("FKSupport", "1");
    // Without the extension the driver still works, with SQLite's ASCII-only NOCASE.
    if (const std::string extension = CollationExtensionPath(); !extension.empty())
        written = write("LoadExt", extension) && written;
    return written;
}
