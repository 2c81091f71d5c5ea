#include "trips/WinDatePicker.h"

#include <cstdint>
#include <cstdio>

#include "platform/forms/WDateControl.h"
#include "shell/WinStart.h"

namespace {
constexpr int kHelpTripDate = 127;
}  // namespace

WinDatePicker::WinDatePicker() = default;

WinDatePicker::~WinDatePicker() { RemoveEventHandlers(&dateTable_); }

bool WinDatePicker::Pick(WWindow* parent, std::string* date) {
    okPressed_ = false;
    dateText_ = date;
    OpenModal(parent);
    return okPressed_;
}

void WinDatePicker::SetTabOrder() { WForm::SetTabOrder({ctDate_Date, cb_Ok, cb_Cancel}); }

void WinDatePicker::LoadDate() {
    // The date control is no item of the template: it is made here, left of the buttons.
    ctDate_Date = new WDateControl(this, "ctDate_Date");
    ctDate_Date->PlaceFirstInLayout();
    SetEventHandler(DestroyEvent, this, &WinDatePicker::ReleaseDateControl, &dateTable_);
    SetTabOrder();

    // Only the parts that the text holds are set; the rest stays as the control shows it.
    int year = 0, month = 0, day = 0;
    const int read = dateText_ ? std::sscanf(dateText_->c_str(), "%d-%d-%d", &year, &month, &day) : 0;
    if (read >= 1) ctDate_Date->SetYear(static_cast<std::int16_t>(year));
    if (read >= 2) ctDate_Date->SetMonth(static_cast<std::int16_t>(month));
    if (read >= 3) ctDate_Date->SetDay(static_cast<std::int16_t>(day));
    ctDate_Date->SetFocus();
}

bool WinDatePicker::OnOk(WEventData&) {
    const int year = ctDate_Date->GetYear();
    const int month = ctDate_Date->GetMonth();
    const int day = ctDate_Date->GetDay();
    if (dateText_) WinStart::FormatDate(*dateText_, year, month, day, false);
    okPressed_ = true;
    PostClose();
    return false;
}

bool WinDatePicker::OnCancel(WEventData&) {
    PostClose();
    return false;
}

bool WinDatePicker::OnHelp(WEventData&) {
    if (MainWindow) MainWindow->ShowHelp(kHelpTripDate);
    return true;
}

bool WinDatePicker::ReleaseDateControl(WEventData&) {
    RemoveEventHandlers(&dateTable_);
    delete ctDate_Date;
    ctDate_Date = nullptr;
    return false;   // the generated tear-down goes on
}
