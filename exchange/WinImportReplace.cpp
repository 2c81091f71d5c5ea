#include "exchange/WinImportReplace.h"

#include "platform/forms/GuiCall.h"
#include "shell/FormatText.h"
#include "shell/WinStart.h"

namespace {

constexpr int ImportHelpTopic = 129;

}  // namespace

void WinImportReplace::Reset() {
    choice = KeepNew;
    sameForRest = false;
}

std::int32_t WinImportReplace::Ask(WWindow* parent, const std::string& name, const std::string& noun) {
    if (sameForRest) return choice;
    itemName = name;
    itemNoun = noun;
    GuiCall([&] { return OpenModal(parent); });
    return choice;
}

void WinImportReplace::ShowQuestion() {
    label_Msg->SetText(FormatText("A %s with the value '%s' already exists.\r\n\r\nYou have three different options "
                                  "to handle this:",
                                  itemNoun.c_str(), itemName.c_str()));
    WOptionButton* current = choice == KeepOriginal ? optb_KeepOriginal : choice == KeepNew ? optb_KeepNew : optb_KeepBoth;
    current->SetChecked(true);
}

void WinImportReplace::TakeChoice() {
    choice = optb_KeepOriginal->GetChecked() ? KeepOriginal : optb_KeepNew->GetChecked() ? KeepNew : KeepBoth;
}

bool WinImportReplace::OnCloseClick(WEventData&) {
    TakeChoice();
    PostClose();
    return false;
}

bool WinImportReplace::OnSame(WEventData&) {
    sameForRest = true;
    TakeChoice();
    PostClose();
    return false;
}

bool WinImportReplace::OnHelp(WEventData&) {
    MainWindow->ShowHelp(ImportHelpTopic);
    return true;
}
