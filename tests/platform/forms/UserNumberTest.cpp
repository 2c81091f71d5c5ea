#include "platform/forms/UserNumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>

namespace {

struct NumberCase {
    const char* name;
    friend void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }
    const char* text;
    std::optional<double> expected;
};

class UserNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(UserNumberTest, ReadsTheNumberOrNothing) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(ParseUserNumber(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, UserNumberTest, testing::Values(
    NumberCase{"point", "1.5", 1.5},
    NumberCase{"comma", "1,5", 1.5},
    NumberCase{"blanksAndTabsAround", " \t1.5  ", 1.5},
    NumberCase{"whole", "12", 12.0},
    NumberCase{"leadingSeparator", ".5", 0.5},
    NumberCase{"trailingSeparator", "2.", 2.0},
    NumberCase{"minus", "-0,8", -0.8},
    NumberCase{"plus", "+3", 3.0},
    NumberCase{"empty", "", std::nullopt},
    NumberCase{"blanks", "   ", std::nullopt},
    NumberCase{"word", "abc", std::nullopt},
    NumberCase{"separatorOnly", ",", std::nullopt},
    NumberCase{"signOnly", "-", std::nullopt},
    NumberCase{"twoSeparators", "1.000,5", std::nullopt},
    NumberCase{"thousandsComma", "1,000.5", std::nullopt},
    NumberCase{"blankInside", "1 5", std::nullopt},
    NumberCase{"unitAfter", "2 cups", std::nullopt},
    NumberCase{"exponent", "1e3", std::nullopt},
    NumberCase{"infinity", "inf", std::nullopt},
    NumberCase{"hex", "0x10", std::nullopt}),
    [](const testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.name); });

class LeadingNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumberTest, ReadsTheNumberAtTheStartAndIgnoresWhatFollows) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(ParseLeadingUserNumber(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, LeadingNumberTest, testing::Values(
    NumberCase{"number", "1.5", 1.5},
    NumberCase{"comma", "1,5", 1.5},
    NumberCase{"unitAfter", "2.5 cups", 2.5},
    NumberCase{"blanksBeforeCommaAndUnit", "  2,5cups", 2.5},
    NumberCase{"secondSeparatorEnds", "1.2.5", 1.2},
    NumberCase{"minus", "-2 oz", -2.0},
    NumberCase{"leadingSeparator", ".5 l", 0.5},
    NumberCase{"word", "abc", std::nullopt},
    NumberCase{"wordFirst", "about 2", std::nullopt},
    NumberCase{"signThenWord", "-oz", std::nullopt},
    NumberCase{"separatorThenWord", ".x", std::nullopt},
    NumberCase{"empty", "", std::nullopt}),
    [](const testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.name); });

class QuantityTest : public testing::TestWithParam<NumberCase> {};

TEST_P(QuantityTest, ReadsANumberThatIsNotNegative) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(ParseUserQuantity(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, QuantityTest, testing::Values(
    NumberCase{"fraction", "1,5", 1.5},
    NumberCase{"zero", "0", 0.0},
    NumberCase{"minusZero", "-0", 0.0},
    NumberCase{"negative", "-1", std::nullopt},
    NumberCase{"smallNegative", "-0.001", std::nullopt},
    NumberCase{"word", "abc", std::nullopt}),
    [](const testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.name); });

TEST(UserNumber, TheUsersLocaleDoesNotChangeTheReading) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fi_FI.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    EXPECT_EQ(ParseUserNumber("1.5"), 1.5);
    EXPECT_EQ(ParseUserNumber("1,5"), 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
