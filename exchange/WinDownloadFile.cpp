#include "exchange/WinDownloadFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "companion/Quorvel1.h"
#include "exchange/OnlineService.h"
#include "platform/net/WHttp.h"
#include "shell/FormatText.h"
#include "shell/WinStart.h"

namespace {

constexpr std::size_t BlockSize = 100000;
// What is fetched into memory is a short text: a server that sends more is not believed.
constexpr std::size_t BufferLimit = 1 << 20;
constexpr int DownloadHelpTopic = 108;

bool EndsWithZip(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".zip";
}

bool HoldsNotFoundPage(const std::string& bytes) {
    std::string text = bytes;
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text.find("404 not found") != std::string::npos;
}

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

bool WriteAll(FILE* file, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace

WinDownloadFile::WinDownloadFile() = default;

WinDownloadFile::~WinDownloadFile() {
    cancelled = true;
    thread.Wait();
    DiscardUnpacked();
}

const char* WinDownloadFile::FetchToBuffer(const std::string& fetchSite, const std::string& path,
                                           std::vector<char>& buffer) {
    buffer.clear();
    errorText.clear();
    WHttp client;
    ConfigureHttp(client, OnlineSettings());
    client.SetSite(fetchSite);
    if (!client.Open()) {
        errorText = FormatText("Could not open the web site: %s", fetchSite.c_str());
        return errorText.c_str();
    }
    const WNetStep step = client.Get(path, [&buffer](const char* bytes, std::size_t size) {
        if (buffer.size() + size > BufferLimit) return false;
        buffer.insert(buffer.end(), bytes, bytes + size);
        return true;
    });
    switch (step) {
        case WNetStep::None:
            if (client.Status() == 200) return nullptr;
            buffer.clear();
            errorText = FormatText("The server answered %d %s.", static_cast<int>(client.Status()),
                                   client.Reason().c_str());
            break;
        case WNetStep::Connect:
            errorText = FormatText("Could not connect to the web site: %s", fetchSite.c_str());
            break;
        case WNetStep::Receive:
        case WNetStep::Write:
            errorText = FormatText("Could not read the file: %s", path.c_str());
            break;
        default:
            errorText = FormatText("Could not send the request to the file: %s", path.c_str());
            break;
    }
    buffer.clear();
    return errorText.c_str();
}

bool WinDownloadFile::Open(WWindow* parent, const std::string& openSite, const std::string& openRemotePath,
                           const std::string& openLocalFile) {
    site = &openSite;
    remotePath = &openRemotePath;
    localFile = &openLocalFile;
    fetched = false;
    OpenModal(parent);
    site = remotePath = localFile = nullptr;
    return fetched;
}

// The window's set-up: the texts, then the worker, which reports by posted events only.
void WinDownloadFile::StartDownload() {
    label_InFile->SetText(*remotePath);
    label_OutFile->SetText(*localFile);
    label_WebSite->SetText(*site);
    cancelled = false;
    bytesDownloaded = 0;
    DiscardUnpacked();
    http = std::make_unique<WHttp>();
    ConfigureHttp(*http, OnlineSettings());
    http->SetSite(*site);
    http->SetCancelFlag(&cancelled);
    awaitingReport = true;
    // Without a thread nothing would ever report: the window says so and closes.
    if (!thread.Start([this] { DownloadWorker(); })) PostUserEvent(ConnectionError);
}

void WinDownloadFile::DownloadWorker() { PostUserEvent(Transfer()); }

WinDownloadFile::Report WinDownloadFile::Transfer() {
    fetched = false;
    File file(std::fopen(localFile->c_str(), "wb"), &std::fclose);
    if (!file) return FileError;
    if (!http->Open()) return ConnectionError;
    if (cancelled) return Cancelled;
    std::string block;
    block.reserve(BlockSize);
    bool writeFailed = false;
    const WNetStep step = http->Get(*remotePath, [&](const char* bytes, std::size_t size) {
        while (size > 0) {
            const std::size_t part = std::min(size, BlockSize - block.size());
            block.append(bytes, part);
            bytes += part;
            size -= part;
            if (block.size() < BlockSize) break;
            if (!WriteAll(file.get(), block)) {
                writeFailed = true;
                return false;
            }
            bytesDownloaded += static_cast<std::int32_t>(BlockSize);
            block.clear();
            PostUserEvent(Progress);
        }
        return !cancelled.load();
    });
    const bool wholeFile = step == WNetStep::None && http->Status() == 200;
    if (wholeFile && !WriteAll(file.get(), block)) writeFailed = true;
    bytesDownloaded += static_cast<std::int32_t>(block.size());
    const bool closed = std::fclose(file.release()) == 0;
    http->Close();
    if (cancelled || step == WNetStep::Cancelled) {
        std::remove(localFile->c_str());
        return Cancelled;
    }
    if (writeFailed || (wholeFile && !closed)) return FileError;
    if (step != WNetStep::None) return ConnectionError;
    if (http->Status() == 404) return NotFound;
    if (!wholeFile) return ConnectionError;
    // Some servers send a not-found page with a 200: a short first read is looked at.
    if (bytesDownloaded < static_cast<std::int32_t>(BlockSize) && HoldsNotFoundPage(block)) return NotFound;
    fetched = true;
    return TransferComplete;
}

// The worker posts its final report as its last step, so the wait here is immediate.
void WinDownloadFile::FinishWorker() {
    awaitingReport = false;
    thread.Wait();
    http.reset();
}

bool WinDownloadFile::OnDownloadEvent(WEventData& event) {
    const auto code = static_cast<Report>(event.code);
    if (code == Progress) {
        label_Progress->SetText(FormatText("%d K", bytesDownloaded.load() / 1024));
        return true;
    }
    if (code > NotFound || !awaitingReport) return true;
    FinishWorker();
    switch (code) {
        case TransferComplete:
            fetched = true;
            if (EndsWithZip(*remotePath)) UnpackArchive();
            break;
        case ConnectionError:
            MessageBox(this, "Connection error",
                       "Could not connect to the web site to retrieve the database.\r\nPlease close this "
                       "Window, recheck your Internet connection and try again.",
                       WMessageIcon::Stop);
            break;
        case FileError:
            MessageBox(this, "File error", FormatText("Could not create the output file:\r\n%s", localFile->c_str()),
                       WMessageIcon::Stop);
            break;
        case NotFound:
            MessageBox(this, "Connection error",
                       FormatText("The file '%s' does not exist on the remote server '%s'.\r\nTry downloading a "
                                  "few more times in case it is a sporadic\r\nInternet error.\r\nContact Velmora "
                                  "Technologies if the error persists:\r\n%s",
                                  remotePath->c_str(), site->c_str(), SupportAddress),
                       WMessageIcon::Stop);
            break;
        default:
            break;
    }
    PostClose();
    return true;
}

// Into a private folder beside the program: what the archive holds can never land on the
// database, the template, a library or the program itself.
void WinDownloadFile::UnpackArchive() {
    std::string pattern = MainWindow->programFolder + ".kvo_update_XXXXXX";
    if (!mkdtemp(pattern.data())) return;
    unpackFolder = pattern;
    if (QVHandle handle = QVInit()) {
        QVUnzip(handle, localFile->c_str(), unpackFolder.c_str());
        QVDone(handle);
    }
}

void WinDownloadFile::DiscardUnpacked() {
    if (unpackFolder.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(unpackFolder, error);
    unpackFolder.clear();
}

bool WinDownloadFile::OnCancel(WEventData&) {
    cancelled = true;
    return true;
}

// While the worker runs the window stays: the close box asks it to stop, as Cancel does, and
// the window closes on its report.
bool WinDownloadFile::OnClose(WEventData&) {
    if (!awaitingReport) return false;
    cancelled = true;
    return true;
}

bool WinDownloadFile::OnHelp(WEventData&) {
    MainWindow->ShowHelp(DownloadHelpTopic);
    return true;
}
