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

struct Scanned {
    std::optional<double> number;
    std::string_view rest;   // what follows the number
};

// Reads the number at the start of the text, after blanks.
Scanned ScanNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    std::string plain;   // the number with '.' as its separator, for from_chars
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool separator = false;
    bool digits = false;
    std::size_t used = 0;
    for (; used < text.size(); ++used) {
        const char c = text[used];
        if (IsDigit(c)) {
            digits = true;
            plain += c;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
            plain += '.';
        } else {
            break;
        }
    }
    if (!digits) return {std::nullopt, text};
    if (plain.front() == '.') plain.insert(plain.begin(), '0');   // from_chars wants a digit first
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return {std::nullopt, text};
    return {negative ? -value : value, text.substr(used)};
}

}  // namespace

std::optional<double> ParseUserNumber(std::string_view text) {
    const Scanned scanned = ScanNumber(text);
    if (!Trimmed(scanned.rest).empty()) return std::nullopt;
    return scanned.number;
}

std::optional<double> ParseLeadingUserNumber(std::string_view text) { return ScanNumber(text).number; }

std::optional<double> ParseUserQuantity(std::string_view text) {
    const std::optional<double> number = ParseUserNumber(text);
    if (!number || *number < 0) return std::nullopt;
    return *number + 0.0;   // -0 becomes 0
}

void ShowInvalidNumber(WWindow* field, const std::string& typed) {
    WWindow* owner = field && field->GetForm() ? static_cast<WWindow*>(field->GetForm()) : field;
    const std::optional<double> number = ParseUserNumber(typed);
    const std::string why = number && *number < 0
                                ? "' is below zero.\r\nThe number must not be negative; type a number such as 1.5."
                                : "' is not a number.\r\nType a number such as 1.5.";
    MessageBox(owner, "Invalid number", "'" + typed + why, WMessageIcon::Exclamation, WMessageButtons::OK);
    if (!field) return;
    field->SetFocus();
    if (auto* box = dynamic_cast<WTextBox*>(field)) box->SetSelection(0, static_cast<int>(ToQt(box->GetText()).size()));
}
