#include "exchange/DBFile.h"

#include <sql.h>

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "exchange/TableDataReader.h"
#include "platform/db/WQuery.h"
#include "platform/forms/WPrompter.h"
#include "shell/CascadeDelete.h"
#include "shell/DataFile.h"
#include "shell/FormatText.h"
#include "shell/WinStart.h"

namespace fs = std::filesystem;

namespace {

// The driver's type codes that the file tells apart; text, dates and times (the driver reports
// dates as 91 and timestamps as 93) and any other type travel as text.
bool IsIntegerType(int type) {
    return type == SQL_INTEGER || type == SQL_SMALLINT || type == -5 /* BIGINT */ || type == -6 /* TINYINT */ ||
           type == -7 /* BIT */;
}

bool IsRealType(int type) {
    return type == SQL_NUMERIC || type == SQL_DECIMAL || type == SQL_FLOAT || type == SQL_REAL || type == SQL_DOUBLE;
}

bool IsBinaryType(int type) { return type == -2 || type == -3 || type == -4; }

constexpr int LongTextType = -1;

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

// A NULL date, number or name is marked as NULL; a NULL note or credit is an empty text, so
// that an import's credit can take its place.
void WriteValue(DataFile& file, int type, const WDataValue& value) {
    if (type == LongTextType) {
        file.SetScramble(true);
        file.WriteTagValue(TagLongStr, "%s", value.AsText().c_str());
        file.SetScramble(false);
    } else if (value.IsNull()) {
        file.WriteTagValue(TagNull, "%s", "");
    } else if (IsIntegerType(type)) {
        // All 64 bits: an id beyond 32 would come back as another row's.
        file.WriteTagValue(TagInt, "%lld", static_cast<long long>(value.AsLong()));
    } else if (IsRealType(type)) {
        file.WriteTagValue(TagDouble, "%.4lf", value.AsDouble());
    } else if (IsBinaryType(type)) {
        const WDataValue::Bytes bytes = value.AsBytes();
        file.WriteBinary(TagBinary, bytes.data(), bytes.size());
    } else {
        // A line break would end the line, so such a text goes scrambled.
        const std::string text = value.AsText();
        file.SetScramble(HasLineBreak(text));
        file.WriteTagValue(TagStr, "%s", text.c_str());
        file.SetScramble(false);
    }
}

void WriteTable(DataFile& file, const std::string& table, const WQuery& rows) {
    file.WriteTagValue(TagTable, "%s", table.c_str());
    std::string columns;
    for (int column = 0; column < rows.GetNumColumns(); ++column)
        columns += (column ? ", " : "") + rows.GetColumnName(column);
    file.WriteTagValue(TagRowsStart, "%s", columns.c_str());
    for (long row = 0; row < rows.GetNumRows(); ++row) {
        file.WriteTag(TagRowStart);
        for (int column = 0; column < rows.GetNumColumns(); ++column)
            WriteValue(file, rows.GetColumnType(column), rows.GetValue(row, column));
        file.WriteTag(TagRowEnd);
    }
    file.WriteTag(TagRowsEnd);
}

// A cut-off export is never handed on; only a file (or a link to one) of ours is deleted.
void RemoveWrittenFile(const std::string& path) {
    std::error_code error;
    const fs::file_type type = fs::symlink_status(path, error).type();
    if (type == fs::file_type::regular || type == fs::file_type::symlink) fs::remove(path, error);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool InList(const std::vector<std::string>& tables, const std::string& table) {
    for (const std::string& listed : tables)
        if (SameLetters(listed, table)) return true;
    return false;
}

std::string Joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) joined += (i ? separator : "") + parts[i];
    return joined;
}

}  // namespace

DBFile::DBFile() = default;
DBFile::~DBFile() = default;

void DBFile::Error(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string text = FormatTextV(format, arguments);
    va_end(arguments);
    lastError = text;
    if (parentWindow) MessageBox(parentWindow, "Database File Error", text, WMessageIcon::Stop, WMessageButtons::OK);
}

bool DBFile::Export(const std::string& path, WWindow* parent, WTransaction* onTransaction,
                    const std::vector<std::string>& tables, int loadVersion) {
    parentWindow = parent;
    transaction = onTransaction;
    lastError.clear();
    DataFile file;
    if (!file.OpenWrite(path, TableDataTags, false)) {
        Error("Could not open the file for saving: %s", path.c_str());
        return false;
    }
    file.SetScramble(false);
    file.WriteTag(TagHeader);
    file.WriteInt(TagLoadVersion, loadVersion);
    bool exported = true;
    for (const std::string& table : tables) {
        WQuery rows(transaction);
        rows.SetSQL("select * from " + table);
        if (!rows.Open()) {
            Error("Could not open query the table: %s", table.c_str());
            exported = false;
            break;
        }
        WriteTable(file, table, rows);
    }
    file.WriteTag(TagEnd);
    const bool written = file.Close();
    if (exported && !written) {
        Error("The file could not be written completely: %s\r\n%s", path.c_str(), std::strerror(file.WriteError()));
        exported = false;
    }
    if (!exported) RemoveWrittenFile(path);
    return exported;
}

