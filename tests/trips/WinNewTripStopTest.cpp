// The new-stop form: a stop on a chosen day of the trip, with every traveller as its guest.

#include <gtest/gtest.h>

#include "tests/trips/TripStopsTest.h"
#include "trips/WinNewTripStop.h"

namespace {

const std::vector<std::string> FoodStopsInOrder{"Breakfast", "Morning break", "Morning rest stop", "Lunch",
                                                "Afternoon break", "Afternoon rest stop", "Dinner", "Evening snack"};

class WinNewTripStopTest : public TripStopsTest {
protected:
    int Open(long trip, long day) { return form.Open(nullptr, static_cast<int>(trip), static_cast<int>(day)); }
    WinNewTripStop form;
};

TEST_F(WinNewTripStopTest, OpenedForEveryDayTheFirstDayAndTheFirstFoodStopAreCurrent) {
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& form) {
        EXPECT_EQ(form.GetText(), "New Trip Stop (trip meal)");
        EXPECT_EQ(form.Control<WTextBox>("textb_Trip")->GetText(), "Lakes loop");
        EXPECT_EQ(Entries(form.Control<WComboBox>("combo_Day")), (std::vector<std::string>{"1", "2"}));
        EXPECT_EQ(Current(form.Control<WComboBox>("combo_Day")), "1");
        EXPECT_EQ(Entries(form.Control<WComboBox>("combo_FoodStop")), FoodStopsInOrder);
        EXPECT_EQ(Current(form.Control<WComboBox>("combo_FoodStop")), "Breakfast");
        EXPECT_TRUE(form.Control<WCommandButton>("cb_OK")->GetEnabled());
        Click(form, "cb_Cancel");
    });
    EXPECT_EQ(Open(kTrip, -1), -1);
}

TEST_F(WinNewTripStopTest, OpenedForADayThatDayIsCurrent) {
    std::string day;
    ModalTakeOver::Expect("WinNewTripStop", [&](WForm& form) {
        day = Current(form.Control<WComboBox>("combo_Day"));
        Click(form, "cb_Cancel");
    });
    Open(kTrip, kDay2);
    EXPECT_EQ(day, "2");
}

TEST_F(WinNewTripStopTest, OkAddsTheStopWithEveryTravellerAsItsGuestAndStampsTheTrip) {
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& form) {
        Pick(form, "combo_Day", "2");
        Pick(form, "combo_FoodStop", "Dinner");
        Click(form, "cb_OK");
    });
    const int stop = Open(kTrip, -1);
    EXPECT_EQ(stop, kOtherStop + 1);   // the largest id plus one
    EXPECT_EQ(DayOf(stop), kDay2);
    EXPECT_EQ(FoodStopOf(stop), 7);
    EXPECT_EQ(Guests(stop), (std::vector<long>{kAnn, kBen, kCat}));
    EXPECT_TRUE(Stamped(kTrip));
    EXPECT_FALSE(Stamped(kOtherTrip));
}

TEST_F(WinNewTripStopTest, TheFirstStopOfAnEmptyTableGetsIdOneAndATripWithoutTravellersNoGuests) {
    Exec("delete from MealPeople");
    Exec("delete from DayMeals");
    Exec("delete from DayCourses");
    Exec("delete from DayFoodStops");
    Exec("delete from TripPeople where trip = 2");
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& form) { Click(form, "cb_OK"); });
    EXPECT_EQ(Open(kOtherTrip, -1), 1);
    EXPECT_EQ(DayOf(1), 21);
    EXPECT_EQ(FoodStopOf(1), 1);
    EXPECT_TRUE(Guests(1).empty());
}

class NewTripStopLeaveTest : public WinNewTripStopTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(NewTripStopLeaveTest, WritesNothingAndAnswersMinusOne) {
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& form) {
        Pick(form, "combo_FoodStop", "Dinner");
        LeaveForm(form, GetParam());
    });
    const std::string before = Snapshot();
    EXPECT_EQ(Open(kTrip, kDay1), -1);
    EXPECT_EQ(Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Ways, NewTripStopLeaveTest,
                         ::testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const auto& info) { return std::string(ToString(info.param)); });

TEST_F(WinNewTripStopTest, ATripWithoutDaysKeepsOkDisabledSoNoStopLacksADay) {
    Exec("insert into Trips( id, name ) values( 3, 'No days yet' )");
    Exec("insert into TripPeople( person, trip ) values( 1, 3 )");
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& form) {
        EXPECT_TRUE(Entries(form.Control<WComboBox>("combo_Day")).empty());
        EXPECT_FALSE(form.Control<WCommandButton>("cb_OK")->GetEnabled());
        PressKey(form, Qt::Key_Return);
        Click(form, "cb_OK");
        Click(form, "cb_Cancel");
    });
    const std::string before = Snapshot();
    EXPECT_EQ(Open(3, -1), -1);
    EXPECT_EQ(Snapshot(), before);
}

// The database refuses the guest row of one traveller: the stop goes too, and the trip is not
// stamped.
class NewTripStopFailureTest : public WinNewTripStopTest {
protected:
    NewTripStopFailureTest() {
        prepareScript = "CREATE TRIGGER no_cat BEFORE INSERT ON MealPeople WHEN NEW.person = 3 "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    }
};

TEST_F(NewTripStopFailureTest, AFailedGuestInsertLeavesNoStopAndAnswersMinusOne) {
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& form) { Click(form, "cb_OK"); });
    const std::string before = Snapshot();
    EXPECT_EQ(Open(kTrip, -1), -1);
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
