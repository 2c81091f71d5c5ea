#include "platform/forms/WExeApplication.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <clocale>
#include <memory>

#include "platform/forms/WDatabaseNotice.h"

WExeApplication* WExeApplication::instance_ = nullptr;
WForm* WExeApplication::mainForm_ = nullptr;

void UseCNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

WExeApplication::WExeApplication() : WWindow(nullptr, nullptr, "application") { instance_ = this; }

WExeApplication::~WExeApplication() {
    if (instance_ == this) instance_ = nullptr;
}

int WExeApplication::Run(int& argc, char** argv) {
    std::unique_ptr<QApplication> app;
    if (!QApplication::instance()) app = std::make_unique<QApplication>(argc, argv);
    UseCNumericLocale();
    WDatabaseNotice::Install();
    // The program ends when its main form closes, not when some last window does.
    QApplication::setQuitOnLastWindowClosed(false);

    WEventData start;
    start.id = StartEvent;
    Raise(start);
    int exitCode = start.exitCode;
    if (!start.cancel) {
        WEventData run;
        run.id = RunEvent;
        run.exitCode = exitCode;
        if (!Raise(run)) run.exitCode = RunMessageLoop();
        exitCode = run.exitCode;
        // Windows ended in the loop's last turn were handed to deleteLater.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    WEventData end;
    end.id = EndEvent;
    end.exitCode = exitCode;
    Raise(end);
    return end.exitCode;
}

int WExeApplication::RunMessageLoop() { return QApplication::exec(); }

void WExeApplication::Quit(int code) {
    // Queued behind what the closing form posted (its destroy), so the loop ends after it.
    if (QThread::currentThread()->loopLevel() == 0) return;   // no loop to end
    QTimer::singleShot(0, qApp, [code] { QCoreApplication::exit(code); });
}
