#pragma once
// Tests run without a message loop: this lets posted work run as the loop's next turn would
// (a form ended from a handler is destroyed there, and its windows are deleted later still).

#include <QCoreApplication>
#include <QEvent>

inline void RunPostedEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
