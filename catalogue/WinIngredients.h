#pragma once
// The catalogue of ingredients: the list of all of them and, below it, the details of the
// selected one. Edits stay in the detail controls and are written when the user leaves the row
// (another row, a command, Close). With safe editing on, an existing ingredient stays locked
// until the user presses Edit; new rows (Add, Copy) open unlocked.

#include <string>

#include "__WinIngredients_Base.h"
#include "platform/db/WDataValue.h"
#include "shell/WinFindValue.h"
#include "shell/WinNotes.h"

class WinIngredients : public __WinIngredients_Base {
public:
    // Opens the form modally over parent and returns when it has ended; every change is
    // written while it is open, so callers re-query their own lists. Always true.
    bool Open(WWindow* parent);

protected:
    void SetUpIngredients() override;

    bool OnAdd(WEventData& event) override;
    bool OnDelete(WEventData& event) override;
    bool OnNotes(WEventData& event) override;
    bool OnCopy(WEventData& event) override;
    bool OnFind(WEventData& event) override;
    bool OnDefaultCourse(WEventData& event) override;
    bool OnEditIngredient(WEventData& event) override;
    bool OnSafeEdits(WEventData& event) override;
    bool OnCloseButton(WEventData& event) override;
    bool OnHelp(WEventData& event) override;
    bool OnUserEvent(WEventData& event) override;

    bool OnRowChange(WEventData& event) override;
    bool OnNameChange(WEventData& event) override;
    bool OnUnitSizeNameChange(WEventData& event) override;
    bool OnGridClick(WEventData& event) override;
    bool OnGridDoubleClick(WEventData& event) override;
    bool OnGridRightButtonUp(WEventData& event) override;
    bool OnGridUserEvent(WEventData& event) override;

private:
    // What leaving the row came to: Stopped when a typed number was refused (the user has
    // been told, the focus is back in the field) and the leaving command must not go on.
    enum class SaveResult { NotSaved, Saved, Stopped };

    // Runs the list's query again, then shows its rows with the ingredient id (-1: the first).
    void Refresh(long id);
    void ShowRows(long id);
    void LoadDetails();
    SaveResult SaveIfDirty(bool requery);
    bool IsEditable() const;

    void AddIngredient();
    void DeleteIngredient();
    void EditNotes();
    void CopyIngredient();
    void FindIngredient();
    // The one line of a default menu item: amount 1 in the ingredient's default measure, in
    // portions when the ingredient has them.
    struct DefaultLine {
        long measure = -1;   // -1: the ingredient has no default measure
        long portions = 0;
    };
    void CreateDefaultMenuItem();
    void RefuseDefaultMenuItem(const char* caption, const std::string& reason);
    // False when the shown ingredient's row cannot be read.
    bool ReadDefaultLine(DefaultLine& line);
    // The menu item row and its one line; false when a row cannot be written.
    bool InsertDefaultMenuItem(const std::string& escapedName, const DefaultLine& line);
    bool DeleteWithLines(long id, bool linesFirst);
    // Shows a new row, unlocked, with its name selected for typing; -1 (the insert failed)
    // leaves the current row as it was.
    void OpenNewRow(long id);
    void FocusNameForTyping();   // the name box focused, its whole text selected
    long IdOfRow(long row) const;
    void SelectCurrentRow();

    long currentId = -1;
    bool loaded = false;
    bool nameChanged = false;
    bool busy = false;
    bool unlocked = false;
    WDataValue parameterValue;

    WinNotes notes;
    WinFindValue findValue;
};
