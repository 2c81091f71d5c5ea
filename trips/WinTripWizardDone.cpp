#include "trips/WinTripWizardDone.h"

#include "shell/WinStart.h"

namespace {
constexpr int kHelpTripWizard = 119;
}  // namespace

void WinTripWizardDone::Show(WWindow* parent) {
    WinTripWizardDone page;
    page.OpenModal(parent);
}

bool WinTripWizardDone::OnClose(WEventData&) {
    Close();
    return true;
}

bool WinTripWizardDone::OnHelp(WEventData&) {
    if (MainWindow) MainWindow->ShowHelp(kHelpTripWizard);
    return true;
}
