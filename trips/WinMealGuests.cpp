#include "trips/WinMealGuests.h"

#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"

using namespace TripWizardTables;

namespace {
constexpr int kHelpMealGuests = 133;
}  // namespace

bool WinMealGuests::Edit(WWindow* parent, int stopId) {
    saved_ = false;
    stopId_ = stopId;
    OpenModal(parent);
    return saved_;
}

void WinMealGuests::LoadLists() {
    query_MealGuests->SetParameter(1, WDataValue(stopId_));
    binding_MealGuests->Load();
    tripId_ = static_cast<int>(query_MealGuests->GetValue(0, "TripID").AsLong());

    selData_.Init(false);
    AddTravellers();
    selLists_.Fill(lb_MealGuests, lb_Travellers, selData_, TableNouns[17], this, nullptr);
    selLists_.BindControls(lb_MealGuests, lb_Travellers, cb_Add, cb_Remove, cb_ClearAll);
}

// Every traveller of the trip is a candidate; the stop's guests are the chosen ones.
void WinMealGuests::AddTravellers() {
    query_Gen->SetSQL(Sql("select People.name, People.id from TripPeople == People where TripPeople.trip = %d", tripId_));
    query_Gen->Open();
    const bool anyTraveller = query_Gen->GetNumRows() > 0;
    for (long row = 0; row < query_Gen->GetNumRows(); ++row)
        selData_.AddItem(query_Gen->GetValue(row, 0).AsText(), static_cast<std::int32_t>(query_Gen->GetValue(row, 1).AsLong()),
                         0, false);
    query_Gen->Close();
    if (!anyTraveller) return;

    query_Gen->SetSQL(Sql("select person from MealPeople where day_stop = %d", stopId_));
    query_Gen->Open();
    for (long row = 0; row < query_Gen->GetNumRows(); ++row)
        selData_.AddSelected(static_cast<std::int32_t>(query_Gen->GetValue(row, 0).AsLong()), 0);
    query_Gen->Close();
}

bool WinMealGuests::OnOK(WEventData&) {
    saved_ = SaveGuests();
    if (saved_) MainWindow->TouchModified(Trips(), tripId_);
    PostClose();
    return true;
}

// The old guests go only when every new one is in.
bool WinMealGuests::SaveGuests() {
    WinStart& main = *MainWindow;
    return main.RunAsOneUnit("meal_guests", [&] {
        bool ok = main.ExecSQL(Sql("delete from %s where day_stop = %d", MealPeople(), stopId_));
        for (int i = 0; ok && i < selLists_.SelectedCount(); ++i)
            ok = main.ExecSQL(Sql("insert into %s( day_stop, person ) values( %d, %d )", MealPeople(), stopId_,
                                  selLists_.SelectedId(i)));
        return ok;
    });
}

bool WinMealGuests::OnCancel(WEventData&) {
    PostClose();
    return true;
}

bool WinMealGuests::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kHelpMealGuests);
    return true;
}
