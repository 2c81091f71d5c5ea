#pragma once
// Deletes rows together with every row of the registered tables that depends on them,
// children first, as one unit: either every row goes or none does.

class TableSchema;
class WTransaction;

// Deletes what refers to the rows of `schema` whose `column` holds `value` (at the first level
// only through owned references when `ownedOnly`, below it through every reference), then
// those rows themselves when `deleteRows`. False, with nothing deleted, when the registry
// cannot describe the delete (a table whose columns are unknown) or a statement fails.
bool CascadeDelete(TableSchema* schema, int column, long value, WTransaction* transaction,
                   bool deleteRows, bool ownedOnly);
