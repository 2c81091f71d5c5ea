#pragma once
// Page 1 of the add-trip wizard: the new trip's name, location, start date and number of days.
// On OK it writes the trip and one row per day and answers the new trip's id.

#include <string>

#include "__WinTripWizardDetails_Base.h"
#include "trips/WinDatePicker.h"

class WinTripWizardDetails : public __WinTripWizardDetails_Base {
public:
    // Opens the page over parent; the new trip's id, or -1 when the page was cancelled or
    // closed, or when the trip and its days could not all be written.
    static int Show(WWindow* parent);

    int Result() const { return result_; }

protected:
    void SetDefaults() override;
    bool OnDate(WEventData& event) override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    int Open(WWindow* parent);
    void SetUpNumDays();
    void ShowLongDate();
    // The trip and its days as one unit: the id, or -1 with nothing written.
    int InsertTrip(long days);

    int result_ = -1;
    std::string startDate_;   // yyyy-mm-dd, as Trips.trip_date holds it
    WinDatePicker datePicker_;
};
