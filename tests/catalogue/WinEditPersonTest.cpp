// The person editor through its entry function: the row shown, the appetite presets, OK and the
// ways to leave without saving, names taken by others, numbers typed, notes.

#include <gtest/gtest.h>

#include <functional>

#include "catalogue/WinEditPerson.h"
#include "platform/forms/WChoiceControls.h"
#include "tests/catalogue/CatalogueTest.h"

namespace {

class WinEditPersonTest : public CatalogueTest {
protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        ann = AddPerson("Ann", 1.2);
    }
    bool EditAnn(const std::function<void(WForm&)>& work) {
        ModalTakeOver::Expect("WinEditPerson", work);
        return editor.Edit(nullptr, ann);
    }
    static WComboBox* Presets(WForm& form) { return form.Control<WComboBox>("combo_Appetite"); }
    static std::string Text(WForm& form, const char* box) { return form.Control<WTextBox>(box)->GetText(); }

    WinEditPerson editor;
    long ann = -1;
};

TEST_F(WinEditPersonTest, ShowsTheNameAndAppetiteWithThePromptChosen) {
    std::string name, appetite, prompt;
    int entries = 0;
    EditAnn([&](WForm& form) {
        name = Text(form, "textb_Person");
        appetite = Text(form, "textb_Appetite");
        prompt = Presets(form)->GetText();
        entries = Presets(form)->GetCount();
        Click(form, "cb_Cancel");
    });
    EXPECT_EQ(name, "Ann");
    EXPECT_EQ(appetite, "1.2");
    EXPECT_EQ(prompt, "<select an appetite description>");
    EXPECT_EQ(entries, 6);
}

// As a dialog does, the name that takes the first focus is selected: a typed name replaces the
// one shown (a new person's "new_person") instead of being added to its end.
TEST_F(WinEditPersonTest, TheNameOpensFocusedAndSelectedForTyping) {
    bool focused = false;
    int start = -1, end = -1;
    EditAnn([&](WForm& form) {
        WTextBox* name = form.Control<WTextBox>("textb_Person");
        focused = form.GetWindow()->focusWidget() == name->GetWidget();
        start = name->GetSelectionStart();
        end = name->GetSelectionEnd();
        Click(form, "cb_Cancel");
    });
    EXPECT_TRUE(focused);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 3);
}

struct PresetCase {
    const char* name;
    int entry;
    const char* shown;
    const char* stored;
    friend void PrintTo(const PresetCase& c, std::ostream* os) { *os << c.name; }
};

class WinEditPersonPresetTest : public WinEditPersonTest, public testing::WithParamInterface<PresetCase> {};

TEST_P(WinEditPersonPresetTest, AChosenDescriptionPutsItsFactorIntoTheAppetite) {
    const PresetCase& c = GetParam();
    std::string shown;
    EXPECT_TRUE(EditAnn([&](WForm& form) {
        TypeOver(form, "textb_Appetite", "0.9");
        Presets(form)->Pick(c.entry);
        shown = Text(form, "textb_Appetite");
        Click(form, "cb_OK");
    }));
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(PersonColumn(ann, "appetite"), c.stored);
}

INSTANTIATE_TEST_SUITE_P(Entries, WinEditPersonPresetTest, testing::Values(
    PresetCase{"prompt", 0, "0.9", "0.9"},
    PresetCase{"childSize", 1, "0.50", "0.5"},
    PresetCase{"lessThanAverage", 2, "0.80", "0.8"},
    PresetCase{"average", 3, "1.00", "1"},
    PresetCase{"moreThanAverage", 4, "1.20", "1.2"},
    PresetCase{"aLot", 5, "1.50", "1.5"}),
    [](const testing::TestParamInfo<PresetCase>& info) { return std::string(info.param.name); });

TEST_F(WinEditPersonTest, OKSavesTheNameAndTheTypedAppetiteAndStampsModified) {
    Exec("update People set notes = 'keep me' where id = ?", {WDataValue(ann)});
    EXPECT_TRUE(EditAnn([](WForm& form) {
        TypeOver(form, "textb_Person", "Anna");
        TypeOver(form, "textb_Appetite", " 1,5 ");
        Click(form, "cb_OK");
    }));
    EXPECT_EQ(PersonColumn(ann, "name"), "Anna");
    EXPECT_EQ(PersonColumn(ann, "appetite"), "1.5");
    EXPECT_EQ(PersonColumn(ann, "typeof( appetite )"), "real");
    EXPECT_EQ(PersonColumn(ann, "notes"), "keep me");
    EXPECT_EQ(PersonColumn(ann, "typeof( modified )"), "text");
}

TEST_F(WinEditPersonTest, OKWithoutAChangeKeepsTheRowAndStampsModified) {
    EXPECT_TRUE(EditAnn([](WForm& form) { Click(form, "cb_OK"); }));
    EXPECT_EQ(PersonColumn(ann, "name"), "Ann");
    EXPECT_EQ(PersonColumn(ann, "appetite"), "1.2");
    EXPECT_EQ(Count("People", "modified is not null"), 1);
}

