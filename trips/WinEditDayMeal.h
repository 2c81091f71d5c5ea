#pragma once
// The editor of one trip stop: its day and food stop, and the meals and single menu items eaten
// there, chosen from one list in which each may be chosen more than once. From here the user
// also edits the stop's guests and notes and the catalogue's menu items and meals.

#include "__WinEditDayMeal_Base.h"
#include "shell/SelLists.h"
#include "shell/WinFindValue.h"
#include "shell/WinNotes.h"
#include "trips/WinMealGuests.h"

class WinEditDayMeal : public __WinEditDayMeal_Base {
public:
    // Opens the editor over parent for the stop; returns when it has closed.
    void Edit(WWindow* parent, int stopId);

protected:
    void LoadStop() override;
    bool OnMealGuests(WEventData& event) override;
    bool OnFind(WEventData& event) override;
    bool OnEditCourses(WEventData& event) override;
    bool OnEditMeals(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnNotes(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    // Both lists from the catalogue and the stop's stored choice.
    void LoadLists();
    void AddCatalogue(const char* statement, const char* entryFormat, int kind);
    void AddChosen(const char* statementFormat, int kind);
    // The chosen meals and menu items and the stop's row, as one unit; the trip is stamped when
    // they were written. False, with the stored stop as it was, when they could not all be.
    bool Save();
    bool WriteChosenFood();
    bool WriteStopRow();

    int stopId_ = -1;
    SelLists selLists_;
    SelListsData selData_;
    int tripId_ = -1;

    WinNotes notes_;
    WinMealGuests mealGuests_;
    WinFindValue findValue_;
};
