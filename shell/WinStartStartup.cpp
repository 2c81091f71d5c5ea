// The start-up work that runs once the main window is on the screen, and the close of the main
// window.

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <system_error>
#include <unistd.h>

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

void WinStart::ShowAlreadyRunning() {
    char text[2048];
    std::snprintf(text, sizeof text,
                  "Kestavo is already running with the database\r\n'%s'.\r\nOnly one copy of the "
                  "program can use it at a time.",
                  DatabasePath().c_str());
    MessageBox(this, "Startup Error", text, WMessageIcon::Stop, WMessageButtons::OK);
}

bool WinStart::RegisterDataSource() {
    return ODBCAdmin::RegisterDataSource("Kestavo", DatabasePath()) ||
           ODBCAdmin::RegisterDataSourceDriver("Kestavo", DatabasePath(), ODBCAdmin::FallbackDriver);
}

namespace {

bool FileIsMissing(const std::string& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::not_found;
}

// The system's own word on why a file cannot be opened for reading and writing, when it has one
// (a folder in its place, no permission); nothing when the system opens it.
std::optional<std::string> SystemCannotOpen(const std::string& path) {
    const int file = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) return std::generic_category().message(errno);
    ::close(file);
    return std::nullopt;
}

}  // namespace

void WinStart::RunStartup() {
    GetUserWorkFolder(userWorkFolder);
    programFolder = ProgramFolderOf(ExecutableFolder());
    helpPath = fs::exists("Kestavo.chm") ? "Kestavo.chm" : "help/Kestavo.chm";

    // Two copies on one database would each overwrite the other's edits: the second one goes
    // before it has touched anything.
    if (!databaseLock_.Take(LockPath())) {
        shutOut_ = true;
        ShowAlreadyRunning();
        Close();
        return;
    }

    while (FileIsMissing(DatabasePath())) {
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
        // A file that is no database, or a copy that failed, has been reported: ask again.
        if (RestoreDatabaseFile(std::nullopt, false, true) == RestoreOutcome::Cancelled) {
            Close();
            return;
        }
    }

    if (!RegisterDataSource()) {
        ShowSetupError();
        Close();
        return;
    }

    bool datedCopyMade = false;
    switch (ConnectDatabase()) {
        case DatabaseState::Current:
            break;
        case DatabaseState::Unavailable:
            Close();
            return;
        case DatabaseState::OtherVersion:
            if (!ReplaceWithEmptyTemplate()) {
                Close();
                return;
            }
            datedCopyMade = true;
            break;
    }

    BuildTableSchemas();
    if (!datedCopyMade) {
        std::string reason;
        if (MakeBackupFolder(reason)) {
            PruneBackups();
            SaveDatabaseCopy(BackupFolder(), std::nullopt);
        } else {
            ShowCopyError(BackupFolder(), reason);
        }
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

// Connects and tells what the file holds. A file that holds no database, or no DBVersion, is of
// another version and makes way for the template (kept as this start's dated copy). One that
// cannot be read just now (locked, busy, no permission, an I/O error) is left as it is: the
// user's data may be behind a passing fault. Unavailable has been reported.
WinStart::DatabaseState WinStart::ConnectDatabase() {
    transaction_KVO->Disconnect();
    if (!transaction_KVO->Connect()) {
        const WDbFailure& failure = transaction_KVO->LastFailure();
        if (failure.kind == WDbFailureKind::NotADatabase) return DatabaseState::OtherVersion;
        if (failure.kind == WDbFailureKind::NoDataSource)
            ShowSetupError();
        else
            ShowCannotOpen(SystemCannotOpen(DatabasePath()).value_or(failure.reason));
        return DatabaseState::Unavailable;
    }
    std::string reason;
    switch (ReadDatabaseVersion(&reason)) {
        case VersionCheck::Matches: return DatabaseState::Current;
        case VersionCheck::Mismatch: return DatabaseState::OtherVersion;
        case VersionCheck::Unreadable: break;
    }
    ShowCannotOpen(reason);
    return DatabaseState::Unavailable;
}

void WinStart::ShowCannotOpen(const std::string& reason) {
    char text[2048];
    std::snprintf(text, sizeof text,
                  "The Kestavo database '%s' could not be opened:\r\n%s\r\nIt has been left as "
                  "it is.",
                  DatabasePath().c_str(), reason.c_str());
    MessageBox(this, "Startup Error", text, WMessageIcon::Stop, WMessageButtons::OK);
}

// The old database is kept aside, byte for byte, then the empty template takes its place; the
// message says where the old one went. Nothing is deleted unless both the kept file and the
// template are there. A failure has been reported when this answers false.
bool WinStart::ReplaceWithEmptyTemplate() {
    std::error_code error;
    const std::string emptyTemplate = programFolder + "KestavoEmpty.db";
    if (!fs::is_regular_file(emptyTemplate, error)) {
        ShowBadVersionMessage(std::nullopt);
        ShowSetupError();
        return false;
    }
    std::string kept, reason;
    if (!KeepReplacedDatabase(kept, reason)) {
        ShowBadVersionMessage(std::nullopt);
        ShowCopyError(kept, reason);
        return false;
    }
    ShowBadVersionMessage(kept);
    if (!ReplaceFileWithCopy(emptyTemplate, DatabasePath(), &reason)) {
        ShowCopyError(DatabasePath(), reason);
        return false;
    }
    if (!transaction_KVO->Connect()) {
        ShowSetupError();
        return false;
    }
    return true;
}

bool WinStart::OnClose(WEventData&) {
    if (optionsReached) options.Save();
    winConvert->Close();
    return false;
}
