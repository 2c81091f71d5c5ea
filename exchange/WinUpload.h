#pragma once
// The food data upload: the terms, the user's name and e-mail address, and on Continue the
// food tables exported to an upload data file that goes to the maker's FTP server from a
// worker under the wait window; then the notice page opens in the browser.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "__WinUpload_Base.h"

class WFtp;
class WinWait;

class WinUpload : public __WinUpload_Base {
public:
    // The worker's result.
    enum Result : std::int32_t { Done = 0, OpenFailed = 1, ConnectFailed = 2, PutFailed = 3 };

    WinUpload();
    ~WinUpload() override;

    // Opens the form; true once Continue was pressed, whatever followed.
    bool Open(WWindow* parent);

    // "kvoupdate_%d%02d%02d_%02d%02d%02d_%d.kvo" of the local time and the milliseconds since
    // the program started.
    static std::string MakeUploadFileName();

protected:
    void FillAccount() override;
    bool OnLicense(WEventData& event) override;
    bool Continue(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;
    bool OnDestroyed(WEventData& event);

private:
    void UploadWorker();
    void ShowFailure(Result failure);
    std::string NoticeAddress(const std::string& name, const std::string& email) const;

    bool continued = false;
    std::string uploadFileName;
    // Written by the worker only; a run that never reached it stays a failure.
    std::atomic<std::int32_t> result{OpenFailed};
    std::unique_ptr<WFtp> ftp;
    std::unique_ptr<WinWait> wait;
    char destroyTable_ = 0;
};
