#include "shell/WinSplash.h"

#include <filesystem>

#include "shell/WinStart.h"

namespace {

constexpr int kSplashProductVersion = 3;
constexpr int kShowMilliseconds = 2000;
constexpr const char* kPictureName = "splash.bmp";

}  // namespace

void WinSplash::Show(WWindow* parent) {
    if (!TheOptions || TheOptions->productVersion != kSplashProductVersion) return;
    OpenModal(parent);
}

// Empty when none of the three places has the picture.
std::string WinSplash::FindPicture(const std::string& programFolder) {
    for (const char* up : {"", "../", "../../"}) {
        const std::string path = programFolder + up + kPictureName;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    return {};
}

void WinSplash::LoadPicture() {
    timer_ = std::make_unique<WTimer>(this, "timer_Splash");
    timer_->SetEventHandler(TimerEvent, this, &WinSplash::OnTimer);
    timer_->Start(kShowMilliseconds);
    WatchMouse();   // a click on the window beside the picture closes it too
    const std::string picture = FindPicture(MainWindow ? MainWindow->programFolder : std::string());
    if (picture.empty()) {
        PostClose();
        return;
    }
    pictb_Splash->SetPicture(picture);
}

bool WinSplash::OnTimer(WEventData&) {
    PostClose();
    return false;
}

bool WinSplash::OnClick(WEventData&) {
    PostClose();
    return false;
}

bool WinSplash::OnPictureClick(WEventData&) {
    PostClose();
    return false;
}

bool WinSplash::OnClose(WEventData&) {
    timer_.reset();
    return false;
}
