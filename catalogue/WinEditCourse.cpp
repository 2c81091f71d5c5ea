#include "catalogue/WinEditCourse.h"

#include "catalogue/WinIngredients.h"

#include <cstdlib>

#include "catalogue/MenuItemTables.h"
#include "shell/WinStart.h"

using namespace MenuItemTables;

namespace {

constexpr int kLineNameColumn = 0;
constexpr int kLineIdColumn = 2;
constexpr int kEditCourseHelpTopic = 111;

}  // namespace

void WinEditCourse::Edit(WWindow* parent, long id) {
    courseId = id;
    OpenModal(parent);
}

void WinEditCourse::LoadMenuItem() {
    parameterValue = WDataValue(courseId);
    query_Course->SetParameter(1, parameterValue);
    binding_Course->Load();
    RefreshIngredients(-1);
}

void WinEditCourse::RefreshIngredients(long lineId) {
    query_Ingredients->SetParameter(1, parameterValue);
    query_Ingredients->Close();
    query_Ingredients->Open();
    grid_Ingredients->Refresh();
    if (lineId != -1) {
        const long row = MainWindow->FindRowById(grid_Ingredients, kLineIdColumn, lineId);
        if (row != -1) MainWindow->SelectRow(grid_Ingredients, row);
    } else if (grid_Ingredients->GetNumRows() > 0) {
        MainWindow->SelectRow(grid_Ingredients, 0);
    }
}

long WinEditCourse::LineIdAt(long row) const {
    return static_cast<long>(std::strtoul(grid_Ingredients->GetCellText(row, kLineIdColumn).c_str(), nullptr, 10));
}

bool WinEditCourse::SaveMenuItem() {
    // The numbers first, so that a refused one is not preceded by a renaming message.
    if (!binding_Course->Validate()) return false;
    MainWindow->EnsureUniqueName(textb_Name, Courses(), MenuItemNoun(), courseId);
    return binding_Course->Save() != WRowSave::InvalidNumber;
}

long WinEditCourse::InsertLine(long ingredientId) {
    WinStart& main = *MainWindow;
    query_Gen->SetSQL(Sql("select def_measure from %s where id = %d", Ingredients(), static_cast<int>(ingredientId)));
    const long measure = query_Gen->Open() ? static_cast<long>(query_Gen->GetValue(0, 0).AsLong()) : 0;
    query_Gen->Close();
    if (!main.ExecSQL(Sql("insert into %s( course, ingredient, measure, amount, unit_measure ) values( %d, %d, %d, %d, 0 )",
                          CourseIngredients(), static_cast<int>(courseId), static_cast<int>(ingredientId),
                          static_cast<int>(measure), 1)))
        return -1;
    // The newest line of that ingredient is the one just made, even when the menu item had
    // one of it already.
    query_Gen->SetSQL(Sql("select max( id ) from %s where course = %d and ingredient = %d", CourseIngredients(),
                          static_cast<int>(courseId), static_cast<int>(ingredientId)));
    const long lineId = query_Gen->Open() && !query_Gen->IsNull(0, 0) ? static_cast<long>(query_Gen->GetValue(0, 0).AsLong()) : -1;
    query_Gen->Close();
    return lineId;
}

bool WinEditCourse::AddIngredientLine(WEventData&) {
    // A feeds value that is no number stops the command before anything is added.
    if (!binding_Course->Validate()) return false;
    const long ingredientId = findValue.FindInTable(this, Ingredients(), "name", "Add ingredient");
    if (ingredientId == -1) return false;
    const long lineId = InsertLine(ingredientId);
    if (lineId == -1) return false;
    RefreshIngredients(lineId);
    const long row = MainWindow->GetSelectedRow(grid_Ingredients, IngredientNoun());
    if (row == -1 || LineIdAt(row) != lineId) return false;
    if (!SaveMenuItem()) return false;
    lineEditor.Edit(this, lineId, courseId);
    RefreshIngredients(lineId);
    return false;
}

bool WinEditCourse::EditIngredientLine(WEventData&) {
    const long row = MainWindow->GetSelectedRow(grid_Ingredients, IngredientNoun());
    if (row == -1) return false;
    const long lineId = LineIdAt(row);
    if (!SaveMenuItem()) return false;
    lineEditor.Edit(this, lineId, courseId);
    RefreshIngredients(lineId);
    return false;
}

// Bound to the button and to the grid's pop-up "Delete..." alike.
bool WinEditCourse::DeleteIngredientLine(WEventData&) {
    const long row = MainWindow->GetSelectedRow(grid_Ingredients, IngredientNoun());
    if (row == -1) return false;
    const std::string name = grid_Ingredients->GetCellText(row, kLineNameColumn);
    const std::string text = Sql("Are you sure you want to remove the '%s'\r\n%s from this %s?", name.c_str(),
                                 IngredientNoun(), MenuItemNoun());
    if (MessageBox(this, "Remove Menu Item Ingredient?", text, WMessageIcon::Question, WMessageButtons::OKCancel) !=
        WMessageAnswer::OK)
        return false;
    const long lineId = LineIdAt(row);
    query_Ingredients->Close();
    MainWindow->ExecSQL(Sql("delete from %s where id = %d", CourseIngredients(), static_cast<int>(lineId)));
    RefreshIngredients(-1);
    return false;
}

bool WinEditCourse::OnEditAllIngredients(WEventData&) {
    const long row = MainWindow->GetSelectedRowQuiet(grid_Ingredients);
    const long noted = row == -1 ? -1 : LineIdAt(row);
    if (!SaveMenuItem()) return false;
    WinIngredients ingredients;
    ingredients.Open(this);
    RefreshIngredients(noted);
    return false;
}

bool WinEditCourse::OnNotes(WEventData&) {
    notes.Edit(this, Courses(), courseId, textb_Name->GetText(), true, true);
    return false;
}

bool WinEditCourse::OnClose(WEventData&) {
    if (!SaveMenuItem()) return false;
    MainWindow->TouchModified(Courses(), courseId);
    PostClose();
    return false;
}

bool WinEditCourse::OnIngredientsLeftButtonUp(WEventData&) {
    MainWindow->PostGridRelayout(grid_Ingredients);
    return false;
}

bool WinEditCourse::OnIngredientsRightButtonUp(WEventData& event) {
    MainWindow->SelectRowAtPoint(grid_Ingredients, event);
    return false;
}

bool WinEditCourse::OnIngredientsUserEvent(WEventData&) {
    MainWindow->UpdateGridScrollBar(grid_Ingredients);
    return false;
}

bool WinEditCourse::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kEditCourseHelpTopic);
    return true;
}
