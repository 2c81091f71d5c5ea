#include "platform/forms/WThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <system_error>

#include "platform/forms/GuiCall.h"

namespace {
std::atomic<bool> refuseNextStart{false};
}  // namespace

void WThread::RefuseNextStart() { refuseNextStart.store(true); }

WThread::~WThread() { Wait(); }

bool WThread::Start(std::function<void()> routine) {
    if (running_.load()) return false;
    if (thread_.joinable()) thread_.join();
    if (refuseNextStart.exchange(false)) return false;
    running_.store(true);
    try {
        thread_ = std::thread([this, routine = std::move(routine)] {
            routine();
            Ended();
        });
    } catch (const std::system_error&) {
        running_.store(false);
        return false;
    }
    return true;
}

void WThread::Ended() {
    std::lock_guard lock(mutex_);
    running_.store(false);
    ended_.notify_all();
}

void WThread::Wait() {
    if (!thread_.joinable()) return;
    if (IsGuiThread() && QCoreApplication::instance()) {
        // A routine may be waiting for the GUI thread (a status text, a question to the user):
        // keep serving those calls until it has returned.
        std::unique_lock lock(mutex_);
        while (running_.load()) {
            ended_.wait_for(lock, std::chrono::milliseconds(5));
            lock.unlock();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            lock.lock();
        }
    }
    thread_.join();
}
