// The word index without any window: word comparison, splitting, searches, the item lists.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/FindWordIndex.h"

namespace {

std::vector<std::int32_t> SearchOver(const std::vector<std::string>& texts, const std::string& query) {
    WordTree tree;
    for (std::size_t i = 0; i < texts.size(); ++i) tree.AddText(texts[i], static_cast<std::int32_t>(i));
    tree.SortNodeItems();
    DocList result;
    const int count = tree.Search(query, result);
    EXPECT_EQ(count, result.Count());
    return result.Items();
}

struct SearchCase {
    const char* name;
    std::vector<std::string> texts;
    const char* query;
    std::vector<std::int32_t> found;
};
void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }


class WordTreeSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(WordTreeSearchTest, FindsTheTextsWithEveryPrefix) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(SearchOver(c.texts, c.query), c.found);
}

const std::vector<std::string> kDishes = {"Tomato chutney", "Chicken soup", "Chicken tortilla", "Trail mix"};

INSTANTIATE_TEST_SUITE_P(
    Queries, WordTreeSearchTest,
    ::testing::Values(
        SearchCase{"two_prefixes_any_order", kDishes, "ch to", {0, 2}},
        SearchCase{"capitals_fold", kDishes, "TO", {0, 2}},
        SearchCase{"small_letters", kDishes, "to", {0, 2}},
        SearchCase{"one_prefix", kDishes, "t", {0, 2, 3}},
        SearchCase{"whole_word", kDishes, "soup", {1}},
        SearchCase{"longer_than_every_word", kDishes, "chickens", {}},
        SearchCase{"blanks_and_tabs_between", kDishes, " \tch \t so ", {1}},
        SearchCase{"word_twice_in_one_text", {"tea tea tea", "green tea"}, "tea", {0, 1}},
        SearchCase{"same_prefix_twice", kDishes, "ch ch", {0, 1, 2}},
        SearchCase{"comma_stays_with_its_word", {"salt, pepper", "salt and pepper"}, "salt", {0, 1}},
        SearchCase{"comma_in_the_query", {"salt, pepper", "salt and pepper"}, "salt,", {0}},
        SearchCase{"accented_capital_is_another_byte", {"\xc3\xa9" "clair"}, "\xc3\x89", {}},
        SearchCase{"accented_small_matches_itself", {"\xc3\xa9" "clair"}, "\xc3\xa9", {0}},
        // Every word must match: once nothing is left, a later word brings nothing back.
        SearchCase{"empty_stays_empty", kDishes, "zz ch", {}},
        SearchCase{"empty_stays_empty_for_three_words", kDishes, "soup tortilla ch", {}},
        SearchCase{"nothing_indexed", {}, "a", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CompareCase {
    const char* name;
    const char* a;
    const char* b;
    int answer;
};
void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.name; }


class CompareWordsTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareWordsTest, FoldsOnlyAToZ) {
    const CompareCase& c = GetParam();
    EXPECT_EQ(CompareWords(c.a, c.b), c.answer);
    EXPECT_EQ(CompareWords(c.b, c.a), -c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Words, CompareWordsTest,
    ::testing::Values(CompareCase{"equal_folded", "Tomato", "tOMATO", 0},
                      CompareCase{"shorter_first", "tom", "tomato", -1},
                      CompareCase{"letters", "apple", "Banana", -1},
                      CompareCase{"bracket_between_cases", "[", "a", -1},   // '[' 0x5B < 'a' 0x61
                      CompareCase{"bracket_after_capitals", "[", "A", -1},   // 'A' folds to 0x61
                      CompareCase{"high_bytes_unsigned", "\xc3\xa9", "z", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordBeginsWithTest, ComparesTheQueryLengthUnderFolding) {
    EXPECT_TRUE(WordBeginsWith("Chutney", "CH"));
    EXPECT_TRUE(WordBeginsWith("Chutney", ""));
    EXPECT_FALSE(WordBeginsWith("Ch", "Chu"));
    EXPECT_FALSE(WordBeginsWith("\xc3\xa9", "\xc3\x89"));
}

TEST(SplitWordsTest, BreaksOnlyAtBlanksAndTabs) {
    EXPECT_EQ(SplitWords("  salt,\tpepper  & herbs\n"),
              (std::vector<std::string>{"salt,", "pepper", "&", "herbs\n"}));
    EXPECT_TRUE(SplitWords(" \t ").empty());
}

TEST(WordTreeTest, OneNodePerWordWithSortedDistinctItems) {
    WordTree tree;
    tree.AddText("b a b", 2);
    tree.AddText("A", 0);
    tree.AddText("a", 1);
    tree.SortNodeItems();
    EXPECT_EQ(tree.Count(), 2);   // "a" and "A" are one word
    ASSERT_NE(tree.Find("a"), nullptr);
    EXPECT_EQ(tree.Find("A")->Items(), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(tree.Find("b")->Items(), (std::vector<std::int32_t>{2}));
    EXPECT_EQ(tree.Find("c"), nullptr);
    std::vector<std::string> order;
    tree.Walk([&](const std::string& word, const DocList&) {
        order.push_back(word);
        return true;
    });
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b"}));   // the word as first met
}

TEST(WordTreeTest, WalkStopsWhenTheVisitorSaysSo) {
    WordTree tree;
    tree.AddText("d c b a", 0);
    int visited = 0;
    tree.Walk([&](const std::string&, const DocList&) { return ++visited < 2; });
    EXPECT_EQ(visited, 2);
}

// Sorted texts, as lists and tables usually arrive, build a tree that answers as usual (an
// unbalanced tree would be a chain 20,000 deep here).
TEST(WordTreeTest, SortedInputOfManyTexts) {
    WordTree tree;
    for (int i = 0; i < 20000; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "item%05d", i);
        tree.AddText(text, i);
    }
    tree.SortNodeItems();
    EXPECT_EQ(tree.Count(), 20000);
    DocList result;
    EXPECT_EQ(tree.Search("ITEM0199", result), 10);   // item01990 to item01999
    EXPECT_EQ(result.At(0), 1990);
    EXPECT_EQ(result.At(9), 1999);
}

TEST(DocListTest, AppendGrowsByTheCountAndFifty) {
    DocList list;
    list.Append(7);
    EXPECT_EQ(list.Capacity(), 51);
    const std::int32_t many[60] = {};
    list.Append(many, 60);
    EXPECT_EQ(list.Capacity(), 51 + 60 + 50);
    list.Append(nullptr, 3);
    EXPECT_EQ(list.Count(), 64);
    EXPECT_EQ(list.At(63), 0);
    EXPECT_EQ(list.At(0), 7);
    EXPECT_EQ(list.At(64), -1);
    EXPECT_EQ(list.At(-1), -1);
}

TEST(DocListTest, SortRemoveDuplicatesAndIntersect) {
    DocList a;
    for (std::int32_t v : {5, 1, 3, 3, 9, 1}) a.Append(v);
    a.Sort();
    a.RemoveDuplicates();
    EXPECT_EQ(a.Items(), (std::vector<std::int32_t>{1, 3, 5, 9}));
    DocList b;
    for (std::int32_t v : {0, 3, 4, 9, 12}) b.Append(v);
    a.Intersect(b);
    EXPECT_EQ(a.Items(), (std::vector<std::int32_t>{3, 9}));

    DocList empty;
    empty.Intersect(b);
    EXPECT_EQ(empty.Count(), 0);
    empty.Intersect(b, true);
    EXPECT_EQ(empty.Items(), b.Items());
    EXPECT_EQ(CompareIds(1, 2), -1);
    EXPECT_EQ(CompareIds(2, 2), 0);
    EXPECT_EQ(CompareIds(3, 2), 1);
}

}  // namespace
