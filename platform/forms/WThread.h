#pragma once
// A worker thread of a form. Widgets belong to the GUI thread: the routine reaches them only
// through GuiCall or posted events, never directly.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class WThread {
public:
    WThread() = default;
    ~WThread();   // waits for a routine that still runs
    WThread(const WThread&) = delete;
    WThread& operator=(const WThread&) = delete;

    // Runs the routine once on a new thread. False when a routine of this object still runs or
    // the system gives no thread; the routine has then not run.
    bool Start(std::function<void()> routine);
    bool IsRunning() const { return running_.load(); }
    // Returns once the routine has returned. On the GUI thread the calls that the routine makes
    // to it (GuiCall, posted events) are served meanwhile, but no user input.
    void Wait();

    // For tests: the next Start fails as though the system had no thread left to give.
    static void RefuseNextStart();

private:
    void Ended();

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::mutex mutex_;
    std::condition_variable ended_;
};
