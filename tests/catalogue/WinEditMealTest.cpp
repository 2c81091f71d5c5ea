// The meal editor through its entry function: the two lists with repeats, what Close writes
// (the menu items, the name kept unique, the stamp), what the close box leaves, the notes
// editor's credit left alone, and a save that fails without losing anything.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

#include <functional>

#include "catalogue/WinEditMeal.h"
#include "tests/catalogue/MealFormsTest.h"

namespace {

WListBox* Chosen(WForm& form) { return form.Control<WListBox>("lb_SelectedCourses"); }
WListBox* Available(WForm& form) { return form.Control<WListBox>("lb_Courses"); }
WTextBox* Name(WForm& form) { return form.Control<WTextBox>("textb_Name"); }

void Choose(WForm& form, const std::string& course) {
    Available(form)->SetSelected(Available(form)->FindText(course));
    Click(form, "cb_Add");
}

void Unchoose(WForm& form, const std::string& course) {
    Chosen(form)->SetSelected(Chosen(form)->FindText(course));
    Click(form, "cb_Remove");
}

class WinEditMealTest : public MealFormsTest {
protected:
    void SetUp() override {
        MealFormsTest::SetUp();
        for (const char* course : {"Tea", "porridge", "Soup", "Apple"}) AddCourse(course);
        meal = AddMeal("Breakfast", {"porridge", "Tea", "porridge"});
    }

    void Edit(const std::function<void(WForm&)>& action) {
        ModalTakeOver::Expect("WinEditMeal", action);
        editor.Edit(nullptr, meal);
    }
    bool Stamped() { return !Value("select modified from Meals where id = " + std::to_string(meal)).IsNull(); }
    std::string StoredName() { return Text("select name from Meals where id = " + std::to_string(meal)); }

