// The two-list selection on real list boxes of an offscreen form: filling, the moves with and
// without duplicates, the current entry after a delete, the messages, drag and drop.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>

#include "platform/forms/Forms.h"
#include "shell/SelLists.h"
#include "shell/WinStart.h"
#include "tests/dialogs/TestLists.h"

namespace {

std::vector<std::string> Texts(const WListBox* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->GetCount(); ++i) texts.push_back(list->GetItemText(i));
    return texts;
}

using Texts_ = std::vector<std::string>;

class SelListsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(form.Create(nullptr)); }
    void TearDown() override {
        form.Close();
        QApplication::processEvents();
    }

    // Three candidates (ids 1-3), the first one already chosen.
    void FillThree(bool duplicates, const std::string& noun = "person") {
        form.data.Init(duplicates);
        form.data.AddItem("Carol", 3, 0, false);
        form.data.AddItem("alice", 1, 0, true);
        form.data.AddItem("Bob", 2, 0, false);
        form.FillFrom(noun);
    }

    WinStart main;   // the drag image comes from the main window
    TestLists form;
    ScriptedPrompter prompter;
};

TEST_F(SelListsTest, WithoutDuplicatesAnItemStandsOnOneSideOnly) {
    FillThree(false);
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice"}));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"Bob", "Carol"}));   // sorted, without regard to case
    EXPECT_EQ(form.Chosen()->GetSelected(), 0);
    EXPECT_EQ(form.Available()->GetSelected(), 0);
    EXPECT_EQ(form.sel.SelectedCount(), 1);
    EXPECT_EQ(form.sel.SelectedId(0), 1);
    EXPECT_EQ(form.sel.AvailableCount(), 2);
    EXPECT_EQ(form.sel.AvailableId(1), 3);
}

// The same order as the database's name columns give (see NameOrderTest): a list filled from an
// "order by name" query and a list sorted here never disagree.
TEST_F(SelListsTest, SortedListsOrderNamesAsTheDatabaseDoes) {
    form.data.Init(false);
    long id = 1;
    for (const char* name : {"Egg", "Éclair", "crème brûlée", "Eclair", "zucchini", "Ølive", "ÉCLAIRS"})
        form.data.AddItem(name, id++, 0, false);
    form.FillFrom("ingredient");
    EXPECT_EQ(Texts(form.Available()),
              (Texts_{"crème brûlée", "Eclair", "Éclair", "ÉCLAIRS", "Egg", "zucchini", "Ølive"}));
}

TEST_F(SelListsTest, WithDuplicatesEveryItemIsAvailable) {
    FillThree(true);
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice"}));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"alice", "Bob", "Carol"}));
}

TEST_F(SelListsTest, ChosenKeyWithoutItemShowsAnEmptyName) {
    form.data.Init(false);
    form.data.AddItem("Bob", 2, 0, false);
    form.data.AddSelected(9, 0);
    form.FillFrom("person");
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{""}));
    EXPECT_EQ(form.sel.SelectedId(0), 9);
}

TEST_F(SelListsTest, AddAndRemoveMoveTheEntryWithoutDuplicates) {
    FillThree(false);
    form.Available()->SetSelected(1);   // Carol
    ASSERT_TRUE(form.sel.Add());
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice", "Carol"}));
    EXPECT_EQ(form.Chosen()->GetItemText(form.Chosen()->GetSelected()), "Carol");
    EXPECT_EQ(Texts(form.Available()), (Texts_{"Bob"}));
    EXPECT_EQ(form.sel.SelectedId(1), 3);

    form.Chosen()->SetSelected(0);   // alice
    ASSERT_TRUE(form.sel.Remove());
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"Carol"}));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"alice", "Bob"}));
    EXPECT_EQ(form.Available()->GetItemText(form.Available()->GetSelected()), "alice");
    EXPECT_EQ(form.sel.AvailableId(0), 1);
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(SelListsTest, WithDuplicatesAddKeepsTheAvailableEntryAndRemoveOnlyDeletes) {
    FillThree(true);
    form.Available()->SetSelected(1);   // Bob
    ASSERT_TRUE(form.sel.Add());
    ASSERT_TRUE(form.sel.Add());
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice", "Bob", "Bob"}));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"alice", "Bob", "Carol"}));
    EXPECT_EQ(form.Available()->GetSelected(), 1);

    form.Chosen()->SetSelected(1);
    ASSERT_TRUE(form.sel.Remove());
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice", "Bob"}));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"alice", "Bob", "Carol"}));
}

TEST_F(SelListsTest, ClearAllMovesBackOnlyWithoutDuplicates) {
    FillThree(false);
    form.sel.Add();
    form.sel.ClearAll();
    EXPECT_TRUE(Texts(form.Chosen()).empty());
    EXPECT_EQ(Texts(form.Available()), (Texts_{"alice", "Bob", "Carol"}));
    EXPECT_EQ(form.Available()->GetSelected(), 0);

    FillThree(true);
    form.sel.ClearAll();
    EXPECT_TRUE(Texts(form.Chosen()).empty());
    EXPECT_EQ(Texts(form.Available()), (Texts_{"alice", "Bob", "Carol"}));
}

