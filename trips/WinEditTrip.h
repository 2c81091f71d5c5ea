#pragma once
// The trip editor: name, location and start date in place, and the way on to the trip's stops,
// days, travellers, report and notes. Before it leads anywhere, and when it closes with Close,
// it settles the name and writes the row, so that every form after it sees what it shows.

#include "__WinEditTrip_Base.h"
#include "platform/db/WDataValue.h"
#include "shell/WinNotes.h"
#include "trips/WinDatePicker.h"
#include "trips/WinTripDays.h"

class WinEditTrip : public __WinEditTrip_Base {
public:
    void Edit(WWindow* parent, int tripId);

protected:
    void LoadTrip() override;
    bool OnDetailsChange(WEventData& event) override;
    bool OnDate(WEventData& event) override;
    bool OnTripMeals(WEventData& event) override;
    bool OnDays(WEventData& event) override;
    bool OnTravellers(WEventData& event) override;
    bool OnReport(WEventData& event) override;
    bool OnNotes(WEventData& event) override;
    bool OnCloseButton(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void SaveTrip();
    void ShowLongDate();

    int tripId_ = -1;
    WDataValue parameter_;
    bool changed_ = false;
    WinDatePicker datePicker_;
    WinNotes notes_;
    WinTripDays tripDays_;
};
