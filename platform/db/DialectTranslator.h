#pragma once
// Turns the program's SQL, written for its original engine, into SQLite's own SQL. Key joins
// are resolved from the foreign keys that the connected database declares, date arithmetic from
// its date-typed columns; both are read at connect time (SetSchema).

#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class DialectTranslator {
public:
    struct ForeignKey {
        std::string column;         // in the referencing table
        std::string parentTable;
        std::string parentColumn;   // empty: the parent's primary key
    };
    struct Column {
        std::string name;
        std::string declaredType;
    };
    struct Table {
        std::string name;
        std::vector<Column> columns;
        std::string primaryKey;
        std::vector<ForeignKey> foreignKeys;
    };

    struct Translation {
        bool ok = false;
        std::string sql;
        // The statement's own parameter number (from 1) for each '?' of the translated text, in
        // order: a translated expression may repeat a marker or move it.
        std::vector<int> parameterOrder;
        std::string error;
    };

    void SetSchema(std::vector<Table> tables);
    void ClearSchema() { SetSchema({}); }

    Translation Translate(const std::string& sql) const;

    // Schema queries for this dialect's own use.
    const Table* FindTable(const std::string& name) const;     // without regard to case
    bool IsDateColumn(const std::string& table, const std::string& column) const;

private:
    Translation TranslateUncached(const std::string& sql) const;

    std::map<std::string, Table> tables_;   // by lower-case name
    mutable std::mutex cacheMutex_;
    mutable std::unordered_map<std::string, Translation> cache_;
};
