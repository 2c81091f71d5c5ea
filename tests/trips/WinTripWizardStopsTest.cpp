// The stops page (the trip stops of every day and their guests) and the done page.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WListBox.h"
#include "tests/trips/TripWizardTest.h"
#include "trips/WinTripWizardDone.h"
#include "trips/WinTripWizardStops.h"

namespace {

std::vector<std::string> Entries(WListBox* list) {
    std::vector<std::string> names;
    for (int i = 0; i < list->GetCount(); ++i) names.push_back(list->GetItemText(i));
    return names;
}

// Chooses food stops by their shown text, in the order given.
auto ChooseAndOK(std::vector<std::string> shown) {
    return [=](WForm& form) {
        auto* available = form.Control<WListBox>("lb_MealStops");
        for (const std::string& text : shown) {
            available->SetSelected(available->FindText(text));
            form.Control<WCommandButton>("cb_Add")->Click();
        }
        form.Control<WCommandButton>("cb_OK")->Click();
    };
}

class WinTripWizardStopsTest : public TripWizardTest {
protected:
    void AddTravellers(long trip, int count) {
        for (int i = 1; i <= count; ++i) {
            const long person = AddPerson("Traveller " + std::to_string(i));
            Exec("insert into TripPeople( person, trip ) values( " + std::to_string(person) + ", " + std::to_string(trip) + " )");
        }
    }
    // Food stop ids of each day's trip stops, by day number.
    std::map<long, std::multiset<long>> StopsByDay(long trip) {
        WQuery query(main.transaction_KVO.get());
        query.SetSQL("select TripDays.day_num, DayFoodStops.food_stop from DayFoodStops join TripDays on "
                     "TripDays.id = DayFoodStops.trip_day where TripDays.trip = " + std::to_string(trip));
        EXPECT_TRUE(query.Open()) << query.LastError();
        std::map<long, std::multiset<long>> days;
        for (long row = 0; row < query.GetNumRows(); ++row)
            days[static_cast<long>(query.GetValue(row, 0).AsLong())].insert(static_cast<long>(query.GetValue(row, 1).AsLong()));
        return days;
    }
    long Guests(long trip) {
        return Count("MealPeople", "day_stop in (select DayFoodStops.id from DayFoodStops join TripDays on "
                                   "TripDays.id = DayFoodStops.trip_day where TripDays.trip = " + std::to_string(trip) + ")");
    }
    long FoodStopAt(int seq) { return static_cast<long>(Value("select id from FoodStops where seq = " + std::to_string(seq)).AsLong()); }
    std::string ShownAt(int seq) {
        char text[128];
        std::snprintf(text, sizeof text, "%02d) %s", seq,
                      Value("select name from FoodStops where seq = " + std::to_string(seq)).AsText().c_str());
        return text;
    }
};

TEST_F(WinTripWizardStopsTest, ThreeDaysTwoStopsTwoTravellersMakeSixStopsAndTwelveGuests) {
    const long trip = AddTrip("Canoe", 3);
    AddTravellers(trip, 2);
    ModalTakeOver::Expect("WinTripWizardStops", ChooseAndOK({ShownAt(3), ShownAt(1)}));
    EXPECT_TRUE(WinTripWizardStops::Show(nullptr, static_cast<int>(trip)));
    const std::multiset<long> chosen{FoodStopAt(1), FoodStopAt(3)};
    EXPECT_EQ(StopsByDay(trip), (std::map<long, std::multiset<long>>{{1, chosen}, {2, chosen}, {3, chosen}}));
    EXPECT_EQ(Count("DayFoodStops"), 6);
    EXPECT_EQ(Guests(trip), 12);
    EXPECT_EQ(Count("MealPeople", "person not in (select person from TripPeople)"), 0);
    EXPECT_EQ(Count("DayMeals") + Count("DayCourses"), 0);
}

TEST_F(WinTripWizardStopsTest, TheListsShowEveryFoodStopNumberedAndKeepTheOrderOfTheDay) {
    const long trip = AddTrip("Order", 1);
    std::vector<std::string> available, chosen;
    std::string caption;
    ModalTakeOver::Expect("WinTripWizardStops", [&](WForm& form) {
        caption = form.GetText();
        available = Entries(form.Control<WListBox>("lb_MealStops"));
        auto* right = form.Control<WListBox>("lb_MealStops");
        for (int seq : {7, 2, 4}) {
            right->SetSelected(right->FindText(ShownAt(seq)));
            form.Control<WCommandButton>("cb_Add")->Click();
        }
        chosen = Entries(form.Control<WListBox>("lb_TripStops"));
        LeaveForm(form, Leave::CancelButton);
    });
    EXPECT_FALSE(WinTripWizardStops::Show(nullptr, static_cast<int>(trip)));
    EXPECT_EQ(caption, "Trip Wizard: meal stops (step 3 of 3)");
    const long stops = Count("FoodStops");
    ASSERT_EQ(static_cast<long>(available.size()), stops);
    for (int seq = 1; seq <= stops; ++seq) EXPECT_EQ(available[seq - 1], ShownAt(seq));
    EXPECT_EQ(chosen, (std::vector<std::string>{ShownAt(2), ShownAt(4), ShownAt(7)}));
    EXPECT_EQ(Count("DayFoodStops"), 0);
}

TEST_F(WinTripWizardStopsTest, ATripWithoutTravellersGetsStopsAndNoGuests) {
    const long trip = AddTrip("Empty camp", 2);
    ModalTakeOver::Expect("WinTripWizardStops", ChooseAndOK({ShownAt(1), ShownAt(4), ShownAt(7)}));
    EXPECT_TRUE(WinTripWizardStops::Show(nullptr, static_cast<int>(trip)));
    EXPECT_EQ(Count("DayFoodStops"), 6);
    EXPECT_EQ(Count("MealPeople"), 0);
}

TEST_F(WinTripWizardStopsTest, OkWithNoStopChosenWritesNothingAndIsStillOk) {
    const long trip = AddTrip("Fasting", 2);
    AddTravellers(trip, 1);
    ModalTakeOver::Expect("WinTripWizardStops", ChooseAndOK({}));
    EXPECT_TRUE(WinTripWizardStops::Show(nullptr, static_cast<int>(trip)));
    EXPECT_EQ(Count("DayFoodStops") + Count("MealPeople"), 0);
}

TEST_F(WinTripWizardStopsTest, OnlyTheDaysOfThisTripGetStops) {
    const long other = AddTrip("Other", 2);
    const long trip = AddTrip("This", 1);
    ModalTakeOver::Expect("WinTripWizardStops", ChooseAndOK({ShownAt(1)}));
    EXPECT_TRUE(WinTripWizardStops::Show(nullptr, static_cast<int>(trip)));
    EXPECT_TRUE(StopsByDay(other).empty());
    EXPECT_EQ(StopsByDay(trip).size(), 1u);
}

class StopsLeaveTest : public WinTripWizardStopsTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(StopsLeaveTest, WritesNothingAndAnswersFalse) {
    const long trip = AddTrip("Left", 2);
    AddTravellers(trip, 2);
    ModalTakeOver::Expect("WinTripWizardStops", [](WForm& form) {
        form.Control<WCommandButton>("cb_Add")->Click();
        LeaveForm(form, GetParam());
    });
    EXPECT_FALSE(WinTripWizardStops::Show(nullptr, static_cast<int>(trip)));
    EXPECT_EQ(Count("DayFoodStops") + Count("MealPeople"), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, StopsLeaveTest,
                         ::testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const auto& info) { return std::string(ToString(info.param)); });

// A guest row the database refuses on the last day: no stop or guest of the trip is left, and
// the page does not say the trip is finished.
class StopsFailureTest : public WinTripWizardStopsTest {
protected:
    StopsFailureTest() {
        prepareScript = "CREATE TRIGGER no_last_day BEFORE INSERT ON MealPeople WHEN (SELECT TripDays.day_num FROM "
                        "DayFoodStops JOIN TripDays ON TripDays.id = DayFoodStops.trip_day WHERE DayFoodStops.id = "
                        "NEW.day_stop) = 3 BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    }
};

TEST_F(StopsFailureTest, AFailedInsertTakesBackEveryStop) {
    const long trip = AddTrip("Half", 3);
    AddTravellers(trip, 2);
    ModalTakeOver::Expect("WinTripWizardStops", ChooseAndOK({ShownAt(1), ShownAt(2)}));
    EXPECT_FALSE(WinTripWizardStops::Show(nullptr, static_cast<int>(trip)));
    EXPECT_EQ(Count("DayFoodStops") + Count("MealPeople"), 0);
}

// ---- the done page

class DoneLeaveTest : public FormsTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(DoneLeaveTest, ShowsTheSameTextsAndEveryWayEndsIt) {
    std::string caption, first;
    bool closeIsDefault = false;
    for (int opening = 0; opening < 2; ++opening) {
        ModalTakeOver::Expect("WinTripWizardDone", [&](WForm& form) {
            caption = form.GetText();
            first = form.Control<WLabel>("label_1")->GetText();
            closeIsDefault = form.GetDefaultButton() == form.FindControl("cb_Close") &&
                             form.GetCancelButton() == form.FindControl("cb_Close");
            if (GetParam() == Leave::CancelButton) form.Control<WCommandButton>("cb_Close")->Click();
            else LeaveForm(form, GetParam());
        });
        WinTripWizardDone::Show(nullptr);
        EXPECT_EQ(caption, "Trip Wizard completed!");
        EXPECT_EQ(first, "Your trip has been created, and is ready for you to add planned meals.");
        EXPECT_TRUE(closeIsDefault);
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, DoneLeaveTest,
                         ::testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const auto& info) {
                             return info.param == Leave::CancelButton ? std::string("CloseButton")
                                                                      : std::string(ToString(info.param));
                         });

}  // namespace
