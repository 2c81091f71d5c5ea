// The find-as-you-type dialog opened through its entry functions over a real list box, list
// view and table; the test takes the dialog over when it opens, types and clicks.

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WListView.h"
#include "shell/WinFindValue.h"
#include "tests/support/MainWindowDatabaseTest.h"
#include "tests/dialogs/TestLists.h"

namespace {

std::vector<std::string> Results(WForm& dialog) {
    auto* results = dialog.Control<WListBox>("lb_Results");
    std::vector<std::string> texts;
    for (int i = 0; i < results->GetCount(); ++i) texts.push_back(results->GetItemText(i));
    return texts;
}

using Texts = std::vector<std::string>;

// Types the query, keeps what was shown and the caption, then clicks the button.
struct Seen {
    Texts results;
    std::string caption;
};
ModalTakeOver::Hook TypeAndClick(const std::string& query, Seen* seen, const char* button = "cb_OK") {
    return [=](WForm& dialog) {
        dialog.Control<WTextBox>("textb_Match")->SetText(query);
        if (seen) {
            seen->results = Results(dialog);
            seen->caption = dialog.GetText();
        }
        dialog.Control<WCommandButton>(button)->Click();
    };
}

class WinFindValueListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModalTakeOver::Reset();
        ModalTakeOver::SetStrict(true);
        ASSERT_TRUE(lists.Create(nullptr));
        for (const char* dish : {"Tomato chutney", "Chicken soup", "Chicken tortilla"}) list()->AddItem(dish);
    }
    void TearDown() override {
        EXPECT_TRUE(ModalTakeOver::Unexpected().empty());
        EXPECT_EQ(ModalTakeOver::Pending(), 0);
        ModalTakeOver::Reset();
        lists.Close();
        QApplication::processEvents();
    }
    WListBox* list() { return lists.Available(); }

    WinStart main;
    TestLists lists;
    ScriptedPrompter prompter;
    WinFindValue find;
};

TEST_F(WinFindValueListTest, TwoPrefixesNarrowTheList) {
    Seen seen;
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("ch to", &seen));
    const int chosen = find.FindInListBox(&lists, list(), "Find a meal course");
    EXPECT_EQ(seen.results, (Texts{"Chicken tortilla", "Tomato chutney"}));
    EXPECT_EQ(seen.caption, "Find a meal course");
    ASSERT_GE(chosen, 0);
    EXPECT_EQ(list()->GetItemText(chosen), "Chicken tortilla");   // the first shown is current
}

TEST_F(WinFindValueListTest, CapitalsFindTheSame) {
    Seen small, capitals;
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("to", &small));
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("TO", &capitals));
    find.FindInListBox(&lists, list(), "Find");
    find.FindInListBox(&lists, list(), "Find");
    EXPECT_EQ(small.results, (Texts{"Chicken tortilla", "Tomato chutney"}));
    EXPECT_EQ(capitals.results, small.results);
}

TEST_F(WinFindValueListTest, BlanksOnlyShowEveryText) {
    Seen seen;
    ModalTakeOver::Expect("WinFindValue", [&](WForm& dialog) {
        dialog.Control<WTextBox>("textb_Match")->SetText("soup");
        dialog.Control<WTextBox>("textb_Match")->SetText(" \t ");
        seen.results = Results(dialog);
        dialog.Control<WCommandButton>("cb_Cancel")->Click();
    });
    EXPECT_EQ(find.FindInListBox(&lists, list(), "Find"), -1);
    EXPECT_EQ(seen.results, (Texts{"Chicken soup", "Chicken tortilla", "Tomato chutney"}));
}

TEST_F(WinFindValueListTest, NoMatchEmptiesTheListAndOKGivesNone) {
    Seen seen;
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("chickens", &seen));
    EXPECT_EQ(find.FindInListBox(&lists, list(), "Find"), -1);
    EXPECT_TRUE(seen.results.empty());
}

