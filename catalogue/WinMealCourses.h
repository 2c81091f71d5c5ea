#pragma once
// The catalogue of menu items: one grid of every row of Courses, and the commands that add,
// edit, delete, copy, find and annotate them. Every change is written at once.

#include "__WinMealCourses_Base.h"
#include "catalogue/WinEditCourse.h"
#include "shell/WinFindValue.h"
#include "shell/WinNotes.h"

class WinMealCourses : public __WinMealCourses_Base {
public:
    // Opens the list over parent; false only when the user left through Cancel, which is shown
    // in select mode only.
    bool Open(WWindow* parent, bool selectMode);
    // Re-reads the list and selects the row of the id; -1 selects the first row.
    void Refresh(long id);

protected:
    void SetupList() override;
    bool EditMenuItem(WEventData& event) override;
    bool AddMenuItem(WEventData& event) override;
    bool DeleteMenuItem(WEventData& event) override;
    bool EditNotes(WEventData& event) override;
    bool CopyMenuItem(WEventData& event) override;
    bool FindMenuItem(WEventData& event) override;
    bool OnCloseButton(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnCoursesLeftButtonUp(WEventData& event) override;
    bool OnCoursesRightButtonUp(WEventData& event) override;
    bool OnCoursesUserEvent(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    // The id and name of the selected row; false after the selection message.
    bool SelectedMenuItem(long& id, std::string& name);
    long UseCount(const char* select, const char* table, long id);
    bool ConfirmDelete(const std::string& name, bool inUse);
    bool DeleteWithChildren(long id, bool inUse);
    long CopyWithLinesAndRecipe(long sourceId, const std::string& name);

    bool result = true;
    bool selectMode = false;
    WinNotes notes;
    WinEditCourse editCourse;
    WinFindValue findValue;
};
