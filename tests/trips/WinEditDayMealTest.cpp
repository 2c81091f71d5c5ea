// The trip-stop editor: the stop's day and food stop, its meals and menu items, its guests.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/trips/TripStopsTest.h"
#include "trips/WinEditDayMeal.h"

namespace {

const std::vector<std::string> Catalogue{"Camp supper (meal)", "Porridge (menu item)", "Tea (menu item)",
                                         "Trail lunch (meal)"};

void Add(WForm& form, const std::string& entry) {
    Choose(form, "lb_MealsCourses", entry);
    Click(form, "cb_Add");
}

std::vector<std::string> Chosen(WForm& form) { return Entries(form.Control<WListBox>("lb_SelectedMealsCourses")); }

class WinEditDayMealTest : public TripStopsTest {
protected:
    void Edit(long stop) { form.Edit(nullptr, static_cast<int>(stop)); }
    WinEditDayMeal form;
};

TEST_F(WinEditDayMealTest, ShowsTheStopItsGuestsAndBothListsWithTheKindOfEachEntry) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        EXPECT_EQ(form.GetText(), "Edit Trip Stop (trip meal)");
        EXPECT_EQ(form.Control<WTextBox>("textb_Trip")->GetText(), "Lakes loop");
        EXPECT_EQ(Entries(form.Control<WComboBox>("combo_Day")), (std::vector<std::string>{"1", "2"}));
        EXPECT_EQ(Current(form.Control<WComboBox>("combo_Day")), "1");
        EXPECT_EQ(form.Control<WComboBox>("combo_FoodStop")->GetCount(), 8);
        EXPECT_EQ(Current(form.Control<WComboBox>("combo_FoodStop")), "Dinner");
        EXPECT_EQ(form.Control<WTextBox>("textb_MealGuests")->GetText(), "Ann,Ben");
        // A meal and a menu item with the same id are two entries, and every one stays available.
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_MealsCourses")), Catalogue);
        EXPECT_EQ(Chosen(form), (std::vector<std::string>{"Camp supper (meal)", "Tea (menu item)"}));
        PressKey(form, Qt::Key_Escape);
    });
    Edit(kDinnerStop);
}

TEST_F(WinEditDayMealTest, AMealTwiceAndAMenuItemOnceStoreTwoMealRowsAndOneMenuItemRow) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        Click(form, "cb_ClearAll");
        Add(form, "Camp supper (meal)");
        Add(form, "Tea (menu item)");
        Add(form, "Camp supper (meal)");
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_MealsCourses")), Catalogue);
        Click(form, "cb_Close");
    });
    Edit(kLunchStop);
    EXPECT_EQ(Meals(kLunchStop), (std::vector<long>{kCampSupper, kCampSupper}));
    EXPECT_EQ(MenuItems(kLunchStop), (std::vector<long>{kTea}));
    EXPECT_TRUE(Stamped(kTrip));

    std::vector<std::string> reopened;
    ModalTakeOver::Expect("WinEditDayMeal", [&](WForm& form) {
        reopened = Chosen(form);
        PressKey(form, Qt::Key_Escape);
    });
    Edit(kLunchStop);
    EXPECT_EQ(reopened, (std::vector<std::string>{"Camp supper (meal)", "Camp supper (meal)", "Tea (menu item)"}));
}

TEST_F(WinEditDayMealTest, TheChosenMealsAreWrittenInTheOrderTheListShowsThem) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        Add(form, "Trail lunch (meal)");   // Camp supper stands before it, in the sorted list
        Click(form, "cb_Close");
    });
    Edit(kDinnerStop);
    EXPECT_EQ(Meals(kDinnerStop), (std::vector<long>{kCampSupper, kTrailLunch}));
    EXPECT_EQ(MenuItems(kDinnerStop), (std::vector<long>{kTea}));
}

