#pragma once
// The person editor: the name and appetite factor of one person, with a drop-down of standard
// appetite factors and the person's notes. OK saves the row; Cancel and the close box do not.

#include "__WinEditPerson_Base.h"
#include "shell/WinNotes.h"

class WinEditPerson : public __WinEditPerson_Base {
public:
    // Opens the editor over parent on the person; true when OK saved the row.
    bool Edit(WWindow* parent, long personId);

protected:
    void LoadPerson() override;
    bool OnAppetiteSelect(WEventData& event) override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool EditNotes(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    long personId = -1;
    bool result = false;
    WDataValue personParameter;
    WinNotes notes;
};
