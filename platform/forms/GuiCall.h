#pragma once
// Runs a function on the GUI thread and waits for its answer. A worker thread that must ask the
// user (a message box, a modal question) goes through here; on the GUI thread it is a plain call.
// The GUI thread must be running its event loop while a worker waits.

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <optional>
#include <type_traits>
#include <utility>

// Qt hands a call from thread to thread through its own locks, which ThreadSanitizer cannot see
// into unless Qt itself is built for it: say where the hand-over happens, so that it checks our
// code and not Qt's. Nothing in other builds.
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

template <class F>
auto GuiCall(F&& function) -> std::invoke_result_t<F&> {
    using Result = std::invoke_result_t<F&>;
    if (IsGuiThread()) return function();
    static char token = 0;   // not captured: the GUI side takes it over before it reads a capture
    if constexpr (std::is_void_v<Result>) {
        HandedOver(&token);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&function] {
            TakenOver(&token);
            function();
            HandedOver(&token);
        }, Qt::BlockingQueuedConnection);
        TakenOver(&token);
    } else {
        std::optional<Result> result;
        HandedOver(&token);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&function, &result] {
            TakenOver(&token);
            result.emplace(function());
            HandedOver(&token);
        }, Qt::BlockingQueuedConnection);
        TakenOver(&token);
        return std::move(*result);
    }
}

// Runs a function on the GUI thread later, without waiting for it (a posted call). The call is
// dropped when context, an object of the GUI thread, goes first.
template <class F>
void GuiPost(QObject* context, F function) {
    static char token = 0;
    HandedOver(&token);
    QMetaObject::invokeMethod(context, [function = std::move(function)] {
        TakenOver(&token);
        function();
    }, Qt::QueuedConnection);
}
