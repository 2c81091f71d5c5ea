#pragma once
// A main window started on real files: a program folder, a current directory and a private
// odbc.ini in a temporary folder, the real template, the real ODBC driver.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/forms/Forms.h"
#include "platform/forms/testing/PostedEvents.h"
#include "shell/WinStart.h"
#include "tests/support/FileText.h"
#include "tests/support/MainWindowDatabaseTest.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDataSource.h"

namespace fs = std::filesystem;

class TestMainWindow : public WinStart {
public:
    explicit TestMainWindow(std::string folder) : folder_(std::move(folder)) {}
    using __WinStart_Base::cb_Delete;
    using __WinStart_Base::grid_Trips;
    using __WinStart_Base::menu_1;
    using WinStart::SetupMainWindow;

protected:
    std::string ExecutableFolder() const override { return folder_; }

private:
    std::string folder_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = root.Path() / "Kestavo";
        current = root.Path() / "work";
        fs::create_directories(program);
        fs::create_directories(current);
        fs::copy_file(TemplateDatabasePath(), program / "KestavoEmpty.db");
        previous = fs::current_path();
        fs::current_path(current);
        setenv("ODBCINI", (root.Path() / "odbc.ini").c_str(), 1);
        setenv("XDG_DATA_HOME", (root.Path() / "data").c_str(), 1);
    }

    void TearDown() override {
        // Closed as a user would, so that its controls go with their event tables and no event
        // posted to them reaches a later test's event loop.
        if (window && window->HasWindow()) {
            window->Close();
            RunPostedEvents();
        }
        if (window) window->DestroyDataObjects();
        delete window;
        fs::current_path(previous);
    }

    fs::path Database() const { return program / "Kestavo.db"; }
    void SeedDatabase() { fs::copy_file(program / "KestavoEmpty.db", Database()); }

    std::vector<std::string> Backups() const {
        std::vector<std::string> names;
        if (fs::exists(program / "dbbackups"))
            for (const auto& entry : fs::directory_iterator(program / "dbbackups"))
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Opens the main window and lets the event loop run its start-up work.
    void Start() {
        window = new TestMainWindow(program.string() + "/");
        AppMainForm = window;
        WExeApplication::SetMainForm(window);
        ASSERT_TRUE(window->Create(nullptr));
        QElapsedTimer timer;
        timer.start();
        while (window->IsStarting() && timer.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_FALSE(window->IsStarting());
        RunPostedEvents();   // a start-up that ends the program destroys the window there
    }

    bool MessageShown(const std::string& caption, const std::string& textPart = "") const {
        for (const auto& shown : prompter.Messages())
            if (shown.caption == caption && shown.text.find(textPart) != std::string::npos)
                return true;
        return false;
    }

    TempFolder root;
    fs::path program, current, previous;
    ScriptedPrompter prompter;
    TestMainWindow* window = nullptr;
};


// The main window after a clean start-up on the empty template.
class RunningMainWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SeedDatabase();
        Start();
        ASSERT_TRUE(window->HasWindow());
    }
};
