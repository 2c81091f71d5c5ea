// The trip stops list, opened through its entry function as the trip editor and the trip-days
// form open it, and the forms it leads to.

#include <gtest/gtest.h>

#include <functional>

#include "platform/forms/WMenu.h"
#include "tests/trips/TripStopsTest.h"
#include "trips/WinTripMeals.h"

namespace {

const std::vector<std::string> AllStops{"Day 1|Lunch|Trail lunch|Ann, Ben, Cat|101",
                                        "Day 1|Dinner|Camp supper, Tea|Ann, Ben|102",
                                        "Day 2|Breakfast|Porridge|Ann, Ben, Cat|103"};

WGrid* Grid(WForm& form) { return form.Control<WGrid>("grid_TripMeals"); }

void SelectStop(WForm& form, const std::string& foodStop) {
    const long row = Grid(form)->FindRow(1, foodStop);
    ASSERT_GE(row, 0) << foodStop;
    Grid(form)->SetCurrentRow(row);
}

std::string CurrentRow(WForm& form) {
    const long row = Grid(form)->GetCurrentRow();
    return row < 0 ? std::string() : Rows(Grid(form))[row];
}

class WinTripMealsTest : public TripStopsTest {
protected:
    void Open(long trip, long day, ModalTakeOver::Hook hook) {
        ModalTakeOver::Expect("WinTripMeals", std::move(hook));
        form.Open(nullptr, static_cast<int>(trip), static_cast<int>(day));
    }
    WinTripMeals form;
};

TEST_F(WinTripMealsTest, ForTheWholeTripListsEveryStopInDayOrderUnderTheTemplateCaption) {
    Open(kTrip, -1, [](WForm& form) {
        EXPECT_EQ(form.GetText(), "Trip Stops");
        EXPECT_EQ(form.Control<WTextBox>("textb_Trip")->GetText(), "Lakes loop");
        EXPECT_EQ(Grid(form)->GetColumnTitles(),
                  (std::vector<std::string>{"Day", "FoodStop", "Food", "Travelers", "DayFoodStopID"}));
        EXPECT_EQ(Rows(Grid(form)), AllStops);
        const std::vector<int> widths{62, 100, 190, 130};
        for (int column = 0; column < 4; ++column) EXPECT_EQ(Grid(form)->GetColumnWidth(column), widths[column]);
        EXPECT_TRUE(Grid(form)->IsColumnHidden(4));
        EXPECT_EQ(Grid(form)->GetCurrentRow(), 0);
        Click(form, "cb_Close");
    });
}

TEST_F(WinTripMealsTest, ForOneDayListsThatDayOnlyAndNamesItInTheCaption) {
    Open(kTrip, kDay2, [](WForm& form) {
        EXPECT_EQ(form.GetText(), "Trip Stops for day 2");
        EXPECT_EQ(Rows(Grid(form)), (std::vector<std::string>{AllStops[2]}));
        PressKey(form, Qt::Key_Escape);
    });
}

TEST_F(WinTripMealsTest, DeleteNamesTheFoodStopAndTakesTheStopWithItsFoodAndGuestsOnly) {
    prompter.Answer(WMessageAnswer::OK);
    std::vector<std::string> after;
    std::string current;
    const long otherRows = Count("DayMeals", "day_stop <> 102") + Count("DayCourses", "day_stop <> 102") +
                           Count("MealPeople", "day_stop <> 102");
    Open(kTrip, -1, [&](WForm& form) {
        SelectStop(form, "Dinner");
        Click(form, "cb_Delete");
        after = Rows(Grid(form));
        current = CurrentRow(form);
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    const ScriptedPrompter::Shown question = prompter.Messages()[0];
    EXPECT_EQ(question.caption, "Remove Trip Meal?");
    EXPECT_EQ(question.text, "Are you sure you want to remove a Dinner trip stop from the trip?");
    EXPECT_EQ(question.icon, WMessageIcon::Question);
    EXPECT_EQ(question.buttons, WMessageButtons::OKCancel);
    EXPECT_EQ(after, (std::vector<std::string>{AllStops[0], AllStops[2]}));
    EXPECT_EQ(current, AllStops[0]);
    EXPECT_EQ(Count("DayFoodStops", "id = 102"), 0);
    EXPECT_EQ(Count("DayMeals", "day_stop = 102") + Count("DayCourses", "day_stop = 102") +
                  Count("MealPeople", "day_stop = 102"),
              0);
    EXPECT_EQ(Count("DayMeals") + Count("DayCourses") + Count("MealPeople"), otherRows);
    EXPECT_EQ(Count("DayFoodStops"), 3);
    EXPECT_EQ(Count("Meals") + Count("Courses") + Count("People") + Count("TripPeople") + Count("TripDays"), 2 + 2 + 4 + 4 + 3);
    EXPECT_TRUE(Stamped(kTrip));
}

TEST_F(WinTripMealsTest, AddOpensTheNewStopInTheEditorAndSelectsIt) {
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& add) {
        EXPECT_EQ(Current(add.Control<WComboBox>("combo_Day")), "2");   // the list's day
        Pick(add, "combo_FoodStop", "Dinner");
        Click(add, "cb_OK");
    });
    std::string editorDay, editorStop;
    ModalTakeOver::Expect("WinEditDayMeal", [&](WForm& editor) {
        editorDay = Current(editor.Control<WComboBox>("combo_Day"));
        editorStop = Current(editor.Control<WComboBox>("combo_FoodStop"));
        Choose(editor, "lb_MealsCourses", "Camp supper (meal)");
        Click(editor, "cb_Add");
        Click(editor, "cb_Close");
    });
    std::vector<std::string> rows;
    std::string current;
    Open(kTrip, kDay2, [&](WForm& form) {
        Click(form, "cb_Add");
        rows = Rows(Grid(form));
        current = CurrentRow(form);
        Click(form, "cb_Close");
    });
    EXPECT_EQ(editorDay, "2");
    EXPECT_EQ(editorStop, "Dinner");
    const std::string added = "Day 2|Dinner|Camp supper|Ann, Ben, Cat|202";
    EXPECT_EQ(rows, (std::vector<std::string>{AllStops[2], added}));
    EXPECT_EQ(current, added);
}

TEST_F(WinTripMealsTest, ACancelledAddOpensNoEditor) {
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& add) { Click(add, "cb_Cancel"); });
    const std::string before = Snapshot();
    Open(kTrip, -1, [](WForm& form) {
        Click(form, "cb_Add");
        EXPECT_EQ(Rows(Grid(form)), AllStops);
        Click(form, "cb_Close");
    });
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(WinTripMealsTest, EditOpensTheSelectedStopAndTheListShowsWhatChanged) {
    long editorStopId = 0;
    ModalTakeOver::Expect("WinEditDayMeal", [&](WForm& editor) {
        editorStopId = Current(editor.Control<WComboBox>("combo_FoodStop")) == "Breakfast" ? kBreakfastStop : 0;
        Click(editor, "cb_ClearAll");
        Click(editor, "cb_Close");
    });
    std::string current;
    Open(kTrip, -1, [&](WForm& form) {
        SelectStop(form, "Breakfast");
        Click(form, "cb_Edit");
        current = CurrentRow(form);
        Click(form, "cb_Close");
    });
    EXPECT_EQ(editorStopId, kBreakfastStop);
    EXPECT_EQ(current, "Day 2|Breakfast||Ann, Ben, Cat|103");
}

