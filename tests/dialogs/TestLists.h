#pragma once
// A modeless form with two sorted list boxes wired to a SelLists as the program's forms wire
// theirs, a selection text box, and a list view for the find dialog.

#include "__TestLists_Base.h"
#include "shell/SelLists.h"

class TestLists : public __TestLists_Base {
public:
    SelLists sel;
    SelListsData data;
    int drops = 0;

    WListBox* Chosen() const { return lb_Chosen; }
    WListBox* Available() const { return lb_Available; }
    WTextBox* SelectionText() const { return textb_Selection; }
    WListView* Rows() const { return lv_Rows; }

    void FillFrom(const std::string& noun, bool withSelectionText = true) {
        sel.Fill(lb_Chosen, lb_Available, data, noun, this, withSelectionText ? textb_Selection : nullptr);
    }

protected:
    bool OnDoubleClick(WEventData& event) override { sel.DoubleClick(event); return false; }
    bool OnDragStart(WEventData& event) override { sel.BeginDrag(event); return false; }
    bool OnDragMove(WEventData& event) override { sel.DragMove(event); return false; }
    bool OnDrop(WEventData& event) override { ++drops; sel.Drop(event); return false; }
    bool OnDragEnd(WEventData& event) override { sel.EndDrag(event); return false; }
    bool OnSelect(WEventData& event) override { sel.SelectionChanged(event); return false; }
};
