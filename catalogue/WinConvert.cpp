#include "catalogue/WinConvert.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/forms/UserNumber.h"
#include "shell/WinStart.h"

namespace {

constexpr int kConvertHelpTopic = 141;

// Four decimals with a decimal point, whatever the user's locale.
std::string FormatResult(double value) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
    return error == std::errc() ? std::string(text, end) : std::string();
}

}  // namespace

void WinConvert::AddUnit(std::int32_t measureId, const std::string& text) {
    unitIds_.push_back(measureId);
    unitTexts_.push_back(text);
}

void WinConvert::AddConversion(std::int32_t fromId, std::int32_t toId, double factor) {
    conversions_.push_back({fromId, toId, factor});
}

void WinConvert::Show(WinStart* mainWindow) {
    if (shown_) return;
    mainWindow_ = mainWindow;
    shown_ = true;
    if (!Create(nullptr)) shown_ = false;
}

void WinConvert::Close() {
    if (!shown_) return;
    shown_ = false;
    // At once rather than posted: at exit the main window's own end follows in the event loop,
    // and this window must be gone before the loop ends.
    WForm::Close();
}

void WinConvert::LoadUnits() {
    PlaceBelowMainWindow();
    combo_From->Clear();
    for (std::size_t i = 0; i < unitIds_.size(); ++i) combo_From->AddItem(unitTexts_[i], unitIds_[i]);
    if (combo_From->GetCount() > 0) combo_From->SetSelected(0);
    // An unchecked box says the window will show at the next start.
    if (TheOptions) TheOptions->startupConvert = true;
    FromChanged();
}

// Directly below the main window, left edges in line. When both do not fit above the screen's
// bottom, the main window moves up first (never above the top), then the converter rises.
void WinConvert::PlaceBelowMainWindow() {
    if (!mainWindow_ || !mainWindow_->HasWindow()) return;
    const WRect screen = mainWindow_->GetScreenArea();
    WRect main = mainWindow_->GetFrameRect();
    // Not shown yet, this window has no frame: it will get one as high as the main window's.
    const int height = GetClientRect().height + main.height - mainWindow_->GetClientRect().height;
    const int excess = main.Bottom() + height - screen.Bottom();
    if (excess > 0) {
        main.top = std::max(screen.top, main.top - excess);
        mainWindow_->MoveFrameTo(main.left, main.top);
    }
    const int top = std::min(main.Bottom(), screen.Bottom() - height);
    MoveFrameTo(main.left, top);
}

void WinConvert::FromChanged() {
    const int from = combo_From->GetSelected();
    combo_To->Clear();
    if (from != -1) {
        const auto fromId = static_cast<std::int32_t>(combo_From->GetItemData(from));
        for (std::size_t i = 0; i < conversions_.size(); ++i)
            if (conversions_[i].fromId == fromId)
                combo_To->AddItem(UnitText(conversions_[i].toId), static_cast<std::int64_t>(i));
    }
    if (combo_To->GetCount() > 0) combo_To->SetSelected(0);
    textb_Amount->SetText("1.0");
    Compute();
}

// The amount is the number at the start of the text, with '.' or ',' as its separator ("1,5" and
// "1.5" alike); a word after it is ignored ("2.5 cups"), and a text that does not begin with a
// number gives no result.
void WinConvert::Compute() {
    const std::optional<double> amount = ParseLeadingUserNumber(textb_Amount->GetText());
    const int to = combo_To->GetSelected();
    if (!amount || to == -1) {
        textb_Equals->SetText("");
        return;
    }
    const ConversionDef& conversion = conversions_[static_cast<std::size_t>(combo_To->GetItemData(to))];
    textb_Equals->SetText(FormatResult(conversion.factor * *amount));
}

std::string WinConvert::UnitText(std::int32_t measureId) const {
    const auto unit = std::find(unitIds_.begin(), unitIds_.end(), measureId);
    return unit == unitIds_.end() ? std::string() : unitTexts_[static_cast<std::size_t>(unit - unitIds_.begin())];
}

bool WinConvert::OnFromSelect(WEventData&) {
    FromChanged();
    return false;
}

bool WinConvert::OnAmountChange(WEventData&) {
    Compute();
    return false;
}

bool WinConvert::OnToSelect(WEventData&) {
    Compute();
    return false;
}

bool WinConvert::OnStartupClick(WEventData&) {
    if (TheOptions) TheOptions->startupConvert = !checkbox_Startup->GetChecked();
    return false;
}

bool WinConvert::OnCloseButton(WEventData&) {
    Close();
    return false;
}

bool WinConvert::OnClose(WEventData&) {
    shown_ = false;
    return false;
}

bool WinConvert::OnHelp(WEventData&) {
    if (MainWindow) MainWindow->ShowHelp(kConvertHelpTopic);
    return true;
}
