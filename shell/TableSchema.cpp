#include "shell/TableSchema.h"

#include <algorithm>
#include <initializer_list>

#include "platform/db/WQuery.h"
#include "shell/TableNames.h"
#include "shell/WinStart.h"

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

struct RegistryKey {
    int column;
    const char* referencedTable;
    bool owned;
};

struct RegistryEntry {
    int tableIndex;   // into TableNames and TableNouns
    int idColumn, uniqueColumn, modifiedColumn;
    std::initializer_list<RegistryKey> keys;
};

// Parents come before the tables that refer to them.
const RegistryEntry Registry[] = {
    {3, 0, 1, 7, {}},                                                          // Ingredients
    {4, 0, 1, 5, {}},                                                          // Courses
    {5, -1, -1, -1, {{0, "Courses", true}}},                                   // Recipes
    {6, 0, -1, -1, {{1, "Courses", true}, {2, "Ingredients", false}}},         // CourseIngredients
    {7, 0, 1, 3, {}},                                                          // Meals
    {8, 0, -1, -1, {{1, "Meals", true}, {2, "Courses", false}}},               // MealCourses
    {9, 0, 1, 3, {}},                                                          // People
    {11, 0, 1, 5, {}},                                                         // Trips
    {12, 0, -1, -1, {{2, "Trips", true}}},                                     // TripDays
    {13, 0, -1, -1, {{1, "TripDays", true}}},                                  // DayFoodStops
    {14, 0, -1, -1, {{1, "DayFoodStops", true}, {2, "Meals", false}}},         // DayMeals
    {15, 0, -1, -1, {{1, "DayFoodStops", true}, {2, "Courses", false}}},       // DayCourses
    {16, 0, -1, -1, {{1, "People", false}, {2, "DayFoodStops", true}}},        // MealPeople
    {17, 0, -1, -1, {{1, "People", false}, {2, "Trips", true}}},               // TripPeople
};

constexpr int PeopleTable = 9;
constexpr int PeopleAppetiteColumn = 4;

}  // namespace

int HashColID(long id) {
    const long bucket = id % ColIDMap::NumBuckets;
    return static_cast<int>(bucket < 0 ? bucket + ColIDMap::NumBuckets : bucket);
}

void ColIDMap::Clear() {
    for (auto& bucket : buckets_) bucket.clear();
    size_ = 0;
}

void ColIDMap::Set(long oldId, ColIDMapElt element) {
    auto& bucket = buckets_[HashColID(oldId)];
    for (auto& entry : bucket)
        if (entry.first == oldId) {
            entry.second = element;
            return;
        }
    bucket.emplace_back(oldId, element);
    ++size_;
}

const ColIDMapElt* ColIDMap::Find(long oldId) const {
    for (const auto& entry : buckets_[HashColID(oldId)])
        if (entry.first == oldId) return &entry.second;
    return nullptr;
}

void TableSchema::LoadColumns(const std::string& table, WTransaction* transaction) {
    tableName = table;
    if (!transaction) return;
    WQuery query(transaction);
    // The result's columns, not its rows: a big table costs no more than an empty one.
    query.SetSQL("select * from " + table + " where 0 = 1");
    if (query.Open())
        for (int column = 0; column < query.GetNumColumns(); ++column)
            columnNames.push_back(query.GetColumnName(column));
    query.Close();
}

void TableSchema::SetForeignKey(TableSchema* referenced, int column, bool owned) {
    if (column < 0) return;
    if (foreignKeys.size() <= static_cast<std::size_t>(column)) foreignKeys.resize(column + 1);
    foreignKeys[column] = {referenced, owned};
}

void TableSchema::SetColumnDefault(const WDataValue& value, int column) {
    if (column < 0) return;
    if (columnDefaults.size() <= static_cast<std::size_t>(column)) columnDefaults.resize(column + 1);
    columnDefaults[column] = value;
}

ForeignKeyMap TableSchema::GetForeignKey(int column) const {
    if (column < 0 || static_cast<std::size_t>(column) >= foreignKeys.size()) return {};
    return foreignKeys[column];
}

WDataValue TableSchema::GetColumnDefault(int column) const {
    if (column < 0 || static_cast<std::size_t>(column) >= columnDefaults.size()) return {};
    return columnDefaults[column];
}

std::string TableSchema::GetColumnName(int column) const {
    if (column < 0 || column >= GetNumColumns()) return {};
    return columnNames[column];
}

TableSchema* AddTableSchema(SchemaList& list) {
    list.push_back(std::make_unique<TableSchema>());
    list.back()->ownerList = &list;
    return list.back().get();
}

TableSchema* FindTableSchema(const SchemaList& list, const std::string& table) {
    for (const auto& schema : list)
        if (EqualsIgnoringAsciiCase(schema->tableName, table)) return schema.get();
    return nullptr;
}

void FreeSchemaList(SchemaList& list) { list.clear(); }

void WinStart::BuildTableSchemas() {
    FreeSchemaList(schemaList);
    for (const RegistryEntry& entry : Registry) {
        TableSchema* schema = AddTableSchema(schemaList);
        schema->LoadColumns(TableNames[entry.tableIndex], transaction_KVO.get());
        schema->noun = TableNouns[entry.tableIndex];
        schema->idColumn = entry.idColumn;
        schema->uniqueColumn = entry.uniqueColumn;
        schema->modifiedColumn = entry.modifiedColumn;
        for (const RegistryKey& key : entry.keys)
            schema->SetForeignKey(::FindTableSchema(schemaList, key.referencedTable), key.column, key.owned);
        if (entry.tableIndex == PeopleTable) schema->SetColumnDefault(WDataValue(1.0), PeopleAppetiteColumn);
    }
}
