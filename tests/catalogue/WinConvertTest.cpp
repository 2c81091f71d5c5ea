// The measurement converter on the measures and factors of the empty template, as the main
// window loads them: every conversion, the amount read as the editors read numbers, the result
// with four decimals and a point, the lists, and the window shown once at a time.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <map>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

#include "catalogue/WinConvert.h"
#include "platform/forms/Forms.h"
#include "platform/forms/testing/AccessibleActions.h"
#include "platform/forms/testing/PostedEvents.h"
#include "tests/support/MainWindowDatabaseTest.h"

namespace {

constexpr int kOunces = 12;
constexpr int kGrams = 10;

class WinConvertTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override {
        MainWindowDatabaseTest::SetUp();
        main.options.startupConvert = false;
    }
    void TearDown() override {
        Converter().Close();
        RunPostedEvents();
        MainWindowDatabaseTest::TearDown();
    }

    WinConvert& Converter() { return *main.winConvert; }
    void Open() {
        main.LoadConversions();
        Converter().Show(&main);
        ASSERT_TRUE(Converter().HasWindow());
    }
    WComboBox* From() { return Converter().Control<WComboBox>("combo_From"); }
    WComboBox* To() { return Converter().Control<WComboBox>("combo_To"); }
    WTextBox* Amount() { return Converter().Control<WTextBox>("textb_Amount"); }
    std::string Result() { return Converter().Control<WTextBox>("textb_Equals")->GetText(); }

    // Picks the measures as the user would, by their ids.
    void Convert(int fromId, int toId) {
        From()->Pick(From()->FindData(fromId));
        const std::string target = From()->GetItemText(From()->FindData(toId));
        To()->Pick(To()->FindText(target));
        ASSERT_EQ(To()->GetItemText(To()->GetSelected()), target);
    }
    static std::string Expected(double value) {
        char text[64];
        std::snprintf(text, sizeof text, "%.4lf", value);   // the test runs in the C locale
        return text;
    }
};

TEST_F(WinConvertTest, EveryConversionOfTheTemplateGivesTheAmountTimesItsFactor) {
    Open();
    WQuery conversions(main.transaction_KVO.get());
    conversions.SetSQL("select measure_from, measure_to, factor from MeasureConversions where measure_from != measure_to");
    ASSERT_TRUE(conversions.Open());
    ASSERT_GT(conversions.GetNumRows(), 0);
    for (long row = 0; row < conversions.GetNumRows(); ++row) {
        const int from = static_cast<int>(conversions.GetValue(row, 0).AsLong());
        const int to = static_cast<int>(conversions.GetValue(row, 1).AsLong());
        const double factor = conversions.GetValue(row, 2).AsDouble();
        SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
        Convert(from, to);
        EXPECT_EQ(Result(), Expected(factor));   // a new From puts "1.0" in the amount
        for (const char* amount : {"2.5", "2,5"}) {
            Amount()->SetText(amount);
            EXPECT_EQ(Result(), Expected(2.5 * factor)) << amount;
        }
    }
}

struct AmountCase {
    const char* name;
    const char* amount;
    const char* result;
};
void PrintTo(const AmountCase& c, std::ostream* os) { *os << c.name; }

class WinConvertAmountTest : public WinConvertTest, public ::testing::WithParamInterface<AmountCase> {};

