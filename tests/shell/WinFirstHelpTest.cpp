// The quick-help window of a started main window: shown at start by default, placed beside the
// main window, its box that turns it off for the next start, the Help menu that shows it
// again, and the main window's close that closes it.

#include <gtest/gtest.h>

#include "shell/WinFirstHelp.h"

#include "platform/forms/testing/AccessibleActions.h"
#include "tests/startup/MainWindowFixture.h"

namespace {

class WinFirstHelpTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SeedDatabase();
    }
    // Starts with an options file that holds these lines (none: no file).
    void StartWithOptions(const std::string& lines) {
        if (!lines.empty()) WriteFileText(current / "kvo.dat", "kvo_v_10:\r\n" + lines + "kvo_end:\r\n");
        Start();
        ASSERT_TRUE(window->HasWindow());
    }
    WinFirstHelp& help() { return *window->winFirstHelp; }
    void CloseProgram() {
        window->Close();
        RunPostedEvents();
    }
    std::string OptionsFile() const { return ReadFileText(current / "kvo.dat"); }
};

TEST_F(WinFirstHelpTest, IsShownAtStartByDefaultBesideTheMainWindow) {
    StartWithOptions("");
    ASSERT_TRUE(help().IsShown());
    ASSERT_TRUE(help().HasWindow());
    EXPECT_EQ(help().GetText(), "Quick Start Help");
    EXPECT_FALSE(help().Control<WCheckBox>("checkbox_DoHelp")->GetChecked());
    const WRect main = window->GetFrameRect();
    const WRect beside = help().GetFrameRect();
    EXPECT_EQ(beside.top, main.top);
    EXPECT_EQ(beside.left, std::min(main.left + main.width, window->GetScreenArea().left +
                                                                window->GetScreenArea().width - beside.width));
}

TEST_F(WinFirstHelpTest, ItsBoxTurnsItOffForTheNextStart) {
    StartWithOptions("");
    help().Control<WCheckBox>("checkbox_DoHelp")->Click();
    EXPECT_FALSE(window->options.startupHelp);
    CloseProgram();
    EXPECT_NE(OptionsFile().find("startup_help: 0\r\n"), std::string::npos);
}

// The box keeps its state however it was set: a screen reader's toggle checks it without a click.
TEST_F(WinFirstHelpTest, ItsBoxToggledByAScreenReaderTurnsItOffForTheNextStart) {
    StartWithOptions("");
    auto* box = help().Control<WCheckBox>("checkbox_DoHelp");
    ASSERT_TRUE(ToggleAsAScreenReaderDoes(box));
    EXPECT_TRUE(box->GetChecked());
    EXPECT_FALSE(window->options.startupHelp);
    ASSERT_TRUE(ToggleAsAScreenReaderDoes(box));
    EXPECT_TRUE(window->options.startupHelp);
    ASSERT_TRUE(ToggleAsAScreenReaderDoes(box));
    help().Control<WCommandButton>("cb_Close")->Click();
    RunPostedEvents();
    CloseProgram();
    EXPECT_NE(OptionsFile().find("startup_help: 0\r\n"), std::string::npos);
}

TEST_F(WinFirstHelpTest, TheMainWindowsCloseClosesIt) {
    StartWithOptions("");
    CloseProgram();
    EXPECT_FALSE(help().IsShown());
    EXPECT_FALSE(help().HasWindow());
    // Left shown at close, it says it will show at the next start.
    EXPECT_NE(OptionsFile().find("startup_help: 1\r\n"), std::string::npos);
}

TEST_F(WinFirstHelpTest, ASecondShowDoesNothing) {
    StartWithOptions("");
    const QDialog* first = help().GetWindow();
    help().Show(window);
    EXPECT_EQ(help().GetWindow(), first);
    window->menu_1->FindItem(1028)->Click();
    EXPECT_EQ(help().GetWindow(), first);
}

TEST_F(WinFirstHelpTest, TurnedOffItIsNotShownAtStartAndTheHelpMenuShowsItAndTurnsItOn) {
    StartWithOptions("startup_help: 0\r\n");
    EXPECT_FALSE(help().IsShown());
    EXPECT_FALSE(help().HasWindow());
    help().Show(window);
    EXPECT_FALSE(help().IsShown());
    ASSERT_TRUE(window->menu_1->FindItem(1028)->GetItemEnabled());
    window->menu_1->FindItem(1028)->Click();
    EXPECT_TRUE(window->options.startupHelp);
    EXPECT_TRUE(help().IsShown());
    EXPECT_TRUE(help().HasWindow());
}

TEST_F(WinFirstHelpTest, ItsCloseBoxEndsItAndTheHelpMenuOpensItAgain) {
    StartWithOptions("");
    help().WForm::Close();   // as the close box does
    RunPostedEvents();
    EXPECT_FALSE(help().IsShown());
    EXPECT_FALSE(help().HasWindow());
    window->menu_1->FindItem(1028)->Click();
    EXPECT_TRUE(help().IsShown());
    EXPECT_TRUE(help().HasWindow());
    help().Control<WCommandButton>("cb_Close")->Click();
    RunPostedEvents();
    EXPECT_FALSE(help().HasWindow());
}

TEST_F(WinFirstHelpTest, AMainWindowNearTheRightEdgeMovesLeftSoThatItFitsBeside) {
    StartWithOptions("startup_help: 0\r\n");
    const WRect screen = window->GetScreenArea();
    const WRect before = window->GetFrameRect();
    window->MoveFrameTo(screen.left + screen.width - before.width, before.top);
    window->menu_1->FindItem(1028)->Click();
    const WRect main = window->GetFrameRect();
    const WRect beside = help().GetFrameRect();
    EXPECT_LT(main.left, screen.left + screen.width - before.width);
    EXPECT_GE(main.left, screen.left);
    EXPECT_LE(beside.left + beside.width, screen.left + screen.width);
    EXPECT_EQ(beside.top, main.top);
}

struct TopicCase {
    const char* button;
    const char* page;
};
void PrintTo(const TopicCase& c, std::ostream* os) { *os << c.button; }

class WinFirstHelpTopicTest : public WinFirstHelpTest, public testing::WithParamInterface<TopicCase> {};

TEST_P(WinFirstHelpTopicTest, ATopicButtonOpensItsHelpPageAndTheWindowStays) {
    StartWithOptions("");
    prompter.Clear();
    help().Control<WCommandButton>(GetParam().button)->Click();
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_NE(prompter.HelpRequests()[0].find(GetParam().page), std::string::npos) << prompter.HelpRequests()[0];
    EXPECT_TRUE(help().HasWindow());
}

INSTANTIATE_TEST_SUITE_P(Topics, WinFirstHelpTopicTest,
                         testing::Values(TopicCase{"cb_Help1", "idh_what_is_kvo.htm"},
                                         TopicCase{"cb_Help2", "idh_data_structure.htm"},
                                         TopicCase{"cb_Help3", "idh_ingredients.htm"},
                                         TopicCase{"cb_Help4", "idh_courses.htm"},
                                         TopicCase{"cb_Help5", "idh_meals.htm"},
                                         TopicCase{"cb_Help6", "idh_trips.htm"},
                                         TopicCase{"cb_Help7", "idh_tutorials.htm"}),
                         [](const testing::TestParamInfo<TopicCase>& info) { return std::string(info.param.button); });

}  // namespace
