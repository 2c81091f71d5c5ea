#include "catalogue/WinMealCourses.h"

#include <cstdlib>

#include "catalogue/MenuItemTables.h"
#include "shell/WinStart.h"

using namespace MenuItemTables;

namespace {

constexpr int kNameColumn = 0;
constexpr int kIdColumn = 2;
constexpr int kMenuItemsHelpTopic = 110;

}  // namespace

bool WinMealCourses::Open(WWindow* parent, bool select) {
    result = true;
    selectMode = select;
    OpenModal(parent);
    return result;
}

void WinMealCourses::SetupList() {
    pictb_1->SetPicture(":/pictures/menuitems.png");
    if (!selectMode) {
        cb_Cancel->Hide();
        // Esc then closes the list as the close box does, rather than clicking a hidden button.
        SetCancelButton(nullptr);
    }
    Refresh(-1);
}

void WinMealCourses::Refresh(long id) {
    query_Courses->Close();
    query_Courses->Open();
    grid_Courses->Refresh();
    if (id != -1) {
        const long row = MainWindow->FindRowById(grid_Courses, kIdColumn, id);
        if (row != -1) MainWindow->SelectRow(grid_Courses, row);
    } else if (grid_Courses->GetNumRows() > 0) {
        MainWindow->SelectRow(grid_Courses, 0);
    }
}

bool WinMealCourses::SelectedMenuItem(long& id, std::string& name) {
    const long row = MainWindow->GetSelectedRow(grid_Courses, MenuItemNoun());
    if (row == -1) return false;
    id = static_cast<long>(std::strtoul(grid_Courses->GetCellText(row, kIdColumn).c_str(), nullptr, 10));
    name = grid_Courses->GetCellText(row, kNameColumn);
    return true;
}

bool WinMealCourses::EditMenuItem(WEventData&) {
    long id = -1;
    std::string name;
    if (!SelectedMenuItem(id, name)) return false;
    editCourse.Edit(this, id);
    Refresh(id);
    return false;
}

bool WinMealCourses::AddMenuItem(WEventData&) {
    WinStart& main = *MainWindow;
    std::string name = "new_menu_item";
    main.MakeUniqueValue(name, Courses(), "name");
    std::string escaped = name;
    WinStart::EscapeSQL(escaped);
    // The editor opens on the new row or on none: never on another menu item.
    const long id = main.ExecSQL(Sql("insert into %s( name ) values( '%s' )", Courses(), escaped.c_str()))
                        ? main.FindIdByValue(Courses(), "name", name, -1)
                        : -1;
    Refresh(id);
    if (id == -1) return false;
    const long row = main.GetSelectedRow(grid_Courses, MenuItemNoun());
    if (row == -1) return false;
    editCourse.Edit(this, id);
    Refresh(id);
    return false;
}

long WinMealCourses::UseCount(const char* select, const char* table, long id) {
    query_Gen->SetSQL(Sql(select, table, static_cast<int>(id)));
    const long rows = query_Gen->Open() ? query_Gen->GetNumRows() : -1;
    query_Gen->Close();
    return rows;
}

// The question of the delete, by where the menu item is used; true on OK.
bool WinMealCourses::ConfirmDelete(const std::string& name, bool inUse) {
    if (inUse) {
        const std::string text =
            Sql("The %s '%s' is used in one or more %ss or %ss.\r\n\r\nAre you sure you want to delete this %s? If "
                "you do, it\r\nwill be removed from all %ss and %ss that use it.",
                MenuItemNoun(), name.c_str(), MealNoun(), TripMenuItemNoun(), MenuItemNoun(), MealNoun(),
                TripMenuItemNoun());
        return MessageBox(this, "Menu item is in use", text, WMessageIcon::Exclamation, WMessageButtons::OKCancel) ==
               WMessageAnswer::OK;
    }
    const std::string text = Sql(
        "There are no %ss or %ss currently including the\r\n'%s' %s, but are you sure you want to\r\npermanently "
        "delete this %s?\r\n",
        MealNoun(), TripMenuItemNoun(), name.c_str(), MenuItemNoun(), MenuItemNoun());
    return MessageBox(this, "Remove Menu Item?", text, WMessageIcon::Question, WMessageButtons::OKCancel) ==
           WMessageAnswer::OK;
}

