// main() for tests of forms: GoogleTest inside a running Qt application.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/forms/WDatabaseNotice.h"
#include "platform/forms/WExeApplication.h"
#include "platform/forms/WPrompter.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt wants a runtime folder of its own, mode 0700; the temporary folder is made so.
    QTemporaryDir runtime(QDir::tempPath() + "/kvo-runtime-XXXXXX");
    if (runtime.isValid()) setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    UseCNumericLocale();
    WDatabaseNotice::Install();
    QApplication::setQuitOnLastWindowClosed(false);
    // No test may wait on a real dialog: what no test scripts is answered here (Cancel or No).
    ScriptedPrompter fallback;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
