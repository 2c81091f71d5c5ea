// The food update: the information file from the maker's web host, the archive through the
// download window, its table data file taken out of the unpacked archive and imported.

#include <filesystem>
#include <system_error>
#include <vector>

#include "exchange/OnlineService.h"
#include "exchange/UpdateInfo.h"
#include "exchange/WinDownloadFile.h"
#include "shell/FormatText.h"
#include "shell/WinStart.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* InfoFilePath = "KVOUpdate/kvoupdate_info.txt";
constexpr const char* ArchivePath = "/KVOUpdate/kvoupdate.zip";
constexpr const char* ArchiveFileName = "jnk.zip";

bool AskToDownload(WWindow* owner) {
    return MessageBox(owner, "Download food update",
                      "This feature will connect to the Velmora Technologies\r\nweb site, and try to download and "
                      "install the latest food\r\ndatabase update. This will import the latest approved\r\n"
                      "ingredients, meal courses, and meals (not trips).\r\n\r\nThe new food items will be "
                      "imported into your existing\r\ndatabase. Your existing food items will not be erased, "
                      "but\r\nyou will be prompted if there is a conflict. Food items from\r\nprior updates will "
                      "be replaced by corresponding newer items.\r\n\r\nDo you want to continue with the "
                      "download and import?",
                      WMessageIcon::Question, WMessageButtons::OKCancel) == WMessageAnswer::OK;
}

void ShowInvalidInformation(WWindow* owner) {
    MessageBox(owner, "Invalid download information",
               "The downloaded information was not properly formatted. Please try again.", WMessageIcon::Stop);
}

bool AskToReplace(WWindow* owner, const std::string& baseName) {
    return MessageBox(owner, "Update already exists",
                      FormatText("You have already downloaded the update '%s.kvo'\r\nin the past (the import "
                                 "file exists in the product directory).\r\n\r\nAre you sure you want to "
                                 "download this update again?\r\nIt will replace the prior update you "
                                 "downloaded, and then\r\nbegin importing the data.\r\n",
                                 baseName.c_str()),
                      WMessageIcon::Question, WMessageButtons::OKCancel) == WMessageAnswer::OK;
}

// Only the update's own table data file leaves the unpack folder; a symbolic link or a folder
// of that name is not taken.
void TakeUpdateFile(const std::string& unpackFolder, const std::string& updateFile) {
    if (unpackFolder.empty()) return;
    const fs::path unpacked = fs::path(unpackFolder) / fs::path(updateFile).filename();
    std::error_code error;
    if (fs::is_regular_file(fs::symlink_status(unpacked, error))) fs::rename(unpacked, updateFile, error);
}

}  // namespace

void WinStart::DownloadFoodUpdate() {
    if (!AskToDownload(this)) return;
    const std::string site = OnlineSettings().WebSite();
    std::vector<char> buffer;
    if (const char* error = winDownloadFile->FetchToBuffer(site, InfoFilePath, buffer)) {
        MessageBox(this, "Update download failed", error, WMessageIcon::Stop);
        return;
    }
    const UpdateInfo info = ParseUpdateInfo(std::string(buffer.begin(), buffer.end()));
    if (!info.hasColon) return ShowInvalidInformation(this);
    if (RequiresNewerProgram(info.versionDigits)) {
        MessageBox(this, "Product version too old",
                   FormatText("This update requires a newer version of this program.\r\nPlease visit our web "
                              "site at '%s' to download and\r\ninstall the latest product update.",
                              MakerWebSite),
                   WMessageIcon::Stop);
        return;
    }
    if (!IsSafeUpdateName(info.baseName)) return ShowInvalidInformation(this);
    const std::string updateFile = programFolder + info.baseName + ".kvo";
    std::error_code error;
    if (fs::exists(fs::symlink_status(updateFile, error))) {
        if (!AskToReplace(this, info.baseName)) return;
        fs::remove(updateFile, error);
    }
    const std::string archive = programFolder + ArchiveFileName;
    // What happened in the window is told there; the import below reports a missing file.
    winDownloadFile->Open(this, site, ArchivePath, archive);
    fs::remove(archive, error);
    TakeUpdateFile(winDownloadFile->UnpackFolder(), updateFile);
    winDownloadFile->DiscardUnpacked();
    if (!ImportDatabase(updateFile)) return;
    MessageBox(this, "Food update successful",
               FormatText("Your local database has been updated with the downloaded\r\nfood items in the import "
                          "file:\r\n%s\r\n\r\nYou can see the new food data (if any) in the ingredients,\r\nmeal "
                          "courses, and meals.",
                          updateFile.c_str()),
               WMessageIcon::Information);
}
