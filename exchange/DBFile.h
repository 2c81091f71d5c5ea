#pragma once
// The transfer of tables through table data files, for one operation. The export writes the
// chosen tables value by value on the GUI thread. The import reads a file into the database on
// the wait window's worker: every imported row gets a new id above the table's largest, the
// references between imported rows follow the registry's old-to-new id maps, and an item whose
// name an existing item has is settled by its modified stamp or by asking the user.

#include <optional>
#include <string>
#include <vector>

#include "exchange/WinImportReplace.h"
#include "shell/TableSchema.h"
#include "shell/WinWait.h"

class DataFile;
class TableDataReader;
class WQuery;
class WTransaction;
class WWindow;
struct TableDataValue;

class DBFile : public WinWait {
public:
    DBFile();
    ~DBFile() override;

    // Writes the tables of the list, in its order; true when the whole file was written. A file
    // that could not be written completely is deleted.
    bool Export(const std::string& path, WWindow* parent, WTransaction* transaction,
                const std::vector<std::string>& tables, int loadVersion);

    struct ImportArguments {
        std::string path;
        WWindow* parent = nullptr;
        WTransaction* transaction = nullptr;
        SchemaList* schemas = nullptr;
        std::vector<std::string> tables;   // the tables of the file that are read
        int maxLoadVersion = 0;
        std::string prefix;
        std::string suffix;
        std::optional<std::string> licensor;   // the credit written into every imported row
    };
    // Runs the import on the wait window's worker (cancellable, one progress step per table)
    // and answers its success once the window has closed. The whole import is one transaction
    // on the main connection: a failure or a cancel leaves none of it.
    bool Import(ImportArguments arguments);
    // The worker: the import as one transaction, then the end of the wait window.
    void RunImportWorker();
    // The import proper, on the calling thread; questions and messages reach the user on the
    // GUI thread.
    bool ImportWorker(const ImportArguments& arguments);

    // Keeps the message as the last error and, with a parent window, shows it.
    void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::string& LastError() const { return lastError; }

private:
    // One imported row: its values by column position and what became of its ids.
    struct Row {
        std::vector<WDataValue> values;
        long oldId = -1;
        long newId = -1;
        bool tookId = false;   // the row took the next id
        bool skip = false;
        bool existing = false;
        bool update = false;
    };
    struct TableImport {
        TableSchema* schema = nullptr;
        const ImportArguments* arguments = nullptr;
        long nextId = 0;
        WQuery* statement = nullptr;   // the insert or update, prepared once per text
        WQuery* lookup = nullptr;
    };

    bool ImportTable(TableDataReader& reader, TableSchema& schema, const ImportArguments& arguments);
    void FillRow(TableImport& table, const std::vector<TableDataValue>& values, Row& row) const;
    bool SettleName(TableImport& table, Row& row);
    bool StoreRow(TableImport& table, Row& row);
    std::string UniqueName(TableImport& table, const std::string& name) const;
    bool ReadFailed(const TableDataReader& reader);   // shows what the reader found wrong
    bool Refused(const TableImport& table, const std::string& reason);

    std::string lastError;
    WWindow* parentWindow = nullptr;
    WTransaction* transaction = nullptr;
    WinImportReplace clashQuestion;
    ImportArguments importArguments;
    bool success = false;
};
