// Clearing the database on a filled private copy of the template: trip data alone, trip and
// food data, Cancel, and a delete that the database refuses, which leaves every row.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "exchange/WinClearDB.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/DamagedDatabase.h"
#include "tests/support/MainWindowDatabaseTest.h"
#include "tests/support/StrictModalForms.h"

namespace {

using Tables = std::vector<std::string>;
const Tables TripTables = {"TripPeople", "MealPeople", "DayCourses", "DayMeals", "DayFoodStops", "TripDays", "Trips"};
const Tables FoodTables = {"MealCourses", "Meals", "CourseIngredients", "Recipes", "Courses", "Ingredients"};
const Tables KeptTables = {"People", "FoodStops", "MeasureTypes", "Measures", "MeasureConversions", "DBVersion"};

// A trip with a day, a stop with a meal, a menu item and guests, on a catalogue of one of each.
const char* const FillScript =
    "insert into Ingredients (id, name) values (1, 'rice');"
    "insert into Courses (id, name) values (1, 'rice pot');"
    "insert into Recipes (course, seq, data) values (1, 0, x'00000000');"
    "insert into CourseIngredients (id, course, ingredient, measure, amount) values (1, 1, 1, 14, 2.0);"
    "insert into Meals (id, name) values (1, 'dinner');"
    "insert into MealCourses (id, meal, course) values (1, 1, 1);"
    "insert into People (id, name) values (1, 'Ann');"
    "insert into Trips (id, name) values (1, 'Hike');"
    "insert into TripDays (id, day_num, trip) values (1, 1, 1);"
    "insert into DayFoodStops (id, trip_day, food_stop) values (1, 1, 1);"
    "insert into DayMeals (id, day_stop, meal) values (1, 1, 1);"
    "insert into DayCourses (id, day_stop, course) values (1, 1, 1);"
    "insert into MealPeople (id, person, day_stop) values (1, 1, 1);"
    "insert into TripPeople (id, person, trip) values (1, 1, 1);";

class WinClearDBTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override {
        prepareScript += FillScript;
        MainWindowDatabaseTest::SetUp();
        for (const Tables* tables : {&TripTables, &FoodTables, &KeptTables})
            for (const std::string& table : *tables) before[table] = Count(table);
    }

    // Opens the form, sets the box and presses OK; notes what the wait window showed.
    bool ClearWithOK(bool food) {
        ModalTakeOver::Expect("WinClearDB", [food](WForm& form) {
            form.Control<WCheckBox>("checkbox_Food")->SetChecked(food);
            form.Control<WCommandButton>("cb_OK")->Click();
        });
        ModalTakeOver::Expect("WinWait", [this](WForm& form) {
            maximum = form.Control<WProgressBar>("progb_Progress")->GetMaximum();
            cancelShown = form.Control<WCommandButton>("cb_Cancel")->GetVisible();
        });
        return clear.Run(nullptr);
    }

    void ExpectRowsAsBefore(const Tables& tables) {
        for (const std::string& table : tables) EXPECT_EQ(Count(table), before[table]) << table;
    }
    void ExpectEmpty(const Tables& tables) {
        for (const std::string& table : tables) EXPECT_EQ(Count(table), 0) << table;
    }

    StrictModalForms strict;
    ScriptedPrompter prompter;
    WinClearDB clear;
    std::map<std::string, long> before;
    int maximum = -1;
    bool cancelShown = true;
};

TEST_F(WinClearDBTest, TheFilledDatabaseHasARowInEveryTable) {
    for (const auto& [table, rows] : before) EXPECT_GT(rows, 0) << table;
}

TEST_F(WinClearDBTest, TheBoxIsCheckedAtEveryOpening) {
    for (int opening = 0; opening < 2; ++opening) {
        bool checked = false;
        ModalTakeOver::Expect("WinClearDB", [&](WForm& form) {
            checked = form.Control<WCheckBox>("checkbox_Food")->GetChecked();
            form.Control<WCheckBox>("checkbox_Food")->SetChecked(false);
            form.Control<WCommandButton>("cb_Cancel")->Click();
        });
        EXPECT_FALSE(clear.Run(nullptr));
        EXPECT_TRUE(checked) << opening;
    }
}