TEST_F(WinEditDayMealTest, ClearAllAndCloseLeaveTheStopWithoutFoodAndStampTheTrip) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        Click(form, "cb_ClearAll");
        Click(form, "cb_Remove");
        Click(form, "cb_Close");
    });
    Edit(kDinnerStop);
    EXPECT_TRUE(Meals(kDinnerStop).empty());
    EXPECT_TRUE(MenuItems(kDinnerStop).empty());
    EXPECT_EQ(Meals(kOtherStop), (std::vector<long>{kCampSupper}));
    EXPECT_TRUE(Stamped(kTrip));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "You must select a meal/course from the list on the left to remove");
}

TEST_F(WinEditDayMealTest, ChangingTheDayAndFoodStopMovesTheStopWithinItsTrip) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        Pick(form, "combo_Day", "2");
        Pick(form, "combo_FoodStop", "Evening snack");
        Click(form, "cb_Close");
    });
    Edit(kDinnerStop);
    EXPECT_EQ(DayOf(kDinnerStop), kDay2);
    EXPECT_EQ(FoodStopOf(kDinnerStop), 8);
    EXPECT_EQ(Meals(kDinnerStop), (std::vector<long>{kCampSupper}));
    EXPECT_EQ(Count("DayFoodStops"), 4);
}

TEST_F(WinEditDayMealTest, SelectingAnEntryShowsItsTextAndFindMakesTheFoundEntryCurrent) {
    ModalTakeOver::Expect("WinFindValue", [](WForm& find) {
        EXPECT_EQ(find.GetText(), "Find a meal/course");
        find.Control<WTextBox>("textb_Match")->Type("sup");
        Click(find, "cb_OK");
    });
    ModalTakeOver::Expect("WinFindValue", [](WForm& find) { Click(find, "cb_Cancel"); });
    std::string found, shown, afterCancel;
    ModalTakeOver::Expect("WinEditDayMeal", [&](WForm& form) {
        Click(form, "cb_Find");
        found = Current(form.Control<WListBox>("lb_MealsCourses"));
        shown = form.Control<WTextBox>("textb_Selected")->GetText();
        Click(form, "cb_Find");
        afterCancel = Current(form.Control<WListBox>("lb_MealsCourses"));
        PressKey(form, Qt::Key_Escape);
    });
    Edit(kDinnerStop);
    EXPECT_EQ(found, "Camp supper (meal)");
    EXPECT_EQ(shown, "Camp supper (meal)");
    EXPECT_EQ(afterCancel, "Camp supper (meal)");
}

TEST_F(WinEditDayMealTest, NotesEditTheStopsNotesAndStampNothing) {
    ModalTakeOver::Expect("WinNotes", [](WForm& notes) {
        EXPECT_EQ(notes.GetText(), "Notes for 'trip stop'");
        notes.Control<WTextBox>("textb_Notes")->SetText("fire ban: cold meal");
        Click(notes, "cb_OK");
    });
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        Click(form, "cb_Notes");
        form.GetWindow()->close();
    });
    Edit(kDinnerStop);
    EXPECT_EQ(Value("select notes from DayFoodStops where id = 102").AsText(), "fire ban: cold meal");
    EXPECT_FALSE(Stamped(kTrip));
}

// The catalogue lists open on the saved stop, and both lists are read again after them: what
// was added there is available, and the choice made before stays chosen.
TEST_F(WinEditDayMealTest, EditAllMealsSavesFirstAndThenShowsAMealAddedThere) {
    std::vector<long> savedBeforeTheList;
    std::vector<std::string> available, chosen;
    ModalTakeOver::Expect("WinEditDayMeal", [&](WForm& form) {
        Add(form, "Trail lunch (meal)");
        ModalTakeOver::Expect("WinMeals", [&](WForm& meals) {
            savedBeforeTheList = Meals(kDinnerStop);
            ModalTakeOver::Expect("WinEditMeal", [](WForm& meal) {
                meal.Control<WTextBox>("textb_Name")->SetText("Fish fry");
                Click(meal, "cb_Close");
            });
            Click(meals, "cb_Add");
            Click(meals, "cb_Close");
        });
        Click(form, "cb_EditMeals");
        available = Entries(form.Control<WListBox>("lb_MealsCourses"));
        chosen = Chosen(form);
        form.GetWindow()->close();
    });
    Edit(kDinnerStop);
    EXPECT_EQ(savedBeforeTheList, (std::vector<long>{kCampSupper, kTrailLunch}));
    EXPECT_NE(std::find(available.begin(), available.end(), "Fish fry (meal)"), available.end());
    EXPECT_EQ(chosen, (std::vector<std::string>{"Camp supper (meal)", "Tea (menu item)", "Trail lunch (meal)"}));
    EXPECT_EQ(Meals(kDinnerStop), (std::vector<long>{kCampSupper, kTrailLunch}));
    EXPECT_TRUE(Stamped(kTrip));
}

