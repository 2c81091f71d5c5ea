// The menu-item list from the main window: its menu command and its picture button, both
// enabled once the start-up has run.

#include <gtest/gtest.h>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WMenu.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/StrictModalForms.h"

namespace {

class MenuItemsFromMainWindowTest : public RunningMainWindowTest, public ::testing::WithParamInterface<bool> {
protected:
    StrictModalForms strictModalForms;
};

TEST_P(MenuItemsFromMainWindowTest, OpensTheMenuItemList) {
    auto* button = window->Control<WPictureButton>("pictbttn_MenuItems");
    WMenuItem* command = window->menu_1->FindItem(1018);
    ASSERT_TRUE(button->GetEnabled());
    ASSERT_TRUE(command->GetItemEnabled());
    bool cancelShown = true;
    std::string caption;
    ModalTakeOver::Expect("WinMealCourses", [&](WForm& form) {
        caption = form.GetText();
        cancelShown = form.Control<WCommandButton>("cb_Cancel")->GetVisible();
        form.Control<WCommandButton>("cb_Close")->Click();
    });
    if (GetParam())
        button->Click();
    else
        command->Click();
    EXPECT_EQ(caption, "Menu Items");
    EXPECT_FALSE(cancelShown);
}

INSTANTIATE_TEST_SUITE_P(Commands, MenuItemsFromMainWindowTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "PictureButton" : "Menu"); });

}  // namespace
