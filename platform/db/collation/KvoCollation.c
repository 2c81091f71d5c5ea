/* The text order of the program's name columns, as an SQLite extension that the ODBC data source
 * loads ("LoadExt"). It takes the place of SQLite's own NOCASE, which folds ASCII letters only
 * (see NameOrder.c for the order itself). */

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include <stddef.h>

#include "platform/db/collation/NameOrder.h"

static int CompareNames(void* unused, int aLength, const void* a, int bLength, const void* b) {
    (void)unused;
    return KvoCompareNames((const char*)a, aLength, (const char*)b, bLength);
}

__attribute__((visibility("default"))) int sqlite3_kvocollate_init(sqlite3* db, char** error, const sqlite3_api_routines* api) {
    (void)error;
    SQLITE_EXTENSION_INIT2(api);
    return sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, NULL, CompareNames);
}
