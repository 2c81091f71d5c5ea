#include "shell/WinOptions.h"

#include <algorithm>

#include "shell/WinStart.h"

namespace {

constexpr int kOptionsHelpTopic = 128;

// The list positions are the option values; a value the list does not offer (the options file
// may hold units 4) shows as the first entry, so that OK never stores "no entry".
void SelectPosition(WComboBox* combo, int position) {
    combo->SetSelected(position >= 0 && position < combo->GetCount() ? position : 0);
}

int SelectedPosition(const WComboBox* combo) { return std::max(0, combo->GetSelected()); }

}  // namespace

bool WinOptions::Run(WWindow* parent) {
    ok_ = false;
    OpenModal(parent);
    return ok_;
}

void WinOptions::ShowOptions() {
    SelectPosition(combo_Units, TheOptions->ingredientUnits);
    SelectPosition(combo_CookingMeasures, TheOptions->cookingMeasure);
    checkbox_StartupHelp->SetChecked(TheOptions->startupHelp);
    checkbox_StartupConvert->SetChecked(TheOptions->startupConvert);
}

bool WinOptions::OnOK(WEventData&) {
    ok_ = true;
    TheOptions->ingredientUnits = SelectedPosition(combo_Units);
    TheOptions->startupHelp = checkbox_StartupHelp->GetChecked();
    TheOptions->startupConvert = checkbox_StartupConvert->GetChecked();
    TheOptions->cookingMeasure = SelectedPosition(combo_CookingMeasures);
    PostClose();
    return false;
}

bool WinOptions::OnCancel(WEventData&) {
    PostClose();
    return false;
}

bool WinOptions::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kOptionsHelpTopic);
    return true;
}
