#include "shell/WinFirstHelp.h"

#include <algorithm>
#include <utility>

#include "shell/WinStart.h"

namespace {
constexpr int kQuickHelpTopic = 100;
}  // namespace

void WinFirstHelp::Show(WinStart* mainWindow) {
    if (!TheOptions || !TheOptions->startupHelp || shown_) return;
    mainWindow_ = mainWindow;
    shown_ = true;
    if (!Create(nullptr)) shown_ = false;
}

void WinFirstHelp::Close() {
    if (!shown_) return;
    shown_ = false;
    // At once rather than posted: at exit the main window's own end follows in the event loop,
    // and this window must be gone before the loop ends.
    WForm::Close();
}

void WinFirstHelp::PlaceWindow() {
    checkbox_DoHelp->SetChecked(false);
    PlaceBesideMainWindow();
    // The unchecked box says the window will show at the next start.
    TheOptions->startupHelp = true;
}

// Directly to the right of the main window, top edges in line. When both do not fit, the main
// window moves left first (never past the screen's left edge), then this window, so that its
// right edge lies on the screen's.
void WinFirstHelp::PlaceBesideMainWindow() {
    if (!mainWindow_ || !mainWindow_->HasWindow()) return;
    const WRect screen = mainWindow_->GetScreenArea();
    WRect main = mainWindow_->GetFrameRect();
    // Not shown yet, this window has no frame: it gets borders as wide as the main window's.
    const int width = GetClientRect().width + main.width - mainWindow_->GetClientRect().width;
    const int screenRight = screen.left + screen.width;
    const int excess = main.left + main.width + width - screenRight;
    if (excess > 0) {
        main.left = std::max(screen.left, main.left - excess);
        mainWindow_->MoveFrameTo(main.left, main.top);
    }
    MoveFrameTo(std::min(main.left + main.width, screenRight - width), main.top);
}

bool WinFirstHelp::OnTopic(WEventData& event) {
    static const std::pair<const char*, int> topics[] = {
        {"cb_Help1", 101}, {"cb_Help2", 105}, {"cb_Help3", 106}, {"cb_Help4", 110},
        {"cb_Help5", 113}, {"cb_Help6", 118}, {"cb_Help7", 104}};
    for (const auto& [button, topic] : topics)
        if (event.source && event.source->GetName() == button) MainWindow->ShowHelp(topic);
    return false;
}

bool WinFirstHelp::OnDoHelpClick(WEventData&) {
    TheOptions->startupHelp = !checkbox_DoHelp->GetChecked();
    return false;
}

bool WinFirstHelp::OnCloseButton(WEventData&) {
    Close();
    return false;
}

bool WinFirstHelp::OnClose(WEventData&) {
    shown_ = false;
    return false;
}

bool WinFirstHelp::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kQuickHelpTopic);
    return true;
}
