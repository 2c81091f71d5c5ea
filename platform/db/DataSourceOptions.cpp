#include "platform/db/DataSourceOptions.h"

#include <odbcinst.h>

#include "platform/db/CollationExtension.h"

bool WriteDriverOptions(const std::string& dataSource) {
    const auto write = [&](const char* key, const std::string& value) {
        return SQLWritePrivateProfileString(dataSource.c_str(), key, value.c_str(), "odbc.ini") != 0;
    };
    // A database that another program holds locked is reported after a few seconds, rather than
    // after the driver's own 100 seconds of a window that does not answer. The driver waits
    // twice its timeout for a lock (it runs a busy statement once more): five seconds in all.
    bool written = write("NoCreat", "1") && write("FKSupport", "1") && write("Timeout", "2500");
    // Without the extension the driver still works, with SQLite's ASCII-only NOCASE.
    if (const std::string extension = CollationExtensionPath(); !extension.empty())
        written = write("LoadExt", extension) && written;
    return written;
}
