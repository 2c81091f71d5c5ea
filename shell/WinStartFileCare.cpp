// The care of the database file: the version check, the dated start-up copies, save and restore.
// Every operation on the file disconnects the one transaction, works on the closed file,
// connects again and re-reads the trips list.

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
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

// "Kestavo_YYYYMMDD_HHMM", the name of this minute's copy without ".db".
std::string DatedStem(const std::tm& t) {
    char stem[64];
    std::snprintf(stem, sizeof stem, "Kestavo_%d%02d%02d_%02d%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
    return stem;
}

std::string DatedName(const std::tm& t, bool withTime) {
    if (withTime) return DatedStem(t) + ".db";
    char name[64];
    std::snprintf(name, sizeof name, "Kestavo_%d%02d%02d.db", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday);
    return name;
}

bool PathIsFree(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::not_found;
}

// The first name of stem + ".db" (when plainFirst), stem + "_01.db", stem + "_02.db" ... that
// no file of the folder has.
std::string FreeCopyName(const std::string& folder, const std::string& stem, bool plainFirst) {
    if (plainFirst && PathIsFree(folder + stem + ".db")) return stem + ".db";
    char name[96] = "";
    for (int number = 1; number < 10000; ++number) {
        std::snprintf(name, sizeof name, "%s_%02d.db", stem.c_str(), number);
        if (PathIsFree(folder + name)) break;
    }
    return name;
}

// A restore's safety copy never replaces a file of the folder: the user may be restoring that
// very copy. Its name is this minute's dated name with a number before ".db", so the pruning
// and the "*.db" filter still see it, and by name it sorts after the minute's start-up copy
// and before the next minute.
std::string FreeSafetyCopyName(const std::string& folder, const std::tm& t) {
    return FreeCopyName(folder, DatedStem(t), false);
}

// A replaced database is the user's only copy of that data: its name is no dated copy's, so
// neither a later copy of the same minute nor the pruning ("Kestavo*.db") ever takes it, and
// the "*.db" filter of the restore still lists it.
std::string FreeReplacedName(const std::string& folder, const std::tm& t) {
    return FreeCopyName(folder, "Replaced_" + DatedStem(t), true);
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

std::string SystemReason(int error) { return std::generic_category().message(error); }

// Copies the bytes of source into a new file target, flushed to the disk; on failure the
// system's reason.
bool CopyBytes(const std::string& source, const std::string& target, std::string& reason) {
    // Not blocking: a pipe picked by mistake must not hang the program.
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) {
        reason = SystemReason(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(in, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = SystemReason(S_ISDIR(status.st_mode) ? EISDIR : ENOTSUP);
        ::close(in);
        return false;
    }
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        reason = SystemReason(errno);
        ::close(in);
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            reason = SystemReason(errno);
            ok = false;
            break;
        }
        for (ssize_t done = 0; ok && done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) {
                reason = SystemReason(errno);
                ok = false;
            } else {
                done += put;
            }
        }
        if (!ok) break;
    }
    if (ok && ::fsync(out) != 0) {
        reason = SystemReason(errno);
        ok = false;
    }
    if (::close(out) != 0 && ok) {
        reason = SystemReason(errno);
        ok = false;
    }
    ::close(in);
    return ok;
}

const std::vector<WFileFilter> DatabaseFilters = {
    {"Database file (*.db)", "*.db"},
    {"All files", "*.*"},
};

}  // namespace

// Copies source over target so that target is never lost before the copy is whole: the bytes go
// to a temporary file beside the target, which then takes the target's name in one step.
bool WinStart::ReplaceFileWithCopy(const std::string& source, const std::string& target,
                                   std::string* reason) {
    std::string why;
    std::error_code error;
    const std::string partial = target + ".partial";
    bool copied = CopyBytes(source, partial, why);
    if (copied) {
        if (fs::exists(target, error))
            fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::add, error);
        fs::rename(partial, target, error);
        if (error) {
            why = error.message();
            copied = false;
        }
    }
    if (!copied) {
        fs::remove(partial, error);
        if (reason) *reason = why;
    }
    return copied;
}

