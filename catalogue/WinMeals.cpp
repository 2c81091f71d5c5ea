#include "catalogue/WinMeals.h"

#include <cstdlib>

#include "shell/FormatText.h"
#include "shell/TableNames.h"
#include "shell/WinStart.h"

namespace {

const char* Meals() { return TableName(TableId::Meals); }
const char* MealCourses() { return TableName(TableId::MealCourses); }
const char* DayMeals() { return TableName(TableId::DayMeals); }
const char* MealNoun() { return TableNoun(TableId::Meals); }
const char* DayMealNoun() { return TableNoun(TableId::DayMeals); }

constexpr int kMealsHelpTopic = 113;
constexpr int kNameColumn = 0;
constexpr int kIdColumn = 2;
constexpr const char* kDeleteSavepoint = "delete_meal";
constexpr const char* kCopySavepoint = "copy_meal";

std::string Escaped(std::string text) { return WinStart::EscapeSQL(text); }

}  // namespace

bool WinMeals::Open(WWindow* parent) {
    WinMeals meals;
    meals.OpenModal(parent);
    return true;
}

void WinMeals::SetupList() {
    pictb_1->SetPicture(":/pictures/meals.png");
    grid_Meals->SetReadOnly(true);
    Refresh(-1);
}

void WinMeals::Refresh(long mealId) {
    query_Meals->Close();
    query_Meals->Open();
    grid_Meals->Refresh();
    if (mealId == -1) {
        if (grid_Meals->GetNumRows() > 0) MainWindow->SelectRow(grid_Meals, 0);
        return;
    }
    const long row = MainWindow->FindRowById(grid_Meals, kIdColumn, mealId);
    if (row != -1) MainWindow->SelectRow(grid_Meals, row);
}

std::optional<WinMeals::Meal> WinMeals::SelectedMeal() {
    const long row = MainWindow->GetSelectedRow(grid_Meals, MealNoun());
    if (row == -1) return std::nullopt;
    const long id = std::strtol(grid_Meals->GetCellText(row, kIdColumn).c_str(), nullptr, 10);
    return Meal{id, grid_Meals->GetCellText(row, kNameColumn)};
}

bool WinMeals::EditMeal(WEventData&) {
    const std::optional<Meal> meal = SelectedMeal();
    if (!meal) return false;
    editMeal_.Edit(this, meal->id);
    Refresh(meal->id);
    return false;
}

bool WinMeals::OnAdd(WEventData&) {
    AddMeal();
    return false;
}

long WinMeals::AddMeal() {
    WinStart& main = *MainWindow;
    std::string name = "new_meal";
    main.MakeUniqueValue(name, Meals(), "name");
    // A meal that did not go in is not edited: the editor would open on another meal.
    if (!main.ExecSQL(FormatText("insert into %s( name ) values( '%s' )", Meals(), Escaped(name).c_str()))) return -1;
    const long id = main.FindIdByValue(Meals(), "name", name, -1);
    Refresh(id);
    if (id == -1) return -1;
    const std::optional<Meal> meal = SelectedMeal();
    if (!meal || meal->id != id) return id;
    editMeal_.Edit(this, id);
    Refresh(id);
    return id;
}

long WinMeals::TripMealCount(long mealId) {
    query_Gen->SetSQL(FormatText("select * from %s where meal = %d", DayMeals(), static_cast<int>(mealId)));
    const long count = query_Gen->Open() ? query_Gen->GetNumRows() : -1;
    query_Gen->Close();
    return count;
}

bool WinMeals::DeleteMeal(WEventData&) {
    const std::optional<Meal> meal = SelectedMeal();
    if (!meal) return false;
    const bool inUse = TripMealCount(meal->id) > 0;
    const WMessageAnswer answer =
        inUse ? MessageBox(this, "Meal is in use",
                           FormatText("The %s '%s' is used in one or more %ss.\r\n\r\nAre you sure you want to delete "
                                      "this %s? If you do, it\r\nwill be removed from all %ss that use it.",
                                      MealNoun(), meal->name.c_str(), DayMealNoun(), MealNoun(), DayMealNoun()),
                           WMessageIcon::Exclamation, WMessageButtons::OKCancel)
              : MessageBox(this, "Remove Meal?",
                           FormatText("There are no %ss currently including the\r\n'%s' %s, but are you sure you "
                                      "want to\r\npermanently delete this %s?\r\n",
                                      DayMealNoun(), meal->name.c_str(), MealNoun(), MealNoun()),
                           WMessageIcon::Question, WMessageButtons::OKCancel);
    if (answer != WMessageAnswer::OK) return false;
    DeleteMealRows(meal->id, inUse);
    Refresh(-1);
    return false;
}

void WinMeals::DeleteMealRows(long mealId, bool inUse) {
    WinStart& main = *MainWindow;
    const int meal = static_cast<int>(mealId);
    // When the meal itself is refused, its trip meals and menu items come back with it: a meal
    // never stays without the menu items it had.
    main.RunAsOneUnit(kDeleteSavepoint, [&] {
        return (!inUse || main.ExecSQL(FormatText("Delete from %s where meal = %d", DayMeals(), meal))) &&
               main.ExecSQL(FormatText("delete from %s where meal = %d", MealCourses(), meal)) &&
               main.ExecSQL(FormatText("delete from %s where id = %d", Meals(), meal));
    });
}

bool WinMeals::EditNotes(WEventData&) {
    const std::optional<Meal> meal = SelectedMeal();
    if (!meal) return false;
    notes_.Edit(this, Meals(), meal->id, meal->name, true, true);
    return false;
}

bool WinMeals::CopyMeal(WEventData&) {
    const std::optional<Meal> meal = SelectedMeal();
    if (!meal) return false;
    std::string copyName = meal->name;
    MainWindow->MakeUniqueValue(copyName, Meals(), "name");
    const long copyId = CopyMealRows(meal->id, copyName);
    if (copyId != -1) Refresh(copyId);
    return false;
}

long WinMeals::CopyMealRows(long sourceId, const std::string& copyName) {
    WinStart& main = *MainWindow;
    // A copy is never half made: a copy without its menu items goes again.
    long copyId = -1;
    const bool ok = main.RunAsOneUnit(kCopySavepoint, [&] {
        if (!main.ExecSQL(FormatText("insert into Meals ( name, notes ) select '%s', notes from Meals where id = %d",
                                     Escaped(copyName).c_str(), static_cast<int>(sourceId))))
            return false;
        copyId = main.FindIdByValue(Meals(), "name", copyName, -1);
        return copyId != -1 &&
               main.ExecSQL(FormatText("insert into %s( meal, course )  select %d, course from %s where meal = %d",
                                       MealCourses(), static_cast<int>(copyId), MealCourses(),
                                       static_cast<int>(sourceId)));
    });
    return ok ? copyId : -1;
}

bool WinMeals::FindMeal(WEventData&) {
    const int id = findValue_.FindInTable(this, Meals(), "name", "Find a meal");
    if (id != -1) Refresh(id);
    return false;
}

bool WinMeals::OnClose(WEventData&) {
    PostClose();
    return false;
}

bool WinMeals::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kMealsHelpTopic);
    return true;
}

bool WinMeals::OnGridLeftButtonUp(WEventData&) {
    MainWindow->PostGridRelayout(grid_Meals);
    return false;
}

bool WinMeals::OnGridRightButtonUp(WEventData& event) {
    MainWindow->SelectRowAtPoint(grid_Meals, event);
    return false;
}

bool WinMeals::OnGridUserEvent(WEventData&) {
    MainWindow->UpdateGridScrollBar(grid_Meals);
    return false;
}
