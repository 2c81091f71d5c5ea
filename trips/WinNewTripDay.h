#pragma once
// The question before a day is added to a trip: at its beginning or at its end.

#include "__WinNewTripDay_Base.h"

class WinNewTripDay : public __WinNewTripDay_Base {
public:
    // True on OK, with *atEnd set to whether the end was chosen; false leaves *atEnd as it was.
    bool Open(WWindow* parent, bool* atEnd);

protected:
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    bool okPressed_ = false;
    bool* atEnd_ = nullptr;
};
