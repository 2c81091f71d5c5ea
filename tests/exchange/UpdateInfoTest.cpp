// The information file's grammar, the version check and the names an update may have.

#include <gtest/gtest.h>

#include "exchange/UpdateInfo.h"

namespace {

struct GrammarCase {
    const char* label;
    const char* text;
    bool hasColon;
    const char* digits;
    const char* name;
};
void PrintTo(const GrammarCase& c, std::ostream* os) { *os << c.label; }

class UpdateInfoGrammarTest : public testing::TestWithParam<GrammarCase> {};

TEST_P(UpdateInfoGrammarTest, ReadsTheVersionAndTheName) {
    const UpdateInfo info = ParseUpdateInfo(GetParam().text);
    EXPECT_EQ(info.hasColon, GetParam().hasColon);
    EXPECT_EQ(info.versionDigits, GetParam().digits);
    EXPECT_EQ(info.baseName, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, UpdateInfoGrammarTest,
    testing::Values(GrammarCase{"crlf", "version: 302\r\nfood_2004\r\n", true, "302", "food_2004"},
                    GrammarCase{"lf", "version:302\nfood_2004\n", true, "302", "food_2004"},
                    GrammarCase{"tabs_and_blank_lines", "v:\t 7\r\n\r\n\n  food 2004 \r\nmore\r\n", true, "7",
                                "food 2004"},
                    GrammarCase{"no_digits", "version:\r\nfood\r\n", true, "", "food"},
                    GrammarCase{"no_colon", "version 302\r\nfood\r\n", false, "", ""},
                    GrammarCase{"name_without_line_end", "version: 302\r\nfood_2004", true, "302", ""},
                    GrammarCase{"blanks_after_digits", "version: 302  \r\nfood_2004\r\n", true, "302", ""},
                    GrammarCase{"empty", "", false, "", ""},
                    GrammarCase{"long_version", "version: 0000000000000000000303\r\nfood\r\n", true,
                                "0000000000000000000303", "food"}),
    [](const testing::TestParamInfo<GrammarCase>& info) { return std::string(info.param.label); });

struct VersionCase {
    const char* label;
    const char* digits;
    bool tooNew;
};
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.label; }

class RequiredVersionTest : public testing::TestWithParam<VersionCase> {};

TEST_P(RequiredVersionTest, OnlyAVersionAboveOursNeedsANewerProgram) {
    EXPECT_EQ(RequiresNewerProgram(GetParam().digits), GetParam().tooNew);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, RequiredVersionTest,
    testing::Values(VersionCase{"none", "", false}, VersionCase{"zero", "0", false}, VersionCase{"ours", "302", false},
                    VersionCase{"ours_with_zeros", "000302", false}, VersionCase{"one_above", "303", true},
                    VersionCase{"four_digits", "1000", true}, VersionCase{"older", "299", false},
                    VersionCase{"past_32_bits", "4294967598", true},
                    VersionCase{"past_64_bits", "99999999999999999999999", true}),
    [](const testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.label); });

struct NameCase {
    const char* name;
    bool safe;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << '"' << c.name << '"'; }

class UpdateNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(UpdateNameTest, OnlyPlainNamesBecomeFilesOfTheProgramFolder) {
    EXPECT_EQ(IsSafeUpdateName(GetParam().name), GetParam().safe) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, UpdateNameTest,
    testing::Values(NameCase{"food_2004", true}, NameCase{"Food-2004.1", true}, NameCase{"", false},
                    NameCase{"../food", false}, NameCase{"..", false}, NameCase{"a..b", false},
                    NameCase{"dir/food", false}, NameCase{"/etc/passwd", false}, NameCase{"food 2004", false},
                    NameCase{"food\\2004", false}, NameCase{"f\xc3\xbc\x64", false}, NameCase{"~food", false}));

}  // namespace
