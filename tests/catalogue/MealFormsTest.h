#pragma once
// What the meal form tests add to the catalogue tests: meals and menu items made in the test,
// the stored menu items of a meal, and the texts of lists and grid columns.

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "tests/catalogue/CatalogueTest.h"

class MealFormsTest : public CatalogueTest {
protected:
    long AddCourse(const std::string& name);
    // A meal holding the menu items named, repeats included.
    long AddMeal(const std::string& name, std::initializer_list<const char*> courses);
    // The names of the meal's menu items as stored, repeats included.
    std::multiset<std::string> MenuItemsOf(long mealId);
    std::string Text(const std::string& sql) { return Value(sql).AsText(); }
};

std::vector<std::string> Entries(const WListBox* list);
// The texts of one grid column, row by row.
std::vector<std::string> Column(const WGrid* grid, int column);