// The current entry after a delete: the one now at the same position, else the new last one,
// else none.
TEST_F(SelListsTest, SelectionAfterDeleteStaysInPlace) {
    form.data.Init(false);
    for (int id = 1; id <= 3; ++id) form.data.AddItem(std::string(1, char('a' + id - 1)), id, 0, true);
    form.FillFrom("person");
    form.Chosen()->SetSelected(1);   // b
    form.sel.Remove();
    EXPECT_EQ(form.Chosen()->GetItemText(form.Chosen()->GetSelected()), "c");
    form.sel.Remove();   // c was the last: a becomes current
    EXPECT_EQ(form.Chosen()->GetItemText(form.Chosen()->GetSelected()), "a");
    form.sel.Remove();
    EXPECT_EQ(form.Chosen()->GetCount(), 0);
    EXPECT_EQ(form.Chosen()->GetSelected(), -1);

    form.Available()->SetSelected(2);   // the last available one
    form.sel.Add();
    EXPECT_EQ(form.Available()->GetSelected(), 1);
}

struct MessageCase {
    const char* name;
    const char* noun;
    const char* addText;
    const char* removeText;
};
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }


class SelListsMessageTest : public SelListsTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(SelListsMessageTest, NothingCurrentShowsTheSelectionError) {
    const MessageCase& c = GetParam();
    form.data.Init(false);
    form.FillFrom(c.noun);
    EXPECT_FALSE(form.sel.Add());
    EXPECT_FALSE(form.sel.Remove());
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Selection error");
    EXPECT_EQ(shown[0].text, c.addText);
    EXPECT_EQ(shown[0].icon, WMessageIcon::Stop);
    EXPECT_EQ(shown[0].buttons, WMessageButtons::OK);
    EXPECT_EQ(shown[0].owner, "TestLists");
    EXPECT_EQ(shown[1].text, c.removeText);
}

INSTANTIATE_TEST_SUITE_P(
    Nouns, SelListsMessageTest,
    ::testing::Values(
        MessageCase{"vowel", "ingredient", "You must select an ingredient from the list on the right to add",
                    "You must select an ingredient from the list on the left to remove"},
        MessageCase{"consonant", "meal", "You must select a meal from the list on the right to add",
                    "You must select a meal from the list on the left to remove"},
        MessageCase{"capital_vowel", "Item", "You must select a Item from the list on the right to add",
                    "You must select a Item from the list on the left to remove"},
        MessageCase{"meal_course", "meal/course", "You must select a meal/course from the list on the right to add",
                    "You must select a meal/course from the list on the left to remove"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SelListsTest, KeysKeepBothHalves) {
    // A meal and a menu item with the same id stay apart by the high half.
    form.data.Init(false);
    form.data.AddItem("Stew", 3, 0, false);
    form.data.AddItem("Tea", 3, 1, true);
    form.FillFrom("meal/course");
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"Tea"}));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"Stew"}));
    EXPECT_EQ(form.sel.SelectedKey(0), MakeSelItemKey(3, 1));
    EXPECT_EQ(SelItemKeyHigh(form.sel.SelectedKey(0)), 1);
    EXPECT_EQ(form.sel.SelectedId(0), 3);
    EXPECT_EQ(SelItemKeyLow(MakeSelItemKey(-1, -1)), -1);
    EXPECT_EQ(SelItemKeyHigh(MakeSelItemKey(5, -1)), -1);
}

TEST(SelListsDataTest, AddSelectedRefusesARepeatOnlyWithoutDuplicates) {
    SelListsData data;
    data.Init(false);
    EXPECT_EQ(data.AddItem("a", 1, 0, true), 0);
    EXPECT_EQ(data.AddItem("a again", 1, 0, true), 1);   // listed, but chosen once
    EXPECT_EQ(data.SelectedCount(), 1);
    EXPECT_FALSE(data.AddSelected(1, 0));
    EXPECT_TRUE(data.AddSelected(1, 1));
    data.Init(true);
    EXPECT_EQ(data.ItemCount(), 0);
    EXPECT_EQ(data.SelectedCount(), 0);
    EXPECT_TRUE(data.AddSelected(1, 0));
    EXPECT_TRUE(data.AddSelected(1, 0));
    EXPECT_EQ(data.SelectedCount(), 2);
}

TEST(SelListsDataTest, ItemKeyPastTheLastItemIsNone) {
    SelListsData data;
    data.Init(false);
    data.AddItem("a", 7, 2, false);
    ASSERT_TRUE(data.ItemKey(0).has_value());
    EXPECT_EQ(*data.ItemKey(0), MakeSelItemKey(7, 2));
    EXPECT_FALSE(data.ItemKey(1).has_value());
    EXPECT_FALSE(data.ItemKey(-1).has_value());
}

TEST_F(SelListsTest, EntriesListedBeforeTheDataGrowsStayIntact) {
    FillThree(false);
    for (int id = 10; id < 60; ++id) form.data.AddItem("x", id, 0, false);
    const int added = form.data.AddItem("Dave", 99, 0, false);
    form.Available()->SetItemData(form.Available()->AddItem("Dave"), *form.data.ItemKey(added));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"Bob", "Carol", "Dave"}));
    EXPECT_EQ(form.sel.AvailableId(0), 2);
    EXPECT_EQ(form.sel.AvailableId(2), 99);
}

