#include "platform/forms/UserNumber.h"

#include <charconv>
#include <cmath>

#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WPrompter.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<double> ParseUserNumber(std::string_view text) {
    text = Trimmed(text);
    std::string plain;   // the number with '.' as its separator, for from_chars
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool separator = false;
    bool digits = false;
    for (char c : text) {
        if (IsDigit(c)) {
            digits = true;
            plain += c;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
            plain += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    if (plain.front() == '.') plain.insert(plain.begin(), '0');   // from_chars wants a digit first
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

void ShowInvalidNumber(WWindow* field, const std::string& typed) {
    WWindow* owner = field && field->GetForm() ? static_cast<WWindow*>(field->GetForm()) : field;
    MessageBox(owner, "Invalid number", "'" + typed + "' is not a number.\r\nType a number such as 1.5.",
               WMessageIcon::Exclamation, WMessageButtons::OK);
    if (!field) return;
    field->SetFocus();
    if (auto* box = dynamic_cast<WTextBox*>(field)) box->SetSelection(0, static_cast<int>(ToQt(box->GetText()).size()));
}
