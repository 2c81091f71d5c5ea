// The main window's table data file commands: export and import, with the choice of the file
// and of what travels, and the safety copy that takes a failed import back.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "exchange/DBFile.h"
#include "exchange/WinExportTables.h"
#include "platform/forms/WPrompter.h"
#include "shell/FormatText.h"
#include "shell/WinStart.h"

namespace fs = std::filesystem;

namespace {

constexpr int ExportLoadVersion = 103;
constexpr int MaxLoadVersion = 302;
constexpr const char* SafetyCopyName = "tmp.db";

const std::vector<WFileFilter> DataFileFilters = {
    {"Kestavo file (*.kvo)", "*.kvo"},
    {"All files", "*.*"},
};

}  // namespace

bool WinStart::OnMenuImport(WEventData&) {
    ImportDatabase();
    return true;
}

bool WinStart::OnMenuExport(WEventData&) {
    ExportDatabase();
    return true;
}

// The file dialog of the transfer, proposing the last data file (else kvo_data.kvo in the
// program folder).
std::optional<std::string> WinStart::ChooseDataFile(bool save) {
    if (lastDataFilePath.empty()) lastDataFilePath = programFolder + "kvo_data.kvo";
    WFileRequest request;
    request.save = save;
    request.title = save ? "Export Database to File" : "Import database from file";
    request.folder = fs::path(lastDataFilePath).parent_path().string();
    request.file = fs::path(lastDataFilePath).filename().string();
    request.filters = DataFileFilters;
    if (save) request.defaultExtension = "kvo";
    return FileDialog(this, request);
}

WinExportTables& WinStart::ExportTablesForm() {
    if (!winExportTables) winExportTables = std::make_unique<WinExportTables>();
    return *winExportTables;
}

bool WinStart::ExportDatabase(std::optional<std::string> file) {
    std::int32_t flags = WinExportTables::FoodData;
    if (!file) {
        flags = ExportTablesForm().Show(this, true, nullptr, nullptr, nullptr);
        if (!flags) return false;
        file = ChooseDataFile(true);
        if (!file) return false;
        lastDataFilePath = *file;
    }
    std::vector<std::string> tables;
    WinExportTables::BuildTableList(flags, tables);
    DBFile transfer;
    return transfer.Export(*file, this, transaction_KVO.get(), tables, ExportLoadVersion);
}

bool WinStart::ImportDatabase(std::optional<std::string> file) {
    DBFile::ImportArguments arguments;
    std::int32_t flags = WinExportTables::FoodData;
    if (!file) {
        file = ChooseDataFile(false);
        if (!file) return false;
        std::string licensor;
        flags = ExportTablesForm().Show(this, false, &arguments.prefix, &arguments.suffix, &licensor);
        if (!flags) return false;
        if (!licensor.empty()) arguments.licensor = licensor;
        lastDataFilePath = *file;
    }
    WinExportTables::BuildTableList(flags, arguments.tables);
    const std::optional<std::string> safetyCopy = MakeImportSafetyCopy();
    if (!safetyCopy) return false;
    arguments.path = *file;
    arguments.parent = this;
    arguments.transaction = transaction_KVO.get();
    arguments.schemas = &schemaList;
    arguments.maxLoadVersion = MaxLoadVersion;
    DBFile transfer;
    const bool imported = transfer.Import(std::move(arguments));
    if (!imported) PutBackSafetyCopy(*safetyCopy);
    RefreshTrips(-1);
    return imported;
}

// No import runs without its way back.
std::optional<std::string> WinStart::MakeImportSafetyCopy() {
    const std::string target = programFolder + SafetyCopyName;
    std::string reason;
    const bool copied = CopyWithDatabaseClosed(DatabasePath(), target, &reason);
    if (!copied) {
        MessageBox(this, "Database File Error",
                   FormatText("The safety copy of the database could not be made:\r\n%s\r\nNothing was imported.",
                              reason.c_str()),
                   WMessageIcon::Stop, WMessageButtons::OK);
        return std::nullopt;
    }
    lastSavedCopy = target;
    return target;
}

// The copy was made from this very database a moment before the import, so it comes back as
// it was, byte for byte: no version check, and no rewriting of the cooking measures, which
// already follow the option.
void WinStart::PutBackSafetyCopy(const std::string& copy) {
    std::string reason;
    const bool restored = CopyWithDatabaseClosed(copy, DatabasePath(), &reason);
    if (!restored) ShowCopyError(DatabasePath(), reason);
}
