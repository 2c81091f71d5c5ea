#pragma once
// What the meal form tests share: a main window with its data objects connected to a private
// copy of the empty template, the scripted prompter, strict take-over of modal forms, and
// meals and menu items made in the test.

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "tests/support/MainWindowDatabaseTest.h"

class CatalogueFormsTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    long AddCourse(const std::string& name);
    // A meal holding the menu items named, repeats included.
    long AddMeal(const std::string& name, std::initializer_list<const char*> courses);
    // The names of the meal's menu items as stored, repeats included.
    std::multiset<std::string> MenuItemsOf(long mealId);
    std::string Text(const std::string& sql) { return Value(sql).AsText(); }

    ScriptedPrompter prompter;
};

void Click(WForm& form, const char* button);
std::vector<std::string> Entries(const WListBox* list);
// The texts of one grid column, row by row.
std::vector<std::string> Column(const WGrid* grid, int column);