TEST_F(SelListsTest, DoubleClickAddsFromTheRightAndRemovesFromTheLeft) {
    FillThree(false);
    WEventData right;
    right.id = DoubleClickEvent;
    form.Available()->Raise(right);
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice", "Bob"}));
    WEventData left;
    left.id = DoubleClickEvent;
    form.Chosen()->Raise(left);
    EXPECT_EQ(form.Chosen()->GetCount(), 1);
}

TEST_F(SelListsTest, SelectionTextFollowsEitherList) {
    FillThree(false);
    form.Available()->SetSelected(1);
    EXPECT_EQ(form.SelectionText()->GetText(), "Carol");
    form.Chosen()->SetSelected(-1);
    EXPECT_EQ(form.SelectionText()->GetText(), "");
    form.Chosen()->SetSelected(0);
    EXPECT_EQ(form.SelectionText()->GetText(), "alice");
}

// Drags with the mouse as the user would: press on an entry, move past the drag distance, let go
// over a list.
class SelListsDragTest : public SelListsTest {
protected:
    void SetUp() override {
        SelListsTest::SetUp();
        form.GetWindow()->show();
        QApplication::processEvents();
    }

    static QPoint EntryCentre(WListBox* list, int index) {
        return list->GetList()->visualItemRect(list->GetList()->item(index)).center();
    }

    void Drag(WListBox* from, int index, WListBox* to) {
        QWidget* source = from->GetList()->viewport();
        QWidget* target = to->GetList()->viewport();
        const QPoint start = EntryCentre(from, index);
        Send(source, QEvent::MouseButtonPress, start, source->mapToGlobal(start), Qt::LeftButton);
        const QPoint over = target->rect().center();
        const QPoint overGlobal = target->mapToGlobal(over);
        const QPoint step = start + QPoint(QApplication::startDragDistance() + 5, 0);
        Send(source, QEvent::MouseMove, step, source->mapToGlobal(step), Qt::NoButton);
        Send(source, QEvent::MouseMove, source->mapFromGlobal(overGlobal), overGlobal, Qt::NoButton);
        Send(source, QEvent::MouseButtonRelease, source->mapFromGlobal(overGlobal), overGlobal, Qt::LeftButton);
    }

    // Presses at the foot of one entry and lets the mouse drift onto the next one before the
    // drag distance is reached, as a hand does.
    void DragAfterDrift(WListBox* from, int index, WListBox* to) {
        QWidget* source = from->GetList()->viewport();
        const QRect entry = from->GetList()->visualItemRect(from->GetList()->item(index));
        const QPoint start(entry.center().x(), entry.bottom() - 1);
        const QPoint drift = start + QPoint(0, 3);
        ASSERT_LT(drift.manhattanLength() - start.manhattanLength(), QApplication::startDragDistance());
        Send(source, QEvent::MouseButtonPress, start, source->mapToGlobal(start), Qt::LeftButton);
        Send(source, QEvent::MouseMove, drift, source->mapToGlobal(drift), Qt::NoButton);
        ASSERT_EQ(from->GetSelected(), index + 1);   // the list's own selection followed the mouse
        const QPoint overGlobal = to->GetList()->viewport()->mapToGlobal(to->GetList()->viewport()->rect().center());
        Send(source, QEvent::MouseMove, source->mapFromGlobal(overGlobal), overGlobal, Qt::NoButton);
        Send(source, QEvent::MouseButtonRelease, source->mapFromGlobal(overGlobal), overGlobal, Qt::LeftButton);
    }

    static void Send(QWidget* widget, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
};

TEST_F(SelListsDragTest, DropFromTheRightAdds) {
    FillThree(false);
    Drag(form.Available(), 1, form.Chosen());   // Carol
    EXPECT_EQ(form.drops, 1);
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice", "Carol"}));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"Bob"}));
}

TEST_F(SelListsDragTest, DropFromTheLeftRemoves) {
    FillThree(false);
    Drag(form.Chosen(), 0, form.Available());
    EXPECT_TRUE(Texts(form.Chosen()).empty());
    EXPECT_EQ(Texts(form.Available()), (Texts_{"alice", "Bob", "Carol"}));
}

TEST_F(SelListsDragTest, TheDragMovesThePressedEntryNotTheOneTheMouseDriftedOnto) {
    FillThree(false);
    DragAfterDrift(form.Available(), 0, form.Chosen());   // pressed on Bob, drifted onto Carol
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice", "Bob"}));
    EXPECT_EQ(Texts(form.Available()), (Texts_{"Carol"}));
}

TEST_F(SelListsDragTest, DropOfARightEntryOnItsOwnListStillAdds) {
    FillThree(false);
    Drag(form.Available(), 0, form.Available());   // Bob
    EXPECT_EQ(Texts(form.Chosen()), (Texts_{"alice", "Bob"}));
}

}  // namespace
