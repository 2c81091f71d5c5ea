// The care of the database file: the version check, the dated start-up copies, save and restore.
// Every operation on the file disconnects the one transaction, works on the closed file,
// connects again and re-reads the trips list.

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/forms/WPrompter.h"
#include "shell/WinStart.h"

namespace fs = std::filesystem;

namespace {

constexpr int ExpectedVersion = 9;
constexpr std::size_t KeptBackups = 19;

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string DatedName(const std::tm& t, bool withTime) {
    char name[64];
    if (withTime)
        std::snprintf(name, sizeof name, "Kestavo_%d%02d%02d_%02d%02d.db", t.tm_year + 1900,
                      t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
    else
        std::snprintf(name, sizeof name, "Kestavo_%d%02d%02d.db", t.tm_year + 1900, t.tm_mon + 1,
                      t.tm_mday);
    return name;
}

std::string FolderOf(const std::string& path) {
    std::string folder = fs::path(path).parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

void MakeWritableAndRemove(const fs::path& path) {
    std::error_code error;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    error);
    fs::remove(path, error);
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::exists(a, error) && fs::exists(b, error) && fs::equivalent(a, b, error);
}

const std::vector<WFileFilter> DatabaseFilters = {
    {"Database file (*.db)", "*.db"},
    {"All files", "*.*"},
};

}  // namespace

// Copies source over target so that target is never lost before the copy is whole: the bytes go
// to a temporary file beside the target, which then takes the target's name in one step.
bool WinStart::ReplaceFileWithCopy(const std::string& source, const std::string& target) {
    std::error_code error;
    if (!fs::is_regular_file(source, error)) return false;
    const fs::path partial = target + ".partial";
    fs::remove(partial, error);
    if (!fs::copy_file(source, partial, fs::copy_options::overwrite_existing, error)) {
        fs::remove(partial, error);
        return false;
    }
    if (fs::exists(target, error))
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add, error);
    fs::rename(partial, target, error);
    if (error) {
        fs::remove(partial, error);
        return false;
    }
    return true;
}

std::string WinStart::DatabasePath() const { return programFolder + "Kestavo.db"; }
std::string WinStart::BackupFolder() const { return programFolder + "dbbackups/"; }

WinStart::VersionCheck WinStart::ReadDatabaseVersion() {
    query_GenQueryNoError->SetSQL("select version from DBVersion");
    if (!query_GenQueryNoError->Open()) return VersionCheck::Unreadable;
    const bool hasRow = query_GenQueryNoError->GetNumRows() > 0;
    const long version = hasRow ? query_GenQueryNoError->GetValue(0, 0).AsLong() : -1;
    query_GenQueryNoError->Close();
    return version == ExpectedVersion ? VersionCheck::Matches : VersionCheck::Mismatch;
}

bool WinStart::CheckDatabaseVersion(bool showMessage) {
    const VersionCheck check = ReadDatabaseVersion();
    if (check != VersionCheck::Matches && showMessage) ShowBadVersionMessage();
    return check == VersionCheck::Matches;
}

void WinStart::ShowBadVersionMessage() {
    char text[512];
    std::snprintf(text, sizeof text,
                  "The database you have specified is not matched with this\r\nversion of '%s'. "
                  "The database could be from an older copy of\r\nthis program that is not "
                  "compatible. You may be able to import\r\nan exported database file from that "
                  "version, if you have one.",
                  "Kestavo");
    MessageBox(this, "Bad database version", text, WMessageIcon::Stop, WMessageButtons::OK);
}

void WinStart::PruneBackups() {
    std::error_code error;
    if (!fs::is_directory(BackupFolder(), error)) return;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(BackupFolder(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= 10 && name.rfind("Kestavo", 0) == 0 &&
            name.compare(name.size() - 3, 3, ".db") == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; names.size() - i > KeptBackups; ++i)
        MakeWritableAndRemove(BackupFolder() + names[i]);
}

std::optional<std::string> WinStart::SaveDatabaseCopy(std::optional<std::string> folder,
                                                      std::optional<std::string> name) {
    const std::tm now = LocalNow();
    std::string target;
    if (name) {
        target = folder.value_or(programFolder) + *name;
    } else if (folder) {
        target = *folder + DatedName(now, true);
    } else {
        WFileRequest request;
        request.save = true;
        request.title = "Save Database To File";
        request.folder = lastDatabaseFolder.empty() ? programFolder : lastDatabaseFolder;
        request.file = DatedName(now, false);
        request.filters = DatabaseFilters;
        request.defaultExtension = "db";
        const std::optional<std::string> chosen = FileDialog(this, request);
        if (!chosen) return std::nullopt;
        target = *chosen;
        lastDatabaseFolder = FolderOf(target);
    }
    // The database is its own copy: replacing it with itself would only put it at risk.
    if (SameFile(target, DatabasePath())) return std::nullopt;

    transaction_KVO->Disconnect();
    const bool copied = ReplaceFileWithCopy(DatabasePath(), target);
    transaction_KVO->Connect();
    RefreshTrips(-1);
    if (!copied) return std::nullopt;
    lastSavedCopy = target;
    return target;
}

bool WinStart::RestoreDatabase(std::optional<std::string> file, bool safetyCopy) {
    if (!file) {
        WFileRequest request;
        request.title = "Restore Database From File";
        request.folder = lastDatabaseFolder.empty() ? programFolder : lastDatabaseFolder;
        request.filters = DatabaseFilters;
        file = FileDialog(this, request);
        if (!file) return false;
        lastDatabaseFolder = FolderOf(*file);
    }
    // Restoring the database over itself would change nothing.
    if (SameFile(*file, DatabasePath())) return false;

    std::optional<std::string> safety;
    if (safetyCopy) {
        PruneBackups();
        std::error_code error;
        fs::create_directories(BackupFolder(), error);
        safety = SaveDatabaseCopy(BackupFolder(), std::nullopt);
        // Without a safety copy the old database could not come back: leave it in place.
        if (!safety) return false;
    }

    transaction_KVO->Disconnect();
    const bool restored = ReplaceFileWithCopy(*file, DatabasePath());
    transaction_KVO->Connect();

    if (safety && restored && ReadDatabaseVersion() != VersionCheck::Matches) {
        ShowBadVersionMessage();
        transaction_KVO->Disconnect();
        ReplaceFileWithCopy(*safety, DatabasePath());
        transaction_KVO->Connect();
    }
    ApplyCookingMeasures();
    RefreshTrips(-1);
    return restored;
}
