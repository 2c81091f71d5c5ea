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

TEST(UserNumber, TheUsersLocaleDoesNotChangeTheReading) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fi_FI.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    EXPECT_EQ(ParseUserNumber("1.5"), 1.5);
    EXPECT_EQ(ParseUserNumber("1,5"), 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
