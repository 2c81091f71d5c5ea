#pragma once
// The main window: the list of trips, the menus and buttons, the one database transaction and
// the shared operations that every form reaches through MainWindow.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/WDataValue.h"
#include "platform/db/WQuery.h"
#include "platform/db/WTransaction.h"
#include "shell/StartupOptions.h"

class TableSchema;
class WTextBox;
class WGrid;

class WinStart {
public:
    WinStart();
    virtual ~WinStart();
    WinStart(const WinStart&) = delete;
    WinStart& operator=(const WinStart&) = delete;

    // Builds the transaction and the four queries and registers them by name. The window's
    // set-up calls it; tests that need only the data side call it alone.
    void CreateDataObjects();
    void DestroyDataObjects();

    // Shared data access (one statement at a time on query_GenQuery; no commit, no message).
    bool ExecSQL(const std::string& statement);
    static std::string& EscapeSQL(std::string& text);
    std::string MakeUniqueValue(std::string& value, const std::string& table,
                                const std::string& column);
    long FindIdByValue(const std::string& table, const std::string& column,
                       const std::string& value, long skipId);
    bool EnsureUniqueName(WTextBox* nameBox, const std::string& table, const std::string& noun,
                          long editedId);
    long NextId(const std::string& table);   // -1 when the table cannot be queried
    void TouchModified(const std::string& table, long id);
    WTransaction* GetTransaction() { return transaction_KVO.get(); }
    TableSchema* FindTableSchema(const std::string& table);
    // Builds the registry of the exchanged tables; start-up calls it once it is connected.
    void BuildTableSchemas();
    bool IsReadOnlyRow(const std::string& licensor) const { (void)licensor; return false; }
    // False, with an empty document, when the stored recipe cannot be read or is damaged.
    bool LoadRecipe(long courseId, std::vector<std::uint8_t>& document);
    // Replaces the stored chunks all at once; false, with the old recipe kept, on a failure.
    bool SaveRecipe(long courseId, const std::vector<std::uint8_t>& document);

    // Data objects (registered as "WinStart::<member>").
    std::unique_ptr<WTransaction> transaction_KVO;
    std::unique_ptr<WQuery> query_Trips;
    std::unique_ptr<WQuery> query_GenQuery;
    std::unique_ptr<WQuery> query_Gen2;
    std::unique_ptr<WQuery> query_GenQueryNoError;

    // Hand-written members.
    std::string programFolder;        // ends with '/'
    std::string userWorkFolder;       // ends with '/'
    std::string lastDataFilePath;
    std::string lastDatabaseFolder;
    std::string lastSavedCopy;
    std::vector<std::unique_ptr<TableSchema>> schemaList;
    StartupOptions options;
    std::string versionText;
    std::string helpPath;
    bool optionsReached = false;
};

// The one main window, set by its constructor.
extern WinStart* MainWindow;
extern WinStart* AppMainForm;
extern StartupOptions* TheOptions;
extern const std::string* VersionText;
