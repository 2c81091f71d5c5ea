/* An SQLite extension that a test's data source loads beside the collation, to make one kind of
 * savepoint statement fail inside the real driver: after
 *   select kvo_refuse_savepoint('ROLLBACK', 'change')
 * every "rollback to change" is refused as not authorized ('BEGIN' refuses "savepoint change",
 * 'RELEASE' "release change"); an empty operation refuses nothing again. The refusal is the
 * process's, not one connection's (the library is linked never to be unloaded): it holds on over
 * a reconnect, as the import makes one for its safety copy before its first savepoint. */

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include <string.h>

struct Refusal {
    char operation[16];
    char name[128];
};

static struct Refusal refusal;

static int Authorize(void* data, int action, const char* operation, const char* name, const char* database,
                     const char* trigger) {
    (void)data;
    (void)database;
    (void)trigger;
    if (action == SQLITE_SAVEPOINT && operation && name && refusal.operation[0] &&
        strcmp(operation, refusal.operation) == 0 && strcmp(name, refusal.name) == 0)
        return SQLITE_DENY;
    return SQLITE_OK;
}

static void CopyText(char* to, size_t size, sqlite3_value* value) {
    const unsigned char* text = sqlite3_value_text(value);
    to[0] = 0;
    if (text) {
        strncpy(to, (const char*)text, size - 1);
        to[size - 1] = 0;
    }
}

static void Refuse(sqlite3_context* context, int count, sqlite3_value** values) {
    (void)count;
    CopyText(refusal.operation, sizeof refusal.operation, values[0]);
    CopyText(refusal.name, sizeof refusal.name, values[1]);
    sqlite3_result_int(context, 1);
}

__attribute__((visibility("default"))) int sqlite3_kvorefusal_init(sqlite3* db, char** error,
                                                                   const sqlite3_api_routines* api) {
    (void)error;
    SQLITE_EXTENSION_INIT2(api);
    const int rc = sqlite3_create_function_v2(db, "kvo_refuse_savepoint", 2, SQLITE_UTF8, NULL, Refuse, NULL, NULL,
                                              NULL);
    if (rc != SQLITE_OK) return rc;
    return sqlite3_set_authorizer(db, Authorize, NULL);
}
