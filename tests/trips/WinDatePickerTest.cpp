// The date picker: the date text in, the control's year, month and day, the padded text out.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>

#include "platform/forms/WDateControl.h"
#include "platform/forms/WForm.h"
#include "tests/trips/TripWizardTest.h"
#include "trips/WinDatePicker.h"

namespace {

struct Shown {
    int year = 0, month = 0, day = 0;
    bool operator==(const Shown&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Shown& s) {
        return os << s.year << "/" << s.month << "/" << s.day;
    }
};

Shown ShownBy(WForm& form) {
    auto* date = form.Control<WDateControl>("ctDate_Date");
    EXPECT_NE(date, nullptr);
    return date ? Shown{date->GetYear(), date->GetMonth(), date->GetDay()} : Shown{};
}

class WinDatePickerTest : public FormsTest {
protected:
    WinDatePicker picker;
};

struct PickCase {
    const char* name;
    std::string text;
    Shown shown;
    std::string picked;   // the text after OK without a change
    friend void PrintTo(const PickCase& c, std::ostream* os) { *os << c.name; }
};

class DatePickerOkTest : public WinDatePickerTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(DatePickerOkTest, ShowsTheDateAndOkWritesItPadded) {
    const PickCase& c = GetParam();
    Shown shown;
    ModalTakeOver::Expect("WinDatePicker", [&](WForm& form) {
        shown = ShownBy(form);
        form.Control<WCommandButton>("cb_Ok")->Click();
    });
    std::string text = c.text;
    EXPECT_TRUE(picker.Pick(nullptr, &text));
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(text, c.picked);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DatePickerOkTest,
    ::testing::Values(PickCase{"LeapDayUnpadded", "2004-2-29", {2004, 2, 29}, "2004-02-29"},
                      PickCase{"Padded", "2003-07-04", {2003, 7, 4}, "2003-07-04"},
                      PickCase{"LastDayOfYear", "1999-12-31", {1999, 12, 31}, "1999-12-31"},
                      PickCase{"ThirtyFirstAfterFebruary", "2002-3-31", {2002, 3, 31}, "2002-03-31"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinDatePickerTest, OkWritesTheDateChosenOnTheControl) {
    ModalTakeOver::Expect("WinDatePicker", [&](WForm& form) {
        auto* date = form.Control<WDateControl>("ctDate_Date");
        date->SetYear(2005);
        date->SetMonth(1);
        date->SetDay(9);
        form.Control<WCommandButton>("cb_Ok")->Click();
    });
    std::string text = "2004-02-29";
    EXPECT_TRUE(picker.Pick(nullptr, &text));
    EXPECT_EQ(text, "2005-01-09");
}

TEST_F(WinDatePickerTest, TheControlIsMadeAtEveryOpeningAndGoesWithTheWindow) {
    for (const char* text : {"2001-01-01", "2002-02-02"}) {
        ModalTakeOver::Expect("WinDatePicker", [](WForm& form) {
            form.Control<WCommandButton>("cb_Ok")->Click();
        });
        std::string date = text;
        EXPECT_TRUE(picker.Pick(nullptr, &date));
        EXPECT_EQ(date, text);
        EXPECT_EQ(picker.FindControl("ctDate_Date"), nullptr);
    }
}

class DatePickerLeaveTest : public WinDatePickerTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(DatePickerLeaveTest, AnswersFalseAndLeavesTheTextAlone) {
    ModalTakeOver::Expect("WinDatePicker", [](WForm& form) {
        form.Control<WDateControl>("ctDate_Date")->SetYear(1990);
        LeaveForm(form, GetParam());
    });
    std::string text = "2004-2-29";
    EXPECT_FALSE(picker.Pick(nullptr, &text));
    EXPECT_EQ(text, "2004-2-29");
}

INSTANTIATE_TEST_SUITE_P(Ways, DatePickerLeaveTest,
                         ::testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const auto& info) { return std::string(ToString(info.param)); });

// A key typed where the user's focus is when the picker opens: on the calendar's day grid.
void PressKeyOnTheCalendar(WForm& form, Qt::Key key) {
    auto* calendar = form.GetWindow()->findChild<QCalendarWidget*>();
    ASSERT_NE(calendar, nullptr);
    QWidget* days = calendar->focusProxy() ? calendar->focusProxy() : calendar;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(days, &press);
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    bool answer;
    std::string text;   // after the key, the day 5 having been picked on the control
    friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
};

class DatePickerKeyTest : public WinDatePickerTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(DatePickerKeyTest, AKeyOnTheCalendarReachesTheDialogsButtons) {
    const KeyCase& c = GetParam();
    ModalTakeOver::Expect("WinDatePicker", [&](WForm& form) {
        form.Control<WDateControl>("ctDate_Date")->SetDay(5);
        PressKeyOnTheCalendar(form, c.key);
        if (form.HasWindow()) LeaveForm(form, Leave::CloseBox);   // the key did not end it
    });
    std::string text = "2004-02-29";
    EXPECT_EQ(picker.Pick(nullptr, &text), c.answer);
    EXPECT_EQ(text, c.text);
}

INSTANTIATE_TEST_SUITE_P(Keys, DatePickerKeyTest,
                         ::testing::Values(KeyCase{"EnterOnTheCalendarIsOk", Qt::Key_Return, true, "2004-02-05"},
                                           KeyCase{"KeypadEnterOnTheCalendarIsOk", Qt::Key_Enter, true, "2004-02-05"},
                                           KeyCase{"EscapeOnTheCalendarIsCancel", Qt::Key_Escape, false, "2004-02-29"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The calendar's arrows and its year box turn the page; the date taken is on the page shown,
// not a day of a page the user has left.
struct PageCase {
    const char* name;
    int year, month;
    std::string text;
    friend void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }
};

class DatePickerPageTest : public WinDatePickerTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(DatePickerPageTest, OkTakesTheDayOnThePageTheCalendarShows) {
    const PageCase& c = GetParam();
    ModalTakeOver::Expect("WinDatePicker", [&](WForm& form) {
        form.GetWindow()->findChild<QCalendarWidget*>()->setCurrentPage(c.year, c.month);
        form.Control<WCommandButton>("cb_Ok")->Click();
    });
    std::string text = "2004-01-31";
    EXPECT_TRUE(picker.Pick(nullptr, &text));
    EXPECT_EQ(text, c.text);
}

INSTANTIATE_TEST_SUITE_P(Pages, DatePickerPageTest,
                         ::testing::Values(PageCase{"AYearTypedInTheYearBox", 2026, 1, "2026-01-31"},
                                           PageCase{"AMonthLaterCutToItsLastDay", 2004, 2, "2004-02-29"},
                                           PageCase{"TheSamePage", 2004, 1, "2004-01-31"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinDatePickerTest, AFalseAnswerAfterATrueOneIsNotLeftOver) {
    ModalTakeOver::Expect("WinDatePicker", [](WForm& form) { form.Control<WCommandButton>("cb_Ok")->Click(); });
    ModalTakeOver::Expect("WinDatePicker", [](WForm& form) { LeaveForm(form, Leave::CancelButton); });
    std::string text = "2003-07-04";
    EXPECT_TRUE(picker.Pick(nullptr, &text));
    EXPECT_FALSE(picker.Pick(nullptr, &text));
}

// The control's own rules: each part alone, and values out of range.
TEST_F(WinDatePickerTest, TheControlRefusesPartsOutOfRange) {
    ModalTakeOver::Expect("WinDatePicker", [](WForm& form) {
        auto* date = form.Control<WDateControl>("ctDate_Date");
        date->SetMonth(13);
        date->SetDay(30);   // there is no 30 February 2004
        date->SetYear(0);
        EXPECT_EQ(ShownBy(form), (Shown{2004, 2, 29}));
        date->SetYear(2003);   // no 29 February in 2003: the day is cut to the month's last
        EXPECT_EQ(ShownBy(form), (Shown{2003, 2, 28}));
        EXPECT_EQ(date->GetProperty(WDateControl::YearProperty), 2003);
        EXPECT_EQ(date->GetProperty(99), 0);
        form.Control<WCommandButton>("cb_Ok")->Click();
    });
    std::string text = "2004-02-29";
    EXPECT_TRUE(picker.Pick(nullptr, &text));
    EXPECT_EQ(text, "2003-02-28");
}

}  // namespace
