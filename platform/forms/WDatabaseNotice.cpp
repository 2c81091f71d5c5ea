#include "platform/forms/WDatabaseNotice.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QThread>

#include "platform/forms/WPrompter.h"

namespace {

bool OnGuiThread() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Runs once control is back in an event loop of the GUI thread.
template <class Work>
void AtNextTurn(Work work) {
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), work, Qt::QueuedConnection);
    else
        work();
}

}  // namespace

void WDatabaseNotice::Install() {
    static WDatabaseNotice notice;
    WDbObserver::Install(&notice);
}

void WDatabaseNotice::StatementStarts() {
    if (!OnGuiThread() || cursorShown_.exchange(true)) return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    AtNextTurn([this] { RestoreCursor(); });
}

void WDatabaseNotice::RestoreCursor() {
    if (cursorShown_.exchange(false)) QGuiApplication::restoreOverrideCursor();
}

void WDatabaseNotice::ChangeNotStored(const WDbFailure& failure) {
    if (messageShown_.exchange(true)) return;
    if (OnGuiThread()) RestoreCursor();
    MessageBox(nullptr, "Database Error",
               "Kestavo could not store the change:\r\n" + failure.reason + "\r\nNothing of it was kept.",
               WMessageIcon::Stop, WMessageButtons::OK);
    // The other statements of the same action fail for the same reason: one message says it.
    AtNextTurn([this] { messageShown_ = false; });
}
