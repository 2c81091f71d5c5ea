// Page 1 of the trip wizard: defaults, the checks of OK, the trip and its days as written.

#include <gtest/gtest.h>

#include <ctime>

#include "platform/forms/WChoiceControls.h"
#include "platform/forms/WDateControl.h"
#include "platform/forms/WForm.h"
#include "tests/trips/TripWizardTest.h"
#include "trips/WinTripWizardDetails.h"
#include "trips/WinTripWizardStops.h"
#include "trips/WinTripWizardTravellers.h"

namespace {

std::string Today(bool longForm) {
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    std::string text;
    return WinStart::FormatDate(text, today.tm_year + 1900, today.tm_mon + 1, today.tm_mday, longForm);
}

WTextBox* Box(WForm& form, const char* name) { return form.Control<WTextBox>(name); }
void ClickOK(WForm& form) { form.Control<WCommandButton>("cb_OK")->Click(); }

// Fills the page as the user would and presses OK.
auto Enter(std::string name, std::string location, std::string days) {
    return [=](WForm& form) {
        Box(form, "textb_Name")->SetText(name);
        Box(form, "textb_Location")->SetText(location);
        Box(form, "textb_NumDays")->SetText(days);
        ClickOK(form);
    };
}

class WinTripWizardDetailsTest : public TripWizardTest {
protected:
    std::vector<long> DayNumbers(long trip) {
        WQuery query(main.transaction_KVO.get());
        query.SetSQL("select day_num from TripDays where trip = " + std::to_string(trip) + " order by id");
        EXPECT_TRUE(query.Open());
        std::vector<long> days;
        for (long row = 0; row < query.GetNumRows(); ++row) days.push_back(static_cast<long>(query.GetValue(row, 0).AsLong()));
        return days;
    }
    static std::vector<long> OneTo(long n) {
        std::vector<long> numbers;
        for (long i = 1; i <= n; ++i) numbers.push_back(i);
        return numbers;
    }
};

TEST_F(WinTripWizardDetailsTest, OpensWithTodayThreeDaysAndAFreshName) {
    std::string name, location, date, days;
    int position = 0;
    ModalTakeOver::Expect("WinTripWizardDetails", [&](WForm& form) {
        name = Box(form, "textb_Name")->GetText();
        location = Box(form, "textb_Location")->GetText();
        date = Box(form, "textb_Date")->GetText();
        days = Box(form, "textb_NumDays")->GetText();
        position = form.Control<WUpDown>("updown_NumDays")->GetPosition();
        EXPECT_TRUE(Box(form, "textb_Date")->GetReadOnly());
        EXPECT_EQ(form.GetWindow()->windowTitle().toStdString(), "Trip Wizard: details (step 1 of 3)");
        ClickOK(form);
    });
    const int trip = WinTripWizardDetails::Show(nullptr);
    EXPECT_EQ(name, "new_trip");
    EXPECT_EQ(location, "");
    EXPECT_EQ(date, Today(true));
    EXPECT_EQ(days, "3");
    EXPECT_EQ(position, 3);
    ASSERT_NE(trip, -1);
    EXPECT_EQ(Value("select name from Trips where id = " + std::to_string(trip)).AsText(), "new_trip");
    EXPECT_EQ(Value("select trip_date from Trips where id = " + std::to_string(trip)).AsText(), Today(false));
    EXPECT_EQ(Value("select location from Trips where id = " + std::to_string(trip)).AsText(), "");
    EXPECT_TRUE(Value("select modified from Trips where id = " + std::to_string(trip)).IsNull());
    EXPECT_EQ(DayNumbers(trip), OneTo(3));

    // The first trip was kept: the second opening offers the next free name.
    ModalTakeOver::Expect("WinTripWizardDetails", [&](WForm& form) {
        name = Box(form, "textb_Name")->GetText();
        LeaveForm(form, Leave::CancelButton);
    });
    EXPECT_EQ(WinTripWizardDetails::Show(nullptr), -1);
    EXPECT_EQ(name, "new_trip_01");
    EXPECT_TRUE(prompter.Messages().empty());
}

struct DaysCase {
    const char* name;
    std::string typed;
    long accepted;   // the number of day rows, or 0 when the page refuses the number
    friend void PrintTo(const DaysCase& c, std::ostream* os) { *os << c.name; }
};

class DetailsDaysTest : public WinTripWizardDetailsTest, public ::testing::WithParamInterface<DaysCase> {};

TEST_P(DetailsDaysTest, AcceptsOneTo299Days) {
    const DaysCase& c = GetParam();
    bool stayedOpen = false;
    ModalTakeOver::Expect("WinTripWizardDetails", [&](WForm& form) {
        Box(form, "textb_NumDays")->SetText(c.typed);
        ClickOK(form);
        stayedOpen = form.HasWindow();
        if (stayedOpen) LeaveForm(form, Leave::CancelButton);
    });
    const int trip = WinTripWizardDetails::Show(nullptr);
    if (c.accepted == 0) {
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(trip, -1);
        EXPECT_EQ(TripRows(), 0);
        ASSERT_EQ(prompter.Messages().size(), 1u);
        const auto shown = prompter.Messages()[0];
        EXPECT_EQ(shown.caption, "Invalid number of days");
        EXPECT_EQ(shown.text, "You must specify a trip length of one or\r\nmore days, and less than 300 days");
        EXPECT_EQ(shown.icon, WMessageIcon::Stop);
        EXPECT_EQ(shown.buttons, WMessageButtons::OK);
        EXPECT_EQ(shown.owner, "WinTripWizardDetails");
    } else {
        ASSERT_NE(trip, -1);
        EXPECT_EQ(DayNumbers(trip), OneTo(c.accepted));
        EXPECT_TRUE(prompter.Messages().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Numbers, DetailsDaysTest,
                         ::testing::Values(DaysCase{"Zero", "0", 0}, DaysCase{"Empty", "", 0},
                                           DaysCase{"ThreeHundred", "300", 0},
                                           DaysCase{"Huge", "99999999999999999999", 0},
                                           DaysCase{"One", "1", 1}, DaysCase{"OneHundred", "100", 100},
                                           DaysCase{"TwoHundredNinetyNine", "299", 299}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinTripWizardDetailsTest, TheArrowsWrapAtBothEndsOfOneTo100) {
    std::vector<std::string> shown;
    ModalTakeOver::Expect("WinTripWizardDetails", [&](WForm& form) {
        auto* arrows = form.Control<WUpDown>("updown_NumDays");
        Box(form, "textb_NumDays")->SetText("100");
        arrows->Up();
        shown.push_back(Box(form, "textb_NumDays")->GetText());
        arrows->Down();
        shown.push_back(Box(form, "textb_NumDays")->GetText());
        arrows->Down();
        shown.push_back(Box(form, "textb_NumDays")->GetText());
        LeaveForm(form, Leave::CancelButton);
    });
    WinTripWizardDetails::Show(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "100", "99"}));
}

TEST_F(WinTripWizardDetailsTest, TheDateComesFromThePickerAndStaysWhenItIsCancelled) {
    std::string afterCancel, afterPick;
    ModalTakeOver::Expect("WinTripWizardDetails", [&](WForm& form) {
        auto* dateButton = form.Control<WCommandButton>("cb_Date");
        ModalTakeOver::Expect("WinDatePicker", [](WForm& picker) {
            picker.Control<WDateControl>("ctDate_Date")->SetYear(1970);
            LeaveForm(picker, Leave::CancelButton);
        });
        dateButton->Click();
        afterCancel = Box(form, "textb_Date")->GetText();
        ModalTakeOver::Expect("WinDatePicker", [](WForm& picker) {
            auto* date = picker.Control<WDateControl>("ctDate_Date");
            date->SetYear(2003);
            date->SetMonth(7);
            date->SetDay(4);
            picker.Control<WCommandButton>("cb_Ok")->Click();
        });
        dateButton->Click();
        afterPick = Box(form, "textb_Date")->GetText();
        ClickOK(form);
    });
    const int trip = WinTripWizardDetails::Show(nullptr);
    EXPECT_EQ(afterCancel, Today(true));
    EXPECT_EQ(afterPick, "July 4, 2003");
    EXPECT_EQ(Value("select trip_date from Trips where id = " + std::to_string(trip)).AsText(), "2003-07-04");
}

struct TextCase {
    const char* name;
    std::string tripName, location;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

class DetailsTextTest : public WinTripWizardDetailsTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(DetailsTextTest, NameAndLocationAreStoredAsTyped) {
    const TextCase& c = GetParam();
    ModalTakeOver::Expect("WinTripWizardDetails", Enter(c.tripName, c.location, "2"));
    const int trip = WinTripWizardDetails::Show(nullptr);
    ASSERT_NE(trip, -1);
    EXPECT_EQ(Value("select name from Trips where id = " + std::to_string(trip)).AsText(), c.tripName);
    EXPECT_EQ(Value("select location from Trips where id = " + std::to_string(trip)).AsText(), c.location);
    EXPECT_EQ(DayNumbers(trip), OneTo(2));
}

INSTANTIATE_TEST_SUITE_P(Texts, DetailsTextTest,
                         ::testing::Values(TextCase{"Plain", "Bowron Lakes", "BC"},
                                           TextCase{"Apostrophe", "Ann's loop", "Men's hut"},
                                           TextCase{"ColonAndBackslash", "Day 1: C:\\lakes\\", "Gate\\ 3: north"},
                                           TextCase{"EmptyLocation", "Quiet week", ""},
                                           TextCase{"EmptyName", "", "nowhere"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinTripWizardDetailsTest, ATakenNameBecomesTheFirstFreeNumberedOne) {
    AddTrip("Algonquin", 1);
    AddTrip("Algonquin_01", 1);
    ModalTakeOver::Expect("WinTripWizardDetails", Enter("algonquin", "Ontario", "4"));
    const int trip = WinTripWizardDetails::Show(nullptr);
    ASSERT_NE(trip, -1);
    EXPECT_EQ(Value("select name from Trips where id = " + std::to_string(trip)).AsText(), "algonquin_02");
    EXPECT_EQ(DayNumbers(trip), OneTo(4));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Name already exists");
    EXPECT_EQ(Count("Trips"), 3);
}

class DetailsLeaveTest : public WinTripWizardDetailsTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(DetailsLeaveTest, WritesNothingAndAnswersMinusOne) {
    ModalTakeOver::Expect("WinTripWizardDetails", [](WForm& form) {
        Box(form, "textb_Name")->SetText("never");
        LeaveForm(form, GetParam());
    });
    EXPECT_EQ(WinTripWizardDetails::Show(nullptr), -1);
    EXPECT_EQ(TripRows(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, DetailsLeaveTest,
                         ::testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const auto& info) { return std::string(ToString(info.param)); });

// A statement that fails inside the database: the trip is not reported as created, and the
// rows that did go in are taken back.
struct FailureCase {
    const char* name;
    const char* trigger;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class DetailsFailureTest : public WinTripWizardDetailsTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    DetailsFailureTest() { prepareScript = GetParam().trigger; }
};

TEST_P(DetailsFailureTest, AFailedInsertIsNoCreatedTrip) {
    ModalTakeOver::Expect("WinTripWizardDetails", Enter("Doomed", "", "5"));
    EXPECT_EQ(WinTripWizardDetails::Show(nullptr), -1);
    EXPECT_EQ(TripRows(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, DetailsFailureTest,
    ::testing::Values(
        FailureCase{"TripRow", "CREATE TRIGGER no_trips BEFORE INSERT ON Trips BEGIN SELECT RAISE(ABORT, 'refused'); END;"},
        FailureCase{"ThirdDay", "CREATE TRIGGER no_day3 BEFORE INSERT ON TripDays WHEN NEW.day_num = 3 "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END;"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// F1 on each page shows the page's help topic.
struct HelpCase {
    const char* form;
    const char* topic;
};
inline void PrintTo(const HelpCase& c, std::ostream* os) { *os << c.form; }

class WizardHelpTest : public TripWizardTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(WizardHelpTest, F1ShowsThePagesTopic) {
    const long trip = AddTrip("Help trip", 1);
    ModalTakeOver::Expect(GetParam().form, [](WForm& form) {
        form.Raise(HelpEvent);
        LeaveForm(form, Leave::CancelButton);
    });
    const std::string form = GetParam().form;
    if (form == "WinTripWizardDetails") WinTripWizardDetails::Show(nullptr);
    if (form == "WinTripWizardTravellers") WinTripWizardTravellers::Show(nullptr, trip, true);
    if (form == "WinTripWizardStops") WinTripWizardStops::Show(nullptr, trip);
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_EQ(prompter.HelpRequests()[0], main.helpPath + GetParam().topic);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, WizardHelpTest,
    ::testing::Values(HelpCase{"WinTripWizardDetails", "::/idh_trip_wizard.htm#IDH_TRIP_WIZARD"},
                      HelpCase{"WinTripWizardTravellers", "::/idh_trip_travelers.htm#IDH_TRIP_TRAVELERS"},
                      HelpCase{"WinTripWizardStops", "::/idh_trip_wizard.htm#IDH_TRIP_WIZARD"}),
    [](const auto& info) { return std::string(info.param.form); });
