#pragma once
// The days of one trip: add one at the beginning or the end, delete one with everything planned
// for it, move one earlier or later, edit its notes, open its stops. The day numbers of a trip
// always run 1..n without a gap: every change that renumbers is one unit.

#include "__WinTripDays_Base.h"
#include "platform/db/WDataValue.h"
#include "shell/WinNotes.h"
#include "trips/WinNewTripDay.h"

class WinTripDays : public __WinTripDays_Base {
public:
    void Open(WWindow* parent, int tripId);

protected:
    void LoadDays() override;
    bool OnMeals(WEventData& event) override;
    bool OnPopupMeals(WEventData& event) override;
    bool OnDaysDoubleClick(WEventData& event) override;
    bool OnAdd(WEventData& event) override;
    bool OnPopupAdd(WEventData& event) override;
    bool OnDelete(WEventData& event) override;
    bool OnPopupDelete(WEventData& event) override;
    bool OnMoveUp(WEventData& event) override;
    bool OnPopupMoveUp(WEventData& event) override;
    bool OnMoveDown(WEventData& event) override;
    bool OnPopupMoveDown(WEventData& event) override;
    bool OnNotes(WEventData& event) override;
    bool OnPopupNotes(WEventData& event) override;
    bool OnCloseButton(WEventData& event) override;
    bool OnHelp(WEventData& event) override;
    bool OnDaysLeftButtonUp(WEventData& event) override;
    bool OnDaysRightButtonUp(WEventData& event) override;
    bool OnDaysUserEvent(WEventData& event) override;

private:
    void Refresh(long dayId);
    void OpenDayStops();
    void AddDay();
    void DeleteDay();
    void MoveDay(int step);
    void EditNotes();
    long ReadMax(const std::string& statement);
    long DayIdOf(long row) const;
    long DayNumOf(long row) const;

    int tripId_ = -1;
    WDataValue parameter_;
    WinNotes notes_;
    WinNewTripDay newTripDay_;
};