bool WinStart::CopyWithDatabaseClosed(const std::string& source, const std::string& target,
                                      std::string* reason) {
    transaction_KVO->Disconnect();
    const bool copied = ReplaceFileWithCopy(source, target, reason);
    transaction_KVO->Connect();
    return copied;
}

std::string WinStart::DatabasePath() const { return programFolder + "Kestavo.db"; }
std::string WinStart::BackupFolder() const { return programFolder + "dbbackups/"; }
std::string WinStart::LockPath() const { return programFolder + "Kestavo.lock"; }

// The system's own reason when the folder cannot be made (a read-only program folder), not
// that of a copy into the missing folder afterwards.
bool WinStart::MakeBackupFolder(std::string& reason) {
    std::error_code error;
    fs::create_directories(BackupFolder(), error);
    if (!error) return true;
    reason = error.message();
    return false;
}

// The closed database is copied aside under a name of its own (see FreeReplacedName); kept is
// that path, or the folder when the folder cannot be made, and reason the system's reason.
bool WinStart::KeepReplacedDatabase(std::string& kept, std::string& reason) {
    kept = BackupFolder();
    if (!MakeBackupFolder(reason)) return false;
    PruneBackups();
    kept += FreeReplacedName(BackupFolder(), LocalNow());
    transaction_KVO->Disconnect();
    if (!ReplaceFileWithCopy(DatabasePath(), kept, &reason)) return false;
    lastSavedCopy = kept;
    return true;
}

void WinStart::ShowCopyError(const std::string& target, const std::string& reason) {
    char text[2048];
    std::snprintf(text, sizeof text, "The database could not be copied to '%s':\r\n%s",
                  target.c_str(), reason.c_str());
    MessageBox(this, "Database File Error", text, WMessageIcon::Stop, WMessageButtons::OK);
}

// A database whose DBVersion cannot be read because the file holds no database, or no such
// table, is of another version; one that cannot be read just now (locked, an I/O error) is not.
WinStart::VersionCheck WinStart::ReadDatabaseVersion(std::string* reason) {
    query_GenQueryNoError->SetSQL("select version from DBVersion");
    if (!query_GenQueryNoError->Open()) {
        const WDbFailure& failure = query_GenQueryNoError->LastFailure();
        if (reason) *reason = failure.reason;
        return failure.kind == WDbFailureKind::NotADatabase ||
                       failure.kind == WDbFailureKind::Refused
                   ? VersionCheck::Mismatch
                   : VersionCheck::Unreadable;
    }
    const bool hasRow = query_GenQueryNoError->GetNumRows() > 0;
    const long version = hasRow ? query_GenQueryNoError->GetValue(0, 0).AsLong() : -1;
    query_GenQueryNoError->Close();
    return version == ExpectedVersion ? VersionCheck::Matches : VersionCheck::Mismatch;
}

bool WinStart::CheckDatabaseVersion(bool showMessage) {
    const VersionCheck check = ReadDatabaseVersion();
    if (check != VersionCheck::Matches && showMessage) ShowBadVersionMessage(std::nullopt);
    return check == VersionCheck::Matches;
}

void WinStart::ShowBadVersionMessage(const std::optional<std::string>& keptAs) {
    char text[2048];
    std::snprintf(text, sizeof text,
                  "The database you have specified is not matched with this\r\nversion of '%s'. "
                  "The database could be from an older copy of\r\nthis program that is not "
                  "compatible. You may be able to import\r\nan exported database file from that "
                  "version, if you have one.",
                  "Kestavo");
    std::string message = text;
    if (keptAs) {
        std::snprintf(text, sizeof text, "\r\nYour database was kept as '%s'.", keptAs->c_str());
        message += text;
    }
    MessageBox(this, "Bad database version", message, WMessageIcon::Stop, WMessageButtons::OK);
}

void WinStart::PruneBackups() { PruneBackupsSparing(std::string()); }

