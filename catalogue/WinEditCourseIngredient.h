#pragma once
// One ingredient line of a menu item: how much of the ingredient, and whether the amount counts
// a measure of the ingredient's default measure's type or the ingredient's named portions. The
// controls shown follow the ingredient; OK writes the line and stamps the menu item.

#include "__WinEditCourseIngredient_Base.h"
#include "platform/db/WDataValue.h"

class WinEditCourseIngredient : public __WinEditCourseIngredient_Base {
public:
    // True when the line was written through OK.
    bool Edit(WWindow* parent, long lineId, long courseId);

protected:
    void LoadLine() override;
    bool OnMeasureSelected(WEventData& event) override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void ShowControlsFor(bool unitsOnly, bool hasPortion);

    bool saved = false;
    long lineId = -1;
    long courseId = -1;
    WDataValue parameterValue;
    WDataValue measureType;
};
