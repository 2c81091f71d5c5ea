// The small interface operations the forms share, on the running main window.

#include "tests/startup/MainWindowFixture.h"

#include "platform/forms/WDragImage.h"
#include "shell/HelpTopics.h"

namespace {

using InterfaceHelpersTest = RunningMainWindowTest;

struct ArticleCase {
    const char* noun;
    const char* article;
};
inline void PrintTo(const ArticleCase& c, std::ostream* os) { *os << '"' << c.noun << '"'; }

class SelectionMessageTest : public InterfaceHelpersTest,
                             public ::testing::WithParamInterface<ArticleCase> {};

}  // namespace

TEST_P(SelectionMessageTest, EmptyListTakesTheArticleOfTheNoun) {
    EXPECT_EQ(window->GetSelectedRow(window->grid_Trips, GetParam().noun), -1);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    const auto shown = prompter.Messages()[0];
    EXPECT_EQ(shown.caption, "Selection error");
    EXPECT_EQ(shown.icon, WMessageIcon::Stop);
    EXPECT_EQ(shown.text, std::string("You must create and select ") + GetParam().article + " " +
                              GetParam().noun + " before you can complete this task.\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Nouns, SelectionMessageTest,
                         ::testing::Values(ArticleCase{"ingredient", "an"}, ArticleCase{"measure", "a"},
                                           ArticleCase{"trip", "a"}, ArticleCase{"Ingredient", "a"},
                                           ArticleCase{"", "a"}));

TEST_F(InterfaceHelpersTest, RowsWithoutACurrentOneAskForASelection) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'One' )"));
    window->RefreshTrips(-1);
    window->SelectRow(window->grid_Trips, -1);
    EXPECT_EQ(window->GetSelectedRow(window->grid_Trips, "trip"), -1);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text,
              "You must select a trip before you can complete this task.\r\n");
    EXPECT_EQ(window->GetSelectedRowQuiet(window->grid_Trips), -1);
    window->SelectRow(window->grid_Trips, 0);
    EXPECT_EQ(window->GetSelectedRow(window->grid_Trips, "trip"), 0);
}

TEST_F(InterfaceHelpersTest, RowsAreFoundByTheTextOfTheirId) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( id, name ) values( 21, 'B' ), ( 2, 'A' )"));
    window->RefreshTrips(-1);
    EXPECT_EQ(window->FindRowById(window->grid_Trips, 3, 21), 1);
    EXPECT_EQ(window->FindRowById(window->grid_Trips, 3, 2), 0);
    EXPECT_EQ(window->FindRowById(window->grid_Trips, 3, 1), -1);
}

TEST_F(InterfaceHelpersTest, RightClickOutsideTheRowsKeepsTheCurrentRow) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'A' ), ( 'B' )"));
    window->RefreshTrips(-1);
    window->SelectRow(window->grid_Trips, 1);
    for (long row : {kNoRow, kTitleRow}) {
        WEventData event;
        event.row = row;
        window->SelectRowAtPoint(window->grid_Trips, event);
        EXPECT_EQ(window->grid_Trips->GetCurrentRow(), 1);
    }
    WEventData onFirst;
    onFirst.row = 0;
    window->SelectRowAtPoint(window->grid_Trips, onFirst);
    EXPECT_EQ(window->grid_Trips->GetCurrentRow(), 0);
}

TEST(FormatDate, LongAndShortForms) {
    std::string text;
    EXPECT_EQ(WinStart::FormatDate(text, 2002, 12, 31, true), "December 31, 2002");
    EXPECT_EQ(WinStart::FormatDate(text, 2002, 3, 5, false), "2002-03-05");
    EXPECT_EQ(text, "2002-03-05");
    // A month outside 1-12 has no name to read.
    EXPECT_EQ(WinStart::FormatDate(text, 2002, 13, 1, true), "13 1, 2002");
    EXPECT_EQ(WinStart::FormatDate(text, 2002, 0, 1, true), "0 1, 2002");
}

TEST(IsVowel, OnlyLowerCaseVowels) {
    for (char c : std::string("aeiou")) EXPECT_TRUE(WinStart::IsVowel(c));
    for (char c : std::string("AEIOUyb ")) EXPECT_FALSE(WinStart::IsVowel(c));
}

