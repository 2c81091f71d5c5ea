#pragma once
// The registry of the fourteen tables that travel in table data files: where each keeps its
// id, unique name and modified stamp, which columns refer to which registered table (and
// whether the row belongs to the row it refers to), column defaults for imported rows, the
// column names, and the old-to-new id map of the import in progress.

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/db/WDataValue.h"

class TableSchema;
class WTransaction;

using SchemaList = std::vector<std::unique_ptr<TableSchema>>;

struct ForeignKeyMap {
    TableSchema* referencedTable = nullptr;   // none: the column is no reference
    bool owned = false;   // the row is deleted with the referenced row
};

struct ColIDMapElt {
    long newId = -1;        // the id the row got here, or the row it was matched to; -1 skipped
    bool existing = false;  // matched to an item that already existed and was kept
};

// Bucket of an id in the id map; ids in a file may be any number, negative ones included.
int HashColID(long id);

// Old id (as written in a table data file) -> what became of that row in this database.
class ColIDMap {
public:
    static constexpr int NumBuckets = 1001;

    void Clear();
    void Set(long oldId, ColIDMapElt element);   // replaces an earlier entry for the id
    const ColIDMapElt* Find(long oldId) const;   // NULL when the id has no entry
    std::size_t Size() const { return size_; }

private:
    std::array<std::vector<std::pair<long, ColIDMapElt>>, NumBuckets> buckets_;
    std::size_t size_ = 0;
};

class TableSchema {
public:
    // Sets the table name and, with a transaction, reads the column names by position from
    // "select * from <table>" (without fetching a row); a table that cannot be read keeps an
    // empty list.
    void LoadColumns(const std::string& table, WTransaction* transaction);
    void SetForeignKey(TableSchema* referenced, int column, bool owned);
    void SetColumnDefault(const WDataValue& value, int column);

    // Column positions past the arrays' ends have no foreign key and a null default.
    ForeignKeyMap GetForeignKey(int column) const;
    WDataValue GetColumnDefault(int column) const;
    int GetNumColumns() const { return static_cast<int>(columnNames.size()); }
    // The column's name, "" for a position that has none.
    std::string GetColumnName(int column) const;

    int idColumn = -1;
    int uniqueColumn = -1;
    std::vector<ForeignKeyMap> foreignKeys;
    std::string tableName;
    ColIDMap idMap;
    std::vector<std::string> columnNames;
    SchemaList* ownerList = nullptr;
    std::string noun;
    int modifiedColumn = -1;
    std::vector<WDataValue> columnDefaults;
};

TableSchema* AddTableSchema(SchemaList& list);
// The first schema whose table name matches, letters A-Z without regard to case; NULL if none.
TableSchema* FindTableSchema(const SchemaList& list, const std::string& table);
void FreeSchemaList(SchemaList& list);
