// The row binding on its own, in a small editor over a real database through the ODBC driver:
// filling, dirty tracking, the update of the bound columns only, numbers typed by the user, NULLs.

#include "platform/forms/WRowBinding.h"

#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WPrompter.h"
#include "platform/forms/testing/AccessibleActions.h"
#include "TestIngredient.h"
#include "tests/support/TestDataSource.h"

namespace {

constexpr long kSalami = 7;

class RowBindingTest : public KestavoDatabaseTest {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        ModalTakeOver::Reset();
        ModalTakeOver::SetStrict(true);
        Exec("insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size, "
             "notes, licensor ) values( 7, 'Salami', 3, 1, 'slices', 20.5, 'spicy', 'Acme' )");
        Exec("insert into Ingredients( id, name ) values( 8, 'Pepper' )");
        Exec("update Ingredients set def_measure = NULL, unit_measure = NULL, unit_measure_name = NULL, "
             "unit_measure_size = NULL where id = 8");
    }
    void TearDown() override {
        EXPECT_TRUE(ModalTakeOver::Unexpected().empty());
        EXPECT_EQ(ModalTakeOver::Pending(), 0);
        ModalTakeOver::Reset();
        KestavoDatabaseTest::TearDown();
    }

    // Opens the editor on a row, lets the test work the controls, then presses OK.
    bool EditAndOK(long id, const std::function<void(WForm&)>& work, bool optionsShown = false) {
        ModalTakeOver::Expect("TestIngredient", [&](WForm& form) {
            work(form);
            Click(form, "cb_OK");
            dirtyAfterOK = editor.Details()->IsDirty();
            if (editor.lastSave_ == WRowSave::InvalidNumber) Click(form, "cb_Cancel");
        });
        return editor.Edit(nullptr, id, optionsShown);
    }
    static void Click(WForm& form, const char* name) { form.Control<WCommandButton>(name)->Click(); }
    static WTextBox* Box(WForm& form, const char* name) { return form.Control<WTextBox>(name); }
    static void Type(WForm& form, const char* name, const std::string& text) {
        WTextBox* box = Box(form, name);
        box->SetSelection(0, static_cast<int>(box->GetText().size()));
        box->Type(text);
    }
    std::string Column(const std::string& column, long id = kSalami) {
        return Value("select " + column + " from Ingredients where id = " + std::to_string(id)).AsText();
    }
    std::string TypeOf(const std::string& column, long id = kSalami) {
        return Column("typeof( " + column + " )", id);
    }

    ScriptedPrompter prompter;
    TestIngredient editor;
    bool dirtyAfterOK = false;
};

TEST_F(RowBindingTest, FillsEveryControlFromTheRowByItsLabelAndIsNotDirty) {
    std::string name, size, unitName, measure, notes, id;
    bool unit = false, units = false, measureOption = true;
    EXPECT_TRUE(EditAndOK(kSalami, [&](WForm& form) {
        name = Box(form, "textb_Name")->GetText();   // bound as "iname" to the label IName
        size = Box(form, "textb_Size")->GetText();
        unitName = Box(form, "textb_UnitName")->GetText();
        measure = form.Control<WComboBox>("combo_Measure")->GetText();
        notes = form.Control<WLabel>("label_Notes")->GetText();
        id = Box(form, "textb_Id")->GetText();
        unit = form.Control<WCheckBox>("checkbox_Unit")->GetChecked();
        units = form.Control<WCheckBox>("optb_Units")->GetChecked();
        measureOption = form.Control<WCheckBox>("optb_Measure")->GetChecked();
    }));
    EXPECT_EQ(name, "Salami");
    EXPECT_EQ(size, "20.5");
    EXPECT_EQ(unitName, "slices");
    EXPECT_EQ(measure, "tsp");   // the lookup list shows the name of the stored id 3
    EXPECT_EQ(notes, "spicy");
    EXPECT_EQ(id, "7");
    EXPECT_TRUE(unit);
    EXPECT_TRUE(units);
    EXPECT_FALSE(measureOption);
    EXPECT_FALSE(editor.dirtyAfterLoad_);   // filling raised change events; they do not count
}

struct EditCase {
    const char* name;
    friend void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }
    std::function<void(WForm&)> edit;
    bool optionsShown;
};

class RowBindingDirtyTest : public RowBindingTest, public testing::WithParamInterface<EditCase> {};

