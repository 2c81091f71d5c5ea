#include "platform/db/WDataValue.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

struct ConversionCase {
    std::string name;
    WDataValue value;
    std::int64_t asLong;
    double asDouble;
    std::string asText;
};

std::ostream& operator<<(std::ostream& out, const ConversionCase& c) { return out << c.name; }

class WDataValueConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(WDataValueConversionTest, ConvertsWithoutThrowing) {
    const ConversionCase& c = GetParam();
    EXPECT_EQ(c.value.AsLong(), c.asLong);
    EXPECT_DOUBLE_EQ(c.value.AsDouble(), c.asDouble);
    EXPECT_EQ(c.value.AsText(), c.asText);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WDataValueConversionTest,
    ::testing::Values(ConversionCase{"Null", WDataValue(), 0, 0.0, ""},
                      ConversionCase{"Integer", WDataValue(42), 42, 42.0, "42"},
                      ConversionCase{"NegativeInteger", WDataValue(-7LL), -7, -7.0, "-7"},
                      ConversionCase{"Double", WDataValue(1.5), 1, 1.5, "1.5"},
                      ConversionCase{"WholeDouble", WDataValue(2.0), 2, 2.0, "2"},
                      ConversionCase{"IntegerText", WDataValue("17"), 17, 17.0, "17"},
                      ConversionCase{"DecimalText", WDataValue(" 2.25 "), 2, 2.25, " 2.25 "},
                      ConversionCase{"WordText", WDataValue("oats"), 0, 0.0, "oats"},
                      ConversionCase{"DoubleBeyondTheLongRangeIsTheNearestLong", WDataValue(1.5e21), INT64_MAX, 1.5e21,
                                     "1.5e+21"},
                      ConversionCase{"TextBeyondTheLongRangeIsTheNearestLong", WDataValue("-2e30"), INT64_MIN, -2e30,
                                     "-2e30"},
                      ConversionCase{"EmptyText", WDataValue(""), 0, 0.0, ""},
                      ConversionCase{"Bytes", WDataValue(WDataValue::Bytes{'a', 0, 'b'}), 0, 0.0,
                                     std::string("a\0b", 3)}),
    [](const auto& info) { return info.param.name; });

TEST(WDataValueTest, KindsAndNull) {
    EXPECT_TRUE(WDataValue::Null().IsNull());
    EXPECT_TRUE(WDataValue(3).IsLong());
    EXPECT_TRUE(WDataValue(3.0).IsDouble());
    EXPECT_TRUE(WDataValue("x").IsText());
    EXPECT_TRUE(WDataValue(WDataValue::Bytes{}).IsBytes());
    WDataValue v("x");
    v.SetNull();
    EXPECT_TRUE(v.IsNull());
    EXPECT_EQ(WDataValue("ab").AsBytes(), (WDataValue::Bytes{'a', 'b'}));
    EXPECT_TRUE(WDataValue().AsBytes().empty());
}

TEST(WDataValueTest, NumbersUseAPointWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fi_FI.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(WDataValue(0.5).AsText(), "0.5");
    EXPECT_DOUBLE_EQ(WDataValue("0.5").AsDouble(), 0.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
