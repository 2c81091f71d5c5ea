#pragma once
// Adds one trip stop to a trip: the user picks a day of the trip and a food stop, and OK writes
// the stop with every traveller of the trip as its guest.

#include "__WinNewTripStop_Base.h"

class WinNewTripStop : public __WinNewTripStop_Base {
public:
    // Opens the form over parent for the trip, with tripDayId current in the day list (-1: the
    // first day). Answers the new stop's id, or -1 when the form was cancelled or closed, or
    // when the stop and its guests could not all be written (then none are).
    int Open(WWindow* parent, int tripId, int tripDayId);

protected:
    void LoadLists() override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void LoadDays();
    void LoadFoodStops();
    // The stop and one guest row per traveller, as one unit: the new id, or -1 with nothing written.
    int AddStop(int tripDayId, int foodStopId);
    bool AddGuests(int stopId);

    int tripId_ = -1;
    int preselectedDayId_ = -1;
    int result_ = -1;
};