bool DBFile::Import(ImportArguments arguments) {
    importArguments = std::move(arguments);
    success = false;
    // Set before the unit starts: when its first savepoint is refused, none of the import's own
    // code runs, and RunImportWorker tells the reason to this window all the same.
    parentWindow = importArguments.parent;
    transaction = importArguments.transaction;
    lastError.clear();
    Run(importArguments.parent, true, static_cast<int>(importArguments.tables.size()), &DBFile::RunImportWorker, this);
    return success;
}

void DBFile::RunImportWorker() {
    // One transaction for the whole file: nothing of a failed, cancelled or killed import stays,
    // and the rows reach the disk once instead of one flush each.
    // The import tells its failures in its own words, a failed commit among them.
    success = MainWindow->RunAsOneUnit("import_data", [this] { return ImportWorker(importArguments); },
                                       WTransaction::UnitFailures::LeftToCaller);
    const WDbFailure& unitFailure = MainWindow->GetTransaction()->LastUnitFailure();
    if (!success && lastError.empty() && !unitFailure.reason.empty())
        Error("The import could not be stored in the database:\r\n%s\r\nNothing was imported.",
              unitFailure.reason.c_str());
    Finish();
}

bool DBFile::ImportWorker(const ImportArguments& arguments) {
    clashQuestion.Reset();
    TableDataReader reader;
    if (!reader.Open(arguments.path, arguments.maxLoadVersion)) return ReadFailed(reader);
    int tablesMet = 0;
    for (;;) {
        std::string table;
        const TableDataReader::Next next = reader.NextTable(table);
        if (next == TableDataReader::Next::End) return true;
        if (next == TableDataReader::Next::Failed) return ReadFailed(reader);
        TableSchema* schema = arguments.schemas ? FindTableSchema(*arguments.schemas, table) : nullptr;
        SetStatus(FormatText("Loading table '%s'...", table.c_str()));
        SetProgress(tablesMet++);
        if (!schema) {
            Error("Table in file does not have matching schema: %s", table.c_str());
            return false;
        }
        if (!InList(arguments.tables, table)) {
            if (!reader.SkipTable()) return ReadFailed(reader);
            if (IsCancelled()) return false;
            continue;
        }
        if (!ImportTable(reader, *schema, arguments)) return false;
    }
}

bool DBFile::ImportTable(TableDataReader& reader, TableSchema& schema, const ImportArguments& arguments) {
    schema.idMap.Clear();
    if (!reader.ReadColumnList()) return ReadFailed(reader);
    WQuery statement(transaction);
    WQuery lookup(transaction);
    TableImport table{&schema, &arguments, 0, &statement, &lookup};
    if (schema.idColumn >= 0) {
        lookup.SetSQL(FormatText("select max( %s ) from %s", schema.GetColumnName(schema.idColumn).c_str(),
                                 schema.tableName.c_str()));
        if (!lookup.Open()) {
            Error("Could not query the table for max id: %s", schema.tableName.c_str());
            return false;
        }
        const WDataValue largest = lookup.GetValue(0, 0);
        table.nextId = largest.IsNull() ? 0 : static_cast<long>(largest.AsLong()) + 1;
        lookup.Close();
    }
    std::vector<TableDataValue> values;
    for (;;) {
        const TableDataReader::Row next = reader.NextRow(values);
        if (next == TableDataReader::Row::Failed) return ReadFailed(reader);
        if (next == TableDataReader::Row::TableEnd) return !IsCancelled();
        Row row;
        FillRow(table, values, row);
        if (!SettleName(table, row) || !StoreRow(table, row)) return false;
        if (row.oldId != -1) schema.idMap.Set(row.oldId, {row.newId, row.existing});
        if (IsCancelled()) return false;
    }
}

