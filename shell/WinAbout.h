#pragma once
// The about box: the program's name, its release with the version text, two pictures and the
// web and e-mail contacts. OK shows the picture window first where the options ask for it.

#include "__WinAbout_Base.h"
#include "shell/WinSplash.h"

class WinAbout : public __WinAbout_Base {
public:
    void Open(WWindow* parent);

protected:
    void LoadTexts() override;
    bool OnOK(WEventData& event) override;

private:
    WinSplash splash_;
};
