#include "platform/db/WDataValue.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

// Leading and trailing blanks are allowed around a number held as text, nothing else.
std::string_view Trimmed(const std::string& text) {
    std::string_view view(text);
    while (!view.empty() && (view.front() == ' ' || view.front() == '\t')) view.remove_prefix(1);
    while (!view.empty() && (view.back() == ' ' || view.back() == '\t')) view.remove_suffix(1);
    return view;
}

bool ParseDouble(const std::string& text, double& out) {
    const std::string_view view = Trimmed(text);
    if (view.empty()) return false;
    const char* first = view.data();
    if (*first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, view.data() + view.size(), out);
    return ec == std::errc() && end == view.data() + view.size();
}

// A double beyond the 64-bit range reads as the nearest 64-bit value: converting it as it is
// would be undefined.
std::int64_t ClampedLong(double d) {
    if (!std::isfinite(d)) return 0;
    if (d >= 9223372036854775807.0) return INT64_MAX;
    if (d <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<std::int64_t>(d);
}

}  // namespace

std::int64_t WDataValue::AsLong() const {
    if (const auto* v = std::get_if<std::int64_t>(&value_)) return *v;
    if (const auto* v = std::get_if<double>(&value_)) return ClampedLong(*v);
    if (const auto* v = std::get_if<std::string>(&value_)) {
        const std::string_view view = Trimmed(*v);
        std::int64_t result = 0;
        const char* first = view.data();
        if (!view.empty() && *first == '+') ++first;
        const auto [end, ec] = std::from_chars(first, view.data() + view.size(), result);
        if (ec == std::errc() && end == view.data() + view.size()) return result;
        double d = 0;
        if (ParseDouble(*v, d)) return ClampedLong(d);
    }
    return 0;
}

double WDataValue::AsDouble() const {
    if (const auto* v = std::get_if<double>(&value_)) return *v;
    if (const auto* v = std::get_if<std::int64_t>(&value_)) return static_cast<double>(*v);
    if (const auto* v = std::get_if<std::string>(&value_)) {
        double d = 0;
        if (ParseDouble(*v, d)) return d;
    }
    return 0.0;
}

std::string WDataValue::AsText() const {
    if (const auto* v = std::get_if<std::string>(&value_)) return *v;
    if (const auto* v = std::get_if<std::int64_t>(&value_)) return std::to_string(*v);
    if (const auto* v = std::get_if<double>(&value_)) {
        // Shortest text that reads back as the same double, always with '.' as the separator.
        char buffer[64];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, *v);
        return ec == std::errc() ? std::string(buffer, end) : std::string();
    }
    if (const auto* v = std::get_if<Bytes>(&value_)) return std::string(v->begin(), v->end());
    return {};
}

WDataValue::Bytes WDataValue::AsBytes() const {
    if (const auto* v = std::get_if<Bytes>(&value_)) return *v;
    if (const auto* v = std::get_if<std::string>(&value_)) return Bytes(v->begin(), v->end());
    if (IsNull()) return {};
    const std::string text = AsText();
    return Bytes(text.begin(), text.end());
}
