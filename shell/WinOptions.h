#pragma once
// The options dialog: the report units, the cooking-measure rule and whether the quick help
// and the converter open at start. OK writes them into the options record; the options file
// is written when the main window closes.

#include "__WinOptions_Base.h"

class WinOptions : public __WinOptions_Base {
public:
    // True when the user pressed OK (the record then holds the dialog's values).
    bool Run(WWindow* parent);

protected:
    void ShowOptions() override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    bool ok_ = false;
};
