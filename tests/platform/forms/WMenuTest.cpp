#include "platform/forms/WMenu.h"

#include <gtest/gtest.h>

namespace {

TEST(Menu, ChoosingAnItemRaisesItsClickEvent) {
    WMenu bar("ID_WinStart_menu_1");
    WMenu* file = bar.AddSubMenu("&File", "File menu");
    file->AddItem(1001, "&Save database...", "Save out the current camping database as a backup");
    file->AddSeparator();
    file->AddItem(1015, "E&xit");
    int saves = 0, exits = 0;
    bar.FindItem(1001)->AddEventHandler(ClickEvent, [&](WEventData&) { ++saves; return false; }, nullptr);
    bar.FindItem(1015)->AddEventHandler(ClickEvent, [&](WEventData&) { ++exits; return false; }, nullptr);
    bar.FindItem(1001)->Click();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(bar.FindItem(1001)->GetAction()->statusTip().toStdString(),
              "Save out the current camping database as a backup");
    EXPECT_EQ(file->GetText(), "&File");
    EXPECT_EQ(file->GetMenu()->actions().size(), 3);   // two items and the separator
    EXPECT_EQ(bar.FindItem(9999), nullptr);
}

TEST(Menu, DisabledItemCannotBeChosen) {
    WPopupMenu popup("ID_WinStart_popup_Trips");
    WMenuItem* edit = popup.AddItem(10000, "Edit...");
    int edits = 0;
    edit->AddEventHandler(ClickEvent, [&](WEventData&) { ++edits; return false; }, nullptr);
    edit->SetItemEnabled(false);
    edit->Click();
    EXPECT_EQ(edits, 0);
}

}  // namespace
