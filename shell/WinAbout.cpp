#include "shell/WinAbout.h"

#include "shell/FormatText.h"
#include "shell/WinStart.h"

namespace {
constexpr const char* kProductName = "Kestavo";
}  // namespace

void WinAbout::Open(WWindow* parent) { OpenModal(parent); }

void WinAbout::LoadTexts() {
    pictb_2->SetPicture(":/pictures/about_camp.png");
    pictb_3->SetPicture(":/pictures/about_cooking.png");
    label_Title->SetText(kProductName);
    label_Version->SetText(FormatText("Release %s", VersionText ? VersionText->c_str() : ""));
    SetText(FormatText("About %s", kProductName));
}

bool WinAbout::OnOK(WEventData&) {
    splash_.Show(this);
    PostClose();
    return false;
}
