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

class HelpTopicForTest : public testing::TestWithParam<TopicCase> {};

TEST_P(HelpTopicForTest, GivesTheTopicOfAnId) {
    EXPECT_STREQ(HelpTopicFor(GetParam().id), GetParam().topic);
}

INSTANTIATE_TEST_SUITE_P(Ids, HelpTopicForTest, testing::Values(
    TopicCase{"main", 100, "::/idh_main.htm#IDH_MAIN"},
    TopicCase{"sharedPage", 117, "::/idh_people.htm#IDH_EDIT_PERSON"},
    TopicCase{"last", 141, "::/idh_conversion.htm#IDH_CONVERSION"},
    TopicCase{"zeroMeansMain", 0, "::/idh_main.htm#IDH_MAIN"},
    TopicCase{"negativeMeansMain", -5, "::/idh_main.htm#IDH_MAIN"},
    // Ids missing from the table fall back to the first topic rather than to nothing.
    TopicCase{"gapInTheTable", 103, "::/idh_main.htm#IDH_MAIN"},
    TopicCase{"beyondTheTable", 9999, "::/idh_main.htm#IDH_MAIN"}),
    [](const testing::TestParamInfo<TopicCase>& info) { return info.param.name; });

}  // namespace
