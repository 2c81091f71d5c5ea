#pragma once
// The trip stops of one trip, or of one day of it: each stop's day, food stop, food and guests.
// From here the user adds a stop, edits or deletes the selected one and edits its notes.

#include "__WinTripMeals_Base.h"
#include "shell/WinNotes.h"
#include "trips/WinEditDayMeal.h"
#include "trips/WinNewTripStop.h"

class WinTripMeals : public __WinTripMeals_Base {
public:
    // Opens the list over parent for the trip: every stop when tripDayId is -1, else the stops
    // of that day of the trip. Returns when it has closed.
    void Open(WWindow* parent, int tripId, int tripDayId);

    // Reads the list again and makes the stop's row current (the first row for -1).
    void Refresh(int stopId);
    void EditStop();
    void AddStop();
    void DeleteStop();
    void EditNotes();

protected:
    void LoadTrip() override;
    bool OnGridLeftButtonUp(WEventData& event) override;
    bool OnGridRightButtonUp(WEventData& event) override;
    bool OnGridUserEvent(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnEdit(WEventData& event) override;
    bool OnAdd(WEventData& event) override;
    bool OnDelete(WEventData& event) override;
    bool OnNotes(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void ShowDayInCaption();
    // The stop of the current row; -1, after the selection message, when there is none.
    int SelectedStop(long* row = nullptr);

    int tripId_ = -1;
    int tripDayId_ = -1;

    WinEditDayMeal editDayMeal_;
    WinNewTripStop newTripStop_;
    WinNotes notes_;
};