// The dated copies sort oldest first by name; the oldest go until 19 remain. A copy that is
// being restored is never one of them.
void WinStart::PruneBackupsSparing(const std::string& spared) {
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
    std::size_t remaining = names.size();
    for (std::size_t i = 0; i < names.size() && remaining > KeptBackups; ++i) {
        if (!spared.empty() && SameFile(BackupFolder() + names[i], spared)) continue;
        MakeWritableAndRemove(BackupFolder() + names[i]);
        --remaining;
    }
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

    // The list goes with the connection; at start-up it is not filled yet, and is filled once
    // when the start-up gets to it.
    const bool listed = query_Trips->IsOpen();
    std::string reason;
    const bool copied = CopyWithDatabaseClosed(DatabasePath(), target, &reason);
    if (listed) RefreshTrips(-1);
    if (!copied) {
        ShowCopyError(target, reason);
        return std::nullopt;
    }
    lastSavedCopy = target;
    return target;
}

bool WinStart::RestoreDatabase(std::optional<std::string> file, bool safetyCopy) {
    return RestoreDatabaseFile(std::move(file), safetyCopy, false) == RestoreOutcome::Restored;
}

WinStart::RestoreOutcome WinStart::RestoreDatabaseFile(std::optional<std::string> file,
                                                       bool safetyCopy, bool mustBeADatabase) {
    if (!file) {
        WFileRequest request;
        request.title = "Restore Database From File";
        request.folder = lastDatabaseFolder.empty() ? programFolder : lastDatabaseFolder;
        request.filters = DatabaseFilters;
        file = FileDialog(this, request);
        if (!file) return RestoreOutcome::Cancelled;
        lastDatabaseFolder = FolderOf(*file);
    }
    // Restoring the database over itself would change nothing.
    if (SameFile(*file, DatabasePath())) return RestoreOutcome::Failed;

    std::optional<std::string> safety;
    if (safetyCopy) {
        PruneBackupsSparing(*file);
        std::string reason;
        if (!MakeBackupFolder(reason)) {
            ShowCopyError(BackupFolder(), reason);
            return RestoreOutcome::Failed;
        }
        safety = SaveDatabaseCopy(BackupFolder(), FreeSafetyCopyName(BackupFolder(), LocalNow()));
        // Without a safety copy the old database could not come back: leave it in place.
        if (!safety) return RestoreOutcome::Failed;
    }

    std::string reason;
    const bool restored = CopyWithDatabaseClosed(*file, DatabasePath(), &reason);
    if (!restored) ShowCopyError(DatabasePath(), reason);

    if (restored && mustBeADatabase && !OpensAsADatabase()) {
        transaction_KVO->Disconnect();
        MakeWritableAndRemove(DatabasePath());
        ShowNotADatabase(*file);
        return RestoreOutcome::Failed;
    }
    if (safety && restored && ReadDatabaseVersion() != VersionCheck::Matches) {
        ShowBadVersionMessage(std::nullopt);
        CopyWithDatabaseClosed(*safety, DatabasePath());
    }
    ApplyCookingMeasures();
    RefreshTrips(-1);
    return restored ? RestoreOutcome::Restored : RestoreOutcome::Failed;
}

// True unless the driver says that the connected file holds no database or a damaged one; a
// database of another version, or without DBVersion, opens.
bool WinStart::OpensAsADatabase() {
    if (!transaction_KVO->IsConnected())
        return transaction_KVO->LastFailure().kind != WDbFailureKind::NotADatabase;
    query_GenQueryNoError->SetSQL("select version from DBVersion");
    const bool opened = query_GenQueryNoError->Open() ||
                        query_GenQueryNoError->LastFailure().kind != WDbFailureKind::NotADatabase;
    query_GenQueryNoError->Close();
    return opened;
}

void WinStart::ShowNotADatabase(const std::string& file) {
    char text[2048];
    std::snprintf(text, sizeof text, "The file '%s' is not a Kestavo database.", file.c_str());
    MessageBox(this, "Startup Error", text, WMessageIcon::Stop, WMessageButtons::OK);
}
