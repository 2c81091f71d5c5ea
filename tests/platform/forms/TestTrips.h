#pragma once
// A small modeless list form with a grid bound to a query, a menu bar and a pop-up menu.

#include <vector>

#include "__TestTrips_Base.h"

class TestTrips : public __TestTrips_Base {
public:
    std::vector<std::string> edits_;   // the trip ids the form was asked to edit
    std::vector<long> doubleClickRows_;
    int destroyed_ = 0;

    WGrid* Grid() const { return grid_Trips; }
    WQuery* Query() const { return query_Trips; }
    WMenu* Menu() const { return menu_1; }
    WPopupMenu* Popup() const { return popup_Trips; }

protected:
    bool OnStartup(WEventData&) override { return false; }
    bool OnEditButton(WEventData&) override { return EditSelected(); }
    bool OnPopupEditTrip(WEventData&) override { return EditSelected(); }
    bool OnTripsDoubleClick(WEventData& event) override {
        doubleClickRows_.push_back(event.row);
        if (event.row != kNoRow) EditSelected();
        return false;
    }
    bool OnTripsRightButtonUp(WEventData& event) override {
        if (event.row >= 0) grid_Trips->SetCurrentRow(event.row);
        return false;
    }
    bool OnMenuExit(WEventData&) override {
        Close();
        return false;
    }

private:
    bool EditSelected() {
        const long row = grid_Trips->GetCurrentRow();
        if (row >= 0) edits_.push_back(grid_Trips->GetCellText(row, 3));
        return false;
    }
};
