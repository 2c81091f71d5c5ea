#pragma once
// The main window: the list of trips, the menus and buttons, the one database transaction and
// the shared operations that every form reaches through MainWindow.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "__WinStart_Base.h"
#include "platform/db/WDataValue.h"
#include "platform/db/WQuery.h"
#include "platform/db/WTransaction.h"
#include "platform/report/WReportControl.h"
#include "shell/DatabaseLock.h"
#include "shell/StartupOptions.h"
#include "trips/WinSelectReport.h"

class TableSchema;
class WDragImage;
class WinAbout;
class WinClearDB;
class WinEditTrip;
class WinFirstHelp;
class WinIngredients;
class WinOptions;
class WinConvert;
class WinDownloadFile;
class WinUpload;
class WinExportTables;
class WinMealCourses;
class WinPeople;
class WListView;

class WinStart : public __WinStart_Base {
public:
    WinStart();
    ~WinStart() override;

    // Builds the transaction and the four queries and registers them by name. The window's
    // set-up calls it; tests that need only the data side call it alone.
    void CreateDataObjects();
    void DestroyDataObjects();

    // Trips list and trip commands.
    void RefreshTrips(long tripId);
    void AddTrip();
    void DeleteTrip();
    // Chooses a report (for the trip, or the one selected in the list when -1) and runs it.
    void PrintReport(long tripId);
    // The food update from the maker's web host, downloaded, unpacked and imported.
    void DownloadFoodUpdate();

    // Shared data access (one statement at a time on query_GenQuery; no commit, no message).
    bool ExecSQL(const std::string& statement);
    // Runs work as one transaction (a savepoint of that name): when it answers false, the
    // savepoint cannot be made or the commit fails, nothing it wrote stays and the answer is
    // false; a failed commit has been reported ("Database Error"), unless failures are left to
    // the caller, which then tells them in its own words (WTransaction::LastUnitFailure).
    bool RunAsOneUnit(const std::string& name, const std::function<bool()>& work,
                      WTransaction::UnitFailures failures = WTransaction::UnitFailures::Told);
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
    // The cooking measures follow the option: "update Measures set metric = ..., imperial = ...".
    bool ApplyCookingMeasures();
    // Gives the converter the measures (but the units type) and the factors between them.
    void LoadConversions();

    // The database file: version check, dated copies, save and restore.
    // Unreadable: the version cannot be read just now (locked, an I/O error); the reason says why.
    enum class VersionCheck { Matches, Mismatch, Unreadable };
    VersionCheck ReadDatabaseVersion(std::string* reason = nullptr);
    bool CheckDatabaseVersion(bool showMessage);
    // keptAs: where the start-up kept a database that it replaced, said in a last line.
    void ShowBadVersionMessage(const std::optional<std::string>& keptAs);
    void PruneBackups();
    // The path of the copy; nothing when the dialog was cancelled or no copy could be made (a
    // failed copy has been reported).
    std::optional<std::string> SaveDatabaseCopy(std::optional<std::string> folder,
                                                std::optional<std::string> name);
    bool RestoreDatabase(std::optional<std::string> file, bool safetyCopy);

    // Table data files. Without a file the user chooses it and what travels; with one, the food
    // tables travel, with no prefix, suffix or credit. The import first keeps the safety copy
    // "tmp.db" and puts it back when the import fails.
    bool ExportDatabase(std::optional<std::string> file = std::nullopt);
    bool ImportDatabase(std::optional<std::string> file = std::nullopt);
    std::string DatabasePath() const;   // program folder + "Kestavo.db"
    std::string BackupFolder() const;   // program folder + "dbbackups/"
    std::string LockPath() const;       // program folder + "Kestavo.lock"
    // On failure the target is as it was, and reason (when given) holds the system's reason.
    static bool ReplaceFileWithCopy(const std::string& source, const std::string& target,
                                    std::string* reason = nullptr);
    // The same with the database closed while its file is read or replaced, then open again.
    bool CopyWithDatabaseClosed(const std::string& source, const std::string& target,
                                std::string* reason = nullptr);

