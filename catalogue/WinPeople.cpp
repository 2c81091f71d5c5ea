#include "catalogue/WinPeople.h"

#include <cstdlib>

#include "shell/FormatText.h"
#include "shell/TableNames.h"
#include "shell/WinStart.h"

namespace {

constexpr int kPeopleHelpTopic = 116;
constexpr int kNameColumn = 0;
constexpr int kIdColumn = 3;
constexpr const char* kSavepoint = "delete_person";

const char* People() { return TableName(TableId::People); }
const char* PersonNoun() { return TableNoun(TableId::People); }
const char* TripNoun() { return TableNoun(TableId::Trips); }

}  // namespace

void WinPeople::Open(WWindow* parent) { OpenModal(parent); }

void WinPeople::SetupList() {
    pictb_1->SetPicture(":/pictures/people.png");
    Refresh(-1);
}

void WinPeople::Refresh(long personId) {
    query_People->Close();
    query_People->Open();
    grid_People->Refresh();
    if (personId == -1) {
        if (grid_People->GetNumRows() > 0) MainWindow->SelectRow(grid_People, 0);
        return;
    }
    const long row = MainWindow->FindRowById(grid_People, kIdColumn, personId);
    if (row != -1) MainWindow->SelectRow(grid_People, row);
}

std::optional<WinPeople::Person> WinPeople::SelectedPerson() {
    const long row = MainWindow->GetSelectedRow(grid_People, PersonNoun());
    if (row == -1) return std::nullopt;
    const long id = static_cast<long>(std::strtoul(grid_People->GetCellText(row, kIdColumn).c_str(), nullptr, 10));
    return Person{id, grid_People->GetCellText(row, kNameColumn)};
}

bool WinPeople::EditPerson(WEventData&) {
    const std::optional<Person> person = SelectedPerson();
    if (!person) return false;
    editPerson.Edit(this, person->id);
    Refresh(person->id);
    return false;
}

bool WinPeople::AddPerson(WEventData&) {
    std::string name = "new_person";
    MainWindow->MakeUniqueValue(name, People(), "name");
    std::string quoted = name;
    WinStart::EscapeSQL(quoted);
    // A person that did not go in is not edited: the editor would open on another row.
    if (!MainWindow->ExecSQL(FormatText("insert into %s( name ) values( '%s' )", People(), quoted.c_str())))
        return false;
    const long id = MainWindow->FindIdByValue(People(), "name", name, -1);
    Refresh(id);
    if (id == -1) return false;
    const std::optional<Person> person = SelectedPerson();
    if (!person || person->id != id) return false;
    editPerson.Edit(this, id);
    Refresh(id);
    return false;
}

bool WinPeople::DeletePerson(WEventData&) {
    const std::optional<Person> person = SelectedPerson();
    if (!person) return false;
    query_Gen->SetSQL(FormatText("select * from %s where person = %d", TableName(TableId::TripPeople),
                                 static_cast<int>(person->id)));
    const long trips = query_Gen->Open() ? query_Gen->GetNumRows() : -1;
    query_Gen->Close();
    const bool onTrips = trips > 0;
    const WMessageAnswer answer =
        onTrips ? MessageBox(this, "Person is active",
                             FormatText("The %s '%s' is part of one or more %ss.\r\n\r\nAre you sure you want to "
                                        "delete this %s? If you do,they\r\nwill be removed from all %ss that "
                                        "include them.",
                                        PersonNoun(), person->name.c_str(), TripNoun(), PersonNoun(), TripNoun()),
                             WMessageIcon::Exclamation, WMessageButtons::OKCancel)
                : MessageBox(this, "Remove Person?",
                             FormatText("There are no %ss currently including the\r\n%s '%s', but are you sure "
                                        "you want to\r\npermanently delete this %s?\r\n",
                                        TripNoun(), PersonNoun(), person->name.c_str(), PersonNoun()),
                             WMessageIcon::Question, WMessageButtons::OKCancel);
    if (answer != WMessageAnswer::OK) return false;
    DeletePersonRows(person->id, onTrips);
    Refresh(-1);
    return false;
}

void WinPeople::DeletePersonRows(long id, bool onTrips) {
    WinStart& main = *MainWindow;
    const int person = static_cast<int>(id);
    // When the last delete is refused, the travels and meal places that went first come back.
    main.RunAsOneUnit(kSavepoint, [&] {
        return (!onTrips ||
                main.ExecSQL(FormatText("Delete from %s where person = %d", TableName(TableId::TripPeople), person))) &&
               main.ExecSQL(FormatText("delete from %s where person = %d", TableName(TableId::MealPeople), person)) &&
               main.ExecSQL(FormatText("delete from %s where id = %d", People(), person));
    });
}

bool WinPeople::EditNotes(WEventData&) {
    const std::optional<Person> person = SelectedPerson();
    if (!person) return false;
    if (notes.Edit(this, People(), person->id, person->name, false, false)) Refresh(person->id);
    return false;
}

bool WinPeople::OnClose(WEventData&) {
    Close();
    return false;
}

bool WinPeople::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kPeopleHelpTopic);
    return true;
}

bool WinPeople::OnGridLeftButtonUp(WEventData&) {
    MainWindow->PostGridRelayout(grid_People);
    return false;
}

bool WinPeople::OnGridRightButtonUp(WEventData& event) {
    MainWindow->SelectRowAtPoint(grid_People, event);
    return false;
}

bool WinPeople::OnGridUserEvent(WEventData&) {
    MainWindow->UpdateGridScrollBar(grid_People);
    return false;
}
