#pragma once
// The people list: every person who can travel on a trip, with Edit, Add, Delete and Notes.
// The main window owns one and opens it from its People button and "Edit people...".

#include <optional>
#include <string>

#include "__WinPeople_Base.h"
#include "catalogue/WinEditPerson.h"
#include "shell/WinNotes.h"

class WinPeople : public __WinPeople_Base {
public:
    void Open(WWindow* parent);
    // Re-reads the list and selects the person (-1: the first row).
    void Refresh(long personId);

protected:
    void SetupList() override;
    bool EditPerson(WEventData& event) override;
    bool AddPerson(WEventData& event) override;
    bool DeletePerson(WEventData& event) override;
    bool EditNotes(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnHelp(WEventData& event) override;
    bool OnGridLeftButtonUp(WEventData& event) override;
    bool OnGridRightButtonUp(WEventData& event) override;
    bool OnGridUserEvent(WEventData& event) override;

private:
    struct Person {
        long id;
        std::string name;
    };
    // The selected person; none after the "Selection error" message.
    std::optional<Person> SelectedPerson();
    // The person's rows as one unit: their travels and meal places first, then the person.
    void DeletePersonRows(long id, bool onTrips);

    WinEditPerson editPerson;
    WinNotes notes;
};
