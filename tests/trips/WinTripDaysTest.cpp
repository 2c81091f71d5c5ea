// The days of a trip through WinTripDays::Open: adding at either end, deleting with the later days
// renumbered, moving, the messages, and that every renumbering goes in whole or not at all.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/forms/WControls.h"
#include "platform/forms/WGrid.h"
#include "platform/forms/WMenu.h"
#include "tests/trips/TripWizardTest.h"
#include "trips/WinTripDays.h"

namespace {

class TripDaysTest : public TripWizardTest {
protected:
    // A trip of four days from 4 July 2004; day 2 has a stop with a meal, a menu item and a guest.
    void SetUp() override {
        TripWizardTest::SetUp();
        tripId = AddTrip("Lake", 4);
        Exec("update Trips set trip_date = '2004-07-04' where id = " + std::to_string(tripId));
        Exec("insert into Meals( id, name ) values( 1, 'Stew' )");
        Exec("insert into Courses( id, name ) values( 1, 'Tea' )");
        const long person = AddPerson("Ann");
        Exec("insert into DayFoodStops( id, trip_day, food_stop ) values( 7, " + std::to_string(DayId(2)) + ", 5 )");
        Exec("insert into DayMeals( day_stop, meal ) values( 7, 1 )");
        Exec("insert into DayCourses( day_stop, course ) values( 7, 1 )");
        Exec("insert into MealPeople( day_stop, person ) values( 7, " + std::to_string(person) + " )");
    }

    long DayId(int dayNum) {
        return static_cast<long>(Value("select id from TripDays where trip = " + std::to_string(tripId) +
                                       " and day_num = " + std::to_string(dayNum)).AsLong());
    }
    // The day numbers of the days as they were first made (ids in order of creation).
    std::string Modified() { return Value("select modified from Trips where id = " + std::to_string(tripId)).AsText(); }

    struct Shown {
        std::vector<std::string> days, dates;
        std::string selectedDay;
    };
    // Opens the form, runs the steps on it, reads the grid, and closes it.
    Shown Run(const std::function<void(WForm&)>& steps) {
        Shown shown;
        ModalTakeOver::Expect("WinTripDays", [&](WForm& form) {
            steps(form);
            WGrid* grid = form.Control<WGrid>("grid_TripDays");
            for (long row = 0; row < grid->GetNumRows(); ++row) {
                shown.days.push_back(grid->GetCellText(row, 0));
                shown.dates.push_back(grid->GetCellText(row, 1));
            }
            if (grid->GetCurrentRow() >= 0) shown.selectedDay = grid->GetCellText(grid->GetCurrentRow(), 0);
            form.Control<WCommandButton>("cb_Close")->Click();
        });
        WinTripDays days;
        days.Open(&main, static_cast<int>(tripId));
        return shown;
    }
    static void Select(WForm& form, long row) { form.Control<WGrid>("grid_TripDays")->SetCurrentRow(row); }
    static void Click(WForm& form, const char* button) { form.Control<WCommandButton>(button)->Click(); }
    static void AnswerNewDay(bool atEnd) {
        ModalTakeOver::Expect("WinNewTripDay", [atEnd](WForm& form) {
            form.Control<WOptionButton>(atEnd ? "optb_End" : "optb_Beginning")->SetChecked(true);
            form.Control<WCommandButton>("cb_OK")->Click();
        });
    }

