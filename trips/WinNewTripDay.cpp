#include "trips/WinNewTripDay.h"

#include "shell/WinStart.h"

namespace {
constexpr int kHelpTripDays = 122;
}  // namespace

bool WinNewTripDay::Open(WWindow* parent, bool* atEnd) {
    okPressed_ = false;
    atEnd_ = atEnd;
    OpenModal(parent);
    return okPressed_;
}

bool WinNewTripDay::OnOK(WEventData&) {
    okPressed_ = true;
    *atEnd_ = optb_End->GetChecked();
    PostClose();
    return true;
}

bool WinNewTripDay::OnCancel(WEventData&) {
    PostClose();
    return true;
}

bool WinNewTripDay::OnHelp(WEventData&) {
    if (MainWindow) MainWindow->ShowHelp(kHelpTripDays);
    return true;
}