TEST_F(WinEditDayMealTest, EditAllMenuItemsSavesFirstAndThenShowsAMenuItemRenamedThere) {
    ModalTakeOver::Expect("WinEditDayMeal", [&](WForm& form) {
        Click(form, "cb_ClearAll");
        Add(form, "Tea (menu item)");
        ModalTakeOver::Expect("WinMealCourses", [&](WForm& list) {
            EXPECT_EQ(MenuItems(kDinnerStop), (std::vector<long>{kTea}));
            EXPECT_TRUE(Meals(kDinnerStop).empty());
            Exec("update Courses set name = 'Green tea' where id = 1");   // as its editor would
            Click(list, "cb_Close");
        });
        Click(form, "cb_EditCourses");
        EXPECT_EQ(Chosen(form), (std::vector<std::string>{"Green tea (menu item)"}));
        EXPECT_EQ(Entries(form.Control<WListBox>("lb_MealsCourses")),
                  (std::vector<std::string>{"Camp supper (meal)", "Green tea (menu item)", "Porridge (menu item)",
                                            "Trail lunch (meal)"}));
        form.GetWindow()->close();
    });
    Edit(kDinnerStop);
}

// Enter and Esc press Close, which saves; the title-bar close box saves nothing.
enum class EditorLeave { CloseButton, EnterKey, EscapeKey, CloseBox };

const char* ToString(EditorLeave how) {
    switch (how) {
    case EditorLeave::CloseButton: return "CloseButton";
    case EditorLeave::EnterKey: return "EnterKey";
    case EditorLeave::EscapeKey: return "EscapeKey";
    case EditorLeave::CloseBox: return "CloseBox";
    }
    return "";
}
void PrintTo(EditorLeave how, std::ostream* os) { *os << ToString(how); }

class EditorLeaveTest : public WinEditDayMealTest, public ::testing::WithParamInterface<EditorLeave> {};

TEST_P(EditorLeaveTest, OnlyTheCloseBoxLeavesTheStopAsItWas) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        Pick(form, "combo_Day", "2");
        Click(form, "cb_ClearAll");
        Add(form, "Porridge (menu item)");
        switch (GetParam()) {
        case EditorLeave::CloseButton: Click(form, "cb_Close"); break;
        case EditorLeave::EnterKey: PressKey(form, Qt::Key_Return); break;
        case EditorLeave::EscapeKey: PressKey(form, Qt::Key_Escape); break;
        case EditorLeave::CloseBox: form.GetWindow()->close(); break;
        }
    });
    const std::string before = Snapshot();
    Edit(kDinnerStop);
    if (GetParam() == EditorLeave::CloseBox) {
        EXPECT_EQ(Snapshot(), before);
    } else {
        EXPECT_EQ(DayOf(kDinnerStop), kDay2);
        EXPECT_TRUE(Meals(kDinnerStop).empty());
        EXPECT_EQ(MenuItems(kDinnerStop), (std::vector<long>{kPorridge}));
        EXPECT_TRUE(Stamped(kTrip));
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, EditorLeaveTest,
                         ::testing::Values(EditorLeave::CloseButton, EditorLeave::EnterKey, EditorLeave::EscapeKey,
                                           EditorLeave::CloseBox),
                         [](const auto& info) { return std::string(ToString(info.param)); });

