#include "shell/CascadeDelete.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/db/WQuery.h"
#include "platform/db/WTransaction.h"
#include "shell/TableSchema.h"

namespace {

using Step = std::pair<const TableSchema*, int>;

template <typename Visit>
bool ForEachReferrer(const TableSchema& schema, bool ownedOnly, Visit visit) {
    if (!schema.ownerList) return true;
    for (const auto& referrer : *schema.ownerList)
        for (std::size_t column = 0; column < referrer->foreignKeys.size(); ++column) {
            const ForeignKeyMap& key = referrer->foreignKeys[column];
            if (key.referencedTable == &schema && (!ownedOnly || key.owned))
                if (!visit(*referrer, static_cast<int>(column))) return false;
        }
    return true;
}

bool DeletesByRowId(const TableSchema& schema, int column) {
    return schema.idColumn < 0 || column == schema.idColumn;
}

// Walks the registry as the delete will, before anything is deleted: every column it names
// must be known, and a loop of references would never end.
bool CanCascade(const TableSchema& schema, int column, bool ownedOnly, std::vector<Step>& path) {
    if (column < 0 || column >= schema.GetNumColumns()) return false;
    if (std::find(path.begin(), path.end(), Step(&schema, column)) != path.end()) return false;
    path.emplace_back(&schema, column);
    const bool ok = DeletesByRowId(schema, column)
        ? ForEachReferrer(schema, ownedOnly, [&](const TableSchema& referrer, int key) {
              return CanCascade(referrer, key, false, path);
          })
        : CanCascade(schema, schema.idColumn, false, path);
    path.pop_back();
    return ok;
}

std::string Where(const TableSchema& schema, int column, long value) {
    return " where " + schema.GetColumnName(column) + " = " + std::to_string(value);
}

bool Cascade(WTransaction* transaction, const TableSchema& schema, int column, long value,
             bool deleteRows, bool ownedOnly) {
    if (DeletesByRowId(schema, column)) {
        const bool childrenGone = ForEachReferrer(schema, ownedOnly, [&](const TableSchema& referrer, int key) {
            return Cascade(transaction, referrer, key, value, true, false);
        });
        if (!childrenGone) return false;
    } else {
        WQuery rows(transaction);
        rows.SetSQL("select " + schema.GetColumnName(schema.idColumn) + " from " + schema.tableName +
                    Where(schema, column, value));
        if (!rows.Open()) return false;
        std::vector<long> ids;
        for (long row = 0; row < rows.GetNumRows(); ++row) ids.push_back(static_cast<long>(rows.GetValue(row, 0).AsLong()));
        rows.Close();
        for (long id : ids)
            if (!Cascade(transaction, schema, schema.idColumn, id, false, false)) return false;
    }
    if (!deleteRows) return true;
    WQuery statement(transaction);
    return statement.Execute("delete from " + schema.tableName + Where(schema, column, value));
}

}  // namespace

bool CascadeDelete(TableSchema* schema, int column, long value, WTransaction* transaction,
                   bool deleteRows, bool ownedOnly) {
    std::vector<Step> path;
    if (!schema || !transaction || !CanCascade(*schema, column, ownedOnly, path)) return false;
    return transaction->RunAsOneUnit("cascade_delete", [&] {
        return Cascade(transaction, *schema, column, value, deleteRows, ownedOnly);
    });
}