// The row's values by column position, from the column defaults: the id renumbered, each
// reference translated through the id map of the table it refers to, the credit replaced.
void DBFile::FillRow(TableImport& table, const std::vector<TableDataValue>& values, Row& row) const {
    const TableSchema& schema = *table.schema;
    const int columns = schema.GetNumColumns();
    row.values.resize(columns);
    for (int column = 0; column < columns; ++column) row.values[column] = schema.GetColumnDefault(column);
    const int given = std::min(columns, static_cast<int>(values.size()));
    for (int column = 0; column < given; ++column) {
        const TableDataValue& read = values[column];
        WDataValue value = read.value;
        if (read.tag == TagInt && !value.IsNull()) {
            const long number = static_cast<long>(value.AsLong());
            const ForeignKeyMap key = schema.GetForeignKey(column);
            if (column == schema.idColumn) {
                row.oldId = number;
                row.newId = table.nextId++;
                row.tookId = true;
                value = row.newId;
            } else if (key.referencedTable) {
                const ColIDMapElt* mapped = key.referencedTable->idMap.Find(number);
                if (!mapped || mapped->newId == -1 || (key.owned && mapped->existing)) {
                    row.skip = true;
                    row.newId = -1;
                } else {
                    value = mapped->newId;
                }
            }
        } else if ((read.tag == TagStr || read.tag == TagLongStr) && table.arguments->licensor &&
                   SameLetters(schema.GetColumnName(column), "licensor")) {
            value = *table.arguments->licensor;
        }
        row.values[column] = std::move(value);
    }
}

std::string DBFile::UniqueName(TableImport& table, const std::string& name) const {
    std::string unique = table.arguments->prefix + name + table.arguments->suffix;
    return MainWindow->MakeUniqueValue(unique, table.schema->tableName,
                                       table.schema->GetColumnName(table.schema->uniqueColumn));
}

// An imported item whose name is taken: an equal modified stamp means the same item, which
// stays; otherwise the user chooses.
bool DBFile::SettleName(TableImport& table, Row& row) {
    const TableSchema& schema = *table.schema;
    if (row.skip || schema.uniqueColumn < 0) return true;
    const std::string idName = schema.GetColumnName(schema.idColumn);
    const std::string uniqueName = schema.GetColumnName(schema.uniqueColumn);
    const std::string name = row.values[schema.uniqueColumn].AsText();
    // The name travels as a bound value: one prepared statement serves every row of the table.
    table.lookup->SetSQL(FormatText("select %s, %s, modified from %s where %s = ?", idName.c_str(), uniqueName.c_str(),
                                    schema.tableName.c_str(), uniqueName.c_str()));
    table.lookup->SetParameter(1, name);
    if (!table.lookup->Open()) {
        Error("Could not query the table for unique col: %s", schema.tableName.c_str());
        return false;
    }
    const bool found = table.lookup->GetNumRows() > 0;
    const long foundId = static_cast<long>(table.lookup->GetValue(0, 0).AsLong());
    const std::string foundModified = table.lookup->GetValue(0, 2).AsText();
    table.lookup->Close();
    if (!found) {
        if (!table.arguments->prefix.empty() || !table.arguments->suffix.empty())
            row.values[schema.uniqueColumn] = UniqueName(table, name);
        return true;
    }
    const bool sameItem =
        schema.modifiedColumn >= 0 && SameLetters(row.values[schema.modifiedColumn].AsText(), foundModified);
    const std::int32_t answer =
        sameItem ? WinImportReplace::KeepOriginal : clashQuestion.Ask(parentWindow, name, schema.noun);
    if (answer == WinImportReplace::KeepBoth) {
        row.values[schema.uniqueColumn] = UniqueName(table, name);
        return true;
    }
    if (row.tookId) --table.nextId;
    row.newId = foundId;
    if (answer == WinImportReplace::KeepOriginal) {
        row.existing = true;
        row.skip = true;
        return true;
    }
    row.values[schema.idColumn] = foundId;
    row.update = true;
    if (!CascadeDelete(table.schema, schema.idColumn, foundId, transaction, false, true))
        return Refused(table, "The rows of the item it replaces could not be deleted.");
    return true;
}

bool DBFile::StoreRow(TableImport& table, Row& row) {
    if (row.skip) return true;
    const TableSchema& schema = *table.schema;
    std::vector<std::string> markers;
    for (int column = 0; column < schema.GetNumColumns(); ++column)
        markers.push_back(row.update ? schema.GetColumnName(column) + " = ?" : "?");
    const std::string sql =
        row.update ? FormatText("update %s set %swhere %s = %ld", schema.tableName.c_str(),
                                Joined(markers, ", ").c_str(), schema.GetColumnName(schema.idColumn).c_str(), row.newId)
                   : FormatText("insert into %s values( %s )", schema.tableName.c_str(), Joined(markers, ", ").c_str());
    // A row that the database refuses fails the import: never a success with rows missing.
    if (!table.statement->Execute(sql, row.values)) return Refused(table, table.statement->LastError());
    return true;
}

bool DBFile::ReadFailed(const TableDataReader& reader) {
    Error("%s", reader.Error().c_str());
    return false;
}

bool DBFile::Refused(const TableImport& table, const std::string& reason) {
    Error("A row of the table '%s' could not be stored:\r\n%s\r\nNothing was imported.",
          table.schema->tableName.c_str(), reason.c_str());
    return false;
}