TEST_F(WinClearDBTest, WithFoodTheSixFoodAndSevenTripTablesAreEmptiedAndTheRestKept) {
    EXPECT_TRUE(ClearWithOK(true));
    EXPECT_EQ(maximum, 13);
    EXPECT_FALSE(cancelShown);
    ExpectEmpty(TripTables);
    ExpectEmpty(FoodTables);
    ExpectRowsAsBefore(KeptTables);
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(WinClearDBTest, TripDataOnlyLeavesEveryFoodRow) {
    EXPECT_TRUE(ClearWithOK(false));
    EXPECT_EQ(maximum, 7);
    ExpectEmpty(TripTables);
    ExpectRowsAsBefore(FoodTables);
    ExpectRowsAsBefore(KeptTables);
}

TEST_F(WinClearDBTest, CancelDeletesNothing) {
    ModalTakeOver::Expect("WinClearDB", [](WForm& form) { form.Control<WCommandButton>("cb_Cancel")->Click(); });
    EXPECT_FALSE(clear.Run(nullptr));
    ExpectRowsAsBefore(TripTables);
    ExpectRowsAsBefore(FoodTables);
}

TEST_F(WinClearDBTest, TheCloseBoxDeletesNothing) {
    ModalTakeOver::Expect("WinClearDB", [](WForm& form) { form.Close(); });
    EXPECT_FALSE(clear.Run(nullptr));
    ExpectRowsAsBefore(TripTables);
}

// A delete that the database refuses, whichever it is, leaves every row and says why.
class WinClearDBRefusedTest : public WinClearDBTest, public testing::WithParamInterface<const char*> {
protected:
    WinClearDBRefusedTest() {
        prepareScript = std::string("create trigger refuse_delete before delete on ") + GetParam() +
                        " begin select raise(abort, 'the delete was refused'); end;";
    }
};

TEST_P(WinClearDBRefusedTest, ARefusedDeleteLeavesEveryRow) {
    EXPECT_FALSE(ClearWithOK(true));
    ExpectRowsAsBefore(TripTables);
    ExpectRowsAsBefore(FoodTables);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    const auto shown = prompter.Messages()[0];
    EXPECT_EQ(shown.caption, "Clear Database");
    EXPECT_EQ(shown.icon, WMessageIcon::Stop);
    EXPECT_EQ(shown.buttons, WMessageButtons::OK);
    EXPECT_EQ(shown.text, "The database could not be cleared:\r\nthe delete was refused\r\nNothing was deleted.");
}

INSTANTIATE_TEST_SUITE_P(EveryTable, WinClearDBRefusedTest,
                         testing::Values("TripPeople", "MealPeople", "DayCourses", "DayMeals", "DayFoodStops",
                                         "TripDays", "Trips", "MealCourses", "Meals", "CourseIngredients",
                                         "Recipes", "Courses", "Ingredients"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// Another program reads the file until the commit gives up: one message, the clearing's own.
TEST_F(WinClearDBTest, AClearingWhoseCommitFailsIsToldOnceInItsOwnWordsAndDeletesNothing) {
    ReadLock reader(folder.File("Kestavo.db"));
    ASSERT_TRUE(reader.Held());
    EXPECT_FALSE(ClearWithOK(true));
    reader.Release();
    ExpectRowsAsBefore(TripTables);
    ExpectRowsAsBefore(FoodTables);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Clear Database");
    EXPECT_EQ(prompter.Messages()[0].text,
              "The database could not be cleared:\r\ndatabase is locked\r\nNothing was deleted.");
    EXPECT_TRUE(Exec("delete from TripPeople"));   // no transaction was left open
    EXPECT_EQ(ValueOnFile(folder.File("Kestavo.db"), "select count(*) from TripPeople"), 0);
}

TEST_F(WinClearDBTest, AClearingWhoseThreadCannotStartDeletesNothingAndSaysSo) {
    WThread::RefuseNextStart();
    EXPECT_FALSE(ClearWithOK(true));
    ExpectRowsAsBefore(TripTables);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Clear Database");
}

// From the File menu of a started main window: the trips list is read again afterwards.
class ClearFromMainWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SeedDatabase();
        RunSqliteOnFile(Database(), FillScript);
        Start();
    }
    StrictModalForms strict;
};

TEST_F(ClearFromMainWindowTest, TheFileMenuClearsAndTheTripsListIsReadAgain) {
    ASSERT_EQ(window->grid_Trips->GetNumRows(), 1);
    ASSERT_TRUE(window->menu_1->FindItem(1008)->GetItemEnabled());
    ModalTakeOver::Expect("WinClearDB", [](WForm& form) { form.Control<WCommandButton>("cb_OK")->Click(); });
    window->menu_1->FindItem(1008)->Click();
    EXPECT_EQ(window->grid_Trips->GetNumRows(), 0);
    WQuery query(window->transaction_KVO.get());
    query.SetSQL("select count(*) from Ingredients");
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.GetValue(0, 0).AsLong(), 0);
}

}  // namespace
