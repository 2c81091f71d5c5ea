// The guests of one trip stop, chosen among the trip's travellers.

#include <gtest/gtest.h>

#include "tests/trips/TripStopsTest.h"
#include "trips/WinMealGuests.h"

namespace {

class WinMealGuestsTest : public TripStopsTest {
protected:
    bool Edit(long stop) { return form.Edit(nullptr, static_cast<int>(stop)); }
    WinMealGuests form;
};

TEST_F(WinMealGuestsTest, GuestsStandLeftAndTheOtherTravellersRight) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& form) {
        EXPECT_EQ(form.GetText(), "Edit Meal Guests");
        EXPECT_EQ(form.Control<WTextBox>("textb_Trip")->GetText(), "Lakes loop");
        EXPECT_EQ(form.Control<WTextBox>("textb_Day")->GetText(), "1");
        EXPECT_EQ(form.Control<WTextBox>("textb_FoodStop")->GetText(), "Dinner");
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_MealGuests")), (std::vector<std::string>{"Ann", "Ben"}));
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_Travellers")), (std::vector<std::string>{"Cat"}));
        Click(form, "cb_Cancel");
    });
    EXPECT_FALSE(Edit(kDinnerStop));
}

TEST_F(WinMealGuestsTest, OkRewritesTheGuestsOfThisStopOnlyAndStampsTheTrip) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& form) {
        Choose(form, "lb_MealGuests", "Ann");
        Click(form, "cb_Remove");
        Choose(form, "lb_Travellers", "Cat");
        Click(form, "cb_Add");
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_MealGuests")), (std::vector<std::string>{"Ben", "Cat"}));
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_Travellers")), (std::vector<std::string>{"Ann"}));
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(Edit(kDinnerStop));
    EXPECT_EQ(Guests(kDinnerStop), (std::vector<long>{kBen, kCat}));
    EXPECT_EQ(Guests(kLunchStop), (std::vector<long>{kAnn, kBen, kCat}));
    EXPECT_EQ(Guests(kBreakfastStop), (std::vector<long>{kAnn, kBen, kCat}));
    EXPECT_EQ(Guests(kOtherStop), (std::vector<long>{kDan}));
    EXPECT_TRUE(Stamped(kTrip));
    EXPECT_FALSE(Stamped(kOtherTrip));
}

TEST_F(WinMealGuestsTest, ADoubleClickMovesATravellerAndClearAllMovesEveryGuestBack) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& form) {
        Choose(form, "lb_Travellers", "Cat");
        WEventData event;
        event.id = DoubleClickEvent;
        event.source = form.Control<WListBox>("lb_Travellers");
        event.source->Raise(event);
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_MealGuests")), (std::vector<std::string>{"Ann", "Ben", "Cat"}));
        Click(form, "cb_ClearAll");
        EXPECT_TRUE(Entries(form.Control<WListBox>("lb_MealGuests")).empty());
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_Travellers")), (std::vector<std::string>{"Ann", "Ben", "Cat"}));
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(Edit(kDinnerStop));
    EXPECT_TRUE(Guests(kDinnerStop).empty());
}

TEST_F(WinMealGuestsTest, RemoveWithNoGuestLeftShowsTheSelectionError) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& form) {
        Click(form, "cb_ClearAll");
        Click(form, "cb_Remove");
        Click(form, "cb_Cancel");
    });
    EXPECT_FALSE(Edit(kDinnerStop));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Selection error");
    EXPECT_EQ(prompter.Messages()[0].text, "You must select a traveller from the list on the left to remove");
    EXPECT_EQ(Guests(kDinnerStop), (std::vector<long>{kAnn, kBen}));
}

TEST_F(WinMealGuestsTest, OkWithoutMovesRewritesTheSameGuestsAndAnswersTrue) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& form) { Click(form, "cb_OK"); });
    EXPECT_TRUE(Edit(kDinnerStop));
    EXPECT_EQ(Guests(kDinnerStop), (std::vector<long>{kAnn, kBen}));
}

TEST_F(WinMealGuestsTest, ATripWithoutTravellersHasEmptyListsAndOkTakesEveryGuestAway) {
    Exec("delete from TripPeople where trip = 1");
    ModalTakeOver::Expect("WinMealGuests", [](WForm& form) {
        EXPECT_TRUE(Entries(form.Control<WListBox>("lb_MealGuests")).empty());
        EXPECT_TRUE(Entries(form.Control<WListBox>("lb_Travellers")).empty());
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(Edit(kDinnerStop));
    EXPECT_TRUE(Guests(kDinnerStop).empty());
    EXPECT_TRUE(Stamped(kTrip));
}

class MealGuestsLeaveTest : public WinMealGuestsTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(MealGuestsLeaveTest, WritesNothingAndAnswersFalse) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& form) {
        Click(form, "cb_ClearAll");
        LeaveForm(form, GetParam());
    });
    const std::string before = Snapshot();
    EXPECT_FALSE(Edit(kDinnerStop));
    EXPECT_EQ(Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Ways, MealGuestsLeaveTest,
                         ::testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const auto& info) { return std::string(ToString(info.param)); });

// The database refuses one guest row: the stop keeps the guests it had, the trip is not
// stamped, and the form does not say it saved.
class MealGuestsFailureTest : public WinMealGuestsTest {
protected:
    MealGuestsFailureTest() {
        prepareScript = "CREATE TRIGGER no_cat BEFORE INSERT ON MealPeople WHEN NEW.person = 3 "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    }
};

TEST_F(MealGuestsFailureTest, AFailedInsertKeepsTheOldGuestsAndAnswersFalse) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& form) {
        Choose(form, "lb_Travellers", "Cat");
        Click(form, "cb_Add");
        Click(form, "cb_OK");
    });
    const std::string before = Snapshot();
    EXPECT_FALSE(Edit(kDinnerStop));
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
