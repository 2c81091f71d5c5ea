#pragma once
// A main window with its data objects connected to a private copy of the empty template, as the
// start-up leaves it, for the dialogs that run their SQL on its transaction.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/db/WQuery.h"
#include "shell/WinStart.h"
#include "tests/support/TestDataSource.h"

class MainWindowDatabase : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    bool Exec(const std::string& sql);   // through the program's connection; failure fails the test
    WDataValue Value(const std::string& sql);

    TempFolder folder;
    std::unique_ptr<PrivateDataSource> dataSource;
    WinStart main;
};
