#pragma once
// The guests of one trip stop: the trip's travellers who eat there stand on the left, the others
// on the right. OK writes the stop's guests anew.

#include "__WinMealGuests_Base.h"
#include "shell/SelLists.h"

class WinMealGuests : public __WinMealGuests_Base {
public:
    // Opens the form over parent for the stop. True after OK with the guests written; false
    // after Cancel or the close box, or when they could not all be written (then the stop keeps
    // the guests it had).
    bool Edit(WWindow* parent, int stopId);

protected:
    void LoadLists() override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void AddTravellers();
    bool SaveGuests();

    bool saved_ = false;
    int stopId_ = -1;
    SelLists selLists_;
    SelListsData selData_;
    int tripId_ = -1;
};
