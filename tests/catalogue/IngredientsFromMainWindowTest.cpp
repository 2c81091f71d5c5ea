// The ingredients form as the user opens it: from the main window's picture button and its
// Edit menu, once the start-up has run.

#include <gtest/gtest.h>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WMenu.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/StrictModalForms.h"

namespace {

enum class Command { PictureButton, Menu };

struct CommandCase {
    const char* name;
    Command command;
};
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class IngredientsFromMainWindowTest : public RunningMainWindowTest,
                                      public ::testing::WithParamInterface<CommandCase> {
protected:
    StrictModalForms strictModalForms;
};

TEST_P(IngredientsFromMainWindowTest, OpensTheFormAndAnAddIsInTheDatabase) {
    auto* button = window->Control<WPictureButton>("pictbttn_Ingredients");
    WMenuItem* item = window->menu_1->FindItem(1017);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(button->GetEnabled());
    EXPECT_TRUE(item->GetItemEnabled());
    std::string caption;
    ModalTakeOver::Expect("WinIngredients", [&](WForm& form) {
        caption = form.GetText();
        form.Control<WCommandButton>("cb_Add")->Click();
        form.Control<WTextBox>("textb_Name")->SetText("trail mix");
        form.Control<WCommandButton>("cb_Close")->Click();
    });
    if (GetParam().command == Command::PictureButton)
        button->Click();
    else
        item->Click();
    EXPECT_EQ(caption, "Edit Ingredients");
    WQuery query(window->transaction_KVO.get());
    query.SetSQL("select count(*) from Ingredients where name = 'trail mix'");
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.GetValue(0, 0).AsLong(), 1);
}

INSTANTIATE_TEST_SUITE_P(Commands, IngredientsFromMainWindowTest,
                         ::testing::Values(CommandCase{"PictureButton", Command::PictureButton},
                                           CommandCase{"Menu", Command::Menu}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
