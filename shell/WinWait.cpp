#include "shell/WinWait.h"

#include <algorithm>

#include "shell/WinStart.h"

namespace {
constexpr int kWaitHelpTopic = 135;
}  // namespace

WinWait::~WinWait() { thread_.Wait(); }

bool WinWait::Run(WWindow* parent, bool cancellable, int progressMaximum, std::function<void()> worker) {
    cancellable_ = cancellable;
    progressMaximum_ = std::max(0, progressMaximum);
    worker_ = std::move(worker);
    cancelled_.store(false);
    finished_.store(false);
    started_ = false;
    OpenModal(parent);
    // The window may have gone first (a close the worker did not ask for): the worker still uses
    // objects of the caller's, who may destroy them as soon as this returns.
    thread_.Wait();
    worker_ = nullptr;
    return started_;
}

void WinWait::StartTask() {
    if (!cancellable_) {
        cb_Cancel->Hide();
        label_Cancel->Hide();
    }
    progb_Progress->SetRange(0, progressMaximum_);
    progb_Progress->SetPosition(0);
    progb_Progress->SetStep(1);
    // Finish after the worker as well: a worker that returns without it must not leave the
    // window open for ever.
    started_ = thread_.Start([this] {
        worker_();
        Finish();
    });
    if (!started_) {
        finished_.store(true);
        EndWindow(0);
    }
}

void WinWait::SetStatus(const std::string& text) {
    GuiCall([this, &text] {
        if (label_Status) label_Status->SetText(text);
    });
}

void WinWait::SetProgress(int position) {
    GuiCall([this, position] {
        if (progb_Progress) progb_Progress->SetPosition(std::clamp(position, 0, progressMaximum_));
    });
}

void WinWait::Finish() {
    if (finished_.exchange(true)) return;
    // Posted on this object: a request still waiting when the object goes is dropped with it.
    GuiPost(this, [this] { Close(); });
}

bool WinWait::OnCancel(WEventData&) {
    cancelled_.store(true);
    label_Cancel->SetText("*** TASK CANCELLED *** please wait a moment");
    return false;
}

// Only the worker's Finish ends the window. The close box asks for Cancel where the task can be
// cancelled and is ignored where it cannot.
bool WinWait::OnClose(WEventData& event) {
    if (finished_.load()) return false;
    if (cancellable_) OnCancel(event);
    return true;
}

bool WinWait::OnHelp(WEventData&) {
    if (MainWindow) MainWindow->ShowHelp(kWaitHelpTopic);
    return true;
}
