// The ingredients form opened through its entry function on a private copy of the empty
// template: the list and the locked or editable details, what each command writes and shows,
// and when a row is written and stamped.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "catalogue/WinIngredients.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WChoiceControls.h"
#include "platform/forms/WGrid.h"
#include "platform/forms/WListBox.h"
#include "platform/forms/WMenu.h"
#include "tests/support/MainWindowDatabaseTest.h"

namespace {

constexpr long kGrams = 10;
constexpr long kUnits = 14;   // the default measure of a new ingredient

const char* const kDetailFields[] = {"textb_Name", "combo_DefMeasure", "checkbox_UnitMeasure", "textb_UnitSizeName",
                                     "textb_UnitMeasures"};

WGrid* Grid(WForm& form) { return form.Control<WGrid>("grid_Ingredients"); }
WTextBox* Box(WForm& form, const char* name) { return form.Control<WTextBox>(name); }
WCheckBox* CheckBox(WForm& form, const char* name) { return form.Control<WCheckBox>(name); }
void Click(WForm& form, const char* name) { form.Control<WCommandButton>(name)->Click(); }

// A click on the row, as the user makes the row current.
void Select(WForm& form, const std::string& name) {
    const long row = Grid(form)->FindRow(0, name);
    ASSERT_NE(row, -1) << name;
    Grid(form)->SetCurrentRow(row);
}

// A left click on the row as the mouse makes it: press and release on the grid's viewport.
void ClickRow(WForm& form, const std::string& name) {
    QTableView* view = Grid(form)->GetView();
    const QPoint at = view->visualRect(view->model()->index(static_cast<int>(Grid(form)->FindRow(0, name)), 0)).center();
    const QPointF global = view->viewport()->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &release);
}

std::string Current(WForm& form) {
    const long row = Grid(form)->GetCurrentRow();
    return row < 0 ? std::string() : Grid(form)->GetCellText(row, 0);
}

std::vector<std::string> Listed(WForm& form) {
    std::vector<std::string> names;
    for (long row = 0; row < Grid(form)->GetNumRows(); ++row) names.push_back(Grid(form)->GetCellText(row, 0));
    return names;
}

bool FieldsEnabled(WForm& form, bool enabled) {
    for (const char* field : kDetailFields)
        if (form.FindControl(field)->GetEnabled() != enabled) return false;
    return true;
}
bool Editable(WForm& form) { return FieldsEnabled(form, true) && !form.FindControl("cb_EditIngredient")->GetVisible(); }
bool Locked(WForm& form) { return FieldsEnabled(form, false) && form.FindControl("cb_EditIngredient")->GetVisible(); }

// Whether the form is still open once the work it posted has run.
bool StillOpen(WForm& form) {
    QCoreApplication::sendPostedEvents();
    return form.GetWindow() && form.GetWindow()->isVisible();
}

void PressKey(WForm& form, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(form.GetWindow(), &press);
}

struct Message {
    std::string caption;
    std::string text;
    WMessageIcon icon;
    WMessageButtons buttons;
};

void ExpectShown(const ScriptedPrompter::Shown& shown, const Message& expected) {
    EXPECT_EQ(shown.caption, expected.caption);
    EXPECT_EQ(shown.text, expected.text);
    EXPECT_EQ(shown.icon, expected.icon);
    EXPECT_EQ(shown.buttons, expected.buttons);
}

Message InvalidNumber(const std::string& typed) {
    return {"Invalid number", "'" + typed + "' is not a number.\r\nType a number such as 1.5.", WMessageIcon::Exclamation,
            WMessageButtons::OK};
}

class WinIngredientsTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override {
        ModalTakeOver::Reset();
        ModalTakeOver::SetStrict(true);
        MainWindowDatabaseTest::SetUp();
        main.options.safeEdits = false;
    }
    void TearDown() override {
        MainWindowDatabaseTest::TearDown();
        EXPECT_TRUE(ModalTakeOver::Unexpected().empty()) << ModalTakeOver::Unexpected().front();
        EXPECT_EQ(ModalTakeOver::Pending(), 0);
        EXPECT_EQ(prompter.Unanswered(), 0);
        ModalTakeOver::Reset();
    }

    // Opens the form through the main window's entry function and runs the steps in it; a form
    // the steps leave open is ended (and the test fails), so that no test waits on it.
    void Run(const std::function<void(WForm&)>& steps) {
        ModalTakeOver::Expect("WinIngredients", [&](WForm& form) {
            steps(form);
            if (StillOpen(form)) {
                ADD_FAILURE() << "the form is still open";
                form.EndWindow(-1);
            }
        });
        EXPECT_TRUE(main.winIngredients->Open(nullptr));
    }

    long Add(const std::string& name, const std::string& columns = "", const std::string& values = "") {
        Exec("insert into Ingredients( name" + columns + " ) values( '" + Quoted(name) + "'" + values + " )");
        return IdOf(name);
    }
    long IdOf(const std::string& name) {
        const WDataValue id = Value("select id from Ingredients where name = '" + Quoted(name) + "'");
        return id.IsNull() ? -1 : static_cast<long>(id.AsLong());
    }
    // A menu item that uses the ingredient in one line.
    void UseIn(const std::string& course, long ingredient) {
        Exec("insert into Courses( name ) values( '" + course + "' )");
        Exec("insert into CourseIngredients( course, ingredient, measure, amount ) values( ( select id from Courses "
             "where name = '" + course + "' ), " + std::to_string(ingredient) + ", 14, 2 )");
    }
    std::string Column(const std::string& column, long id) {
        return Value("select " + column + " from Ingredients where id = " + std::to_string(id)).AsText();
    }
    bool Stamped(long id) {
        return !Value("select modified from Ingredients where id = " + std::to_string(id)).IsNull();
    }
    static std::string Quoted(std::string text) {
        for (std::size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at + 2)) text.insert(at, 1, '\'');
        return text;
    }

    ScriptedPrompter prompter;
};