    long meal = -1;
    WinEditMeal editor;
};

TEST_F(WinEditMealTest, AMenuItemHeldTwiceIsShownTwiceAndCloseKeepsBothRows) {
    std::string caption, name;
    std::vector<std::string> left, right;
    Edit([&](WForm& form) {
        caption = form.GetText();
        name = Name(form)->GetText();
        left = Entries(Chosen(form));
        right = Entries(Available(form));
        Click(form, "cb_Close");
    });
    EXPECT_EQ(caption, "Edit Meal");
    EXPECT_EQ(name, "Breakfast");
    EXPECT_EQ(left, (std::vector<std::string>{"porridge", "porridge", "Tea"}));
    EXPECT_EQ(right, (std::vector<std::string>{"Apple", "porridge", "Soup", "Tea"}));
    EXPECT_EQ(MenuItemsOf(meal), (std::multiset<std::string>{"porridge", "porridge", "Tea"}));
    EXPECT_TRUE(Stamped());   // every Close stamps, also when nothing changed
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(WinEditMealTest, AnAddedMenuItemStaysAvailableAndCanBeChosenAgain) {
    std::vector<std::string> right;
    Edit([&](WForm& form) {
        Choose(form, "Soup");
        Choose(form, "Soup");
        Unchoose(form, "Tea");
        right = Entries(Available(form));
        Name(form)->SetText("Big breakfast");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(right, (std::vector<std::string>{"Apple", "porridge", "Soup", "Tea"}));
    EXPECT_EQ(MenuItemsOf(meal), (std::multiset<std::string>{"porridge", "porridge", "Soup", "Soup"}));
    EXPECT_EQ(StoredName(), "Big breakfast");
}

TEST_F(WinEditMealTest, ClearAllThenCloseStoresAMealWithoutMenuItems) {
    Edit([](WForm& form) {
        Click(form, "cb_ClearAll");
        EXPECT_EQ(Chosen(form)->GetCount(), 0);
        Click(form, "cb_Close");
    });
    EXPECT_TRUE(MenuItemsOf(meal).empty());
    EXPECT_TRUE(Stamped());
}

TEST_F(WinEditMealTest, EnterAndEscapeBothSave) {
    for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
        Edit([key](WForm& form) {
            Choose(form, "Apple");
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(form.GetWindow(), &press);
        });
    }
    EXPECT_EQ(MenuItemsOf(meal), (std::multiset<std::string>{"Apple", "Apple", "porridge", "porridge", "Tea"}));
}

TEST_F(WinEditMealTest, TheCloseBoxDiscardsNameAndMenuItemChanges) {
    Edit([](WForm& form) {
        Name(form)->SetText("Renamed");
        Choose(form, "Soup");
        Unchoose(form, "Tea");
        form.GetWindow()->close();
    });
    EXPECT_EQ(StoredName(), "Breakfast");
    EXPECT_EQ(MenuItemsOf(meal), (std::multiset<std::string>{"porridge", "porridge", "Tea"}));
    EXPECT_FALSE(Stamped());
}

TEST_F(WinEditMealTest, EditAllMenuItemsSavesFirstAndThenShowsAMenuItemAddedThere) {
    std::multiset<std::string> storedWhileListOpen;
    std::string nameWhileListOpen;
    ModalTakeOver::Expect("WinMealCourses", [&](WForm& list) {
        storedWhileListOpen = MenuItemsOf(meal);
        nameWhileListOpen = StoredName();
        Click(list, "cb_Add");
        Click(list, "cb_Close");
    });
    ModalTakeOver::Expect("WinEditCourse", [](WForm& course) {
        course.Control<WTextBox>("textb_Name")->SetText("Pancakes");
        Click(course, "cb_Close");
    });
    std::vector<std::string> left, right;
    Edit([&](WForm& form) {
        Name(form)->SetText("Brunch");
        Choose(form, "Soup");
        Click(form, "cb_EditCourses");
        left = Entries(Chosen(form));
        right = Entries(Available(form));
        // What changes after that save goes with the close box.
        Name(form)->SetText("Renamed");
        Unchoose(form, "Tea");
        form.GetWindow()->close();
    });
    EXPECT_EQ(storedWhileListOpen, (std::multiset<std::string>{"porridge", "porridge", "Soup", "Tea"}));
    EXPECT_EQ(nameWhileListOpen, "Brunch");
    EXPECT_EQ(left, (std::vector<std::string>{"porridge", "porridge", "Soup", "Tea"}));
    EXPECT_EQ(right, (std::vector<std::string>{"Apple", "Pancakes", "porridge", "Soup", "Tea"}));
    EXPECT_EQ(StoredName(), "Brunch");
    EXPECT_EQ(MenuItemsOf(meal), (std::multiset<std::string>{"porridge", "porridge", "Soup", "Tea"}));
    EXPECT_TRUE(Stamped());
}

TEST_F(WinEditMealTest, ANameAnotherMealHasGetsTheFirstFreeSuffix) {
    AddMeal("Dinner", {});
    AddMeal("Dinner_01", {});
    std::string shownName;
    Edit([&](WForm& form) {
        Name(form)->SetText("dinner");
        Click(form, "cb_Close");
        shownName = Name(form)->GetText();
    });
    EXPECT_EQ(shownName, "dinner_02");
    EXPECT_EQ(StoredName(), "dinner_02");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Name already exists");
    EXPECT_EQ(prompter.Messages()[0].text,
              "A meal with this same name already exists.\r\nThe name has been changed to 'dinner_02'.");
}

TEST_F(WinEditMealTest, TheSaveWritesTheNameButNeverTheCreditTheNotesEditorChanged) {
    Exec("update Meals set licensor = 'old credit' where id = " + std::to_string(meal));
    std::string notesCaption;
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        notesCaption = form.GetText();
        form.Control<WTextBox>("textb_Notes")->SetText("hot");
        form.Control<WTextBox>("textb_License")->SetText("new credit");
        Click(form, "cb_OK");
    });
    Edit([](WForm& form) {
        Name(form)->SetText("Early breakfast");
        Click(form, "cb_Notes");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(notesCaption, "Notes for 'Early breakfast'");
    EXPECT_EQ(StoredName(), "Early breakfast");
    EXPECT_EQ(Text("select licensor from Meals where id = " + std::to_string(meal)), "new credit");
    EXPECT_EQ(Text("select notes from Meals where id = " + std::to_string(meal)), "hot");
}

TEST_F(WinEditMealTest, FindSelectsTheMenuItemReadyToAdd) {
    std::string title;
    ModalTakeOver::Expect("WinFindValue", [&](WForm& form) {
        title = form.GetText();
        form.Control<WTextBox>("textb_Match")->SetText("so");
        Click(form, "cb_OK");
    });
    Edit([](WForm& form) {
        Click(form, "cb_Find");
        Click(form, "cb_Add");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(title, "Find a meal course");
    EXPECT_EQ(MenuItemsOf(meal), (std::multiset<std::string>{"porridge", "porridge", "Soup", "Tea"}));
}

TEST_F(WinEditMealTest, AFailedSaveKeepsTheMenuItemsAndTheEditorOpenAndOpensNoList) {
    bool openAfterFailure = false;
    Edit([&](WForm& form) {
        Name(form)->SetText("Renamed");
        Choose(form, "Apple");
        // The menu item goes while it is chosen here: its row can no longer be written.
        Exec("delete from Courses where name = 'Apple'");
        Click(form, "cb_Close");
        QApplication::processEvents();
        openAfterFailure = form.GetWindow()->isVisible();
        Click(form, "cb_EditCourses");   // strict: the list must not open after a failed save
        form.GetWindow()->close();
    });
    EXPECT_TRUE(openAfterFailure);
    ASSERT_EQ(prompter.Messages().size(), 2u);
    EXPECT_EQ(prompter.Messages()[1].caption, "Meal not saved");
    const ScriptedPrompter::Shown shown = prompter.Messages()[0];
    EXPECT_EQ(shown.caption, "Meal not saved");
    EXPECT_EQ(shown.text,
              "The menu items of the meal 'Renamed' could not be saved.\r\nThe meal keeps the menu items it had.");
    EXPECT_EQ(shown.icon, WMessageIcon::Stop);
    EXPECT_EQ(shown.buttons, WMessageButtons::OK);
    EXPECT_EQ(MenuItemsOf(meal), (std::multiset<std::string>{"porridge", "porridge", "Tea"}));
    EXPECT_EQ(StoredName(), "Breakfast");
    EXPECT_FALSE(Stamped());
}

TEST_F(WinEditMealTest, WithNoMenuItemsInTheCatalogueCloseLeavesTheMealWithout) {
    Exec("delete from MealCourses");
    Exec("delete from Courses");
    std::vector<std::string> left, right;
    Edit([&](WForm& form) {
        left = Entries(Chosen(form));
        right = Entries(Available(form));
        Click(form, "cb_Close");
    });
    EXPECT_TRUE(left.empty());
    EXPECT_TRUE(right.empty());
    EXPECT_EQ(Count("MealCourses"), 0);
}

}  // namespace
