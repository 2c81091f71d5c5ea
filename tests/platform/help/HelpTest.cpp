#include <gtest/gtest.h>

#include "platform/help/Help.h"

namespace {

struct TargetCase {
    const char* name;
    const char* target;
    bool valid;
    const char* chm;
    const char* page;
    const char* anchor;
};

class ParseHelpTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(ParseHelpTargetTest, SplitsFilePageAndAnchor) {
    const TargetCase& c = GetParam();
    std::optional<HelpTarget> target = ParseHelpTarget(c.target);
    ASSERT_EQ(target.has_value(), c.valid);
    if (!c.valid) return;
    EXPECT_EQ(target->chmPath, c.chm);
    EXPECT_EQ(target->page, c.page);
    EXPECT_EQ(target->anchor, c.anchor);
}

INSTANTIATE_TEST_SUITE_P(Targets, ParseHelpTargetTest, testing::Values(
    TargetCase{"pageAndAnchor", "Kestavo.chm::/idh_trips.htm#IDH_EDIT_TRIP", true, "Kestavo.chm",
               "/idh_trips.htm", "IDH_EDIT_TRIP"},
    TargetCase{"helpFolder", "help/Kestavo.chm::/idh_main.htm#IDH_MAIN", true, "help/Kestavo.chm",
               "/idh_main.htm", "IDH_MAIN"},
    TargetCase{"pageOnly", "Kestavo.chm::/idh_main.htm", true, "Kestavo.chm", "/idh_main.htm", ""},
    TargetCase{"fileOnly", "Kestavo.chm", true, "Kestavo.chm", "", ""},
    TargetCase{"noFile", "::/idh_main.htm#IDH_MAIN", false, "", "", ""},
    TargetCase{"empty", "", false, "", "", ""}),
    [](const testing::TestParamInfo<TargetCase>& info) { return info.param.name; });

struct AnchorCase {
    const char* name;
    const char* html;
    bool found;
};

class HtmlHasAnchorTest : public testing::TestWithParam<AnchorCase> {};

TEST_P(HtmlHasAnchorTest, FindsNamedAnchorsOnly) {
    EXPECT_EQ(HtmlHasAnchor(GetParam().html, "IDH_MAIN"), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Html, HtmlHasAnchorTest, testing::Values(
    AnchorCase{"named", R"(<h1><a name="IDH_MAIN">Help</a></h1>)", true},
    AnchorCase{"upperCaseTag", R"(<A NAME='IDH_MAIN'></A>)", true},
    AnchorCase{"unquoted", R"(<a name=IDH_MAIN>x</a>)", true},
    AnchorCase{"otherAttributesFirst", R"(<a class="t" name="IDH_MAIN">x</a>)", true},
    AnchorCase{"otherCase", R"(<a name="idh_main">x</a>)", false},
    AnchorCase{"longerName", R"(<a name="IDH_MAIN_MENU">x</a>)", false},
    AnchorCase{"linkToIt", R"(<a href="#IDH_MAIN">x</a>)", false},
    AnchorCase{"plainText", "IDH_MAIN", false}),
    [](const testing::TestParamInfo<AnchorCase>& info) { return info.param.name; });

}  // namespace