TEST_F(WinFindValueListTest, DoubleClickChoosesTheCurrentEntry) {
    ModalTakeOver::Expect("WinFindValue", [](WForm& dialog) {
        auto* results = dialog.Control<WListBox>("lb_Results");
        results->SetSelected(results->FindText("Tomato chutney"));
        WEventData click;
        click.id = DoubleClickEvent;
        results->Raise(click);
    });
    EXPECT_EQ(list()->GetItemText(find.FindInListBox(&lists, list(), "Find")), "Tomato chutney");
}

TEST_F(WinFindValueListTest, CancelGivesNone) {
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("soup", nullptr, "cb_Cancel"));
    EXPECT_EQ(find.FindInListBox(&lists, list(), "Find"), -1);
}

TEST_F(WinFindValueListTest, AnEmptyListOpensAndOKGivesNone) {
    Seen seen;
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("", &seen));
    EXPECT_EQ(find.FindInListBox(&lists, lists.Chosen(), "Find"), -1);
    EXPECT_TRUE(seen.results.empty());
}

TEST_F(WinFindValueListTest, EachOpeningAnswersInItsOwnList) {
    lists.Chosen()->AddItem("Soup of the day");
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("tort", nullptr));
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("so", nullptr));
    EXPECT_EQ(find.FindInListBox(&lists, list(), "Find"), 1);
    EXPECT_EQ(find.FindInListBox(&lists, lists.Chosen(), "Find"), 0);
}

TEST_F(WinFindValueListTest, ListViewColumnIsSearched) {
    WListView* view = lists.Rows();
    view->SetColumnTitles({"Id", "Name"});
    view->AddItem({"7", "Trail mix"});
    view->AddItem({"8", "Tomato chutney"});
    view->AddItem({"9", "Chicken soup"});
    Seen seen;
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("t", &seen));
    EXPECT_EQ(find.FindInControl(&lists, view, 1, "Find"), 1);
    EXPECT_EQ(seen.results, (Texts{"Tomato chutney", "Trail mix"}));
}

class WinFindValueTableTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override {
        MainWindowDatabaseTest::SetUp();
        ModalTakeOver::Reset();
        ModalTakeOver::SetStrict(true);
    }
    void TearDown() override {
        ModalTakeOver::Reset();
        MainWindowDatabaseTest::TearDown();
    }
    ScriptedPrompter prompter;
    WinFindValue find;
};

TEST_F(WinFindValueTableTest, EmptyTableSaysSoWithoutOpening) {
    EXPECT_EQ(find.FindInTable(nullptr, "Ingredients", "name", "Find ingredient"), -1);
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "No items to find");
    EXPECT_EQ(shown[0].text, "The list of items is empty. No items to search!");
    EXPECT_EQ(shown[0].icon, WMessageIcon::Stop);
    EXPECT_EQ(shown[0].buttons, WMessageButtons::OK);
    EXPECT_TRUE(ModalTakeOver::Unexpected().empty());   // the dialog never opened
}

TEST_F(WinFindValueTableTest, ChosenRowAnswersItsId) {
    Exec("insert into Ingredients (id, name) values (40, 'Tomato chutney')");
    Exec("insert into Ingredients (id, name) values (41, 'Chicken soup')");
    Exec("insert into Ingredients (id, name) values (42, 'Chicken tortilla')");
    Exec("insert into Ingredients (id, name) values (43, null)");
    Seen seen;
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("ch to", &seen));
    EXPECT_EQ(find.FindInTable(nullptr, "Ingredients", "name", "Find ingredient"), 42);
    EXPECT_EQ(seen.results, (Texts{"Chicken tortilla", "Tomato chutney"}));
    ModalTakeOver::Expect("WinFindValue", TypeAndClick("zz", nullptr));
    EXPECT_EQ(find.FindInTable(nullptr, "Ingredients", "name", "Find ingredient"), -1);
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(WinFindValueTableTest, TableThatCannotBeReadSaysNoItems) {
    EXPECT_EQ(find.FindInTable(nullptr, "NoSuchTable", "name", "Find"), -1);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "No items to find");
}

}  // namespace
