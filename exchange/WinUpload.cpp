#include "exchange/WinUpload.h"

#include <chrono>
#include <ctime>
#include <filesystem>

#include "exchange/OnlineService.h"
#include "platform/net/UrlText.h"
#include "platform/net/WFtp.h"
#include "shell/FormatText.h"
#include "shell/WinStart.h"
#include "shell/WinWait.h"

namespace {

constexpr int UploadHelpTopic = 108;
constexpr const char* LicensePage = "food_data_license.html";

// Taken while the program starts, for the milliseconds in the upload file's name.
const auto ProgramStart = std::chrono::steady_clock::now();

std::string FailureText(const char* what) {
    return FormatText("%s\r\nTry again later, or contact Velmora is this problem persists:\r\n%s", what,
                      SupportAddress);
}

}  // namespace

WinUpload::WinUpload() {
    // Before the generated tear-down, so the client and the wait window go with the controls.
    SetEventHandler(DestroyEvent, this, &WinUpload::OnDestroyed, &destroyTable_);
}

WinUpload::~WinUpload() { RemoveEventHandlers(&destroyTable_); }

bool WinUpload::Open(WWindow* parent) {
    continued = false;
    OpenModal(parent);
    return continued;
}

std::string WinUpload::MakeUploadFileName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto elapsed = std::chrono::steady_clock::now() - ProgramStart;
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return FormatText("kvoupdate_%d%02d%02d_%02d%02d%02d_%d.kvo", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(milliseconds));
}

void WinUpload::FillAccount() {
    ftp = std::make_unique<WFtp>();
    ConfigureFtp(*ftp, OnlineSettings());
    wait = std::make_unique<WinWait>();
    textb_Name->SetText(TheOptions->userName);
    textb_EMail->SetText(TheOptions->userEmail);
}

bool WinUpload::OnDestroyed(WEventData&) {
    wait.reset();
    ftp.reset();
    return false;
}

bool WinUpload::OnLicense(WEventData&) {
    LaunchRegisteredProgram(".html", MainWindow->programFolder + LicensePage, true, false);
    return true;
}

bool WinUpload::Continue(WEventData&) {
    continued = true;
    const std::string name = Trimmed(textb_Name->GetText());
    const std::string email = Trimmed(textb_EMail->GetText());
    if (name.empty()) {
        MessageBox(this, "Name not provided",
                   "You must enter your name before uploading.\r\n\r\nWe need to know who you are since you are "
                   "agreeing to the\r\nupload license. We will not sell or distribute any personal\r\n"
                   "information we collect about you.",
                   WMessageIcon::Stop);
        return true;
    }
    if (email.empty()) {
        MessageBox(this, "E-Mail not provided",
                   "You must enter your e-mail address before uploading.\r\n\r\nWe need to know who you are (and "
                   "how to contact you) since you\r\nare agreeing to the upload license. We will not sell "
                   "or\r\ndistribute any personal information we collect about you.",
                   WMessageIcon::Stop);
        return true;
    }
    const std::string fileName = MakeUploadFileName();
    if (!MainWindow->ExportDatabase(fileName)) {
        std::error_code error;
        std::filesystem::remove(fileName, error);
        MessageBox(this, "Internal Error #4521",
                   std::string("Could not export data for upload. Contact Velmora Technologies:\r\n") + SupportAddress,
                   WMessageIcon::Stop);
        return true;
    }
    uploadFileName = fileName;
    result = OpenFailed;
    wait->Run(this, false, 1, &WinUpload::UploadWorker, this);
    std::error_code error;
    std::filesystem::remove(fileName, error);
    if (result != Done) {
        ShowFailure(static_cast<Result>(result.load()));
        return true;
    }
    TheOptions->userName = name;
    TheOptions->userEmail = email;
    LaunchRegisteredProgram(".html", NoticeAddress(name, email), true, false);
    PostClose();
    return true;
}

void WinUpload::ShowFailure(Result failure) {
    switch (failure) {
        case ConnectFailed:
            MessageBox(this, "FTP connection error",
                       FailureText("Could not connect to the Velmora FTP server to upload your data"),
                       WMessageIcon::Stop);
            break;
        case PutFailed:
            MessageBox(this, "FTP Upload error",
                       FailureText("The exported food data file could not be loaded up to the\r\nthe Velmora FTP "
                                   "server."),
                       WMessageIcon::Stop);
            break;
        default:
            MessageBox(this, "FTP open error",
                       FailureText("Could not open the Velmora FTP server to upload your data"), WMessageIcon::Stop);
            break;
    }
}

std::string WinUpload::NoticeAddress(const std::string& name, const std::string& email) const {
    return "http://" + OnlineSettings().WebSite() + "/KVOUpdate_post.php3?user_name=" + PercentEncoded(name) +
           "&user_email=" + PercentEncoded(email) + "&mail_file=" + PercentEncoded(uploadFileName) +
           "&version=" + PercentEncoded(*VersionText);
}

// On the wait window's thread: reads the client and the file name, writes only the result.
void WinUpload::UploadWorker() {
    if (!ftp->Open()) {
        result = OpenFailed;
    } else if (!ftp->Connect()) {
        result = ConnectFailed;
        ftp->Disconnect();
    } else {
        result = ftp->PutFile(uploadFileName, uploadFileName) ? Done : PutFailed;
        ftp->Disconnect();
    }
    wait->Finish();
}

bool WinUpload::OnCancel(WEventData&) {
    PostClose();
    return true;
}

bool WinUpload::OnHelp(WEventData&) {
    MainWindow->ShowHelp(UploadHelpTopic);
    return true;
}