// ---- The list and the details ----

TEST_F(WinIngredientsTest, AnEmptyCatalogueHasNoRowToEdit) {
    Run([&](WForm& form) {
        EXPECT_EQ(form.GetText(), "Edit Ingredients");
        EXPECT_EQ(Grid(form)->GetNumRows(), 0);
        EXPECT_TRUE(FieldsEnabled(form, false));
        EXPECT_FALSE(form.FindControl("cb_EditIngredient")->GetVisible());
        EXPECT_FALSE(form.FindControl("cb_DefaultCourse")->GetEnabled());
        for (const char* command : {"cb_Delete", "cb_Notes", "cb_Copy"}) Click(form, command);
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 3u);
    for (const auto& shown : prompter.Messages())
        ExpectShown(shown, {"Selection error",
                            "You must create and select an ingredient before you can complete this task.\r\n\r\n",
                            WMessageIcon::Stop, WMessageButtons::OK});
    EXPECT_EQ(Count("Ingredients"), 0);
}

TEST_F(WinIngredientsTest, TheListIsSortedByNameAndShowsTheFirstRow) {
    Add("salt");
    Add("Apple", ", def_measure, unit_measure, unit_measure_name, unit_measure_size, notes",
        ", 10, 1, 'slices', 20, 'crisp'");
    Add("pepper");
    Run([&](WForm& form) {
        EXPECT_EQ(Listed(form), (std::vector<std::string>{"Apple", "pepper", "salt"}));
        const std::vector<std::string> titles = Grid(form)->GetColumnTitles();
        ASSERT_GE(titles.size(), 2u);
        EXPECT_EQ(titles[0], "Name");
        EXPECT_EQ(titles[1], "Notes");
        EXPECT_EQ(Grid(form)->GetCellText(0, 1), "crisp");
        EXPECT_TRUE(Grid(form)->IsColumnHidden(2));
        EXPECT_TRUE(Grid(form)->IsColumnHidden(3));
        EXPECT_EQ(Current(form), "Apple");
        EXPECT_EQ(Box(form, "textb_Name")->GetText(), "Apple");
        EXPECT_EQ(form.Control<WComboBox>("combo_DefMeasure")->GetText(), "g (weight: grams)");
        EXPECT_TRUE(CheckBox(form, "checkbox_UnitMeasure")->GetChecked());
        EXPECT_EQ(Box(form, "textb_UnitSizeName")->GetText(), "slices");
        EXPECT_EQ(Box(form, "textb_UnitMeasures")->GetText(), "20");
        EXPECT_TRUE(Editable(form));
        EXPECT_TRUE(form.FindControl("cb_DefaultCourse")->GetEnabled());
        Select(form, "salt");
        EXPECT_EQ(form.Control<WComboBox>("combo_DefMeasure")->GetText(), "units (units: whole items, counted)");
        EXPECT_FALSE(CheckBox(form, "checkbox_UnitMeasure")->GetChecked());
        form.Raise(HelpEvent);
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_TRUE(prompter.HelpRequests()[0].ends_with("::/idh_ingredients.htm#IDH_INGREDIENTS"));
    EXPECT_TRUE(prompter.Messages().empty());
}

struct WarningCase {
    const char* name;
    const char* licensor;   // SQL value
    bool used;
    const char* warning;
};
void PrintTo(const WarningCase& c, std::ostream* os) { *os << c.name; }

class WarningTest : public WinIngredientsTest, public ::testing::WithParamInterface<WarningCase> {};

TEST_P(WarningTest, TheWarningTellsOfACreditOrOfMenuItemsThatUseTheIngredient) {
    const long id = Add("salt", ", licensor", std::string(", ") + GetParam().licensor);
    if (GetParam().used) UseIn("stew", id);
    std::string shown;
    Run([&](WForm& form) {
        shown = form.FindControl("label_8Warning")->GetText();
        Click(form, "cb_Close");
    });
    EXPECT_EQ(shown, GetParam().warning);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WarningTest,
    ::testing::Values(
        WarningCase{"Credit", "'ACME foods'", false,
                    "Warning: this is a downloaded/default ingredient. Click Notes for details. You can make a copy "
                    "to edit your own version."},
        WarningCase{"CreditAndUsed", "'ACME foods'", true,
                    "Warning: this is a downloaded/default ingredient. Click Notes for details. You can make a copy "
                    "to edit your own version."},
        WarningCase{"Used", "NULL", true,
                    "WARNING! Ingredient is used in one or more existing meal courses.\nChanges here can effect "
                    "existing recipes."},
        WarningCase{"EmptyCredit", "''", false, ""}, WarningCase{"Plain", "NULL", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinIngredientsTest, TypingAUnitSizeNameAllowsUnitSizing) {
    const long id = Add("salami");
    Run([&](WForm& form) {
        EXPECT_FALSE(CheckBox(form, "checkbox_UnitMeasure")->GetChecked());
        Box(form, "textb_UnitSizeName")->Type("slices");
        EXPECT_TRUE(CheckBox(form, "checkbox_UnitMeasure")->GetChecked());
        Click(form, "cb_Close");
    });
    EXPECT_EQ(Column("unit_measure", id), "1");
    EXPECT_EQ(Column("unit_measure_name", id), "slices");
}

TEST_F(WinIngredientsTest, APickedMeasureAndATypedSizeAreStoredAsNumbers) {
    const long id = Add("salami");
    Run([&](WForm& form) {
        auto* measures = form.Control<WComboBox>("combo_DefMeasure");
        measures->Pick(measures->FindText("g (weight: grams)"));
        Box(form, "textb_UnitMeasures")->SetText(" 12,5 ");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(Value("select def_measure from Ingredients where id = " + std::to_string(id)).AsLong(), kGrams);
    EXPECT_EQ(Value("select typeof( unit_measure_size ) from Ingredients where id = " + std::to_string(id)).AsText(),
              "real");
    EXPECT_DOUBLE_EQ(Value("select unit_measure_size from Ingredients where id = " + std::to_string(id)).AsDouble(), 12.5);
}

// ---- Safe editing ----

TEST_F(WinIngredientsTest, SafeEditingLocksAnExistingRowUntilEditIsPressed) {
    main.options.safeEdits = true;
    Add("pepper");
    Add("salt");
    Run([&](WForm& form) {
        EXPECT_TRUE(CheckBox(form, "checkbox_SafeEdits")->GetChecked());
        EXPECT_TRUE(Locked(form));
        EXPECT_TRUE(form.FindControl("cb_DefaultCourse")->GetEnabled());
        Click(form, "cb_EditIngredient");
        EXPECT_TRUE(Editable(form));
        Select(form, "salt");
        EXPECT_TRUE(Locked(form));
        Select(form, "pepper");
        EXPECT_TRUE(Locked(form));
        Click(form, "cb_Close");
    });
    EXPECT_FALSE(Stamped(IdOf("pepper")));
}

// Edit hides itself: the focus goes on to the name, ready for typing, and not to the next button
// (where the blank of a typed name would create a menu item).
TEST_F(WinIngredientsTest, EditPutsTheFocusInTheUnlockedNameReadyForTyping) {
    main.options.safeEdits = true;
    Add("salt");
    Run([&](WForm& form) {
        form.FindControl("cb_EditIngredient")->SetFocus();
        Click(form, "cb_EditIngredient");
        ASSERT_TRUE(Editable(form));
        WTextBox* name = Box(form, "textb_Name");
        EXPECT_EQ(form.GetWindow()->focusWidget(), name->GetWidget());
        EXPECT_EQ(name->GetSelectionStart(), 0);
        EXPECT_EQ(name->GetSelectionEnd(), 4);
        Click(form, "cb_Close");
    });
}

struct SafeEditsCase {
    const char* name;
    bool before;
};
void PrintTo(const SafeEditsCase& c, std::ostream* os) { *os << c.name; }

class SafeEditsSwitchTest : public WinIngredientsTest, public ::testing::WithParamInterface<SafeEditsCase> {};

TEST_P(SafeEditsSwitchTest, SwitchingSafeEditingSavesTheEditedRowFirst) {
    const bool before = GetParam().before;
    main.options.safeEdits = before;
    const long id = Add("salt");
    bool lockedAfter = false;
    std::string nameAfter;
    Run([&](WForm& form) {
        if (before) Click(form, "cb_EditIngredient");
        Box(form, "textb_Name")->SetText("sea salt");
        Click(form, "checkbox_SafeEdits");
        lockedAfter = Locked(form);
        nameAfter = Box(form, "textb_Name")->GetText();
        EXPECT_EQ(CheckBox(form, "checkbox_SafeEdits")->GetChecked(), !before);
        form.GetWindow()->close();   // nothing left to save
    });
    EXPECT_EQ(main.options.safeEdits, !before);
    EXPECT_EQ(Column("name", id), "sea salt");
    EXPECT_TRUE(Stamped(id));
    EXPECT_EQ(nameAfter, "sea salt");
    EXPECT_EQ(lockedAfter, !before);
}

INSTANTIATE_TEST_SUITE_P(Switches, SafeEditsSwitchTest,
                         ::testing::Values(SafeEditsCase{"On", false}, SafeEditsCase{"Off", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Add and Copy ----

TEST_F(WinIngredientsTest, TwoAddsMakeNewIngredientAndItsFirstNumberedNameReadyForTyping) {
    main.options.safeEdits = true;
    Add("salt");
    std::vector<std::string> current;
    Run([&](WForm& form) {
        for (int add = 0; add < 2; ++add) {
            Click(form, "cb_Add");
            current.push_back(Current(form));
            WTextBox* name = Box(form, "textb_Name");
            EXPECT_EQ(name->GetText(), current.back());
            EXPECT_EQ(name->GetSelectionStart(), 0);
            EXPECT_EQ(name->GetSelectionEnd(), static_cast<int>(current.back().size()));
            EXPECT_TRUE(Editable(form));
        }
        EXPECT_EQ(Listed(form), (std::vector<std::string>{"new_ingredient", "new_ingredient_01", "salt"}));
        Click(form, "cb_Close");
    });
    EXPECT_EQ(current, (std::vector<std::string>{"new_ingredient", "new_ingredient_01"}));
    for (const char* name : {"new_ingredient", "new_ingredient_01"}) {
        EXPECT_EQ(Column("def_measure", IdOf(name)), std::to_string(kUnits));
        EXPECT_FALSE(Stamped(IdOf(name))) << name;
    }
}

struct CopyCase {
    const char* name;
    const char* source;
    const char* copy;
};
void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopyTest : public WinIngredientsTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyTest, ACopyKeepsMeasurePortionSizeAndNotesButNoCreditOrStamp) {
    main.options.safeEdits = true;
    const std::string source = GetParam().source;
    const std::string copy = GetParam().copy;
    const long id = Add(source, ", def_measure, unit_measure, unit_measure_name, unit_measure_size, notes, licensor, modified",
                        ", 10, 1, 'slices', 20.5, 'thin: \"cut\"', 'ACME', '2001-02-03 04:05:06'");
    Add("zucchini");
    std::string selected, shownName;
    bool editable = false;
    Run([&](WForm& form) {
        Select(form, source);
        Click(form, "cb_Copy");
        selected = Current(form);
        shownName = Box(form, "textb_Name")->GetText();
        editable = Editable(form);
        EXPECT_EQ(Box(form, "textb_Name")->GetSelectionEnd(), static_cast<int>(copy.size()));
        Click(form, "cb_Close");
    });
    const long copied = IdOf(copy);
    ASSERT_NE(copied, -1);
    EXPECT_EQ(selected, copy);
    EXPECT_EQ(shownName, copy);
    EXPECT_TRUE(editable);
    for (const char* column : {"def_measure", "unit_measure", "unit_measure_name", "unit_measure_size", "notes"})
        EXPECT_EQ(Column(column, copied), Column(column, id)) << column;
    EXPECT_EQ(Column("unit_measure_size", copied), "20.5");
    EXPECT_TRUE(Value("select licensor from Ingredients where id = " + std::to_string(copied)).IsNull());
    EXPECT_FALSE(Stamped(copied));
    EXPECT_EQ(Column("modified", id), "2001-02-03 04:05:06");
    EXPECT_EQ(Count("Ingredients"), 3);
}

INSTANTIATE_TEST_SUITE_P(Names, CopyTest,
                         ::testing::Values(CopyCase{"Plain", "salami", "salami_01"},
                                           CopyCase{"QuotesColonsBackslashes", "Ann's: jam \\ mix",
                                                    "Ann's: jam \\ mix_01"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every insert into Ingredients is refused.
class RefusedInsertTest : public WinIngredientsTest, public ::testing::WithParamInterface<const char*> {
protected:
    RefusedInsertTest() {
        prepareScript = "insert into Ingredients( name ) values( 'pepper' ), ( 'salt' );"
                        "create trigger refuse_ingredients before insert on Ingredients "
                        "begin select raise( abort, 'refused' ); end;";
    }
};

TEST_P(RefusedInsertTest, ARefusedInsertOpensNoEditorAndUnlocksNoRow) {
    main.options.safeEdits = true;
    Run([&](WForm& form) {
        Select(form, "salt");
        Click(form, GetParam());
        EXPECT_EQ(Listed(form), (std::vector<std::string>{"pepper", "salt"}));
        EXPECT_EQ(Current(form), "salt");
        EXPECT_TRUE(Locked(form));
        Click(form, "cb_Close");
    });
    EXPECT_EQ(Count("Ingredients"), 2);
    EXPECT_TRUE(prompter.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Commands, RefusedInsertTest, ::testing::Values("cb_Add", "cb_Copy"),
                         [](const auto& info) { return std::string(info.param + 3); });

// ---- Delete ----

struct DeleteCase {
    const char* name;
    bool used;
    WMessageAnswer answer;
};
void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class DeleteTest : public WinIngredientsTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, AskedFirstAndOnOKTheIngredientGoesWithItsLines) {
    const DeleteCase& c = GetParam();
    Add("Apple");
    const long apple = IdOf("Apple");
    const long salt = Add("salt");
    UseIn("bread", apple);
    if (c.used) UseIn("stew", salt);
    prompter.Answer(c.answer);
    std::string currentAfter;
    Run([&](WForm& form) {
        Select(form, "salt");
        Click(form, "cb_Delete");
        currentAfter = Current(form);
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    if (c.used)
        ExpectShown(prompter.Messages()[0],
                    {"Ingredient is in use",
                     "The ingredient 'salt' is used in one or more meal menu items.\r\n\r\nAre you sure you want to "
                     "delete this ingredient? If you do, it\r\nwill be removed from all meal menu items that use it.",
                     WMessageIcon::Exclamation, WMessageButtons::OKCancel});
    else
        ExpectShown(prompter.Messages()[0],
                    {"Remove Ingredient?",
                     "There are no meal menu items currently including the\r\n'salt' ingredient, but are you sure you "
                     "want to\r\npermanently delete this ingredient?\r\n",
                     WMessageIcon::Question, WMessageButtons::OKCancel});
    const bool deleted = c.answer == WMessageAnswer::OK;
    EXPECT_EQ(IdOf("salt") == -1, deleted);
    EXPECT_EQ(Count("CourseIngredients", "ingredient = " + std::to_string(salt)), c.used && !deleted ? 1 : 0);
    EXPECT_EQ(Count("CourseIngredients", "ingredient = " + std::to_string(apple)), 1);
    EXPECT_EQ(Count("Courses"), c.used ? 2 : 1);   // menu items stay, only their lines go
    EXPECT_EQ(currentAfter, deleted ? "Apple" : "salt");
}

INSTANTIATE_TEST_SUITE_P(Paths, DeleteTest,
                         ::testing::Values(DeleteCase{"UnusedCancel", false, WMessageAnswer::Cancel},
                                           DeleteCase{"UnusedOK", false, WMessageAnswer::OK},
                                           DeleteCase{"UsedCancel", true, WMessageAnswer::Cancel},
                                           DeleteCase{"UsedOK", true, WMessageAnswer::OK}),
                         [](const auto& info) { return std::string(info.param.name); });

// The ingredient itself is refused after its lines went: the lines come back with it.
class RefusedDeleteTest : public WinIngredientsTest {
protected:
    RefusedDeleteTest() {
        prepareScript = "create trigger keep_salt before delete on Ingredients when old.name = 'salt' "
                        "begin select raise( abort, 'kept' ); end;";
    }
};

TEST_F(RefusedDeleteTest, ARefusedDeleteOfAnIngredientInUseKeepsItsLines) {
    const long salt = Add("salt");
    UseIn("stew", salt);
    UseIn("soup", salt);
    prompter.Answer(WMessageAnswer::OK);
    Run([&](WForm& form) {
        Click(form, "cb_Delete");
        EXPECT_EQ(Listed(form), std::vector<std::string>{"salt"});
        Click(form, "cb_Close");
    });
    EXPECT_EQ(IdOf("salt"), salt);
    EXPECT_EQ(Count("CourseIngredients", "ingredient = " + std::to_string(salt)), 2);
}

// ---- Renames, stamps and the ways out ----

enum class Leave { CloseButton, EnterKey, EscapeKey, OtherRow };
const char* ToString(Leave how) {
    switch (how) {
    case Leave::CloseButton: return "CloseButton";
    case Leave::EnterKey: return "EnterKey";
    case Leave::EscapeKey: return "EscapeKey";
    case Leave::OtherRow: return "OtherRow";
    }
    return "";
}
void PrintTo(Leave how, std::ostream* os) { *os << ToString(how); }

// Leaves the edited row; the form is closed in the end either way.
void LeaveRow(WForm& form, Leave how, const std::string& otherRow) {
    switch (how) {
    case Leave::CloseButton: Click(form, "cb_Close"); break;
    case Leave::EnterKey: PressKey(form, Qt::Key_Return); break;
    case Leave::EscapeKey: PressKey(form, Qt::Key_Escape); break;
    case Leave::OtherRow: Select(form, otherRow); break;
    }
}

class RenameTest : public WinIngredientsTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(RenameTest, ATakenNameInAnyCaseBecomesTheFirstFreeNumberedName) {
    Add("pepper");
    Add("PEPPER_01");
    const long salt = Add("salt");
    std::vector<std::string> listed;
    std::string current, shownName;
    Run([&](WForm& form) {
        Select(form, "salt");
        Box(form, "textb_Name")->SetText("Pepper");
        LeaveRow(form, GetParam(), "pepper");
        if (!StillOpen(form)) return;
        listed = Listed(form);
        current = Current(form);
        shownName = Box(form, "textb_Name")->GetText();
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    ExpectShown(prompter.Messages()[0], {"Name already exists",
                                         "An ingredient with this same name already exists.\r\nThe name has been "
                                         "changed to 'Pepper_02'.",
                                         WMessageIcon::Exclamation, WMessageButtons::OK});
    EXPECT_EQ(Column("name", salt), "Pepper_02");
    EXPECT_TRUE(Stamped(salt));
    if (GetParam() == Leave::OtherRow) {
        EXPECT_EQ(listed, (std::vector<std::string>{"pepper", "PEPPER_01", "Pepper_02"}));
        EXPECT_EQ(current, "pepper");
        EXPECT_EQ(shownName, "pepper");
    }
}

INSTANTIATE_TEST_SUITE_P(Leaving, RenameTest,
                         ::testing::Values(Leave::CloseButton, Leave::EnterKey, Leave::EscapeKey, Leave::OtherRow),
                         [](const auto& info) { return std::string(ToString(info.param)); });

struct StampCase {
    const char* name;
    std::function<void(WForm&)> steps;   // on the row "salt", which the form shows first
    const char* notesButton;             // the notes editor opens and is left with this button
    bool stamped;
};
void PrintTo(const StampCase& c, std::ostream* os) { *os << c.name; }

class StampTest : public WinIngredientsTest, public ::testing::WithParamInterface<StampCase> {};

TEST_P(StampTest, OnlyASavedEditOrTheNotesStampModified) {
    const long salt = Add("salt");
    Add("zucchini");
    if (const char* button = GetParam().notesButton)
        ModalTakeOver::Expect("WinNotes", [button](WForm& notes) {
            notes.Control<WTextBox>("textb_Notes")->SetText("coarse");
            notes.Control<WCommandButton>(button)->Click();
        });
    Run([&](WForm& form) {
        GetParam().steps(form);
        if (StillOpen(form)) Click(form, "cb_Close");
    });
    EXPECT_EQ(Stamped(salt), GetParam().stamped);
    EXPECT_FALSE(Stamped(IdOf("zucchini")));
}

void TypeSize(WForm& form) { Box(form, "textb_UnitMeasures")->SetText("3"); }

INSTANTIATE_TEST_SUITE_P(
    Commands, StampTest,
    ::testing::Values(
        StampCase{"EditThenClose", TypeSize, nullptr, true},
        StampCase{"EditThenOtherRow",
                  [](WForm& f) {
                      Box(f, "textb_UnitSizeName")->SetText("pinches");
                      Select(f, "zucchini");
                  },
                  nullptr, true},
        StampCase{"EditThenDefaultMenuItem",
                  [](WForm& f) {
                      TypeSize(f);
                      Click(f, "cb_DefaultCourse");
                  },
                  nullptr, true},
        StampCase{"NoEditThenClose", [](WForm&) {}, nullptr, false},
        StampCase{"RowsVisitedWithoutEdit",
                  [](WForm& f) {
                      Select(f, "zucchini");
                      Select(f, "salt");
                  },
                  nullptr, false},
        StampCase{"DefaultMenuItemWithoutEdit", [](WForm& f) { Click(f, "cb_DefaultCourse"); }, nullptr, false},
        StampCase{"NotesOK", [](WForm& f) { Click(f, "cb_Notes"); }, "cb_OK", true},
        StampCase{"NotesCancel", [](WForm& f) { Click(f, "cb_Notes"); }, "cb_Cancel", false},
        StampCase{"CloseBoxAfterEdit",
                  [](WForm& f) {
                      TypeSize(f);
                      f.GetWindow()->close();
                  },
                  nullptr, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinIngredientsTest, TheTitleBarCloseSavesNothing) {
    const long salt = Add("salt", ", unit_measure_size", ", 2");
    Run([&](WForm& form) {
        Box(form, "textb_Name")->SetText("salty");
        Box(form, "textb_UnitSizeName")->SetText("pinches");
        Box(form, "textb_UnitMeasures")->SetText("abc");
        auto* measures = form.Control<WComboBox>("combo_DefMeasure");
        measures->Pick(measures->FindText("g (weight: grams)"));
        form.GetWindow()->close();
    });
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_EQ(Column("name", salt), "salt");
    EXPECT_EQ(Column("def_measure", salt), std::to_string(kUnits));
    EXPECT_EQ(Column("unit_measure", salt), "0");
    EXPECT_EQ(Column("unit_measure_name", salt), "");
    EXPECT_EQ(Column("unit_measure_size", salt), "2");
    EXPECT_FALSE(Stamped(salt));
}

// ---- A typed portion size that is not a number ----

struct InvalidCase {
    const char* name;
    std::function<void(WForm&)> command;
};
void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.name; }

class InvalidSizeTest : public WinIngredientsTest, public ::testing::WithParamInterface<InvalidCase> {};

TEST_P(InvalidSizeTest, AbcIsNeverStoredAndTheCommandDoesNotGoOn) {
    const long salt = Add("salt", ", unit_measure_size", ", 2");
    Add("zucchini");
    bool open = false, editedRowShown = false;
    std::string sizeShown;
    Run([&](WForm& form) {
        Box(form, "textb_UnitMeasures")->SetText("abc");
        GetParam().command(form);
        open = StillOpen(form);
        editedRowShown = Current(form) == "salt" && Box(form, "textb_Name")->GetText() == "salt" &&
                         Grid(form)->IsRowSelected(Grid(form)->FindRow(0, "salt")) &&
                         !Grid(form)->IsRowSelected(Grid(form)->FindRow(0, "zucchini"));
        sizeShown = Box(form, "textb_UnitMeasures")->GetText();
        EXPECT_EQ(CheckBox(form, "checkbox_SafeEdits")->GetChecked(), false);
        Box(form, "textb_UnitMeasures")->SetText("1,5");
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    ExpectShown(prompter.Messages()[0], InvalidNumber("abc"));
    EXPECT_TRUE(open);
    EXPECT_TRUE(editedRowShown);
    EXPECT_EQ(sizeShown, "abc");
    EXPECT_FALSE(main.options.safeEdits);
    EXPECT_EQ(Count("Ingredients"), 2);
    EXPECT_EQ(Count("Courses"), 0);
    EXPECT_DOUBLE_EQ(Value("select unit_measure_size from Ingredients where id = " + std::to_string(salt)).AsDouble(), 1.5);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, InvalidSizeTest,
    ::testing::Values(InvalidCase{"Close", [](WForm& f) { Click(f, "cb_Close"); }},
                      InvalidCase{"EscapeKey", [](WForm& f) { PressKey(f, Qt::Key_Escape); }},
                      InvalidCase{"OtherRow", [](WForm& f) { Select(f, "zucchini"); }},
                      InvalidCase{"ClickOnOtherRow", [](WForm& f) { ClickRow(f, "zucchini"); }},
                      InvalidCase{"Add", [](WForm& f) { Click(f, "cb_Add"); }},
                      InvalidCase{"Copy", [](WForm& f) { Click(f, "cb_Copy"); }},
                      InvalidCase{"Delete", [](WForm& f) { Click(f, "cb_Delete"); }},
                      InvalidCase{"Notes", [](WForm& f) { Click(f, "cb_Notes"); }},
                      InvalidCase{"Find", [](WForm& f) { Click(f, "cb_Find"); }},
                      InvalidCase{"DefaultMenuItem", [](WForm& f) { Click(f, "cb_DefaultCourse"); }},
                      InvalidCase{"SafeEditing", [](WForm& f) { Click(f, "checkbox_SafeEdits"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinIngredientsTest, AnInvalidSizeStopsTheSaveBeforeATakenNameIsChanged) {
    Add("pepper");
    const long salt = Add("salt");
    std::string shownName;
    Run([&](WForm& form) {
        Select(form, "salt");
        Box(form, "textb_Name")->SetText("pepper");
        Box(form, "textb_UnitMeasures")->SetText("abc");
        Click(form, "cb_Close");
        shownName = Box(form, "textb_Name")->GetText();
        form.GetWindow()->close();
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    ExpectShown(prompter.Messages()[0], InvalidNumber("abc"));
    EXPECT_EQ(shownName, "pepper");
    EXPECT_EQ(Column("name", salt), "salt");
}

// ---- Notes and Find ----

TEST_F(WinIngredientsTest, NotesEditTheNotesAndTheCreditOfTheShownIngredient) {
    const long salt = Add("salt", ", licensor", ", 'ACME'");
    std::string caption, credit;
    ModalTakeOver::Expect("WinNotes", [&](WForm& notes) {
        caption = notes.GetText();
        credit = notes.Control<WTextBox>("textb_License")->GetText();
        notes.Control<WTextBox>("textb_Notes")->SetText("coarse");
        notes.Control<WTextBox>("textb_License")->SetText("");
        notes.Control<WCommandButton>("cb_OK")->Click();
    });
    std::string warning, listedNotes;
    Run([&](WForm& form) {
        Click(form, "cb_Notes");
        warning = form.FindControl("label_8Warning")->GetText();
        listedNotes = Grid(form)->GetCellText(0, 1);
        Click(form, "cb_Close");
    });
    EXPECT_EQ(caption, "Notes for 'salt'");
    EXPECT_EQ(credit, "ACME");
    EXPECT_EQ(Column("notes", salt), "coarse");
    EXPECT_EQ(listedNotes, "coarse");
    EXPECT_EQ(warning, "");   // the credit is gone, and its warning with it
}

TEST_F(WinIngredientsTest, FindShowsTheChosenIngredient) {
    for (const char* name : {"Apple", "pepper", "sea salt"}) Add(name);
    std::string caption;
    ModalTakeOver::Expect("WinFindValue", [&](WForm& find) {
        caption = find.GetText();
        find.Control<WTextBox>("textb_Match")->Type("sa");
        find.Control<WCommandButton>("cb_OK")->Click();
    });
    ModalTakeOver::Expect("WinFindValue", [&](WForm& find) { find.Control<WCommandButton>("cb_Cancel")->Click(); });
    std::string found, afterCancel;
    Run([&](WForm& form) {
        Click(form, "cb_Find");
        found = Box(form, "textb_Name")->GetText();
        Click(form, "cb_Find");
        afterCancel = Current(form);
        Click(form, "cb_Close");
    });
    EXPECT_EQ(caption, "Find ingredient");
    EXPECT_EQ(found, "sea salt");
    EXPECT_EQ(afterCancel, "sea salt");
}

TEST_F(WinIngredientsTest, ThePopupMenuAddsDeletesAndOpensTheNotes) {
    Add("salt");
    ModalTakeOver::Expect("WinNotes", [](WForm& notes) { notes.Control<WCommandButton>("cb_Cancel")->Click(); });
    prompter.Answer(WMessageAnswer::OK);
    std::vector<std::string> afterAdd, afterDelete;
    Run([&](WForm& form) {
        WPopupMenu* popup = Grid(form)->GetPopupMenu();
        ASSERT_NE(popup, nullptr);
        popup->FindItem(10000)->Click();
        afterAdd = Listed(form);
        popup->FindItem(10001)->Click();
        afterDelete = Listed(form);
        popup->FindItem(10002)->Click();
        Click(form, "cb_Close");
    });
    EXPECT_EQ(afterAdd, (std::vector<std::string>{"new_ingredient", "salt"}));
    EXPECT_EQ(afterDelete, std::vector<std::string>{"salt"});
}

// ---- The default menu item ----

struct MenuItemCase {
    const char* name;
    const char* ingredient;
    const char* portions;   // SQL value of unit_measure
    long measure;
    long line;   // unit_measure of the line
};
void PrintTo(const MenuItemCase& c, std::ostream* os) { *os << c.name; }

class DefaultMenuItemTest : public WinIngredientsTest, public ::testing::WithParamInterface<MenuItemCase> {};

TEST_P(DefaultMenuItemTest, OneLineOfOneDefaultMeasureAndNoSecondMenuItem) {
    const MenuItemCase& c = GetParam();
    Exec("insert into Courses( id, name ) values( 7, 'stew' )");
    const long id = Add(c.ingredient, ", def_measure, unit_measure", ", " + std::to_string(c.measure) + ", " + c.portions);
    Run([&](WForm& form) {
        Click(form, "cb_DefaultCourse");
        Click(form, "cb_DefaultCourse");
        Click(form, "cb_Close");
    });
    const std::string name = c.ingredient;
    ASSERT_EQ(prompter.Messages().size(), 2u);
    ExpectShown(prompter.Messages()[0],
                {"Default menu item created",
                 "A simple menu item called '" + name + "' was\r\ncreated for this ingredient.",
                 WMessageIcon::Information, WMessageButtons::OK});
    ExpectShown(prompter.Messages()[1],
                {"Menu item already exists",
                 "A menu item with the name '" + name +
                     "' already exists.\r\nA new default menu item for this ingredient was NOT added.",
                 WMessageIcon::Stop, WMessageButtons::OK});
    EXPECT_EQ(Count("Courses"), 2);
    EXPECT_EQ(Value("select name from Courses where id = 8").AsText(), name);
    ASSERT_EQ(Count("CourseIngredients"), 1);
    EXPECT_EQ(Value("select course from CourseIngredients").AsLong(), 8);
    EXPECT_EQ(Value("select ingredient from CourseIngredients").AsLong(), id);
    EXPECT_EQ(Value("select measure from CourseIngredients").AsLong(), c.measure);
    EXPECT_DOUBLE_EQ(Value("select amount from CourseIngredients").AsDouble(), 1.0);
    EXPECT_EQ(Value("select unit_measure from CourseIngredients").AsLong(), c.line);
    EXPECT_FALSE(Stamped(id));
}

INSTANTIATE_TEST_SUITE_P(Ingredients, DefaultMenuItemTest,
                         ::testing::Values(MenuItemCase{"Portions", "salami", "1", kGrams, 1},
                                           MenuItemCase{"Counted", "apple", "0", kUnits, 0},
                                           MenuItemCase{"NoPortionFlag", "rice", "NULL", kGrams, 0},
                                           MenuItemCase{"QuotedName", "Ann's: jam \\ mix", "0", kUnits, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinIngredientsTest, AMenuItemOfTheSameNameInAnyCaseIsKept) {
    Exec("insert into Courses( id, name ) values( 3, 'SALT' )");
    Add("salt");
    Run([&](WForm& form) {
        Click(form, "cb_DefaultCourse");
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Menu item already exists");
    EXPECT_EQ(Count("Courses"), 1);
    EXPECT_EQ(Count("CourseIngredients"), 0);
}

TEST_F(WinIngredientsTest, AnIngredientWithoutADefaultMeasureIsToldAndMakesNoMenuItem) {
    Exec("insert into Ingredients( name, def_measure ) values( 'salt', NULL )");
    Run([&](WForm& form) {
        Click(form, "cb_DefaultCourse");
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    ExpectShown(prompter.Messages()[0],
                {"No default measure",
                 "The ingredient 'salt' has no default measure: choose one first.\r\nA new default menu item for "
                 "this ingredient was NOT added.",
                 WMessageIcon::Stop, WMessageButtons::OK});
    EXPECT_EQ(Count("Courses"), 0);
    EXPECT_EQ(Count("CourseIngredients"), 0);
}

// A line that the database refuses takes its menu item with it, without a word.
class UnfinishedMenuItemTest : public WinIngredientsTest {
protected:
    UnfinishedMenuItemTest() {
        prepareScript =
            "create trigger refuse_lines before insert on CourseIngredients "
            "begin select raise( abort, 'refused' ); end;";
    }
};

TEST_F(UnfinishedMenuItemTest, AMenuItemWithoutItsLineIsRemovedAndNotReported) {
    Exec("insert into Ingredients( name, def_measure ) values( 'salt', 14 )");
    Run([&](WForm& form) {
        Click(form, "cb_DefaultCourse");
        Click(form, "cb_Close");
    });
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_EQ(Count("Courses"), 0);
    EXPECT_EQ(Count("CourseIngredients"), 0);
}

}  // namespace
