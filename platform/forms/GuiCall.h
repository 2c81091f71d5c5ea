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

inline bool IsGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

template <class F>
auto GuiCall(F&& function) -> std::invoke_result_t<F&> {
    using Result = std::invoke_result_t<F&>;
    if (IsGuiThread()) return function();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&function] { function(); },
                                  Qt::BlockingQueuedConnection);
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { result.emplace(function()); },
                                  Qt::BlockingQueuedConnection);
        return std::move(*result);
    }
}
