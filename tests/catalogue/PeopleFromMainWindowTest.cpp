// The people list as the user meets it: from the main window's People button and its
// "Edit people..." command, a person added through typed input, found in the database.

#include <gtest/gtest.h>

#include "platform/forms/ModalTakeOver.h"
#include "tests/catalogue/CatalogueTest.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/StrictModalForms.h"

namespace {

enum class Command { PictureButton, Menu };
void PrintTo(Command c, std::ostream* os) { *os << (c == Command::PictureButton ? "PictureButton" : "Menu"); }

class PeopleFromMainWindowTest : public MainWindowTest, public testing::WithParamInterface<Command> {
protected:
    StrictModalForms strictModalForms;
    void SetUp() override {
        MainWindowTest::SetUp();
        SeedDatabase();
        Start();
    }
    WWindow* PeopleButton() { return window->FindControl("pictbttn_People"); }
    void Run(Command command) {
        if (command == Command::PictureButton)
            window->Control<WPictureButton>("pictbttn_People")->Click();
        else
            window->menu_1->FindItem(1020)->Click();
    }
};

TEST_P(PeopleFromMainWindowTest, OpensThePeopleListWhereAPersonIsAddedByTypedInput) {
    EXPECT_TRUE(PeopleButton()->GetEnabled());
    EXPECT_TRUE(window->menu_1->FindItem(1020)->GetItemEnabled());
    std::string caption;
    ModalTakeOver::Expect("WinPeople", [&](WForm& people) {
        caption = people.GetText();
        ModalTakeOver::Expect("WinEditPerson", [](WForm& editor) {
            TypeOver(editor, "textb_Person", "Dana");
            TypeOver(editor, "textb_Appetite", "1.5");
            Click(editor, "cb_OK");
        });
        Click(people, "cb_Add");
        Click(people, "cb_Close");
    });
    Run(GetParam());
    EXPECT_EQ(caption, "People (for trips)");
    WQuery query(window->transaction_KVO.get());
    query.SetSQL("select name, appetite from People");
    ASSERT_TRUE(query.Open());
    ASSERT_EQ(query.GetNumRows(), 1);
    EXPECT_EQ(query.GetValue(0, 0).AsText(), "Dana");
    EXPECT_EQ(query.GetValue(0, 1).AsDouble(), 1.5);
}

INSTANTIATE_TEST_SUITE_P(Commands, PeopleFromMainWindowTest, testing::Values(Command::PictureButton, Command::Menu),
                         [](const testing::TestParamInfo<Command>& info) {
                             return std::string(info.param == Command::PictureButton ? "PictureButton" : "Menu");
                         });

}  // namespace
