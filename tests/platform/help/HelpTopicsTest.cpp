#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell/HelpTopics.h"

namespace {

TEST(HelpTopics, TableHoldsFortyOneUniqueIdsAndEndsWithNull) {
    std::set<int> ids;
    const IdTextPair* pair = HelpTopics;
    for (; pair->text; ++pair) {
        EXPECT_TRUE(ids.insert(pair->id).second) << pair->id;
        EXPECT_EQ(std::string(pair->text).rfind("::/idh_", 0), 0u) << pair->text;
    }
    EXPECT_EQ(ids.size(), 41u);
    EXPECT_EQ(pair->text, nullptr);
}

struct TopicCase {
    const char* name;
    int id;
    const char* topic;
};

class FindIdTextTest : public testing::TestWithParam<TopicCase> {};

TEST_P(FindIdTextTest, GivesTheTextOfTheFirstPairWithTheIdOrNull) {
    const char* text = FindIdText(HelpTopics, GetParam().id);
    if (GetParam().topic)
        EXPECT_STREQ(text, GetParam().topic);
    else
        EXPECT_EQ(text, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Ids, FindIdTextTest, testing::Values(
    TopicCase{"main", 100, "::/idh_main.htm#IDH_MAIN"},
    TopicCase{"sharedPage", 117, "::/idh_people.htm#IDH_EDIT_PERSON"},
    TopicCase{"last", 141, "::/idh_conversion.htm#IDH_CONVERSION"},
    TopicCase{"zero", 0, nullptr},
    TopicCase{"gapInTheTable", 103, nullptr},
    TopicCase{"beyondTheTable", 9999, nullptr}),
    [](const testing::TestParamInfo<TopicCase>& info) { return info.param.name; });

TEST(FindIdText, StopsAtTheEndPairOfAnyTable) {
    const IdTextPair table[] = {{1, "one"}, {2, "two"}, {1, "again"}, {3, nullptr}, {3, "after the end"}};
    EXPECT_STREQ(FindIdText(table, 1), "one");
    EXPECT_EQ(FindIdText(table, 3), nullptr);
}

}  // namespace
