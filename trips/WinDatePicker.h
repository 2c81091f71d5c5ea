#pragma once
// The small modal dialog in which the user picks a trip's start date on the date control. The
// date travels as the database writes it, "yyyy-mm-dd", and comes back in place on OK.

#include <string>

#include "__WinDatePicker_Base.h"

class WDateControl;

class WinDatePicker : public __WinDatePicker_Base {
public:
    WinDatePicker();
    ~WinDatePicker() override;

    // Opens the dialog over parent on the date in *date. True on OK, with *date rewritten as
    // "%d-%02d-%02d" of the chosen year, month and day; false (and *date untouched) otherwise.
    bool Pick(WWindow* parent, std::string* date);

protected:
    void SetTabOrder() override;
    void LoadDate() override;
    bool OnOk(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    bool ReleaseDateControl(WEventData& event);

    WDateControl* ctDate_Date = nullptr;
    std::string* dateText_ = nullptr;
    bool okPressed_ = false;
    char dateTable_ = 0;   // tag of the date control's tear-down while the window exists
};
