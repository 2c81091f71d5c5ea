#include <gtest/gtest.h>

#include "platform/help/ChmArchive.h"

namespace {

struct PathCase {
    const char* name;
    const char* from;
    const char* link;
    const char* expected;
};

class ChmArchiveResolve : public testing::TestWithParam<PathCase> {};

TEST_P(ChmArchiveResolve, JoinsLinksInsideTheArchive) {
    const PathCase& c = GetParam();
    EXPECT_EQ(ChmArchive::Resolve(c.from, c.link), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, ChmArchiveResolve, testing::Values(
    PathCase{"sibling", "/idh_main.htm", "idh_trips.htm", "/idh_trips.htm"},
    PathCase{"subfolder", "/idh_main.htm", "images/tent.png", "/images/tent.png"},
    PathCase{"parent", "/a/b/page.htm", "../img/c.png", "/a/img/c.png"},
    PathCase{"aboveTheRoot", "/page.htm", "../../x.htm", "/x.htm"},
    PathCase{"dotSegments", "/a/page.htm", "./b/./c.htm", "/a/b/c.htm"},
    PathCase{"absolute", "/a/page.htm", "/top.htm", "/top.htm"},
    PathCase{"topicForm", "/a/page.htm", "::/idh_main.htm", "/idh_main.htm"},
    PathCase{"doubleSlash", "/a//page.htm", "x.htm", "/a/x.htm"}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

TEST(ChmArchive, ReadsPagesOfTheBuiltHelpFile) {
    ChmArchive archive(KVO_TEST_HELP_FILE);
    ASSERT_TRUE(archive.IsOpen());
    std::optional<std::string> page = archive.Read("::/idh_main.htm");
    ASSERT_TRUE(page);
    EXPECT_NE(page->find("<title>Kestavo Help</title>"), std::string::npos);
    EXPECT_TRUE(archive.Contains("idh_conversion.htm"));
    EXPECT_TRUE(archive.Contains("/images/tent.png"));
    EXPECT_EQ(archive.Read("/images/tent.png")->substr(1, 3), "PNG");
}

TEST(ChmArchive, MissingPageReadsAsNothing) {
    ChmArchive archive(KVO_TEST_HELP_FILE);
    EXPECT_FALSE(archive.Contains("/idh_no_such_page.htm"));
    EXPECT_FALSE(archive.Read("/idh_no_such_page.htm"));
}

TEST(ChmArchive, KnowsItsDefaultTopicAndTitle) {
    ChmArchive archive(KVO_TEST_HELP_FILE);
    EXPECT_EQ(archive.DefaultTopic(), "idh_main.htm");
    EXPECT_EQ(archive.Title(), "Kestavo Help");
}

TEST(ChmArchive, FileThatIsNoHelpFileDoesNotOpen) {
    ChmArchive archive;
    EXPECT_FALSE(archive.Open("/nonexistent/Kestavo.chm"));
    EXPECT_FALSE(archive.Open(__FILE__));
    EXPECT_FALSE(archive.IsOpen());
    EXPECT_FALSE(archive.Read("/idh_main.htm"));
}

}  // namespace
