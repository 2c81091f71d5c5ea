// The export and import dialog and the clash question, opened through their entry functions
// and answered by clicking their controls.

#include <gtest/gtest.h>

#include "exchange/WinExportTables.h"
#include "exchange/WinImportReplace.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "tests/support/MainWindowDatabaseTest.h"
#include "tests/support/StrictModalForms.h"

namespace {

struct Shown {
    std::string caption, message;
    bool prefixShown = false, licensorShown = false;
    int height = 0;
};

// Reads what the form shows, sets the check box and clicks the button.
ModalTakeOver::Hook Answer(Shown& shown, bool trips, const char* button, const std::string& text = "") {
    return [&shown, trips, button, text](WForm& form) {
        shown.caption = form.GetText();
        shown.message = form.Control<WLabel>("label_Msg")->GetText();
        shown.prefixShown = form.Control<WTextBox>("textb_ImportPrefix")->GetVisible();
        shown.licensorShown = form.Control<WTextBox>("textb_Licensor")->GetVisible();
        shown.height = form.GetClientRect().height;
        form.Control<WCheckBox>("checkbox_Trips")->SetChecked(trips);
        for (const char* box : {"textb_ImportPrefix", "textb_ImportSuffix", "textb_Licensor"})
            form.Control<WTextBox>(box)->SetText(text + box);
        form.Control<WCommandButton>(button)->Click();
    };
}

class ExchangeDialogsTest : public MainWindowDatabaseTest {
protected:
    StrictModalForms strictModalForms;
    ScriptedPrompter prompter;
    WinExportTables form;
};

TEST_F(ExchangeDialogsTest, ExportWithoutTripsSelectsTheSixFoodTables) {
    Shown shown;
    ModalTakeOver::Expect("WinExportTables", Answer(shown, false, "cb_OK"));
    const std::int32_t flags = form.Show(nullptr, true, nullptr, nullptr, nullptr);
    EXPECT_EQ(flags, 1);
    EXPECT_EQ(shown.caption, "Export Database Tables");
    EXPECT_EQ(shown.message, "The food data (ingredients, meal courses, meals) is always exported. Additionally, you can "
                             "choose to export the trip data as well.");
    EXPECT_FALSE(shown.prefixShown);
    EXPECT_FALSE(shown.licensorShown);
    std::vector<std::string> tables;
    EXPECT_EQ(WinExportTables::BuildTableList(flags, tables), 6);
    EXPECT_EQ(tables, (std::vector<std::string>{"Ingredients", "Courses", "Recipes", "CourseIngredients", "Meals",
                                                "MealCourses"}));
}

TEST_F(ExchangeDialogsTest, WithTripsFourteenTablesFoodFirst) {
    Shown shown;
    ModalTakeOver::Expect("WinExportTables", Answer(shown, true, "cb_OK"));
    const std::int32_t flags = form.Show(nullptr, true, nullptr, nullptr, nullptr);
    EXPECT_EQ(flags, 3);
    std::vector<std::string> tables;
    EXPECT_EQ(WinExportTables::BuildTableList(flags, tables), 14);
    EXPECT_EQ(tables.front(), "Ingredients");
    EXPECT_EQ(tables[6], "People");
    EXPECT_EQ(tables.back(), "TripPeople");
}

TEST_F(ExchangeDialogsTest, ImportHandsBackPrefixSuffixAndCredit) {
    Shown shown;
    ModalTakeOver::Expect("WinExportTables", Answer(shown, true, "cb_OK", "x"));
    std::string prefix, suffix, licensor;
    EXPECT_EQ(form.Show(nullptr, false, &prefix, &suffix, &licensor), 3);
    EXPECT_EQ(shown.caption, "Import Database Tables");
    EXPECT_NE(shown.message.find("always imported. Additionally, you can choose to import"), std::string::npos);
    EXPECT_TRUE(shown.prefixShown);
    EXPECT_TRUE(shown.licensorShown);
    EXPECT_EQ(prefix, "xtextb_ImportPrefix");
    EXPECT_EQ(suffix, "xtextb_ImportSuffix");
    EXPECT_EQ(licensor, "xtextb_Licensor");
}

TEST_F(ExchangeDialogsTest, WithoutACreditResultTheCreditBoxIsCutOff) {
    Shown withCredit, withoutCredit;
    std::string prefix, suffix, licensor;
    ModalTakeOver::Expect("WinExportTables", Answer(withCredit, true, "cb_Cancel"));
    form.Show(nullptr, false, &prefix, &suffix, &licensor);
    ModalTakeOver::Expect("WinExportTables", Answer(withoutCredit, true, "cb_Cancel"));
    form.Show(nullptr, false, &prefix, &suffix, nullptr);
    EXPECT_TRUE(withoutCredit.prefixShown);
    EXPECT_FALSE(withoutCredit.licensorShown);
    EXPECT_LT(withoutCredit.height, withCredit.height);
}

TEST_F(ExchangeDialogsTest, CancelGivesNothingAndLeavesTheTexts) {
    Shown shown;
    ModalTakeOver::Expect("WinExportTables", Answer(shown, true, "cb_Cancel", "x"));
    std::string prefix = "p", suffix = "s", licensor = "l";
    EXPECT_EQ(form.Show(nullptr, false, &prefix, &suffix, &licensor), 0);
    EXPECT_EQ(prefix + suffix + licensor, "psl");
}

TEST_F(ExchangeDialogsTest, EveryOpeningStartsWithTripsCheckedAndEmptyBoxes) {
    Shown first, second;
    bool checked = false;
    std::string prefixText = "?";
    ModalTakeOver::Expect("WinExportTables", Answer(first, false, "cb_OK", "x"));
    std::string prefix, suffix;
    form.Show(nullptr, false, &prefix, &suffix, nullptr);
    ModalTakeOver::Expect("WinExportTables", [&](WForm& shownForm) {
        checked = shownForm.Control<WCheckBox>("checkbox_Trips")->GetChecked();
        prefixText = shownForm.Control<WTextBox>("textb_ImportPrefix")->GetText();
        shownForm.Close();
    });
    EXPECT_EQ(form.Show(nullptr, false, &prefix, &suffix, nullptr), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(prefixText, "");
}

TEST_F(ExchangeDialogsTest, SameForRestAnswersWithoutAWindowUntilTheNextReset) {
    WinImportReplace question;
    question.Reset();
    std::string proposed;
    ModalTakeOver::Expect("WinImportReplace", [](WForm& shownForm) {
        shownForm.Control<WOptionButton>("optb_KeepBoth")->SetChecked(true);
        shownForm.Control<WCommandButton>("cb_Same")->Click();
    });
    EXPECT_EQ(question.Ask(nullptr, "salt", "ingredient"), WinImportReplace::KeepBoth);
    EXPECT_EQ(question.Ask(nullptr, "pepper", "ingredient"), WinImportReplace::KeepBoth);   // no window
    question.Reset();
    ModalTakeOver::Expect("WinImportReplace", [&](WForm& shownForm) {
        for (const char* name : {"optb_KeepOriginal", "optb_KeepNew", "optb_KeepBoth"})
            if (shownForm.Control<WOptionButton>(name)->GetChecked()) proposed = name;
        shownForm.Close();
    });
    EXPECT_EQ(question.Ask(nullptr, "salt", "ingredient"), WinImportReplace::KeepNew);
    EXPECT_EQ(proposed, "optb_KeepNew");
}

TEST_F(ExchangeDialogsTest, EachQuestionProposesThePreviousAnswer) {
    WinImportReplace question;
    question.Reset();
    std::string proposed;
    ModalTakeOver::Expect("WinImportReplace", [](WForm& shownForm) {
        shownForm.Control<WOptionButton>("optb_KeepOriginal")->SetChecked(true);
        shownForm.Control<WCommandButton>("cb_Close")->Click();
    });
    EXPECT_EQ(question.Ask(nullptr, "salt", "ingredient"), WinImportReplace::KeepOriginal);
    ModalTakeOver::Expect("WinImportReplace", [&](WForm& shownForm) {
        if (shownForm.Control<WOptionButton>("optb_KeepOriginal")->GetChecked()) proposed = "optb_KeepOriginal";
        shownForm.Control<WOptionButton>("optb_KeepNew")->SetChecked(true);
        shownForm.Close();   // the close box keeps the answer as it was
    });
    EXPECT_EQ(question.Ask(nullptr, "pepper", "ingredient"), WinImportReplace::KeepOriginal);
    EXPECT_EQ(proposed, "optb_KeepOriginal");
}

}  // namespace
