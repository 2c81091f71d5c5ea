#pragma once
// Runs a function on the GUI thread and waits for its answer. A worker thread that must ask the
// user (a message box, a modal question) goes through here; on the GUI thread it is a plain call.
// The GUI thread must be running its event loop while a worker waits.

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

// Qt hands an event from thread to thread through its own locks, which ThreadSanitizer cannot
// see into unless Qt itself is built for it. Where a hand-over goes through Qt alone (a posted
// event that is ours from its construction to its delivery), say where it happens: released once
// the event is made, taken over before it is read. Nothing in other builds.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
inline void HandedOver(void* token) { __tsan_release(token); }
inline void TakenOver(void* token) { __tsan_acquire(token); }
#else
inline void HandedOver(void*) {}
inline void TakenOver(void*) {}
#endif

inline bool IsGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// A call through invokeMethod is copied and posted inside Qt after the caller's last line before
// it: no marker could stand between the copy and the post. The caller holds this lock while Qt
// copies and posts, and the GUI side takes it before it reads the call, so the ordering is one
// that every tool sees.
inline std::mutex& GuiPosting() {
    static std::mutex posting;
    return posting;
}

template <class F>
auto GuiCall(F&& function) -> std::invoke_result_t<F&> {
    using Result = std::invoke_result_t<F&>;
    if (IsGuiThread()) return function();
    // The answer stays on this thread's stack; the GUI side is done with it once it has said so
    // under the lock.
    std::optional<std::conditional_t<std::is_void_v<Result>, bool, Result>> result;
    std::mutex mutex;
    std::condition_variable finished;
    {
        std::lock_guard posting(GuiPosting());
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&function, &result, &mutex, &finished] {
            { std::lock_guard received(GuiPosting()); }
            std::optional<std::conditional_t<std::is_void_v<Result>, bool, Result>> answer;
            if constexpr (std::is_void_v<Result>) {
                function();
                answer.emplace(true);
            } else {
                answer.emplace(function());
            }
            std::lock_guard lock(mutex);
            result = std::move(answer);
            finished.notify_one();
        }, Qt::QueuedConnection);
    }
    std::unique_lock lock(mutex);
    finished.wait(lock, [&result] { return result.has_value(); });
    if constexpr (!std::is_void_v<Result>) return std::move(*result);
}

// Runs a function on the GUI thread later, without waiting for it (a posted call). The call is
// dropped when context, an object of the GUI thread, goes first.
template <class F>
void GuiPost(QObject* context, F function) {
    std::lock_guard posting(GuiPosting());
    QMetaObject::invokeMethod(context, [function = std::move(function)]() mutable {
        { std::lock_guard received(GuiPosting()); }
        function();
    }, Qt::QueuedConnection);
}
