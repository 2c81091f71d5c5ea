#include "trips/WinTripMeals.h"

#include <cstdlib>
#include <string>

#include "shell/CascadeDelete.h"
#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"

using namespace TripWizardTables;

namespace {

constexpr int kHelpTripStops = 121;
// Columns of the grid that the commands read.
constexpr int kFoodStopColumn = 1;
constexpr int kStopIdColumn = 4;

const char* StopNoun() { return TableNouns[13]; }

}  // namespace

void WinTripMeals::Open(WWindow* parent, int tripId, int tripDayId) {
    tripId_ = tripId;
    tripDayId_ = tripDayId;
    OpenModal(parent);
}

void WinTripMeals::LoadTrip() {
    pictb_1->SetPicture(":/pictures/meals.png");
    query_Trip->SetParameter(1, WDataValue(tripId_));
    binding_Trip->Load();
    Refresh(-1);
    if (tripDayId_ != -1) ShowDayInCaption();
}

void WinTripMeals::ShowDayInCaption() {
    query_Gen->SetSQL(Sql("select day_num from %s where id = %d", TripDays(), tripDayId_));
    query_Gen->Open();
    const int day = static_cast<int>(query_Gen->GetValue(0, "day_num").AsLong());
    SetText(Sql("%s for day %d", GetText().c_str(), day));
    query_Gen->Close();
}

void WinTripMeals::Refresh(int stopId) {
    const std::string dayFilter = tripDayId_ == -1 ? std::string() : Sql(" and TripDayID = %d ", tripDayId_);
    query_TripMeals->SetSQL(
        Sql("select  * from TripMeals where TripID = %d %s order by day_num, seq, Travelers ", tripId_, dayFilter.c_str()));
    query_TripMeals->Close();
    query_TripMeals->Open();
    grid_TripMeals->Refresh();
    if (stopId != -1) {
        const long row = MainWindow->FindRowById(grid_TripMeals, kStopIdColumn, stopId);
        if (row != -1) MainWindow->SelectRow(grid_TripMeals, row);
    } else if (grid_TripMeals->GetNumRows() > 0) {
        MainWindow->SelectRow(grid_TripMeals, 0);
    }
}

int WinTripMeals::SelectedStop(long* row) {
    const long current = MainWindow->GetSelectedRow(grid_TripMeals, StopNoun());
    if (row) *row = current;
    if (current == -1) return -1;
    return static_cast<int>(std::strtol(grid_TripMeals->GetCellText(current, kStopIdColumn).c_str(), nullptr, 10));
}

void WinTripMeals::EditStop() {
    const int stopId = SelectedStop();
    if (stopId == -1) return;
    editDayMeal_.Edit(this, stopId);
    Refresh(stopId);
}

// The new stop opens in the stop editor at once, as the new-stop form tells the user: its food
// is chosen there.
void WinTripMeals::AddStop() {
    const int stopId = newTripStop_.Open(this, tripId_, tripDayId_);
    if (stopId == -1) return;
    Refresh(stopId);
    editDayMeal_.Edit(this, stopId);
    Refresh(stopId);
}

void WinTripMeals::DeleteStop() {
    long row = -1;
    const int stopId = SelectedStop(&row);
    if (stopId == -1) return;
    const std::string foodStop = grid_TripMeals->GetCellText(row, kFoodStopColumn);
    if (MessageBox(this, "Remove Trip Meal?",
                   Sql("Are you sure you want to remove a %s %s from the trip?", foodStop.c_str(), StopNoun()),
                   WMessageIcon::Question, WMessageButtons::OKCancel) != WMessageAnswer::OK)
        return;
    WinStart& main = *MainWindow;
    // The stop's meals, menu items and guests go with it, all or none.
    const bool deleted =
        CascadeDelete(main.FindTableSchema(DayFoodStops()), 0, stopId, main.GetTransaction(), true, false);
    Refresh(-1);
    if (deleted) main.TouchModified(Trips(), tripId_);
}

void WinTripMeals::EditNotes() {
    const int stopId = SelectedStop();
    if (stopId == -1) return;
    notes_.Edit(this, DayFoodStops(), stopId, StopNoun(), false, false);
}

bool WinTripMeals::OnGridLeftButtonUp(WEventData&) {
    MainWindow->PostGridRelayout(grid_TripMeals);
    return false;
}

// Left unhandled, so that the pop-up menu opens on the row under the pointer.
bool WinTripMeals::OnGridRightButtonUp(WEventData& event) {
    MainWindow->SelectRowAtPoint(grid_TripMeals, event);
    return false;
}

bool WinTripMeals::OnGridUserEvent(WEventData&) {
    MainWindow->UpdateGridScrollBar(grid_TripMeals);
    return false;
}

bool WinTripMeals::OnClose(WEventData&) {
    PostClose();
    return true;
}

bool WinTripMeals::OnEdit(WEventData&) {
    EditStop();
    return true;
}

bool WinTripMeals::OnAdd(WEventData&) {
    AddStop();
    return true;
}

bool WinTripMeals::OnDelete(WEventData&) {
    DeleteStop();
    return true;
}

bool WinTripMeals::OnNotes(WEventData&) {
    EditNotes();
    return true;
}

bool WinTripMeals::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kHelpTripStops);
    return true;
}