TEST_P(WinConvertAmountTest, OuncesToGrams) {
    Open();
    Convert(kOunces, kGrams);
    Amount()->SetText("");
    Amount()->Type(GetParam().amount);
    EXPECT_EQ(Result(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, WinConvertAmountTest,
    ::testing::Values(AmountCase{"DecimalPoint", "2.5", "70.8738"}, AmountCase{"DecimalComma", "2,5", "70.8738"},
                      AmountCase{"BlanksAround", "  2.5 ", "70.8738"}, AmountCase{"Whole", "1", "28.3495"},
                      AmountCase{"RoundedToFourDecimals", "0.001", "0.0283"}, AmountCase{"Negative", "-2", "-56.6990"},
                      AmountCase{"Word", "abc", ""}, AmountCase{"NumberThenWord", "2.5 oz", "70.8738"},
                      AmountCase{"CommaNumberThenWord", " 2,5 cups", "70.8738"},
                      AmountCase{"TwoSeparators", "1.2.5", "34.0194"}, AmountCase{"WordThenNumber", "about 2", ""},
                      AmountCase{"SignThenWord", "-oz", ""}, AmountCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinConvertTest, FromListsTheMeasuresButUnitsAndToListsTheTargetsInLoadOrder) {
    Open();
    EXPECT_EQ(Converter().GetText(), "Measurement Conversion");
    ASSERT_EQ(From()->GetCount(), 13);
    EXPECT_EQ(From()->GetItemText(0), "ml (volume: millilitres)");
    EXPECT_EQ(From()->GetItemText(11), "oz (weight: ounces)");
    EXPECT_EQ(From()->FindText("units (units: whole items, counted)"), -1);
    EXPECT_EQ(From()->GetSelected(), 0);
    EXPECT_EQ(Amount()->GetText(), "1.0");
    EXPECT_EQ(To()->GetItemText(To()->GetSelected()), "l (volume: litres)");
    EXPECT_EQ(Result(), "0.0010");

    Amount()->SetText("7");
    From()->Pick(From()->FindData(11));   // kg
    EXPECT_EQ(Amount()->GetText(), "1.0");
    std::vector<std::string> targets;
    for (int i = 0; i < To()->GetCount(); ++i) targets.push_back(To()->GetItemText(i));
    EXPECT_EQ(targets, (std::vector<std::string>{"g (weight: grams)", "oz (weight: ounces)", "lb (weight: pounds)"}));
    EXPECT_EQ(Result(), "1000.0000");
}

TEST_F(WinConvertTest, AMeasureWithoutConversionsLeavesToAndTheResultEmpty) {
    Exec("insert into Measures( id, name, description, measure_type ) values( 15, 'pinch', 'a pinch', 2 )");
    Open();
    From()->Pick(From()->FindData(15));
    EXPECT_EQ(From()->GetItemText(From()->GetSelected()), "pinch (weight: a pinch)");
    EXPECT_EQ(To()->GetCount(), 0);
    EXPECT_EQ(Result(), "");
}

TEST_F(WinConvertTest, ASecondShowDoesNothing) {
    Open();
    QDialog* window = Converter().GetWindow();
    Convert(kOunces, kGrams);
    Amount()->SetText("3");
    Converter().Show(&main);
    EXPECT_EQ(Converter().GetWindow(), window);
    EXPECT_EQ(Amount()->GetText(), "3");
    EXPECT_EQ(From()->GetCount(), 13);
}

TEST_F(WinConvertTest, ClosedFromItsTitleBarItOpensAgainFromTheStart) {
    Open();
    Convert(kOunces, kGrams);
    Converter().GetWindow()->close();
    RunPostedEvents();
    EXPECT_FALSE(Converter().IsShown());
    EXPECT_FALSE(Converter().HasWindow());
    Converter().Show(&main);
    ASSERT_TRUE(Converter().HasWindow());
    EXPECT_EQ(From()->GetSelected(), 0);
    EXPECT_EQ(From()->GetCount(), 13);
}

TEST_F(WinConvertTest, TheCloseButtonAndEscapeCloseIt) {
    Open();
    Converter().Control<WCommandButton>("cb_Close")->Click();
    RunPostedEvents();
    EXPECT_FALSE(Converter().HasWindow());
    Converter().Show(&main);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Converter().GetWindow(), &escape);
    RunPostedEvents();
    EXPECT_FALSE(Converter().HasWindow());
    EXPECT_FALSE(Converter().IsShown());
}

TEST_F(WinConvertTest, TheStartupBoxTurnsTheOptionOffAndEveryOpeningTurnsItOn) {
    Open();
    EXPECT_TRUE(main.options.startupConvert);
    auto* box = Converter().Control<WCheckBox>("checkbox_Startup");
    EXPECT_FALSE(box->GetChecked());
    box->Click();
    EXPECT_FALSE(main.options.startupConvert);
    box->Click();
    EXPECT_TRUE(main.options.startupConvert);
    box->Click();
    Converter().Close();
    RunPostedEvents();
    EXPECT_FALSE(main.options.startupConvert);
    Converter().Show(&main);
    EXPECT_TRUE(main.options.startupConvert);
    EXPECT_FALSE(Converter().Control<WCheckBox>("checkbox_Startup")->GetChecked());
}

TEST_F(WinConvertTest, TheStartupBoxToggledByAScreenReaderTurnsTheOptionOff) {
    Open();
    auto* box = Converter().Control<WCheckBox>("checkbox_Startup");
    ASSERT_TRUE(ToggleAsAScreenReaderDoes(box));
    EXPECT_TRUE(box->GetChecked());
    EXPECT_FALSE(main.options.startupConvert);
    ASSERT_TRUE(ToggleAsAScreenReaderDoes(box));
    EXPECT_TRUE(main.options.startupConvert);
}

TEST_F(WinConvertTest, ItHasNoOwnerAndAMinimizeBox) {
    Open();
    QDialog* window = Converter().GetWindow();
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window->isModal());
}

TEST_F(WinConvertTest, HelpShowsTheConversionTopic) {
    ScriptedPrompter prompter;
    Open();
    Converter().Raise(HelpEvent);
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_NE(prompter.HelpRequests()[0].find("idh_conversion.htm#IDH_CONVERSION"), std::string::npos);
}

}  // namespace