// The menu item leaves its meals and trip stops, then its lines, recipe and row go: all of it,
// or nothing when one statement is refused.
bool WinMealCourses::DeleteWithChildren(long id, bool inUse) {
    WinStart& main = *MainWindow;
    const int course = static_cast<int>(id);
    return MainWindow->RunAsOneUnit("delete_menu_item", [&] {
        if (inUse && !(main.ExecSQL(Sql("Delete from %s where course = %d", MealCourses(), course)) &&
                       main.ExecSQL(Sql("Delete from %s where course = %d", DayCourses(), course))))
            return false;
        return main.ExecSQL(Sql("delete from %s where course = %d", CourseIngredients(), course)) &&
               main.ExecSQL(Sql("delete from %s where course = %d", Recipes(), course)) &&
               main.ExecSQL(Sql("delete from %s where id = %d", Courses(), course));
    });
}

bool WinMealCourses::DeleteMenuItem(WEventData&) {
    long id = -1;
    std::string name;
    if (!SelectedMenuItem(id, name)) return false;
    long uses = UseCount("select id from %s where course = %d", MealCourses(), id);
    if (uses == 0 || uses == -1) uses = UseCount("select * from %s where course = %d", DayCourses(), id);
    const bool inUse = uses != 0 && uses != -1;
    if (!ConfirmDelete(name, inUse)) return false;
    DeleteWithChildren(id, inUse);
    Refresh(-1);
    return false;
}

bool WinMealCourses::EditNotes(WEventData&) {
    long id = -1;
    std::string name;
    if (!SelectedMenuItem(id, name)) return false;
    if (notes.Edit(this, Courses(), id, name, true, true)) Refresh(id);
    return false;
}

// The copy's row, its lines under new ids and its recipe chunks as they are: the copy's id, or
// -1 with nothing made. No contributor credit and no modified stamp travel with it.
long WinMealCourses::CopyWithLinesAndRecipe(long sourceId, const std::string& name) {
    WinStart& main = *MainWindow;
    std::string escaped = name;
    WinStart::EscapeSQL(escaped);
    const int source = static_cast<int>(sourceId);
    long copyId = -1;
    const bool copied = MainWindow->RunAsOneUnit("copy_menu_item", [&] {
        if (!main.ExecSQL(Sql("insert into Courses ( name, feeds, recipe_format, notes ) select '%s', feeds, "
                              "recipe_format, notes from Courses where id = %d",
                              escaped.c_str(), source)))
            return false;
        copyId = main.FindIdByValue(Courses(), "name", name, -1);
        const int copy = static_cast<int>(copyId);
        return copyId != -1 &&
               main.ExecSQL(Sql("insert into CourseIngredients( course, ingredient, measure, amount, unit_measure )  "
                                "select %d, ingredient, measure, amount, unit_measure from CourseIngredients where "
                                "course = %d",
                                copy, source)) &&
               main.ExecSQL(Sql("insert into Recipes select %d, seq, data from Recipes where course = %d", copy, source));
    });
    return copied ? copyId : -1;
}

bool WinMealCourses::CopyMenuItem(WEventData&) {
    long sourceId = -1;
    std::string name;
    if (!SelectedMenuItem(sourceId, name)) return false;
    MainWindow->MakeUniqueValue(name, Courses(), "name");
    const long copyId = CopyWithLinesAndRecipe(sourceId, name);
    Refresh(copyId != -1 ? copyId : sourceId);
    return false;
}

bool WinMealCourses::FindMenuItem(WEventData&) {
    const long id = findValue.FindInTable(this, Courses(), "name", "Find a meal course");
    if (id != -1) Refresh(id);
    return false;
}

bool WinMealCourses::OnCloseButton(WEventData&) {
    PostClose();
    return false;
}

bool WinMealCourses::OnCancel(WEventData&) {
    result = false;
    PostClose();
    return false;
}

bool WinMealCourses::OnCoursesLeftButtonUp(WEventData&) {
    MainWindow->PostGridRelayout(grid_Courses);
    return false;
}

bool WinMealCourses::OnCoursesRightButtonUp(WEventData& event) {
    MainWindow->SelectRowAtPoint(grid_Courses, event);
    return false;
}

bool WinMealCourses::OnCoursesUserEvent(WEventData&) {
    MainWindow->UpdateGridScrollBar(grid_Courses);
    return false;
}

bool WinMealCourses::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kMenuItemsHelpTopic);
    return true;
}