TEST_F(WinEditDayMealTest, MealGuestsStoresTheDayButNotTheFoodAndShowsTheNewGuests) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& guests) {
        EXPECT_EQ(guests.Control<WTextBox>("textb_Day")->GetText(), "2");   // the day was stored first
        Choose(guests, "lb_MealGuests", "Ben");
        Click(guests, "cb_Remove");
        Click(guests, "cb_OK");
    });
    std::string shown;
    ModalTakeOver::Expect("WinEditDayMeal", [&](WForm& form) {
        Pick(form, "combo_Day", "2");
        Click(form, "cb_ClearAll");
        Click(form, "cb_MealGuests");
        shown = form.Control<WTextBox>("textb_MealGuests")->GetText();
        form.GetWindow()->close();
    });
    Edit(kDinnerStop);
    EXPECT_EQ(shown, "Ann");
    EXPECT_EQ(DayOf(kDinnerStop), kDay2);
    EXPECT_EQ(Guests(kDinnerStop), (std::vector<long>{kAnn}));
    EXPECT_EQ(Meals(kDinnerStop), (std::vector<long>{kCampSupper}));   // the close box saved no food
    EXPECT_EQ(MenuItems(kDinnerStop), (std::vector<long>{kTea}));
}

TEST_F(WinEditDayMealTest, AComboBoxWithoutACurrentEntryNeverWritesANullDayOrFoodStop) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        Pick(form, "combo_Day", "2");
        form.Control<WComboBox>("combo_FoodStop")->SetSelected(-1);
        Click(form, "cb_Close");
    });
    Edit(kDinnerStop);
    EXPECT_EQ(DayOf(kDinnerStop), kDay1);
    EXPECT_EQ(FoodStopOf(kDinnerStop), 7);
    EXPECT_EQ(Count("DayFoodStops", "trip_day is null or food_stop is null"), 0);
}

// The database refuses a menu item of the stop: the save takes nothing away, moves nothing,
// and stamps no trip.
class EditorFailureTest : public WinEditDayMealTest {
protected:
    EditorFailureTest() {
        prepareScript = "CREATE TRIGGER no_porridge BEFORE INSERT ON DayCourses WHEN NEW.course = 2 "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    }
};

TEST_F(EditorFailureTest, AFailedInsertLosesNothingAndStampsNoTrip) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& form) {
        Pick(form, "combo_Day", "2");
        Click(form, "cb_ClearAll");
        Add(form, "Trail lunch (meal)");
        Add(form, "Porridge (menu item)");
        Click(form, "cb_Close");
    });
    const std::string before = Snapshot();
    Edit(kDinnerStop);
    EXPECT_EQ(Snapshot(), before);
}

class GuestsFailureTest : public WinEditDayMealTest {
protected:
    GuestsFailureTest() {
        prepareScript = "CREATE TRIGGER no_cat BEFORE INSERT ON MealPeople WHEN NEW.person = 3 "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    }
};

TEST_F(GuestsFailureTest, AFailedGuestsSaveKeepsTheOldGuestsShown) {
    ModalTakeOver::Expect("WinMealGuests", [](WForm& guests) {
        Choose(guests, "lb_MealGuests", "Ann");
        Click(guests, "cb_Remove");
        Choose(guests, "lb_Travellers", "Cat");
        Click(guests, "cb_Add");
        Click(guests, "cb_OK");
    });
    std::string shown;
    ModalTakeOver::Expect("WinEditDayMeal", [&](WForm& form) {
        Click(form, "cb_MealGuests");
        shown = form.Control<WTextBox>("textb_MealGuests")->GetText();
        form.GetWindow()->close();
    });
    Edit(kDinnerStop);
    EXPECT_EQ(shown, "Ann,Ben");
    EXPECT_EQ(Guests(kDinnerStop), (std::vector<long>{kAnn, kBen}));
    EXPECT_FALSE(Stamped(kTrip));
}

}  // namespace
