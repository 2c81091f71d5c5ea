// The options dialog on the options record of a started main window: what it shows, what OK
// and Cancel leave in the record, the cooking measures applied at once from the File menu, and
// the options file written at close.

#include <gtest/gtest.h>

#include "platform/forms/ModalTakeOver.h"
#include "shell/WinOptions.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/StrictModalForms.h"

namespace {

struct Seen {
    std::string units, cooking;
    bool help = false, convert = false;
};

Seen Look(WForm& form) {
    return {form.Control<WComboBox>("combo_Units")->GetText(),
            form.Control<WComboBox>("combo_CookingMeasures")->GetText(),
            form.Control<WCheckBox>("checkbox_StartupHelp")->GetChecked(),
            form.Control<WCheckBox>("checkbox_StartupConvert")->GetChecked()};
}

// Every control set away from the defaults (units 0, cooking 0, both boxes checked).
void ChangeEverything(WForm& form) {
    form.Control<WComboBox>("combo_Units")->Pick(3);
    form.Control<WComboBox>("combo_CookingMeasures")->Pick(2);
    form.Control<WCheckBox>("checkbox_StartupHelp")->SetChecked(false);
    form.Control<WCheckBox>("checkbox_StartupConvert")->SetChecked(false);
}

class WinOptionsTest : public RunningMainWindowTest {
protected:
    StrictModalForms strict;
    WinOptions options;
    StartupOptions& record() { return window->options; }
};

TEST_F(WinOptionsTest, ShowsTheRecordsUnitsAndCookingMeasures) {
    record().ingredientUnits = 2;
    record().cookingMeasure = 1;
    record().startupHelp = false;
    Seen seen;
    ModalTakeOver::Expect("WinOptions", [&](WForm& form) {
        seen = Look(form);
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    options.Run(window);
    EXPECT_EQ(seen.units, "metric measures only (nearest whole)");
    EXPECT_EQ(seen.cooking, "metric only");
    EXPECT_FALSE(seen.help);
    EXPECT_TRUE(seen.convert);
}

TEST_F(WinOptionsTest, CancelAfterChangingEveryControlLeavesTheRecord) {
    ModalTakeOver::Expect("WinOptions", [](WForm& form) {
        ChangeEverything(form);
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    EXPECT_FALSE(options.Run(window));
    EXPECT_EQ(record().ingredientUnits, 0);
    EXPECT_EQ(record().cookingMeasure, 0);
    EXPECT_TRUE(record().startupHelp);
    EXPECT_TRUE(record().startupConvert);
}

TEST_F(WinOptionsTest, OKStoresEveryControlInTheRecord) {
    ModalTakeOver::Expect("WinOptions", [](WForm& form) {
        ChangeEverything(form);
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(options.Run(window));
    EXPECT_EQ(record().ingredientUnits, 3);
    EXPECT_EQ(record().cookingMeasure, 2);
    EXPECT_FALSE(record().startupHelp);
    EXPECT_FALSE(record().startupConvert);
}

// The options file may hold units 4, which the list does not offer: it shows as the first entry
// and OK stores that entry, never "no entry".
TEST_F(WinOptionsTest, UnitsOutsideTheListShowAsTheFirstEntryAndOKStoresIt) {
    record().ingredientUnits = 4;
    Seen seen;
    ModalTakeOver::Expect("WinOptions", [&](WForm& form) {
        seen = Look(form);
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(options.Run(window));
    EXPECT_EQ(seen.units, "in default measurement for ingredients");
    EXPECT_EQ(record().ingredientUnits, 0);
}

TEST_F(WinOptionsTest, FromTheFileMenuTheCookingMeasuresApplyAtOnceAndTheFileIsWrittenAtClose) {
    ASSERT_TRUE(window->menu_1->FindItem(1012)->GetItemEnabled());
    ModalTakeOver::Expect("WinOptions", [](WForm& form) {
        form.Control<WComboBox>("combo_CookingMeasures")->Pick(1);   // metric only
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    window->menu_1->FindItem(1012)->Click();
    WQuery query(window->transaction_KVO.get());
    query.SetSQL("select count(*) from Measures where cooking_measure = 1 and (metric != 1 or imperial != 0)");
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.GetValue(0, 0).AsLong(), 0);
    query.Close();
    query.SetSQL("select count(*) from Measures where cooking_measure = 1");
    ASSERT_TRUE(query.Open());
    EXPECT_GT(query.GetValue(0, 0).AsLong(), 0);
    query.Close();
    // Not yet in the file: it is written when the main window closes.
    EXPECT_NE(ReadFileText(current / "kvo.dat").find("cooking_measure: 0\r\n"), std::string::npos);
    window->Close();
    RunPostedEvents();
    EXPECT_NE(ReadFileText(current / "kvo.dat").find("cooking_measure: 1\r\n"), std::string::npos);
}

}  // namespace