TEST_F(WinTripMealsTest, ThePopUpMenuAndADoubleClickReachTheSameCommands) {
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& editor) { editor.GetWindow()->close(); });
    ModalTakeOver::Expect("WinEditDayMeal", [](WForm& editor) { editor.GetWindow()->close(); });
    ModalTakeOver::Expect("WinNewTripStop", [](WForm& add) { Click(add, "cb_Cancel"); });
    ModalTakeOver::Expect("WinNotes", [](WForm& notes) { Click(notes, "cb_Cancel"); });
    prompter.Answer(WMessageAnswer::Cancel);
    Open(kTrip, -1, [](WForm& form) {
        WPopupMenu* popup = Grid(form)->GetPopupMenu();
        ASSERT_NE(popup, nullptr);
        for (int id : {10000, 10001, 10002, 10003}) popup->FindItem(id)->Click();
        Grid(form)->Raise(DoubleClickEvent);
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Remove Trip Meal?");
    EXPECT_EQ(Count("DayFoodStops"), 4);
}

class EmptyListTest : public WinTripMealsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EmptyListTest, ACommandOnATripWithoutStopsShowsTheSelectionError) {
    Exec("insert into Trips( id, name ) values( 3, 'Empty' )");
    Open(3, -1, [](WForm& form) {
        EXPECT_TRUE(Rows(Grid(form)).empty());
        Click(form, GetParam());
        Click(form, "cb_Close");
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Selection error");
    EXPECT_EQ(prompter.Messages()[0].text, "You must create and select a trip stop before you can complete this task.\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Commands, EmptyListTest, ::testing::Values("cb_Edit", "cb_Delete", "cb_Notes"),
                         [](const auto& info) { return std::string(info.param).substr(3); });

// Which commands set the trip's modified stamp: those that change its stops, their food or
// their guests, and only when the change was written.
struct StampCase {
    const char* name;
    std::function<void(WForm& list)> run;   // queues the inner forms' answers and clicks in the list
    bool stamps;
};
void PrintTo(const StampCase& command, std::ostream* os) { *os << command.name; }

void EditThen(WForm& list, std::function<void(WForm&)> editor) {
    ModalTakeOver::Expect("WinEditDayMeal", std::move(editor));
    SelectStop(list, "Dinner");
    Click(list, "cb_Edit");
}

void GuestsThen(WForm& list, const char* guestsButton) {
    ModalTakeOver::Expect("WinMealGuests", [=](WForm& guests) {
        Click(guests, "cb_ClearAll");
        Click(guests, guestsButton);
    });
    EditThen(list, [](WForm& editor) {
        Click(editor, "cb_MealGuests");
        editor.GetWindow()->close();
    });
}

const StampCase StampCases[] = {
    {"ListCloseAlone", [](WForm&) {}, false},
    {"EditorClose", [](WForm& list) { EditThen(list, [](WForm& e) { Click(e, "cb_Close"); }); }, true},
    {"EditorCloseBox",
     [](WForm& list) {
         EditThen(list, [](WForm& e) {
             Click(e, "cb_ClearAll");
             e.GetWindow()->close();
         });
     },
     false},
    {"GuestsOk", [](WForm& list) { GuestsThen(list, "cb_OK"); }, true},
    {"GuestsCancel", [](WForm& list) { GuestsThen(list, "cb_Cancel"); }, false},
    {"NewStopOk",
     [](WForm& list) {
         ModalTakeOver::Expect("WinNewTripStop", [](WForm& add) { Click(add, "cb_OK"); });
         ModalTakeOver::Expect("WinEditDayMeal", [](WForm& e) { e.GetWindow()->close(); });
         Click(list, "cb_Add");
     },
     true},
    {"NewStopCancel",
     [](WForm& list) {
         ModalTakeOver::Expect("WinNewTripStop", [](WForm& add) { Click(add, "cb_Cancel"); });
         Click(list, "cb_Add");
     },
     false},
    {"DeleteOk", [](WForm& list) { Click(list, "cb_Delete"); }, true},
    {"DeleteCancel", [](WForm& list) { Click(list, "cb_Delete"); }, false},
    {"StopNotesOk",
     [](WForm& list) {
         ModalTakeOver::Expect("WinNotes", [](WForm& notes) {
             notes.Control<WTextBox>("textb_Notes")->SetText("late dinner");
             Click(notes, "cb_OK");
         });
         Click(list, "cb_Notes");
     },
     false},
};

class StampTest : public WinTripMealsTest, public ::testing::WithParamInterface<StampCase> {};

TEST_P(StampTest, OnlyWrittenChangesOfTheStopsStampTheTrip) {
    const StampCase& command = GetParam();
    if (std::string(command.name) == "DeleteOk") prompter.Answer(WMessageAnswer::OK);
    if (std::string(command.name) == "DeleteCancel") prompter.Answer(WMessageAnswer::Cancel);
    Open(kTrip, -1, [&](WForm& list) {
        command.run(list);
        Click(list, "cb_Close");
    });
    EXPECT_EQ(Stamped(kTrip), command.stamps);
    EXPECT_FALSE(Stamped(kOtherTrip));
}

INSTANTIATE_TEST_SUITE_P(Commands, StampTest, ::testing::ValuesIn(StampCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
