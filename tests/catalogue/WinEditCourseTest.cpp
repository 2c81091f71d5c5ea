// The menu-item editor through its entry function: what it shows, the Amount text of its lines,
// the save step of Close and of the line commands (never of the close box), adding a line
// through the find dialog, deleting one, and the notes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include "catalogue/WinEditCourse.h"
#include "platform/forms/WGrid.h"
#include "platform/forms/WMenu.h"
#include "tests/catalogue/MenuItemTest.h"

namespace {

// The editor's Close is its default and its cancel button: Enter and Esc click it.
enum class CloseWay { CloseButton, EscapeKey, EnterKey, CloseBox };
void PrintTo(CloseWay how, std::ostream* os) {
    const char* names[] = {"CloseButton", "EscapeKey", "EnterKey", "CloseBox"};
    *os << names[static_cast<int>(how)];
}

void CloseEditor(WForm& form, CloseWay how) {
    switch (how) {
    case CloseWay::CloseButton: Click(form, "cb_Close"); break;
    case CloseWay::EscapeKey:
    case CloseWay::EnterKey: {
        QKeyEvent press(QEvent::KeyPress, how == CloseWay::EscapeKey ? Qt::Key_Escape : Qt::Key_Return,
                        Qt::NoModifier);
        QApplication::sendEvent(form.GetWindow(), &press);
        break;
    }
    case CloseWay::CloseBox: form.GetWindow()->close(); break;
    }
}

class WinEditCourseTest : public MenuItemTest {
protected:
    void Edit(long course, std::function<void(WForm&)> steps) {
        OnOpen("WinEditCourse", std::move(steps));
        editor.Edit(nullptr, course);
    }
    static void Type(WForm& form, const std::string& name, const std::string& feeds) {
        TypeOver(form, "textb_Name", name);
        form.Control<WComboBox>("combo_Feeds")->SetText(feeds);
    }
    std::string NameAndFeeds(long course) {
        return Text("select name || '|' || feeds from Courses where id = " + std::to_string(course));
    }
    WinEditCourse editor;
};

TEST_F(WinEditCourseTest, ANewMenuItemShowsItsNameTheDefaultsAndNoLines) {
    Exec("insert into Courses( name ) values( 'new_menu_item' )");
    const long course = static_cast<long>(Value("select id from Courses").AsLong());
    std::string shown;
    long current = 0;
    Edit(course, [&](WForm& form) {
        shown = form.GetText() + "|" + form.Control<WTextBox>("textb_Name")->GetText() + "|" +
                form.Control<WComboBox>("combo_Feeds")->GetText() + "|" +
                form.Control<WLabel>("label_RecipeFormat")->GetText();
        current = form.Control<WGrid>("grid_Ingredients")->GetCurrentRow();
        form.GetWindow()->close();
    });
    EXPECT_EQ(shown, "Edit Menu Item|new_menu_item|1|text file: no recipe set");
    EXPECT_EQ(current, -1);
}

struct AmountCase {
    const char* name;
    long defMeasure;
    const char* portion;
    long lineMeasure;
    double amount;
    int unitMeasure;
    const char* shown;
};
void PrintTo(const AmountCase& c, std::ostream* os) { *os << c.name; }

class AmountColumnTest : public WinEditCourseTest, public ::testing::WithParamInterface<AmountCase> {};

TEST_P(AmountColumnTest, ReadsAsTheLineCounts) {
    const AmountCase& c = GetParam();
    const long course = AddCourse("Chili");
    AddLine(course, AddIngredient("Salami", c.defMeasure, c.portion, 20), c.lineMeasure, c.amount, c.unitMeasure);
    std::vector<std::string> rows;
    Edit(course, [&](WForm& form) {
        rows = Rows(form, "grid_Ingredients", 2);
        form.GetWindow()->close();
    });
    EXPECT_EQ(rows, (std::vector<std::string>{std::string("Salami|") + c.shown}));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AmountColumnTest,
    ::testing::Values(AmountCase{"InPortions", kGrams, "slices", kGrams, 3, 1, "3 slices (20 g each)"},
                      AmountCase{"InAMeasure", kGrams, "", kKilograms, 0.5, 0, "0.5 kg"},
                      AmountCase{"UnitsOnlyIngredientShowsUnits", kUnits, "", kGrams, 2, 0, "2 units"}),
    [](const auto& info) { return std::string(info.param.name); });

class CloseEditorTest : public WinEditCourseTest, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(CloseEditorTest, CloseEnterAndEscapeSaveAndStampTheCloseBoxNeither) {
    const long course = AddCourse("Chili");
    Edit(course, [](WForm& form) {
        Type(form, "Chili verde", "2,5");
        CloseEditor(form, GetParam());
    });
    if (GetParam() == CloseWay::CloseBox) {
        EXPECT_EQ(NameAndFeeds(course), "Chili|1.0");
        EXPECT_FALSE(Stamped(course));
    } else {
        EXPECT_EQ(NameAndFeeds(course), "Chili verde|2.5");
        EXPECT_TRUE(Stamped(course));
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseEditorTest,
                         ::testing::Values(CloseWay::CloseButton, CloseWay::EscapeKey, CloseWay::EnterKey,
                                           CloseWay::CloseBox),
                         [](const auto& info) {
                             std::ostringstream name;
                             PrintTo(info.param, &name);
                             return name.str();
                         });

TEST_F(WinEditCourseTest, ARenameToATakenNameBecomesItsFirstFreeNumberedForm) {
    AddCourse("Chili");
    AddCourse("chili_01");
    const long stew = AddCourse("Stew");
    Edit(stew, [](WForm& form) {
        Type(form, "CHILI", "1");
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Name already exists");
    EXPECT_EQ(prompter.Messages()[0].text,
              "A menu item with this same name already exists.\r\nThe name has been changed to 'CHILI_02'.");
    EXPECT_EQ(NameAndFeeds(stew), "CHILI_02|1.0");
}

TEST_F(WinEditCourseTest, FeedsThatAreNoNumberAreNeverStoredAndTheEditorStaysOpen) {
    const long course = AddCourse("Chili", 2);
    bool stillOpen = false;
    Edit(course, [&](WForm& form) {
        Type(form, "Chili verde", "abc");
        Click(form, "cb_Close");
        stillOpen = form.HasWindow() && form.GetWindow()->isVisible();
        form.GetWindow()->close();
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Invalid number");
    EXPECT_EQ(prompter.Messages()[0].text, "'abc' is not a number.\r\nType a number such as 1.5.");
    EXPECT_EQ(NameAndFeeds(course), "Chili|2.0");
    EXPECT_FALSE(Stamped(course));
}

// Flour already has a line of 5 kg in the menu item; adding Flour again opens the line editor on
// the new line, never on the old one.
TEST_F(WinEditCourseTest, AddLineOpensTheLineEditorOnItsOwnNewLine) {
    const long course = AddCourse("Bread");
    const long flour = AddIngredient("Flour", kGrams);
    AddIngredient("Salt", kGrams);
    const long oldLine = AddLine(course, flour, kKilograms, 5);
    std::string findCaption, lineShown;
    OnOpen("WinFindValue", [&](WForm& form) {
        findCaption = form.GetText();
        form.Control<WTextBox>("textb_Match")->SetText("flo");
        Click(form, "cb_OK");
    });
    OnOpen("WinEditCourseIngredient", [&](WForm& form) {
        lineShown = form.Control<WTextBox>("textb_Ingredient")->GetText() + "|" +
                    form.Control<WTextBox>("textb_Amount")->GetText() + "|" +
                    form.Control<WComboBox>("combo_Measures")->GetText();
        Click(form, "cb_Cancel");
    });
    std::vector<std::string> rows;
    std::string selectedId;
    Edit(course, [&](WForm& form) {
        Click(form, "cb_Add");
        auto* grid = form.Control<WGrid>("grid_Ingredients");
        rows = Rows(form, "grid_Ingredients", 2);
        selectedId = grid->GetCellText(grid->GetCurrentRow(), 2);
        form.GetWindow()->close();
    });
    EXPECT_EQ(findCaption, "Add ingredient");
    EXPECT_EQ(lineShown, "Flour|1|g (weight: grams)");
    const long newLine = static_cast<long>(Value("select max( id ) from CourseIngredients").AsLong());
    EXPECT_NE(newLine, oldLine);
    EXPECT_EQ(selectedId, std::to_string(newLine));
    EXPECT_EQ(Text("select amount || ' ' || measure || ' ' || unit_measure from CourseIngredients where id = " +
                   std::to_string(newLine)),
              "1.0 10 0");
    EXPECT_EQ(Text("select amount || ' ' || measure from CourseIngredients where id = " + std::to_string(oldLine)),
              "5.0 11");
    EXPECT_EQ(rows.size(), 2u);
}

TEST_F(WinEditCourseTest, ALineThatCannotBeInsertedOpensNoLineEditor) {
    const long course = AddCourse("Bread");
    const long flour = AddIngredient("Flour", kGrams);
    Exec("update Ingredients set def_measure = null where id = " + std::to_string(flour));
    OnOpen("WinFindValue", [](WForm& form) { Click(form, "cb_OK"); });
    Edit(course, [](WForm& form) {
        Click(form, "cb_Add");   // strict take-over: a line editor opening here is recorded
        form.GetWindow()->close();
    });
    EXPECT_EQ(Count("CourseIngredients"), 0);
}

TEST_F(WinEditCourseTest, LineCommandsSaveTheMenuItemFirst) {
    const long course = AddCourse("Bread");
    AddLine(course, AddIngredient("Flour", kGrams), kGrams, 500);
    std::string shownCourse;
    OnOpen("WinEditCourseIngredient", [&](WForm& form) {
        shownCourse = form.Control<WTextBox>("textb_MealCourse")->GetText();
        Click(form, "cb_Cancel");
    });
    Edit(course, [](WForm& form) {
        Type(form, "Rye bread", "6");
        Click(form, "cb_EditIngredient");
        form.GetWindow()->close();
    });
    EXPECT_EQ(shownCourse, "Rye bread");
    EXPECT_EQ(NameAndFeeds(course), "Rye bread|6.0");
    EXPECT_FALSE(Stamped(course));   // the line editor was cancelled and the editor closed by its box
}

struct DeleteLineCase {
    const char* name;
    bool popup;
    WMessageAnswer answer;
};
void PrintTo(const DeleteLineCase& c, std::ostream* os) { *os << c.name; }

class DeleteLineTest : public WinEditCourseTest, public ::testing::WithParamInterface<DeleteLineCase> {};

// The pop-up's "Delete..." removes the selected line as the button does.
TEST_P(DeleteLineTest, AsksAndRemovesTheSelectedLineOnOK) {
    const DeleteLineCase& c = GetParam();
    const long course = AddCourse("Bread");
    AddLine(course, AddIngredient("Flour", kGrams), kGrams, 500);
    AddLine(course, AddIngredient("Salt", kGrams), kGrams, 5);
    prompter.Answer(c.answer);
    std::vector<std::string> rows;
    Edit(course, [&](WForm& form) {
        auto* grid = form.Control<WGrid>("grid_Ingredients");
        grid->SetCurrentRow(grid->FindRow(0, "Salt"));
        if (c.popup)
            grid->GetPopupMenu()->FindItem(10002)->Click();
        else
            Click(form, "cb_Delete");
        rows = Rows(form, "grid_Ingredients", 1);
        form.GetWindow()->close();
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Remove Menu Item Ingredient?");
    EXPECT_EQ(prompter.Messages()[0].text, "Are you sure you want to remove the 'Salt'\r\ningredient from this menu item?");
    EXPECT_EQ(prompter.Messages()[0].icon, WMessageIcon::Question);
    EXPECT_EQ(prompter.Messages()[0].buttons, WMessageButtons::OKCancel);
    if (c.answer == WMessageAnswer::OK) {
        EXPECT_EQ(rows, (std::vector<std::string>{"Flour"}));
        EXPECT_EQ(Count("CourseIngredients"), 1);
    } else {
        EXPECT_EQ(rows, (std::vector<std::string>{"Flour", "Salt"}));
        EXPECT_EQ(Count("CourseIngredients"), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, DeleteLineTest,
                         ::testing::Values(DeleteLineCase{"ButtonOK", false, WMessageAnswer::OK},
                                           DeleteLineCase{"ButtonCancel", false, WMessageAnswer::Cancel},
                                           DeleteLineCase{"PopupOK", true, WMessageAnswer::OK},
                                           DeleteLineCase{"PopupCancel", true, WMessageAnswer::Cancel}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinEditCourseTest, NotesStampsTheMenuItemButDoesNotSaveTheTypedName) {
    const long course = AddCourse("Bread");
    std::string caption;
    OnOpen("WinNotes", [&](WForm& form) {
        caption = form.GetText();
        Click(form, "cb_OK");
    });
    Edit(course, [](WForm& form) {
        Type(form, "Rye bread", "1");
        Click(form, "cb_Notes");
        form.GetWindow()->close();
    });
    EXPECT_EQ(caption, "Notes for 'Rye bread'");
    EXPECT_EQ(NameAndFeeds(course), "Bread|1.0");
    EXPECT_TRUE(Stamped(course));
}

}  // namespace
