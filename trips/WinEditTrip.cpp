#include "trips/WinEditTrip.h"

#include <string>

#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"
#include "trips/WinTripWizardTravellers.h"

using namespace TripWizardTables;

namespace {
constexpr int kHelpEditTrip = 118;
}  // namespace

void WinEditTrip::Edit(WWindow* parent, int tripId) {
    tripId_ = tripId;
    OpenModal(parent);
}

void WinEditTrip::LoadTrip() {
    parameter_ = WDataValue(static_cast<long>(tripId_));
    query_Trip->SetParameter(1, parameter_);
    query_TripDate->SetParameter(1, parameter_);
    binding_Trip->Load();
    textb_DateFmt->SetText(query_Trip->GetNumRows() > 0 ? query_Trip->GetValue(0, 0).AsText() : std::string());
    changed_ = false;
}

// The save step before every way out of the editor but the close box.
void WinEditTrip::SaveTrip() {
    MainWindow->EnsureUniqueName(textb_Name, Trips(), "trip", tripId_);
    binding_Trip->Save();
}

void WinEditTrip::ShowLongDate() {
    query_TripDate->Refresh();
    textb_DateFmt->SetText(query_TripDate->GetNumRows() > 0 ? query_TripDate->GetValue(0, 0).AsText()
                                                            : std::string());
}

bool WinEditTrip::OnDetailsChange(WEventData&) {
    changed_ = true;
    return false;
}

// Only the date is written here: the name and location wait for the save step and its
// unique-name rule, so two trips never end up sharing a name.
bool WinEditTrip::OnDate(WEventData&) {
    std::string date = textb_Date->GetText();
    datePicker_.Pick(this, &date);
    textb_Date->SetText(date);
    query_Trip->Execute(Sql("update %s set trip_date = ? where id = ?", Trips()),
                        {WDataValue(date), parameter_});
    ShowLongDate();
    changed_ = true;
    return true;
}

bool WinEditTrip::OnTripMeals(WEventData&) {
    SaveTrip();
    return true;
}

bool WinEditTrip::OnDays(WEventData&) {
    SaveTrip();
    tripDays_.Open(this, tripId_);
    return true;
}

bool WinEditTrip::OnTravellers(WEventData&) {
    SaveTrip();
    WinTripWizardTravellers::Show(this, tripId_, false);
    return true;
}

bool WinEditTrip::OnReport(WEventData&) {
    SaveTrip();
    return true;
}

// Neither the row nor its modified stamp is written: notes of a trip are no edit of the trip.
bool WinEditTrip::OnNotes(WEventData&) {
    notes_.Edit(this, Trips(), tripId_, textb_Name->GetText(), false, false);
    return true;
}

bool WinEditTrip::OnCloseButton(WEventData&) {
    SaveTrip();
    if (changed_) MainWindow->TouchModified(Trips(), tripId_);
    PostClose();
    return true;
}

bool WinEditTrip::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kHelpEditTrip);
    return true;
}
