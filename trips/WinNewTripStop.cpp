#include "trips/WinNewTripStop.h"

#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"

using namespace TripWizardTables;

namespace {
constexpr int kHelpNewTripStop = 125;
}  // namespace

int WinNewTripStop::Open(WWindow* parent, int tripId, int tripDayId) {
    result_ = -1;
    tripId_ = tripId;
    preselectedDayId_ = tripDayId;
    OpenModal(parent);
    return result_;
}

void WinNewTripStop::LoadLists() {
    query_Trip->SetParameter(1, WDataValue(tripId_));
    binding_Trip->Load();
    LoadDays();
    LoadFoodStops();
    // A stop never lacks a valid day: without one there is nothing to add.
    cb_OK->SetEnabled(combo_Day->GetCount() > 0 && combo_FoodStop->GetCount() > 0);
}

void WinNewTripStop::LoadDays() {
    query_Gen->SetSQL(Sql("select id, day_num from %s where trip = %d order by day_num", TripDays(), tripId_));
    query_Gen->Open();
    int preselected = -1;
    for (long row = 0; row < query_Gen->GetNumRows(); ++row) {
        const long long dayId = query_Gen->GetValue(row, 0).AsLong();
        const int entry = combo_Day->AddItem(query_Gen->GetValue(row, 1).AsText(), dayId);
        if (dayId == preselectedDayId_) preselected = entry;
    }
    query_Gen->Close();
    // A day that is not one of this trip's leaves the first day current.
    if (preselected < 0 && combo_Day->GetCount() > 0) preselected = 0;
    combo_Day->SetSelected(preselected);
}

void WinNewTripStop::LoadFoodStops() {
    query_Gen->SetSQL(Sql("select id, name from %s order by seq", FoodStops()));
    query_Gen->Open();
    for (long row = 0; row < query_Gen->GetNumRows(); ++row)
        combo_FoodStop->AddItem(query_Gen->GetValue(row, 1).AsText(), query_Gen->GetValue(row, 0).AsLong());
    query_Gen->Close();
    combo_FoodStop->SetSelected(combo_FoodStop->GetCount() > 0 ? 0 : -1);
}

bool WinNewTripStop::OnOK(WEventData&) {
    const int day = combo_Day->GetSelected();
    const int foodStop = combo_FoodStop->GetSelected();
    if (day < 0 || foodStop < 0) return true;
    result_ = AddStop(static_cast<int>(combo_Day->GetItemData(day)),
                      static_cast<int>(combo_FoodStop->GetItemData(foodStop)));
    if (result_ != -1) MainWindow->TouchModified(Trips(), tripId_);
    PostClose();
    return true;
}

int WinNewTripStop::AddStop(int tripDayId, int foodStopId) {
    WinStart& main = *MainWindow;
    int stopId = -1;
    const bool added = main.RunAsOneUnit("new_trip_stop", [&] {
        const long next = main.NextId(DayFoodStops());
        if (next < 1) return false;
        stopId = static_cast<int>(next);
        return main.ExecSQL(Sql("insert into %s( id, trip_day, food_stop ) values( %d, %d, %d )", DayFoodStops(),
                                stopId, tripDayId, foodStopId)) &&
               AddGuests(stopId);
    });
    return added ? stopId : -1;
}

bool WinNewTripStop::AddGuests(int stopId) {
    query_Gen->SetSQL(Sql("select person from %s where trip = %d", TripPeople(), tripId_));
    bool ok = query_Gen->Open();
    for (long row = 0; ok && row < query_Gen->GetNumRows(); ++row)
        ok = MainWindow->ExecSQL(Sql("insert into %s( person, day_stop ) values( %d, %d )", MealPeople(),
                                     static_cast<int>(query_Gen->GetValue(row, 0).AsLong()), stopId));
    query_Gen->Close();
    return ok;
}

bool WinNewTripStop::OnCancel(WEventData&) {
    PostClose();
    return true;
}

bool WinNewTripStop::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kHelpNewTripStop);
    return true;
}
