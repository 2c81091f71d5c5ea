#include "trips/WinTripWizardStops.h"

#include <string>
#include <vector>

#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"

using namespace TripWizardTables;

namespace {
constexpr int kHelpTripWizard = 119;
constexpr const char* kSavepoint = "trip_wizard_stops";
}  // namespace

bool WinTripWizardStops::Show(WWindow* parent, int tripId) {
    WinTripWizardStops page;
    return page.Open(parent, tripId);
}

bool WinTripWizardStops::Open(WWindow* parent, int tripId) {
    tripId_ = tripId;
    result_ = false;
    OpenModal(parent);
    return result_;
}

void WinTripWizardStops::LoadStops() {
    lb_MealStops->SetSorted(true);
    lb_TripStops->SetSorted(true);
    lb_MealStops->SetDragName("list");
    lb_TripStops->SetDragName("sel");
    lb_MealStops->AcceptDropsFrom("sel");
    lb_TripStops->AcceptDropsFrom("list");
    pictb_1->SetPicture(":/pictures/meals.png");

    selData_.Init(false);
    // The position prefix keeps the sorted lists in the order of the day.
    std::vector<std::string> shown;
    for (long row = 0; row < query_MealStops->GetNumRows(); ++row) {
        const std::string name = query_MealStops->GetValue(row, 1).AsText();
        shown.push_back(Sql("%02d) %s", static_cast<int>(row + 1), name.c_str()));
        selData_.AddItem(shown.back(), static_cast<std::int32_t>(query_MealStops->GetValue(row, 0).AsLong()), 0, false);
    }
    selLists_.Fill(lb_TripStops, lb_MealStops, selData_, "food stop", this, nullptr);
    // The food stops are few and fixed: either list shows each of them whole.
    lb_TripStops->KeepWidthFor(shown);
    lb_MealStops->KeepWidthFor(shown);
}

bool WinTripWizardStops::OnListDoubleClick(WEventData& event) {
    selLists_.DoubleClick(event);
    return false;
}

bool WinTripWizardStops::OnListBeginDrag(WEventData& event) {
    selLists_.BeginDrag(event);
    return false;
}

bool WinTripWizardStops::OnListDragMove(WEventData& event) {
    selLists_.DragMove(event);
    return false;
}

bool WinTripWizardStops::OnListDrop(WEventData& event) {
    selLists_.Drop(event);
    return false;
}

bool WinTripWizardStops::OnListEndDrag(WEventData& event) {
    selLists_.EndDrag(event);
    return false;
}

bool WinTripWizardStops::OnAdd(WEventData&) {
    selLists_.Add();
    return false;
}

bool WinTripWizardStops::OnRemove(WEventData&) {
    selLists_.Remove();
    return false;
}

bool WinTripWizardStops::OnClearAll(WEventData&) {
    selLists_.ClearAll();
    return false;
}

bool WinTripWizardStops::OnOK(WEventData&) {
    result_ = SaveStops();
    Close();
    return true;
}

bool WinTripWizardStops::SaveStops() {
    WinStart& main = *MainWindow;
    // A trip whose stops went in only in part is no finished trip: all of them or none.
    return main.RunAsOneUnit(kSavepoint, [&] {
        query_TripDays->SetSQL(Sql("select id from %s where trip = %d", TripDays(), tripId_));
        bool ok = query_TripDays->Open();
        for (long day = 0; ok && day < query_TripDays->GetNumRows(); ++day) {
            const long dayId = static_cast<long>(query_TripDays->GetValue(day, 0).AsLong());
            for (int i = 0; ok && i < selLists_.SelectedCount(); ++i) ok = AddStop(dayId, selLists_.SelectedId(i));
        }
        query_TripDays->Close();
        return ok;
    });
}

bool WinTripWizardStops::AddStop(long dayId, int foodStopId) {
    WinStart& main = *MainWindow;
    const int day = static_cast<int>(dayId);
    if (!main.ExecSQL(Sql("insert into %s( trip_day, food_stop ) values( %d, %d )", DayFoodStops(), day, foodStopId)))
        return false;
    query_Gen->SetSQL(Sql("select id from %s where trip_day = %d and food_stop = %d", DayFoodStops(), day, foodStopId));
    const bool found = query_Gen->Open() && query_Gen->GetNumRows() > 0;
    const int stopId = found ? static_cast<int>(query_Gen->GetValue(0, 0).AsLong()) : -1;
    query_Gen->Close();
    if (!found) return false;

    query_Gen->SetSQL(Sql("select person from %s where trip = %d", TripPeople(), tripId_));
    bool ok = query_Gen->Open();
    for (long row = 0; ok && row < query_Gen->GetNumRows(); ++row)
        ok = main.ExecSQL(Sql("insert into %s( person, day_stop ) values( %d, %d )", MealPeople(),
                              static_cast<int>(query_Gen->GetValue(row, 0).AsLong()), stopId));
    query_Gen->Close();
    return ok;
}

bool WinTripWizardStops::OnCancel(WEventData&) {
    Close();
    return true;
}

bool WinTripWizardStops::OnHelp(WEventData&) {
    if (MainWindow) MainWindow->ShowHelp(kHelpTripWizard);
    return true;
}
