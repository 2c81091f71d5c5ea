#pragma once
// The modal "please wait" window under which a long job runs on a thread of its own: the
// worker reports a status text and a progress position, asks whether Cancel was pressed, and
// ends the window with Finish. The GUI thread keeps the window painted and answering meanwhile.
//
// The worker must not touch widgets: SetStatus and SetProgress cross to the GUI thread for it,
// and a question to the user goes through GuiCall (platform/forms/GuiCall.h).

#include <atomic>
#include <functional>
#include <string>

#include "__WinWait_Base.h"

class WinWait : public __WinWait_Base {
public:
    ~WinWait() override;

    // Runs the worker once on a new thread while the window is open over parent, with Cancel
    // offered when cancellable, and a bar of 0..progressMaximum. Returns once the window has
    // closed and the worker has returned, so that the caller may destroy what the worker used:
    // true when the worker ran, false when its thread could not be started (the window then
    // closed at once).
    bool Run(WWindow* parent, bool cancellable, int progressMaximum, std::function<void()> worker);
    template <class Owner>
    bool Run(WWindow* parent, bool cancellable, int progressMaximum, void (Owner::*worker)(), Owner* owner) {
        return Run(parent, cancellable, progressMaximum, [owner, worker] { (owner->*worker)(); });
    }

    // For the worker, from its thread.
    void SetStatus(const std::string& text);
    void SetProgress(int position);   // clamped into 0..maximum
    void Finish();                    // closes the window; returns at once
    bool IsCancelled() const { return cancelled_.load(); }

protected:
    void StartTask() override;
    bool OnCancel(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnHelp(WEventData& event) override;
    bool EndsByItself() const override { return true; }

private:
    bool cancellable_ = false;
    int progressMaximum_ = 0;
    std::function<void()> worker_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    bool started_ = false;
    WThread thread_;   // last: it goes first, after a routine still running has returned
};
