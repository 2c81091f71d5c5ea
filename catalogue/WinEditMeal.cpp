#include "catalogue/WinEditMeal.h"

#include "catalogue/WinMealCourses.h"

#include "shell/FormatText.h"
#include "shell/TableNames.h"
#include "shell/WinStart.h"

namespace {

const char* Meals() { return TableName(TableId::Meals); }
const char* MealCourses() { return TableName(TableId::MealCourses); }
const char* MealNoun() { return TableNoun(TableId::Meals); }
const char* MealCourseNoun() { return TableNoun(TableId::MealCourses); }

constexpr int kEditMealHelpTopic = 114;
constexpr const char* kSavepoint = "save_meal";

}  // namespace

void WinEditMeal::Edit(WWindow* parent, long mealId) {
    mealId_ = mealId;
    OpenModal(parent);
}

void WinEditMeal::LoadMeal() {
    lb_Courses->SetSorted(true);
    lb_SelectedCourses->SetSorted(true);
    lb_Courses->SetDragName("list");
    lb_SelectedCourses->SetDragName("sel");
    lb_Courses->AcceptDropsFrom("sel");
    lb_SelectedCourses->AcceptDropsFrom("list");

    query_Meal->SetParameter(1, WDataValue(mealId_));
    binding_Meal->Load();
    FillLists();
}

void WinEditMeal::FillLists() {
    selData_.Init(true);
    for (long row = 0; row < query_Courses->GetNumRows(); ++row)
        selData_.AddItem(query_Courses->GetValue(row, 0).AsText(),
                         static_cast<std::int32_t>(query_Courses->GetValue(row, 1).AsLong()), 0, false);
    if (query_Courses->GetNumRows() > 0) {
        query_MealCourses->SetParameter(1, WDataValue(mealId_));
        if (query_MealCourses->Open())
            for (long row = 0; row < query_MealCourses->GetNumRows(); ++row)
                selData_.AddSelected(static_cast<std::int32_t>(query_MealCourses->GetValue(row, 0).AsLong()), 0);
        query_MealCourses->Close();
    }
    selLists_.Fill(lb_SelectedCourses, lb_Courses, selData_, MealCourseNoun(), this, textb_Selected);
}

bool WinEditMeal::OnListDoubleClick(WEventData& event) {
    selLists_.DoubleClick(event);
    return false;
}

bool WinEditMeal::OnListBeginDrag(WEventData& event) {
    selLists_.BeginDrag(event);
    return false;
}

bool WinEditMeal::OnListDragMove(WEventData& event) {
    selLists_.DragMove(event);
    return false;
}

bool WinEditMeal::OnListDrop(WEventData& event) {
    selLists_.Drop(event);
    return false;
}

bool WinEditMeal::OnListEndDrag(WEventData& event) {
    selLists_.EndDrag(event);
    return false;
}

bool WinEditMeal::OnListSelect(WEventData& event) {
    selLists_.SelectionChanged(event);
    return false;
}

bool WinEditMeal::OnAdd(WEventData&) {
    selLists_.Add();
    return false;
}

bool WinEditMeal::OnRemove(WEventData&) {
    selLists_.Remove();
    return false;
}

bool WinEditMeal::OnClearAll(WEventData&) {
    selLists_.ClearAll();
    return false;
}

bool WinEditMeal::OnFind(WEventData&) {
    const int index = findValue_.FindInListBox(this, lb_Courses, "Find a meal course");
    if (index != -1) lb_Courses->SetSelected(index);
    return false;
}

bool WinEditMeal::OnClose(WEventData&) {
    // A save that failed keeps the editor open, with the user's choice still in it.
    if (SaveMeal()) PostClose();
    return false;
}

bool WinEditMeal::EditAllMenuItems(WEventData&) {
    if (!SaveMeal()) return false;
    WinMealCourses mealCourses;
    mealCourses.Open(this, false);
    query_Courses->Refresh();
    FillLists();
    return false;
}

bool WinEditMeal::EditNotes(WEventData&) {
    notes_.Edit(this, Meals(), mealId_, textb_Name->GetText(), true, true);
    return false;
}

bool WinEditMeal::SaveMeal() {
    WinStart& main = *MainWindow;
    main.EnsureUniqueName(textb_Name, Meals(), MealNoun(), mealId_);
    if (!WriteMenuItems()) {
        MessageBox(this, "Meal not saved",
                   FormatText("The menu items of the meal '%s' could not be saved.\r\nThe meal keeps the menu "
                              "items it had.",
                              textb_Name->GetText().c_str()),
                   WMessageIcon::Stop, WMessageButtons::OK);
        return false;
    }
    // The name alone: the notes and the credit are the notes editor's, which may have saved them
    // while this form was open.
    binding_Meal->Save();
    main.TouchModified(Meals(), mealId_);
    return true;
}

bool WinEditMeal::WriteMenuItems() {
    WinStart& main = *MainWindow;
    const int meal = static_cast<int>(mealId_);
    // The old rows go only when every new one is in.
    return main.RunAsOneUnit(kSavepoint, [&] {
        bool ok = main.ExecSQL(FormatText("delete from %s where meal = %d", MealCourses(), meal));
        for (int i = 0; ok && i < selLists_.SelectedCount(); ++i)
            ok = main.ExecSQL(FormatText("insert into %s( meal, course ) values( %d, %d )", MealCourses(), meal,
                                         static_cast<int>(selLists_.SelectedId(i))));
        return ok;
    });
}

bool WinEditMeal::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kEditMealHelpTopic);
    return true;
}