TEST_F(InterfaceHelpersTest, DragImageTextIsCutAfterFifteenCharacters) {
    std::string fifteen = "Fifteen letters";
    ASSERT_EQ(fifteen.size(), 15u);
    window->MakeDragImage(fifteen, window->grid_Trips);
    EXPECT_EQ(fifteen, "Fifteen letters");
    std::string sixteen = "Sixteen letters!";
    const auto image = window->MakeDragImage(sixteen, window->grid_Trips);
    EXPECT_EQ(sixteen, "Sixteen letters...");
    EXPECT_EQ(image->GetText(), sixteen);
    EXPECT_FALSE(image->GetPixmap().isNull());
    EXPECT_EQ(image->GetHotSpot(), QPoint(-25, 0));
}

TEST_F(InterfaceHelpersTest, DragImageTextIsCutAfterFifteenLettersNotBytes) {
    std::string fifteen = "Crème brûlée aü";   // fifteen letters in eighteen bytes
    window->MakeDragImage(fifteen, window->grid_Trips);
    EXPECT_EQ(fifteen, "Crème brûlée aü");
    std::string longer = "Crème brûlée à la";
    window->MakeDragImage(longer, window->grid_Trips);
    EXPECT_EQ(longer, "Crème brûlée à ...");
}

TEST_F(InterfaceHelpersTest, UserWorkFolderIsNamedAfterTheCurrentDirectory) {
    std::string folder;
    GetUserWorkFolder(folder);
    EXPECT_EQ(folder, (root.Path() / "data" / "work").string() + "/");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(window->userWorkFolder, folder);
}

TEST_F(InterfaceHelpersTest, UnregisteredFileTypeShowsTheNumberedInternalError) {
    setenv("XDG_CONFIG_HOME", (root.Path() / "config").c_str(), 1);
    EXPECT_FALSE(LaunchRegisteredProgram(".kvonosuchtype", "/tmp/x.kvonosuchtype", true, false));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    const auto shown = prompter.Messages()[0];
    EXPECT_EQ(shown.caption, "Internal Error");
    EXPECT_EQ(shown.owner, "");
    EXPECT_NE(shown.text.find("There has been an unexpected problem with this program.\n"),
              std::string::npos);
    EXPECT_NE(shown.text.find("\n\nError #: 1002\nDetails: .kvonosuchtype"), std::string::npos);
}

TEST_F(InterfaceHelpersTest, HelpIdsOfZeroOrLessShowTheMainTopic) {
    const std::string main = window->helpPath + FindIdText(HelpTopics, 100);
    window->ShowHelp(0);
    window->ShowHelp(-5);
    window->ShowHelp(100);
    window->ShowHelp(122);
    // Ids missing from the table fall back to the main topic rather than to nothing.
    window->ShowHelp(103);
    window->ShowHelp(9999);
    const auto requests = prompter.HelpRequests();
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_EQ(requests[0], main);
    EXPECT_EQ(requests[1], main);
    EXPECT_EQ(requests[2], main);
    EXPECT_EQ(requests[3], window->helpPath + "::/idh_trip_days.htm#IDH_TRIP_DAYS");
    EXPECT_EQ(requests[4], main);
    EXPECT_EQ(requests[5], main);
    EXPECT_EQ(window->helpPath, "help/Kestavo.chm");   // no Kestavo.chm in the current directory
}

TEST_F(InterfaceHelpersTest, HelpMenuAndWebSiteGoThroughTheService) {
    setenv("XDG_CONFIG_HOME", (root.Path() / "config").c_str(), 1);
    window->menu_1->FindItem(1027)->Click();
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_EQ(prompter.HelpRequests()[0], window->helpPath + FindIdText(HelpTopics, 100));
    window->menu_1->FindItem(1030)->Click();
    ASSERT_EQ(prompter.LaunchRequests().size(), 1u);
    EXPECT_EQ(prompter.LaunchRequests()[0].fileTypeKey, ".html");
    EXPECT_EQ(prompter.LaunchRequests()[0].argument.rfind("https://", 0), 0u);
    EXPECT_FALSE(prompter.LaunchRequests()[0].wait);
}
