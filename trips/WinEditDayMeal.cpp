#include "trips/WinEditDayMeal.h"

#include "catalogue/WinMealCourses.h"
#include "catalogue/WinMeals.h"

#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"

using namespace TripWizardTables;

namespace {

constexpr int kHelpEditTripStop = 124;
// The high half of an entry's key: which table the row id belongs to.
constexpr int kMealKind = 0;
constexpr int kMenuItemKind = 1;

const char* DayMeals() { return TableNames[14]; }
const char* DayCourses() { return TableNames[15]; }

}  // namespace

void WinEditDayMeal::Edit(WWindow* parent, int stopId) {
    stopId_ = stopId;
    OpenModal(parent);
}

void WinEditDayMeal::LoadStop() {
    pictb_1->SetPicture(":/pictures/meals.png");
    for (WQuery* query : {query_DayMeal, query_DayNums, query_Guests}) query->SetParameter(1, WDataValue(stopId_));
    selLists_.BindControls(lb_SelectedMealsCourses, lb_MealsCourses, cb_Add, cb_Remove, cb_ClearAll);
    LoadLists();
    binding_DayMeal->Load();
    binding_Guests->Load();
    tripId_ = static_cast<int>(query_DayMeal->GetValue(0, "TripID").AsLong());
}

void WinEditDayMeal::LoadLists() {
    selData_.Init(true);
    AddCatalogue("select name, id from Meals", "%s (meal)", kMealKind);
    AddCatalogue("select name, id from Courses", "%s (menu item)", kMenuItemKind);
    AddChosen("select meal from DayMeals where day_stop = %d", kMealKind);
    AddChosen("select course from DayCourses where day_stop = %d", kMenuItemKind);
    selLists_.Fill(lb_SelectedMealsCourses, lb_MealsCourses, selData_, "meal/course", this, textb_Selected);
}

void WinEditDayMeal::AddCatalogue(const char* statement, const char* entryFormat, int kind) {
    query_Gen->SetSQL(statement);
    query_Gen->Open();
    for (long row = 0; row < query_Gen->GetNumRows(); ++row)
        selData_.AddItem(Sql(entryFormat, query_Gen->GetValue(row, 0).AsText().c_str()),
                         static_cast<std::int32_t>(query_Gen->GetValue(row, 1).AsLong()), kind, false);
    query_Gen->Close();
}

void WinEditDayMeal::AddChosen(const char* statementFormat, int kind) {
    query_Gen->SetSQL(Sql(statementFormat, stopId_));
    query_Gen->Open();
    for (long row = 0; row < query_Gen->GetNumRows(); ++row)
        selData_.AddSelected(static_cast<std::int32_t>(query_Gen->GetValue(row, 0).AsLong()), kind);
    query_Gen->Close();
}

bool WinEditDayMeal::OnMealGuests(WEventData&) {
    // Only the day and food stop are stored here; the chosen food waits for Close.
    WriteStopRow();
    if (mealGuests_.Edit(this, stopId_)) {
        binding_DayMeal->Load();
        binding_Guests->Load();
    }
    return true;
}

bool WinEditDayMeal::OnFind(WEventData&) {
    const int entry = findValue_.FindInListBox(this, lb_MealsCourses, "Find a meal/course");
    if (entry != -1) lb_MealsCourses->SetSelected(entry);
    return true;
}

bool WinEditDayMeal::OnEditCourses(WEventData&) {
    Save();
    WinMealCourses mealCourses;
    mealCourses.Open(this, false);
    LoadLists();
    return true;
}

bool WinEditDayMeal::OnEditMeals(WEventData&) {
    Save();
    WinMeals::Open(this);
    LoadLists();
    return true;
}

bool WinEditDayMeal::OnClose(WEventData&) {
    Save();
    PostClose();
    return true;
}

bool WinEditDayMeal::Save() {
    WinStart& main = *MainWindow;
    const bool saved = main.RunAsOneUnit("trip_stop", [this] { return WriteChosenFood() && WriteStopRow(); });
    if (saved) main.TouchModified(Trips(), tripId_);
    return saved;
}

// The stop's meals and menu items anew, in the order the chosen list shows them; an entry
// chosen twice gives two rows.
bool WinEditDayMeal::WriteChosenFood() {
    WinStart& main = *MainWindow;
    bool ok = main.ExecSQL(Sql("delete from %s where day_stop = %d", DayMeals(), stopId_)) &&
              main.ExecSQL(Sql("delete from %s where day_stop = %d", DayCourses(), stopId_));
    for (int i = 0; ok && i < selLists_.SelectedCount(); ++i) {
        const SelItemKey key = selLists_.SelectedKey(i);
        const bool meal = SelItemKeyHigh(key) == kMealKind;
        ok = main.ExecSQL(Sql("insert into %s( day_stop, %s ) values( %d, %d )", meal ? DayMeals() : DayCourses(),
                              meal ? "meal" : "course", stopId_, SelItemKeyLow(key)));
    }
    return ok;
}

// The day and food stop of the combo boxes. An unchanged row writes nothing, and neither does
// a combo box without a current entry: it has no day or food stop to give, and the stop keeps
// the one it has rather than losing it to NULL.
bool WinEditDayMeal::WriteStopRow() {
    if (!binding_DayMeal->IsDirty()) return true;
    if (combo_Day->GetSelected() < 0 || combo_FoodStop->GetSelected() < 0) return true;
    return binding_DayMeal->Save() == WRowSave::Saved;
}

bool WinEditDayMeal::OnNotes(WEventData&) {
    notes_.Edit(this, DayFoodStops(), stopId_, TableNouns[13], false, false);
    return true;
}

bool WinEditDayMeal::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kHelpEditTripStop);
    return true;
}
