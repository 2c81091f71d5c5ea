#pragma once
// What the menu-item form tests share beyond the catalogue tests' fixture: a per-user work
// folder of its own, and ingredients, menu items and their lines written through the program's
// own connection.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "tests/catalogue/CatalogueTest.h"
#include "tests/support/TempFolder.h"

// Measures of the template: grams and kilograms (weight), cups (volume), units (units only).
constexpr long kGrams = 10;
constexpr long kKilograms = 11;
constexpr long kCups = 5;
constexpr long kUnits = 14;

using Bytes = std::vector<std::uint8_t>;

class MenuItemTest : public CatalogueTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // An ingredient in its default measure; a portion name gives it named portions of the size.
    long AddIngredient(const std::string& name, long defMeasure, const std::string& portion = "", double size = 1.0);
    long AddCourse(const std::string& name, double feeds = 1.0, int recipeFormat = 1);
    long AddLine(long course, long ingredient, long measure, double amount, int unitMeasure = 0);
    std::string Text(const std::string& sql);
    bool Stamped(long course);   // the menu item's modified column is set

    // Takes over the next opening of the form with the steps.
    static void OnOpen(const std::string& form, std::function<void(WForm&)> steps);
    // The rows of a grid as "cell|cell" texts of the shown columns.
    static std::vector<std::string> Rows(WForm& form, const std::string& grid, int columns);

    TempFolder work;   // the per-user work folder
};
