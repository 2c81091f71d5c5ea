#pragma once
// The list of all meals, each with the names of its menu items: add, edit, copy, delete, find
// and annotate meals. Opened from the main window and from the trip-stop editor, which re-query
// their own lists afterwards.

#include <optional>
#include <string>

#include "__WinMeals_Base.h"
#include "catalogue/WinEditMeal.h"
#include "shell/WinFindValue.h"
#include "shell/WinNotes.h"

class WinMeals : public __WinMeals_Base {
public:
    // Opens the list modally over parent and returns when it has ended; always true.
    static bool Open(WWindow* parent);

    // Inserts "new_meal" (made unique) and opens the editor on it; the new meal's id, or -1
    // when it could not be inserted (then no editor opens).
    long AddMeal();
    // Re-reads the list and selects the meal (-1: the first row).
    void Refresh(long mealId);

protected:
    void SetupList() override;
    bool EditMeal(WEventData& event) override;
    bool OnAdd(WEventData& event) override;
    bool DeleteMeal(WEventData& event) override;
    bool EditNotes(WEventData& event) override;
    bool CopyMeal(WEventData& event) override;
    bool FindMeal(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnHelp(WEventData& event) override;
    bool OnGridLeftButtonUp(WEventData& event) override;
    bool OnGridRightButtonUp(WEventData& event) override;
    bool OnGridUserEvent(WEventData& event) override;

private:
    struct Meal {
        long id;
        std::string name;
    };
    // The selected meal; none after the "Selection error" message.
    std::optional<Meal> SelectedMeal();
    // -1 when the count cannot be taken.
    long TripMealCount(long mealId);
    // The meal's rows as one unit: its trip meals (when asked), its menu items, the meal.
    void DeleteMealRows(long mealId, bool inUse);
    // The copy and its menu items as one unit; the copy's id, or -1 with nothing written.
    long CopyMealRows(long sourceId, const std::string& copyName);

    WinNotes notes_;
    WinEditMeal editMeal_;
    WinFindValue findValue_;
};
