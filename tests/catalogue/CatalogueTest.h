#pragma once
// What the catalogue form tests share: a main window with its data objects connected to a
// private copy of the empty template, the scripted prompter, strict take-over of modal forms,
// the ways a user leaves a form, and rows made for a test.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WPrompter.h"
#include "tests/support/LeaveForm.h"
#include "tests/support/MainWindowDatabaseTest.h"

class WForm;


void Click(WForm& form, const char* button);
// Types into a text box as the user would, over its whole text.
void TypeOver(WForm& form, const char* box, const std::string& text);

class CatalogueTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    long AddPerson(const std::string& name, double appetite = 1.0);
    long AddTrip(const std::string& name);
    void AddTraveller(long trip, long person);
    // A stop on the trip's first day with the person as its guest.
    void AddGuest(long trip, long person);
    std::string PersonColumn(long id, const std::string& column);

    ScriptedPrompter prompter;
};
