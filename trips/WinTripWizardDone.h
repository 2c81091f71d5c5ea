#pragma once
// The last page of the add-trip wizard: fixed texts that say the trip exists and what the user
// may want to refine.

#include "__WinTripWizardDone_Base.h"

class WinTripWizardDone : public __WinTripWizardDone_Base {
public:
    static void Show(WWindow* parent);

protected:
    bool OnClose(WEventData& event) override;
    bool OnHelp(WEventData& event) override;
};
