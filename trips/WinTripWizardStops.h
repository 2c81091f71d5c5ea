#pragma once
// Page 3 of the add-trip wizard: the food stops that every day of the new trip gets. On OK each
// day gets one trip stop per chosen food stop, and every traveller becomes a guest of each.

#include "__WinTripWizardStops_Base.h"
#include "shell/SelLists.h"

class WinTripWizardStops : public __WinTripWizardStops_Base {
public:
    // Opens the page over parent for the new trip; true after OK with the stops and guests
    // written, false when the page was cancelled or closed, or when they could not all be
    // written (then none are).
    static bool Show(WWindow* parent, int tripId);

protected:
    void LoadStops() override;
    bool OnListDoubleClick(WEventData& event) override;
    bool OnListBeginDrag(WEventData& event) override;
    bool OnListDragMove(WEventData& event) override;
    bool OnListDrop(WEventData& event) override;
    bool OnListEndDrag(WEventData& event) override;
    bool OnAdd(WEventData& event) override;
    bool OnRemove(WEventData& event) override;
    bool OnClearAll(WEventData& event) override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    bool Open(WWindow* parent, int tripId);
    bool SaveStops();
    bool AddStop(long dayId, int foodStopId);

    int tripId_ = -1;
    bool result_ = false;
    SelLists selLists_;
    SelListsData selData_;
};
