#include "catalogue/WinEditPerson.h"

#include "shell/FormatText.h"
#include "shell/TableNames.h"
#include "shell/WinStart.h"

namespace {

constexpr int kEditPersonHelpTopic = 117;

// The factors that the entries 1 to 5 of the appetite drop-down stand for; entry 0 is the prompt.
constexpr double kAppetiteFactors[] = {0.0, 0.50, 0.80, 1.00, 1.20, 1.50};

const char* People() { return TableName(TableId::People); }

}  // namespace

bool WinEditPerson::Edit(WWindow* parent, long id) {
    personId = id;
    result = false;
    OpenModal(parent);
    return result;
}

void WinEditPerson::LoadPerson() {
    personParameter = WDataValue(personId);
    query_Person->SetParameter(1, personParameter);
    binding_Person->Load();
    combo_Appetite->SetSelected(0);
}

bool WinEditPerson::OnAppetiteSelect(WEventData&) {
    const int entry = combo_Appetite->GetSelected();
    if (entry >= 1 && entry <= 5) textb_Appetite->SetText(FormatText("%.2lf", kAppetiteFactors[entry]));
    return false;
}

bool WinEditPerson::OnOK(WEventData&) {
    // An appetite that is not a number is never stored: the editor stays open on it.
    if (!binding_Person->Validate()) return false;
    MainWindow->EnsureUniqueName(textb_Person, People(), TableNoun(TableId::People), personId);
    result = binding_Person->Save() == WRowSave::Saved;
    if (result) MainWindow->TouchModified(People(), personId);
    PostClose();
    return false;
}

bool WinEditPerson::OnCancel(WEventData&) {
    Close();
    return false;
}

bool WinEditPerson::EditNotes(WEventData&) {
    notes.Edit(this, People(), personId, textb_Person->GetText(), false, false);
    return false;
}

bool WinEditPerson::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kEditPersonHelpTopic);
    return true;
}