    // Shared interface helpers.
    long GetSelectedRow(WGrid* grid, const std::string& noun);
    long GetSelectedRowQuiet(WGrid* grid);
    long GetSelectedListItem(WListView* list, const std::string& noun);
    void SelectRow(WGrid* grid, long row);
    long FindRowById(WGrid* grid, int column, long id);
    void SelectRowAtPoint(WGrid* grid, const WEventData& event);
    void PostGridRelayout(WGrid* grid);
    void UpdateGridScrollBar(WGrid* grid);
    void SelectListItem(WListView* list, long index);
    static bool IsVowel(char c);
    // Cuts the text to 15 characters and "..." and draws it in the control's font.
    std::unique_ptr<WDragImage> MakeDragImage(std::string& text, WWindow* control);
    void ShowHelp(int helpId);
    static std::string& FormatDate(std::string& text, int year, int month, int day, bool longForm);
    void EnableDialogItems(WForm* form, const std::vector<int>& itemIds, bool enable);
    void TrimFormAtControl(WForm* form, WWindow* control);

    // Data objects (registered as "WinStart::<member>").
    std::unique_ptr<WTransaction> transaction_KVO;
    std::unique_ptr<WQuery> query_Trips;
    std::unique_ptr<WQuery> query_GenQuery;
    std::unique_ptr<WQuery> query_Gen2;
    std::unique_ptr<WQuery> query_GenQueryNoError;
    std::unique_ptr<WReportControl> cr_Report;   // registered as "WinStart::cr_Report"

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
    WinSelectReport selectReport;

    // Owned forms, one each for the window's whole life.
    std::unique_ptr<WinIngredients> winIngredients;
    std::unique_ptr<WinPeople> winPeople;
    std::unique_ptr<WinEditTrip> winEditTrip;
    std::unique_ptr<WinConvert> winConvert;
    std::unique_ptr<WinMealCourses> winMealCourses;
    std::unique_ptr<WinDownloadFile> winDownloadFile;
    std::unique_ptr<WinUpload> winUpload;
    std::unique_ptr<WinExportTables> winExportTables;   // made at its first use
    std::unique_ptr<WinClearDB> winClearDB;
    std::unique_ptr<WinOptions> winOptions;
    std::unique_ptr<WinAbout> winAbout;
    std::unique_ptr<WinFirstHelp> winFirstHelp;

    // True from the window's set-up until the start-up work has run; commands wait for it.
    bool IsStarting() const { return starting_; }
    // True when the start-up found another copy of the program on this database and ended.
    bool ShutOutByAnotherCopy() const { return shutOut_; }

protected:
    // The folder of the running program; the program folder is derived from it.
    virtual std::string ExecutableFolder() const;
    void SetupMainWindow() override;
    void SetCommandsEnabled(bool enabled);