    long tripId = -1;
};

TEST_F(TripDaysTest, ShowsTheDaysWithTheirDatesAndStops) {
    WGrid* grid = nullptr;
    std::vector<std::string> stops;
    ModalTakeOver::Expect("WinTripDays", [&](WForm& form) {
        grid = form.Control<WGrid>("grid_TripDays");
        for (long row = 0; row < grid->GetNumRows(); ++row) stops.push_back(grid->GetCellText(row, 2));
        EXPECT_EQ(form.Control<WTextBox>("textb_Trip")->GetText(), "Lake");
        EXPECT_EQ(grid->GetColumnTitles(), (std::vector<std::string>{"Day #", "Date", "# stops", "Notes", "TripDayID", "day_num"}));
        Click(form, "cb_Close");
    });
    WinTripDays days;
    days.Open(&main, static_cast<int>(tripId));
    EXPECT_EQ(stops, (std::vector<std::string>{"0", "1", "0", "0"}));
}

TEST_F(TripDaysTest, AddingAtTheBeginningMovesEveryDayOneDateLater) {
    const long first = DayId(1);
    AnswerNewDay(false);
    const Shown shown = Run([](WForm& form) { Click(form, "cb_Add"); });
    EXPECT_EQ(shown.days, (std::vector<std::string>{"Day 1", "Day 2", "Day 3", "Day 4", "Day 5"}));
    EXPECT_EQ(shown.dates, (std::vector<std::string>{"Jul 04, 2004", "Jul 05, 2004", "Jul 06, 2004", "Jul 07, 2004", "Jul 08, 2004"}));
    EXPECT_EQ(shown.selectedDay, "Day 1");
    EXPECT_EQ(Value("select day_num from TripDays where id = " + std::to_string(first)).AsLong(), 2);
    EXPECT_EQ(Count("TripDays", "trip = " + std::to_string(tripId) + " and day_num = 1 and id <> " + std::to_string(first)), 1);
    EXPECT_TRUE(Modified().empty());   // adding a day is no edit of the trip
}

TEST_F(TripDaysTest, AddingAtTheEndOfATripWithoutDaysMakesDayOne) {
    const long empty = AddTrip("Empty", 0);
    AnswerNewDay(true);
    ModalTakeOver::Expect("WinTripDays", [](WForm& form) {
        Click(form, "cb_Add");
        Click(form, "cb_Close");
    });
    WinTripDays days;
    days.Open(&main, static_cast<int>(empty));
    EXPECT_EQ(Count("TripDays", "trip = " + std::to_string(empty) + " and day_num = 1"), 1);
}

TEST_F(TripDaysTest, CancellingTheNewDayQuestionWritesNothing) {
    ModalTakeOver::Expect("WinNewTripDay", [](WForm& form) { Click(form, "cb_Cancel"); });
    Run([](WForm& form) { Click(form, "cb_Add"); });
    EXPECT_EQ(Count("TripDays"), 4);
}

TEST_F(TripDaysTest, DeleteAsksThenRemovesTheDayWithItsStopsAndRenumbers) {
    const long day3 = DayId(3), day4 = DayId(4);
    prompter.Answer(WMessageAnswer::OK);
    const Shown shown = Run([](WForm& form) {
        Select(form, 1);
        Click(form, "cb_Delete");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Remove Trip Day?");
    EXPECT_EQ(prompter.Messages()[0].text,
              "Are you sure you want to remove trip day # 2 (Jul 05, 2004) from the trip?\r\n"
              "This will also delete all trip stops and meals you have set for this trip day.");
    EXPECT_EQ(prompter.Messages()[0].icon, WMessageIcon::Question);
    EXPECT_EQ(shown.days, (std::vector<std::string>{"Day 1", "Day 2", "Day 3"}));
    EXPECT_EQ(Value("select day_num from TripDays where id = " + std::to_string(day3)).AsLong(), 2);
    EXPECT_EQ(Value("select day_num from TripDays where id = " + std::to_string(day4)).AsLong(), 3);
    for (const char* table : {"DayFoodStops", "DayMeals", "DayCourses", "MealPeople"}) EXPECT_EQ(Count(table), 0) << table;
    EXPECT_EQ(Count("Meals") + Count("Courses") + Count("People"), 3);   // the catalogue stays
    EXPECT_FALSE(Modified().empty());
}

TEST_F(TripDaysTest, CancelledDeleteWritesNothing) {
    prompter.Answer(WMessageAnswer::Cancel);
    Run([](WForm& form) {
        Select(form, 1);
        Click(form, "cb_Delete");
    });
    EXPECT_EQ(Count("TripDays"), 4);
    EXPECT_EQ(Count("DayFoodStops"), 1);
    EXPECT_TRUE(Modified().empty());
}

TEST_F(TripDaysTest, MovingSwapsTwoNumbersAndTheStopsStayWithTheirDay) {
    const long day2 = DayId(2), day3 = DayId(3);
    const Shown shown = Run([](WForm& form) {
        Select(form, 1);
        Click(form, "cb_MoveDown");
    });
    EXPECT_EQ(Value("select day_num from TripDays where id = " + std::to_string(day2)).AsLong(), 3);
    EXPECT_EQ(Value("select day_num from TripDays where id = " + std::to_string(day3)).AsLong(), 2);
    EXPECT_EQ(Value("select trip_day from DayFoodStops where id = 7").AsLong(), day2);
    EXPECT_EQ(shown.selectedDay, "Day 3");
    EXPECT_FALSE(Modified().empty());
    EXPECT_TRUE(prompter.Messages().empty());
}

struct EndCase {
    const char* name;
    long row;
    const char* button;
    const char* caption;
    const char* text;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class TripDaysEndTest : public TripDaysTest, public testing::WithParamInterface<EndCase> {};

TEST_P(TripDaysEndTest, MovingPastTheEndOnlyWarns) {
    const EndCase& c = GetParam();
    Run([&](WForm& form) {
        Select(form, c.row);
        Click(form, c.button);
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, c.caption);
    EXPECT_EQ(prompter.Messages()[0].text, c.text);
    EXPECT_EQ(prompter.Messages()[0].icon, WMessageIcon::Exclamation);
    EXPECT_EQ(Value("select day_num from TripDays where id = " + std::to_string(DayId(1))).AsLong(), 1);
    EXPECT_TRUE(Modified().empty());
}

INSTANTIATE_TEST_SUITE_P(Ends, TripDaysEndTest, testing::Values(
    EndCase{"FirstUp", 0, "cb_MoveUp", "Cannot move trip day up", "The selected trip day is already the first one"},
    EndCase{"LastDown", 3, "cb_MoveDown", "Cannot move trip day down", "The selected trip day is already the last one"}),
    [](const testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

// A statement refused half-way must not leave two days with one number, or a gap.
class TripDaysRefusedTest : public TripDaysTest {
protected:
    TripDaysRefusedTest() {
        prepareScript =
            "create table Refuse( what text );"
            "create trigger RefuseDayNum before update of day_num on TripDays "
            "when new.day_num = (select count(*) from TripDays) and exists (select 1 from Refuse where what = 'renumber') "
            "begin select raise(abort, 'refused'); end;"
            "create trigger RefuseSecondSwap before update of day_num on TripDays "
            "when old.day_num = 3 and exists (select 1 from Refuse where what = 'swap') "
            "begin select raise(abort, 'refused'); end;"
            "create trigger RefuseNewDay before insert on TripDays "
            "when exists (select 1 from Refuse where what = 'insert') "
            "begin select raise(abort, 'refused'); end;";
    }
    void Refuse(const std::string& what) { RunSqlite("insert into Refuse values( '" + what + "' );"); }
    std::vector<long> DayNumbers() {
        std::vector<long> numbers;
        for (int day = 1; day <= 4; ++day) numbers.push_back(DayId(day));
        return numbers;
    }
};

TEST_F(TripDaysRefusedTest, AFailedMoveChangesNoNumber) {
    const std::vector<long> before = DayNumbers();
    Refuse("swap");
    Run([](WForm& form) {
        Select(form, 1);
        Click(form, "cb_MoveDown");   // day 2 takes 3 first, then day 3 is refused its 2
    });
    EXPECT_EQ(DayNumbers(), before);
    EXPECT_TRUE(Modified().empty());
}

TEST_F(TripDaysRefusedTest, AFailedInsertAtTheBeginningRenumbersNothing) {
    const std::vector<long> before = DayNumbers();
    Refuse("insert");
    AnswerNewDay(false);
    Run([](WForm& form) { Click(form, "cb_Add"); });
    EXPECT_EQ(DayNumbers(), before);
    EXPECT_EQ(Count("TripDays"), 4);
}

TEST_F(TripDaysRefusedTest, AFailedRenumberingKeepsTheDeletedDay) {
    const std::vector<long> before = DayNumbers();
    Refuse("renumber");
    prompter.Answer(WMessageAnswer::OK);
    Run([](WForm& form) {
        Select(form, 0);
        Click(form, "cb_Delete");   // days 2-4 close the gap: 4 -> 3 is refused
    });
    EXPECT_EQ(DayNumbers(), before);
    EXPECT_EQ(Count("TripDays"), 4);
    EXPECT_TRUE(Modified().empty());
}

}  // namespace
