#pragma once
// The travellers of one trip: the people who go on it, chosen between two lists. Page 2 of the
// add-trip wizard, and the trip editor's "Edit Trip Travelers" dialog, which also keeps the
// trip's meal guests in step with the change.

#include <set>

#include "__WinTripWizardTravellers_Base.h"
#include "shell/SelLists.h"

class WinTripWizardTravellers : public __WinTripWizardTravellers_Base {
public:
    // Opens the page over parent for the trip; true when the user pressed OK and the travellers
    // were written, false when the page was cancelled or closed (or the writes failed and were
    // taken back). wizardMode: the add-trip wizard; else the trip editor's edit mode.
    static bool Show(WWindow* parent, int tripId, bool wizardMode);

protected:
    void LoadTravellers() override;
    bool OnListDoubleClick(WEventData& event) override;
    bool OnListBeginDrag(WEventData& event) override;
    bool OnListDragMove(WEventData& event) override;
    bool OnListDrop(WEventData& event) override;
    bool OnListEndDrag(WEventData& event) override;
    bool OnAdd(WEventData& event) override;
    bool OnRemove(WEventData& event) override;
    bool OnClearAll(WEventData& event) override;
    bool OnAddPerson(WEventData& event) override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    bool Open(WWindow* parent, int tripId, bool wizardMode);
    // The rewrite of the travellers (and in edit mode of the guests) as one unit.
    bool SaveTravellers();
    bool WriteTravellers(const std::vector<long>& tripStops);
    bool RemoveFormerTravellersFromGuests(const std::vector<long>& tripStops);
    bool AskToAddAsGuest(int chosenIndex);
    std::vector<long> TripStops();

    int tripId_ = -1;
    bool result_ = false;
    bool wizardMode_ = true;
    SelLists selLists_;
    SelListsData selData_;
    std::set<long> startingTravellers_;
};
