#include "tests/catalogue/MenuItemTest.h"

#include <sstream>

#include "platform/forms/WGrid.h"

void MenuItemTest::SetUp() {
    CatalogueTest::SetUp();
    main.userWorkFolder = work.Path().string() + "/";
}

void MenuItemTest::TearDown() {
    EXPECT_EQ(prompter.PendingAnswers(), 0);
    CatalogueTest::TearDown();
}

long MenuItemTest::AddIngredient(const std::string& name, long defMeasure, const std::string& portion, double size) {
    Exec("insert into Ingredients( name, def_measure, unit_measure, unit_measure_name, unit_measure_size ) "
         "values( ?, ?, ?, ?, ? )",
         {WDataValue(name), WDataValue(defMeasure), WDataValue(portion.empty() ? 0 : 1), WDataValue(portion),
          WDataValue(size)});
    return static_cast<long>(Value("select max( id ) from Ingredients").AsLong());
}

long MenuItemTest::AddCourse(const std::string& name, double feeds, int recipeFormat) {
    Exec("insert into Courses( name, feeds, recipe_format ) values( ?, ?, ? )",
         {WDataValue(name), WDataValue(feeds), WDataValue(recipeFormat)});
    return static_cast<long>(Value("select max( id ) from Courses").AsLong());
}

long MenuItemTest::AddLine(long course, long ingredient, long measure, double amount, int unitMeasure) {
    Exec("insert into CourseIngredients( course, ingredient, measure, amount, unit_measure ) values( ?, ?, ?, ?, ? )",
         {WDataValue(course), WDataValue(ingredient), WDataValue(measure), WDataValue(amount), WDataValue(unitMeasure)});
    return static_cast<long>(Value("select max( id ) from CourseIngredients").AsLong());
}

std::string MenuItemTest::Text(const std::string& sql) { return Value(sql).AsText(); }

bool MenuItemTest::Stamped(long course) {
    return !Value("select modified from Courses where id = " + std::to_string(course)).IsNull();
}

void MenuItemTest::OnOpen(const std::string& form, std::function<void(WForm&)> steps) {
    ModalTakeOver::Expect(form, std::move(steps));
}

std::vector<std::string> MenuItemTest::Rows(WForm& form, const std::string& grid, int columns) {
    std::vector<std::string> rows;
    auto* control = form.Control<WGrid>(grid);
    for (long row = 0; control && row < control->GetNumRows(); ++row) {
        std::string text;
        for (int column = 0; column < columns; ++column)
            text += (column ? "|" : "") + control->GetCellText(row, column);
        rows.push_back(text);
    }
    return rows;
}