    // Start-up and close.
    bool OnStartup(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnHelp(WEventData& event) override;
    bool OnDestroy(WEventData& event);
    void RunStartup();
    // The state of the database file once the start-up has connected to it.
    enum class DatabaseState { Current, OtherVersion, Unavailable };
    DatabaseState ConnectDatabase();
    bool ReplaceWithEmptyTemplate();
    void ShowSetupError();
    void ShowCannotOpen(const std::string& reason);
    bool RegisterDataSource();
    void ShowAlreadyRunning();

    // Restore: Failed covers a refused file and a failed copy, both already reported.
    enum class RestoreOutcome { Restored, Cancelled, Failed };
    RestoreOutcome RestoreDatabaseFile(std::optional<std::string> file, bool safetyCopy,
                                       bool mustBeADatabase);
    bool OpensAsADatabase();
    std::optional<std::string> ChooseDataFile(bool save);
    WinExportTables& ExportTablesForm();
    std::optional<std::string> MakeImportSafetyCopy();
    void PutBackSafetyCopy(const std::string& copy);
    void PruneBackupsSparing(const std::string& spared);
    bool MakeBackupFolder(std::string& reason);
    bool KeepReplacedDatabase(std::string& kept, std::string& reason);
    void ShowCopyError(const std::string& target, const std::string& reason);
    void ShowNotADatabase(const std::string& file);

    // Commands.
    bool OnMenuSaveDatabase(WEventData& event) override;
    bool OnMenuRestoreDatabase(WEventData& event) override;
    bool OnMenuRestoreBackup(WEventData& event) override;
    bool OnMenuImport(WEventData& event) override;
    bool OnMenuExport(WEventData& event) override;
    bool OnMenuExit(WEventData& event) override;
    bool OnMenuAddTrip(WEventData& event) override;
    bool OnPopupAddTrip(WEventData& event) override;
    bool OnAddButton(WEventData& event) override;
    bool OnTripWizardButton(WEventData& event) override;
    bool OnMenuMenuItems(WEventData& event) override;
    bool OnMenuItemsButton(WEventData& event) override;
    bool OnMenuDeleteTrip(WEventData& event) override;
    bool OnMenuPeople(WEventData& event) override;
    bool OnPeopleButton(WEventData& event) override;
    bool OnMenuHelpTopics(WEventData& event) override;
    bool OnMenuConvert(WEventData& event) override;
    bool OnMenuDownloadUpdate(WEventData& event) override;
    bool OnMenuUpload(WEventData& event) override;
    bool OnMenuClearDatabase(WEventData& event) override;
    bool OnMenuOptions(WEventData& event) override;
    bool OnMenuQuickHelp(WEventData& event) override;
    bool OnMenuAbout(WEventData& event) override;
    bool OnMenuMeals(WEventData& event) override;
    bool OnMealsButton(WEventData& event) override;
    bool OpenWebSite(WEventData& event) override;
    bool OnPopupDeleteTrip(WEventData& event) override;
    bool OnDeleteButton(WEventData& event) override;
    bool OnMenuIngredients(WEventData& event) override;
    bool OnIngredientsButton(WEventData& event) override;
    bool OnMenuReports(WEventData& event) override;
    bool OnPopupReport(WEventData& event) override;
    bool OnReportButton(WEventData& event) override;
    void CreateReportControl();
    void ReleaseReportControl();

    // Grid events.
    bool OnEditButton(WEventData& event) override;
    bool OnMenuEditTrip(WEventData& event) override;
    bool OnPopupEditTrip(WEventData& event) override;
    bool OnTripsDoubleClick(WEventData& event) override;
    void EditSelectedTrip();
    bool OnTripsLeftButtonUp(WEventData& event) override;
    bool OnTripsRightButtonUp(WEventData& event) override;
    bool OnTripsUserEvent(WEventData& event) override;

private:
    bool starting_ = false;
    bool shutOut_ = false;
    DatabaseLock databaseLock_;
    char destroyTable_ = 0;   // tag of the destroy handler above the generated one
};

// The one main window, set by its constructor.
extern WinStart* MainWindow;
extern WinStart* AppMainForm;
extern StartupOptions* TheOptions;
extern const std::string* VersionText;
// The maker's addresses that messages and commands name.
extern const char* const SupportAddress;   // ends the messages that ask the user to write
extern const char* const MakerWebSite;     // the product page; a newer version is found there

// The per-user work folder: the user's data folder + the current directory's last folder name.
std::string& GetUserWorkFolder(std::string& folder);
// The program folder: the executable's folder, without a last "debug/" or "release/" folder.
std::string ProgramFolderOf(const std::string& executableFolder);
// Starts the program registered for a file type (".html", ".rtf") with a file or address.
bool LaunchRegisteredProgram(const std::string& fileTypeKey, const std::string& argument,
                             bool quote, bool wait);
