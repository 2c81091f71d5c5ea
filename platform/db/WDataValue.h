#pragma once
// One value of a query: NULL, a 64-bit integer, a double, a text or bytes.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

class WDataValue {
public:
    using Bytes = std::vector<std::uint8_t>;

    WDataValue() = default;
    WDataValue(long long v) : value_(static_cast<std::int64_t>(v)) {}
    WDataValue(long v) : value_(static_cast<std::int64_t>(v)) {}
    WDataValue(int v) : value_(static_cast<std::int64_t>(v)) {}
    WDataValue(double v) : value_(v) {}
    WDataValue(std::string v) : value_(std::move(v)) {}
    WDataValue(const char* v) : value_(std::string(v)) {}
    WDataValue(Bytes v) : value_(std::move(v)) {}

    static WDataValue Null() { return {}; }

    bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsLong() const { return std::holds_alternative<std::int64_t>(value_); }
    bool IsDouble() const { return std::holds_alternative<double>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }
    bool IsBytes() const { return std::holds_alternative<Bytes>(value_); }

    // Conversions never throw: a value that does not convert reads as 0, 0.0, "" or no bytes.
    std::int64_t AsLong() const;
    double AsDouble() const;
    std::string AsText() const;   // numbers in the C locale; NULL as ""
    Bytes AsBytes() const;

    void SetNull() { value_ = std::monostate{}; }

    bool operator==(const WDataValue&) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string, Bytes> value_;
};
