#pragma once
// Edits one meal: its name and the menu items it is made of, chosen between two lists (the
// meal's on the left, every menu item on the right; a menu item may be chosen more than once).
// Close saves the meal; the close box leaves it as it was at the last save.

#include "__WinEditMeal_Base.h"
#include "shell/SelLists.h"
#include "shell/WinFindValue.h"
#include "shell/WinNotes.h"

class WinEditMeal : public __WinEditMeal_Base {
public:
    // Opens the editor modally over parent on the meal; returns when it has ended.
    void Edit(WWindow* parent, long mealId);

protected:
    void LoadMeal() override;
    bool OnListDoubleClick(WEventData& event) override;
    bool OnListBeginDrag(WEventData& event) override;
    bool OnListDragMove(WEventData& event) override;
    bool OnListDrop(WEventData& event) override;
    bool OnListEndDrag(WEventData& event) override;
    bool OnListSelect(WEventData& event) override;
    bool OnAdd(WEventData& event) override;
    bool OnRemove(WEventData& event) override;
    bool OnClearAll(WEventData& event) override;
    bool OnFind(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool EditAllMenuItems(WEventData& event) override;
    bool EditNotes(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void FillLists();
    // The name (kept unique), the menu items as chosen and the stamp; false, with the message
    // "Meal not saved" and the meal's menu items as they were, when they could not be written.
    bool SaveMeal();
    bool WriteMenuItems();

    long mealId_ = -1;
    SelLists selLists_;
    SelListsData selData_;
    WinNotes notes_;
    WinFindValue findValue_;
};
