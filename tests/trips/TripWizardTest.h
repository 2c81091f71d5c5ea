#pragma once
// What the trip wizard tests share: a main window with its data objects connected to a
// private copy of the empty template, the scripted prompter, strict take-over of modal forms,
// and the ways a user ends a form.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "platform/db/WDataValue.h"
#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WPrompter.h"
#include "shell/WinStart.h"
#include "tests/support/LeaveForm.h"
#include "tests/support/MainWindowDatabaseTest.h"

class WForm;


// Strict take-over of modal forms for one test, and the checks that nothing was left over.
void BeginStrictForms();
void EndStrictForms(const ScriptedPrompter& prompter);

// Forms only: strict take-over, the scripted prompter.
class FormsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    ScriptedPrompter prompter;
};

class TripWizardTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    long AddPerson(const std::string& name);
    long AddTrip(const std::string& name, int days);
    // Every table a trip owns rows in, summed: 0 when no trace of any trip is left.
    long TripRows();

    ScriptedPrompter prompter;
};