TEST_P(RowBindingDirtyTest, AnEditByTheUserMarksTheBindingDirty) {
    const EditCase& c = GetParam();
    bool before = true, after = false;
    EditAndOK(kSalami, [&](WForm& form) {
        const std::string_view name = c.name;
        WRowBinding* binding = name.starts_with("checkbox") || name.starts_with("option") ? editor.Units() : editor.Details();
        before = binding->IsDirty();
        c.edit(form);
        after = binding->IsDirty();
    }, c.optionsShown);
    EXPECT_FALSE(before);
    EXPECT_TRUE(after);
}

INSTANTIATE_TEST_SUITE_P(Controls, RowBindingDirtyTest, testing::Values(
    EditCase{"text", [](WForm& form) { form.Control<WTextBox>("textb_Name")->Type("x"); }, false},
    EditCase{"number", [](WForm& form) { form.Control<WTextBox>("textb_Size")->Type("1"); }, false},
    EditCase{"lookup", [](WForm& form) { form.Control<WComboBox>("combo_Measure")->Pick(0); }, false},
    EditCase{"checkbox", [](WForm& form) { form.Control<WCheckBox>("checkbox_Unit")->Click(); }, false},
    EditCase{"option", [](WForm& form) { form.Control<WCheckBox>("optb_Measure")->Click(); }, true},
    // A screen reader's toggle action checks without a click.
    EditCase{"checkboxToggledByAScreenReader",
             [](WForm& form) { EXPECT_TRUE(ToggleAsAScreenReaderDoes(form.FindControl("checkbox_Unit"))); }, false},
    EditCase{"optionToggledByAScreenReader",
             [](WForm& form) { EXPECT_TRUE(ToggleAsAScreenReaderDoes(form.FindControl("optb_Measure"))); }, true}),
    [](const testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

struct ClickCountCase {
    const char* name;
    friend void PrintTo(const ClickCountCase& c, std::ostream* os) { *os << c.name; }
    const char* control;
    std::function<void(WCheckBox*)> change;
    int clickEvents;
};

class CheckBoxEventTest : public RowBindingTest, public testing::WithParamInterface<ClickCountCase> {};

// The box's handlers follow its state, however the user changed it; the program's own setting
// is no user's change.
TEST_P(CheckBoxEventTest, ClickEventFollowsEveryChangeByTheUserOnceAndNoneByTheProgram) {
    const ClickCountCase& c = GetParam();
    int events = 0;
    EditAndOK(kSalami, [&](WForm& form) {
        auto* box = form.Control<WCheckBox>(c.control);
        box->AddEventHandler(ClickEvent, [&](WEventData&) { return ++events, false; }, this);
        c.change(box);
        box->RemoveEventHandlers(this);
    }, std::string_view(c.control).starts_with("optb"));   // the editor shows the box or the options
    EXPECT_EQ(events, c.clickEvents);
}

INSTANTIATE_TEST_SUITE_P(Changes, CheckBoxEventTest, testing::Values(
    ClickCountCase{"clicked", "checkbox_Unit", [](WCheckBox* box) { box->Click(); }, 1},
    ClickCountCase{"toggledByAScreenReader", "checkbox_Unit",
                   [](WCheckBox* box) { EXPECT_TRUE(ToggleAsAScreenReaderDoes(box)); }, 1},
    ClickCountCase{"setByTheProgram", "checkbox_Unit", [](WCheckBox* box) { box->SetChecked(!box->GetChecked()); }, 0},
    ClickCountCase{"optionChosen", "optb_Measure", [](WCheckBox* box) { box->Click(); }, 1},
    ClickCountCase{"optionChosenByAScreenReader", "optb_Measure",
                   [](WCheckBox* box) { EXPECT_TRUE(ToggleAsAScreenReaderDoes(box)); }, 1},
    // Choosing one option clears the other: only the chosen one tells.
    ClickCountCase{"optionClearedByAnother", "optb_Units",
                   [](WCheckBox* box) { box->GetForm()->Control<WCheckBox>("optb_Measure")->Click(); }, 0},
    ClickCountCase{"optionSetByTheProgram", "optb_Measure", [](WCheckBox* box) { box->SetChecked(true); }, 0}),
    [](const testing::TestParamInfo<ClickCountCase>& info) { return std::string(info.param.name); });

TEST_F(RowBindingTest, SaveWritesTheBoundColumnsOnlyNeverTheOthers) {
    EXPECT_TRUE(EditAndOK(kSalami, [&](WForm& form) {
        Type(form, "textb_Name", "Salami sticks");
        // Another writer changes the columns the form does not bind meanwhile; the save must
        // leave them as that writer left them.
        Exec("update Ingredients set notes = 'mild', licensor = 'Other', modified = '2001-02-03 04:05:06' "
             "where id = 7");
    }));
    EXPECT_EQ(Column("name"), "Salami sticks");
    EXPECT_EQ(Column("notes"), "mild");
    EXPECT_EQ(Column("licensor"), "Other");
    EXPECT_EQ(Column("modified"), "2001-02-03 04:05:06");
    EXPECT_EQ(Column("name", 8), "Pepper");
    EXPECT_FALSE(dirtyAfterOK);
}

TEST_F(RowBindingTest, UntouchedControlsWriteBackWhatWasRead) {
    EXPECT_TRUE(EditAndOK(kSalami, [](WForm&) {}));
    EXPECT_EQ(Column("unit_measure_size"), "20.5");
    EXPECT_EQ(TypeOf("unit_measure_size"), "real");
    EXPECT_EQ(Column("def_measure"), "3");
    EXPECT_EQ(Column("unit_measure"), "1");
    EXPECT_EQ(TypeOf("unit_measure"), "integer");
}

TEST_F(RowBindingTest, NullsStayNullAndShowAsEmptyControls) {
    std::string size, unitName;
    int measure = 0;
    bool unit = true;
    EXPECT_TRUE(EditAndOK(8, [&](WForm& form) {
        size = Box(form, "textb_Size")->GetText();
        unitName = Box(form, "textb_UnitName")->GetText();
        measure = form.Control<WComboBox>("combo_Measure")->GetSelected();
        unit = form.Control<WCheckBox>("checkbox_Unit")->GetChecked();
        Type(form, "textb_Name", "Black pepper");
    }));
    EXPECT_EQ(size, "");
    EXPECT_EQ(unitName, "");
    EXPECT_EQ(measure, -1);
    EXPECT_FALSE(unit);
    EXPECT_EQ(Column("name", 8), "Black pepper");
    for (const char* column : {"unit_measure_size", "unit_measure_name", "def_measure", "unit_measure"})
        EXPECT_EQ(TypeOf(column, 8), "null") << column;
}

struct NumberCase {
    const char* name;
    friend void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }
    const char* typed;
    const char* stored;   // typeof, then the value; NULL when the save is refused
};

class RowBindingNumberTest : public RowBindingTest, public testing::WithParamInterface<NumberCase> {};

TEST_P(RowBindingNumberTest, TypedNumbersAreReadInTheCLocale) {
    const NumberCase& c = GetParam();
    EditAndOK(kSalami, [&](WForm& form) { Type(form, "textb_Size", c.typed); });
    if (c.stored) {
        EXPECT_EQ(TypeOf("unit_measure_size") + " " + Column("unit_measure_size"), c.stored);
        EXPECT_TRUE(prompter.Messages().empty());
    } else {
        EXPECT_EQ(Column("unit_measure_size"), "20.5");
        EXPECT_EQ(editor.lastSave_, WRowSave::InvalidNumber);
        ASSERT_EQ(prompter.Messages().size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, RowBindingNumberTest, testing::Values(
    NumberCase{"point", "1.5", "real 1.5"},
    NumberCase{"comma", "1,5", "real 1.5"},
    NumberCase{"blanksAround", "  1,5\t", "real 1.5"},
    NumberCase{"whole", "3", "real 3"},
    NumberCase{"zero", "0", "real 0"},
    NumberCase{"negative", "-0.25", nullptr},
    NumberCase{"blankIsNull", "  ", "null "},
    NumberCase{"word", "abc", nullptr},
    NumberCase{"thousands", "1.000,5", nullptr},
    NumberCase{"trailingWord", "2 cups", nullptr},
    NumberCase{"exponent", "1e3", nullptr}),
    [](const testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.name); });

TEST_F(RowBindingTest, ATextThatIsNoNumberIsNeverWrittenAndTheFocusGoesBackToIt) {
    bool stillOpen = false, focused = false;
    ModalTakeOver::Expect("TestIngredient", [&](WForm& form) {
        Type(form, "textb_Name", "Renamed");
        Type(form, "textb_Size", "abc");
        Click(form, "cb_OK");
        stillOpen = form.HasWindow();
        focused = form.GetWindow()->focusWidget() == Box(form, "textb_Size")->GetWidget();
        Type(form, "textb_Size", "2,25");   // the user mends it and tries again
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(editor.Edit(nullptr, kSalami));
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focused);
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Invalid number");
    EXPECT_EQ(shown[0].text, "'abc' is not a number.\r\nType a number such as 1.5.");
    EXPECT_EQ(shown[0].icon, WMessageIcon::Exclamation);
    EXPECT_EQ(shown[0].buttons, WMessageButtons::OK);
    EXPECT_EQ(Column("name"), "Renamed");   // nothing of the refused save went in before
    EXPECT_EQ(Column("unit_measure_size"), "2.25");
}

TEST_F(RowBindingTest, ARefusedNumberWritesNoColumnOfTheRow) {
    EditAndOK(kSalami, [&](WForm& form) {
        Type(form, "textb_Name", "Renamed");
        Type(form, "textb_Size", "abc");
    });
    EXPECT_EQ(Column("name"), "Salami");
    EXPECT_EQ(Column("unit_measure_size"), "20.5");
}

TEST_F(RowBindingTest, ALookupPickStoresTheIdOfTheChosenEntry) {
    EXPECT_TRUE(EditAndOK(kSalami, [](WForm& form) {
        auto* combo = form.Control<WComboBox>("combo_Measure");
        combo->Pick(combo->FindText("cups"));
    }));
    EXPECT_EQ(Column("def_measure"), "5");
}

struct FlagCase {
    const char* name;
    friend void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.name; }
    bool optionsShown;
    std::function<void(WForm&)> edit;
    const char* stored;
};

class RowBindingFlagTest : public RowBindingTest, public testing::WithParamInterface<FlagCase> {};

// The check box and the option buttons share one column; the shown ones decide.
TEST_P(RowBindingFlagTest, TheShownControlsOfASharedColumnDecideItsValue) {
    const FlagCase& c = GetParam();
    EXPECT_TRUE(EditAndOK(kSalami, c.edit, c.optionsShown));
    EXPECT_EQ(Column("unit_measure"), c.stored);
}

INSTANTIATE_TEST_SUITE_P(Flags, RowBindingFlagTest, testing::Values(
    FlagCase{"checkBoxCleared", false, [](WForm& f) { f.Control<WCheckBox>("checkbox_Unit")->Click(); }, "0"},
    FlagCase{"optionChosen", true, [](WForm& f) { f.Control<WCheckBox>("optb_Measure")->Click(); }, "0"},
    FlagCase{"hiddenOptionLosesToTheShownBox", false,
             [](WForm& f) { f.Control<WCheckBox>("optb_Measure")->SetChecked(true); }, "1"},
    FlagCase{"hiddenBoxLosesToTheShownOptions", true,
             [](WForm& f) {
                 f.Control<WCheckBox>("checkbox_Unit")->SetChecked(false);
                 f.Control<WCheckBox>("optb_Units")->Click();
             }, "1"}),
    [](const testing::TestParamInfo<FlagCase>& info) { return std::string(info.param.name); });

TEST_F(RowBindingTest, ARowThatIsGoneFillsEmptyControlsAndSavesNothing) {
    std::string name;
    EditAndOK(99, [&](WForm& form) {
        name = Box(form, "textb_Name")->GetText();
        Type(form, "textb_Name", "ghost");
    });
    EXPECT_EQ(name, "");
    EXPECT_EQ(editor.lastSave_, WRowSave::NoRow);
    EXPECT_EQ(Value("select count(*) from Ingredients where name = 'ghost'").AsLong(), 0);
}

TEST_F(RowBindingTest, AnUpdateTheDatabaseRefusesIsReportedToTheForm) {
    Exec("create trigger refuse_rename before update of name on Ingredients "
         "begin select raise( abort, 'refused' ); end");
    EditAndOK(kSalami, [&](WForm& form) { Type(form, "textb_Name", "Chorizo"); });
    EXPECT_EQ(editor.lastSave_, WRowSave::Failed);
    EXPECT_TRUE(dirtyAfterOK);
    EXPECT_EQ(Column("name"), "Salami");
}

}  // namespace
