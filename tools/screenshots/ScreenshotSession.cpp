#include "tools/screenshots/ScreenshotSession.h"

#include <odbcinst.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QWidget>
#include <cstdio>

#include "platform/db/DataSourceOptions.h"
#include "shell/WinStart.h"

std::filesystem::path MakeScreenshotFolder(const char* name) {
    std::string pattern = std::string("/tmp/") + name + "_XXXXXX";
    if (!mkdtemp(pattern.data())) return {};
    const std::filesystem::path folder = pattern;
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);
    return folder;
}

bool ConnectSampleDatabase(WinStart& main, const std::filesystem::path& folder, const char* sampleSql) {
    const std::filesystem::path database = folder / "Kestavo.db";
    std::filesystem::copy_file(std::filesystem::path(KVO_PROGRAM_FOLDER) / "KestavoEmpty.db", database);
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    sqlite3_exec(db, sampleSql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    SQLSetConfigMode(ODBC_USER_DSN);
    SQLWriteDSNToIni("Kestavo", "SQLite3");
    SQLWritePrivateProfileString("Kestavo", "Database", database.c_str(), "odbc.ini");
    WriteDriverOptions("Kestavo");

    main.programFolder = std::string(KVO_PROGRAM_FOLDER) + "/";
    main.CreateDataObjects();
    return main.transaction_KVO->Connect();
}

void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool SaveWindowPicture(QWidget* window, const std::string& file) {
    Settle(400);
    const bool ok = window->screen()->grabWindow(window->winId()).save(QString::fromStdString(file));
    std::printf("%s %s\n", ok ? "wrote" : "could not write", file.c_str());
    return ok;
}
