// The start-up work that runs once the main window is on the screen, and the close of the main
// window.

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "catalogue/WinConvert.h"
#include "shell/ODBCAdmin.h"
#include "shell/WinStart.h"

namespace fs = std::filesystem;

std::string WinStart::ExecutableFolder() const {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path(error).string() : executable.parent_path().string();
}

bool WinStart::OnStartup(WEventData& event) {
    if (event.code == 0 && starting_) {
        RunStartup();
        starting_ = false;
    } else if (event.code == 1) {
        grid_Trips->PostUserEvent(0);
    }
    return false;
}

void WinStart::ShowSetupError() {
    MessageBox(this, "Startup Error",
               "The Kestavo database could not be setup.\r\nThe most likely cause is a corrupt "
               "installation.\r\nUninstall, and reinstall the program.",
               WMessageIcon::Stop, WMessageButtons::OK);
}

bool WinStart::RegisterDataSource() {
    return ODBCAdmin::RegisterDataSource("Kestavo", DatabasePath()) ||
           ODBCAdmin::RegisterDataSourceDriver("Kestavo", DatabasePath(), ODBCAdmin::FallbackDriver);
}

void WinStart::RunStartup() {
    GetUserWorkFolder(userWorkFolder);
    programFolder = ProgramFolderOf(ExecutableFolder());
    helpPath = fs::exists("Kestavo.chm") ? "Kestavo.chm" : "help/Kestavo.chm";

    while (!fs::exists(DatabasePath())) {
        char text[512];
        std::snprintf(text, sizeof text,
                      "The required camping food database '%s' could not be found.\r\nYou must "
                      "restore a prior database to use this program.",
                      "Kestavo.db");
        if (MessageBox(this, "Startup Error", text, WMessageIcon::Stop,
                       WMessageButtons::OKCancel) != WMessageAnswer::OK) {
            Close();
            return;
        }
        // The restore connects: the data source must be there first, since the driver manager
        // remembers for a while that a data source was missing.
        RegisterDataSource();
        if (!RestoreDatabase(std::nullopt, false)) {
            Close();
            return;
        }
    }

    if (!RegisterDataSource()) {
        ShowSetupError();
        Close();
        return;
    }
    transaction_KVO->Disconnect();
    if (!transaction_KVO->Connect()) {
        ShowSetupError();
        Close();
        return;
    }

    bool datedCopyMade = false;
    switch (ReadDatabaseVersion()) {
        case VersionCheck::Matches:
            break;
        case VersionCheck::Unreadable:
            // A database that cannot even be asked for its version is never replaced: the user's
            // data may be behind a passing fault.
            ShowSetupError();
            Close();
            return;
        case VersionCheck::Mismatch:
            ShowBadVersionMessage();
            if (!ReplaceWithEmptyTemplate()) {
                ShowSetupError();
                Close();
                return;
            }
            datedCopyMade = true;
            break;
    }

    BuildTableSchemas();
    if (!datedCopyMade) {
        std::error_code error;
        fs::create_directories(BackupFolder(), error);
        PruneBackups();
        SaveDatabaseCopy(BackupFolder(), std::nullopt);
    }

    optionsReached = true;
    if (fs::exists(GetOptionsFileName()) && !options.Load()) {
        char text[1024];
        std::snprintf(text, sizeof text,
                      "The default startup options file is not valid. The error was:\n%s\nThe "
                      "initial program defaults will be used.",
                      options.GetErrorText().c_str());
        MessageBox(this, "Startup Error", text, WMessageIcon::Stop, WMessageButtons::OK);
    }
    ApplyCookingMeasures();
    options.Save();
    RefreshTrips(-1);
    LoadConversions();
    if (options.startupConvert) winConvert->Show(this);
    SetCommandsEnabled(true);
}

// The old database becomes this start-up's dated copy, then the empty template takes its place.
// Nothing is deleted unless both the copy and the template are there.
bool WinStart::ReplaceWithEmptyTemplate() {
    std::error_code error;
    const std::string emptyTemplate = programFolder + "KestavoEmpty.db";
    if (!fs::is_regular_file(emptyTemplate, error)) return false;
    fs::create_directories(BackupFolder(), error);
    PruneBackups();
    const std::optional<std::string> copy = SaveDatabaseCopy(BackupFolder(), std::nullopt);
    if (!copy || fs::file_size(*copy, error) != fs::file_size(DatabasePath(), error)) return false;
    transaction_KVO->Disconnect();
    if (!ReplaceFileWithCopy(emptyTemplate, DatabasePath())) return false;
    return transaction_KVO->Connect();
}

bool WinStart::OnClose(WEventData&) {
    if (optionsReached) options.Save();
    winConvert->Close();
    return false;
}