struct NameCase {
    const char* name;
    const char* typed;
    const char* stored;
    const char* message;   // the text of "Name already exists", or none
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class WinEditPersonNameTest : public WinEditPersonTest, public testing::WithParamInterface<NameCase> {};

TEST_P(WinEditPersonNameTest, ANameThatAnotherPersonHasGetsTheFirstFreeNumber) {
    const NameCase& c = GetParam();
    AddPerson("Ben");
    AddPerson("Ben_01");
    EXPECT_TRUE(EditAnn([&](WForm& form) {
        TypeOver(form, "textb_Person", c.typed);
        Click(form, "cb_OK");
    }));
    EXPECT_EQ(PersonColumn(ann, "name"), c.stored);
    const auto shown = prompter.Messages();
    if (!c.message) {
        EXPECT_TRUE(shown.empty());
        return;
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Name already exists");
    EXPECT_EQ(shown[0].text, c.message);
    EXPECT_EQ(shown[0].icon, WMessageIcon::Exclamation);
}

INSTANTIATE_TEST_SUITE_P(Names, WinEditPersonNameTest, testing::Values(
    NameCase{"ownName", "Ann", "Ann", nullptr},
    NameCase{"ownNameOtherCase", "ANN", "ANN", nullptr},
    NameCase{"takenName", "Ben", "Ben_02",
             "A person with this same name already exists.\r\nThe name has been changed to 'Ben_02'."},
    NameCase{"takenNameOtherCase", "ben", "ben_02",
             "A person with this same name already exists.\r\nThe name has been changed to 'ben_02'."}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

TEST_F(WinEditPersonTest, AnAppetiteThatIsNoNumberIsNeverStored) {
    bool stillOpen = false, focused = false;
    EXPECT_FALSE(EditAnn([&](WForm& form) {
        TypeOver(form, "textb_Person", "Anna");
        TypeOver(form, "textb_Appetite", "abc");
        Click(form, "cb_OK");
        stillOpen = form.HasWindow();
        focused = form.GetWindow()->focusWidget() == form.FindControl("textb_Appetite")->GetWidget();
        Click(form, "cb_Cancel");
    }));
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focused);
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Invalid number");
    EXPECT_EQ(shown[0].text, "'abc' is not a number.\r\nType a number such as 1.5.");
    EXPECT_EQ(PersonColumn(ann, "name"), "Ann");
    EXPECT_EQ(PersonColumn(ann, "appetite"), "1.2");
    EXPECT_EQ(PersonColumn(ann, "typeof( modified )"), "null");
}

TEST_F(WinEditPersonTest, AnAppetiteMendedAfterTheMessageIsSaved) {
    EXPECT_TRUE(EditAnn([&](WForm& form) {
        TypeOver(form, "textb_Appetite", "1.5x");
        Click(form, "cb_OK");
        TypeOver(form, "textb_Appetite", "1.5");
        Click(form, "cb_OK");
    }));
    EXPECT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(PersonColumn(ann, "appetite"), "1.5");
}

class WinEditPersonLeaveTest : public WinEditPersonTest, public testing::WithParamInterface<Leave> {};

// The close box is a way out that saves nothing, as Cancel and Esc are.
TEST_P(WinEditPersonLeaveTest, LeavingWithoutOKSavesNothing) {
    EXPECT_FALSE(EditAnn([](WForm& form) {
        TypeOver(form, "textb_Person", "Anna");
        TypeOver(form, "textb_Appetite", "2");
        LeaveForm(form, GetParam());
    }));
    EXPECT_EQ(PersonColumn(ann, "name"), "Ann");
    EXPECT_EQ(PersonColumn(ann, "appetite"), "1.2");
    EXPECT_EQ(PersonColumn(ann, "typeof( modified )"), "null");
}

INSTANTIATE_TEST_SUITE_P(Ways, WinEditPersonLeaveTest,
                         testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const testing::TestParamInfo<Leave>& info) {
                             return std::string(info.param == Leave::CancelButton ? "CancelButton"
                                                : info.param == Leave::EscapeKey  ? "EscapeKey"
                                                                                  : "CloseBox");
                         });

TEST_F(WinEditPersonTest, NotesSavedFromTheEditorStayWhenTheEditorIsCancelled) {
    std::string caption;
    EXPECT_FALSE(EditAnn([&](WForm& form) {
        TypeOver(form, "textb_Person", "Annie");
        ModalTakeOver::Expect("WinNotes", [&](WForm& notes) {
            caption = notes.GetText();
            notes.Control<WTextBox>("textb_Notes")->SetText("allergic to nuts");
            Click(notes, "cb_OK");
        });
        Click(form, "cb_Notes");
        Click(form, "cb_Cancel");
    }));
    EXPECT_EQ(caption, "Notes for 'Annie'");   // the name as it stands in the box
    EXPECT_EQ(PersonColumn(ann, "notes"), "allergic to nuts");
    EXPECT_EQ(PersonColumn(ann, "name"), "Ann");
    EXPECT_EQ(PersonColumn(ann, "typeof( modified )"), "null");
}

TEST_F(WinEditPersonTest, F1ShowsTheEditPersonTopic) {
    EditAnn([](WForm& form) {
        form.Raise(HelpEvent);
        Click(form, "cb_Cancel");
    });
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_EQ(prompter.HelpRequests()[0], main.helpPath + "::/idh_people.htm#IDH_EDIT_PERSON");
}

}  // namespace
