#include "catalogue/WinResetRecipe.h"

#include "shell/WinStart.h"

namespace {

constexpr std::int32_t kTextFormat = 1;
constexpr std::int32_t kRtfFormat = 2;
constexpr int kRecipeHelpTopic = 134;

}  // namespace

std::int32_t WinResetRecipe::ChooseFormat(WWindow* parent) {
    result = 0;
    OpenModal(parent);
    return result;
}

bool WinResetRecipe::OnOK(WEventData&) {
    result = optb_FormatText->GetChecked() ? kTextFormat : kRtfFormat;
    PostClose();
    return false;
}

bool WinResetRecipe::OnCancel(WEventData&) {
    PostClose();
    return false;
}

bool WinResetRecipe::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kRecipeHelpTopic);
    return true;
}
