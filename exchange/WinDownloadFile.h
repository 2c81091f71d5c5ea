#pragma once
// The progress window of a download: a worker thread fetches a remote file of the web site into
// a local file and reports by posted UserEvents; Cancel (the button, Esc or the close box) stops
// it. A finished ".zip" is unpacked into a private folder of its own beside the program, from
// which the caller takes what it wants. Also fetches small files into memory on the calling
// thread, without the window.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "__WinDownloadFile_Base.h"
#include "platform/forms/WThread.h"

class WHttp;

class WinDownloadFile : public __WinDownloadFile_Base {
public:
    // The worker's reports, the value of its UserEvents.
    enum Report : std::uint32_t {
        TransferComplete = 0,
        ConnectionError = 1,
        FileError = 2,
        Progress = 3,
        Cancelled = 4,
        NotFound = 5,
    };

    WinDownloadFile();
    ~WinDownloadFile() override;

    // GET of the path into the buffer (its old contents dropped). NULL on success, else the
    // error text, held until the next call.
    const char* FetchToBuffer(const std::string& site, const std::string& path, std::vector<char>& buffer);

    // Opens the window, which downloads the remote path of the site into the local file, and
    // answers whether the transfer ended normally once it has closed.
    bool Open(WWindow* parent, const std::string& site, const std::string& remotePath,
              const std::string& localFile);

    // The private folder that the last archive was unpacked into; empty when none was.
    const std::string& UnpackFolder() const { return unpackFolder; }
    // Removes that folder with whatever it still holds.
    void DiscardUnpacked();

protected:
    void StartDownload() override;
    bool OnDownloadEvent(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void DownloadWorker();
    Report Transfer();
    void FinishWorker();
    void UnpackArchive();

    WThread thread;
    bool awaitingReport = false;   // GUI thread: from the start until the final report
    const std::string* remotePath = nullptr;
    const std::string* localFile = nullptr;
    const std::string* site = nullptr;
    std::atomic<bool> fetched{false};
    std::atomic<std::int32_t> bytesDownloaded{0};
    std::atomic<bool> cancelled{false};
    std::string errorText;
    std::unique_ptr<WHttp> http;   // the window's client, while the window is open
    std::string unpackFolder;
};
