// The meal list through its entry function: the grid with each meal's menu items, both delete
// paths with their messages, Copy, Add with the editor at once, the selection messages of an
// empty list, Find and Notes; failed statements that leave nothing half done.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "catalogue/WinMeals.h"
#include "tests/catalogue/MealFormsTest.h"

namespace {

constexpr int kNameColumn = 0;
constexpr int kMenuItemsColumn = 1;
constexpr int kIdColumn = 2;

std::multiset<std::string> ListedItems(const std::string& list) {
    std::multiset<std::string> items;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');) items.insert(item);
    return items;
}

WGrid* Grid(WForm& form) { return form.Control<WGrid>("grid_Meals"); }

std::string SelectedName(WForm& form) {
    const long row = Grid(form)->GetCurrentRow();
    return row < 0 ? std::string() : Grid(form)->GetCellText(row, kNameColumn);
}

void SelectMeal(WForm& form, const std::string& name) {
    Grid(form)->SetCurrentRow(Grid(form)->FindRow(kNameColumn, name));
}

class WinMealsTest : public MealFormsTest {
protected:
    // Opens the list; the action runs on it, then the list is closed with its Close button.
    void OpenList(const std::function<void(WForm&)>& action) {
        ModalTakeOver::Expect("WinMeals", [action](WForm& form) {
            action(form);
            Click(form, "cb_Close");
        });
        EXPECT_TRUE(WinMeals::Open(nullptr));
    }
    void ExpectEditorClosedAsItIs(std::string* shownName = nullptr) {
        ModalTakeOver::Expect("WinEditMeal", [shownName](WForm& form) {
            if (shownName) *shownName = form.Control<WTextBox>("textb_Name")->GetText();
            Click(form, "cb_Close");
        });
    }
    // Every statement that adds a row to the table fails from now on.
    static std::string RefuseInserts(const std::string& table) {
        return "create trigger refuse_" + table + " before insert on " + table +
               " begin select raise( abort, 'refused' ); end;";
    }
};

TEST_F(WinMealsTest, EachMealIsListedByNameWithItsMenuItemsRepeatsIncluded) {
    for (const char* course : {"Porridge", "Tea", "Toast"}) AddCourse(course);
    AddMeal("Supper", {"Toast"});
    const long breakfast = AddMeal("breakfast", {"Porridge", "Tea", "Porridge"});
    AddMeal("Empty", {});
    std::vector<std::string> names, lists, titles;
    bool idHidden = false;
    std::string caption, selected;
    OpenList([&](WForm& form) {
        caption = form.GetText();
        names = Column(Grid(form), kNameColumn);
        lists = Column(Grid(form), kMenuItemsColumn);
        titles = Grid(form)->GetColumnTitles();
        idHidden = Grid(form)->IsColumnHidden(kIdColumn);
        selected = SelectedName(form);
        EXPECT_EQ(Grid(form)->GetCellText(0, kIdColumn), std::to_string(breakfast));
    });
    EXPECT_EQ(caption, "Meals");
    EXPECT_EQ(titles, (std::vector<std::string>{"Name", "Menu items", "ID"}));
    EXPECT_TRUE(idHidden);
    EXPECT_EQ(names, (std::vector<std::string>{"breakfast", "Empty", "Supper"}));
    ASSERT_EQ(lists.size(), 3u);
    EXPECT_EQ(ListedItems(lists[0]), (std::multiset<std::string>{"Porridge", "Porridge", "Tea"}));
    EXPECT_EQ(lists[1], "");
    EXPECT_EQ(lists[2], "Toast");
    EXPECT_EQ(selected, "breakfast");
}

struct DeleteCase {
    const char* name;
    bool onATrip;
    WMessageAnswer answer;
    const char* caption;
    const char* text;
    WMessageIcon icon;
    bool deleted;
};
void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

constexpr const char* kRemoveText =
    "There are no trip meals currently including the\r\n'Mom's stew' meal, but are you sure you want to\r\n"
    "permanently delete this meal?\r\n";
constexpr const char* kInUseText =
    "The meal 'Mom's stew' is used in one or more trip meals.\r\n\r\nAre you sure you want to delete this meal? "
    "If you do, it\r\nwill be removed from all trip meals that use it.";

class WinMealsDeleteTest : public WinMealsTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(WinMealsDeleteTest, AsksAndRemovesTheMealWithItsRows) {
    const DeleteCase& c = GetParam();
    AddCourse("Stew");
    AddMeal("Breakfast", {"Stew"});
    const long meal = AddMeal("Mom's stew", {"Stew", "Stew"});
    Exec("insert into Trips( id, name ) values( 1, 'Hike' )");
    Exec("insert into TripDays( id, trip, day_num ) values( 1, 1, 1 )");
    Exec("insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 7 )");
    if (c.onATrip) Exec("insert into DayMeals( day_stop, meal ) values( 1, " + std::to_string(meal) + " )");
    prompter.Answer(c.answer);
    std::vector<std::string> names;
    std::string selected;
    OpenList([&](WForm& form) {
        SelectMeal(form, "Mom's stew");
        Click(form, "cb_Delete");
        names = Column(Grid(form), kNameColumn);
        selected = SelectedName(form);
    });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    const ScriptedPrompter::Shown shown = prompter.Messages()[0];
    EXPECT_EQ(shown.caption, c.caption);
    EXPECT_EQ(shown.text, c.text);
    EXPECT_EQ(shown.icon, c.icon);
    EXPECT_EQ(shown.buttons, WMessageButtons::OKCancel);
    const std::string where = "meal = " + std::to_string(meal);
    EXPECT_EQ(Count("Meals", "id = " + std::to_string(meal)), c.deleted ? 0 : 1);
    EXPECT_EQ(Count("MealCourses", where), c.deleted ? 0 : 2);
    EXPECT_EQ(Count("DayMeals", where), c.deleted || !c.onATrip ? 0 : 1);
    EXPECT_EQ(Count("Meals"), c.deleted ? 1 : 2);
    EXPECT_EQ(names.size(), c.deleted ? 1u : 2u);
    EXPECT_EQ(selected, c.deleted ? "Breakfast" : "Mom's stew");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WinMealsDeleteTest,
    ::testing::Values(
        DeleteCase{"UnusedCancel", false, WMessageAnswer::Cancel, "Remove Meal?", kRemoveText, WMessageIcon::Question, false},
        DeleteCase{"UnusedOK", false, WMessageAnswer::OK, "Remove Meal?", kRemoveText, WMessageIcon::Question, true},
        DeleteCase{"InUseCancel", true, WMessageAnswer::Cancel, "Meal is in use", kInUseText, WMessageIcon::Exclamation, false},
        DeleteCase{"InUseOK", true, WMessageAnswer::OK, "Meal is in use", kInUseText, WMessageIcon::Exclamation, true}),
    [](const auto& info) { return std::string(info.param.name); });

class WinMealsRefusedDeleteTest : public WinMealsTest {
protected:
    WinMealsRefusedDeleteTest() {
        prepareScript = "create trigger keep_meals before delete on Meals begin select raise( abort, 'kept' ); end;";
    }
};

TEST_F(WinMealsRefusedDeleteTest, ARefusedDeleteKeepsTheMealWithItsMenuItemsAndTripMeals) {
    AddCourse("Stew");
    const long meal = AddMeal("Stew night", {"Stew", "Stew"});
    Exec("insert into Trips( id, name ) values( 1, 'Hike' )");
    Exec("insert into TripDays( id, trip, day_num ) values( 1, 1, 1 )");
    Exec("insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 7 )");
    Exec("insert into DayMeals( day_stop, meal ) values( 1, " + std::to_string(meal) + " )");
    prompter.Answer(WMessageAnswer::OK);
    OpenList([](WForm& form) { Click(form, "cb_Delete"); });
    EXPECT_EQ(Count("Meals"), 1);
    EXPECT_EQ(MenuItemsOf(meal), (std::multiset<std::string>{"Stew", "Stew"}));
    EXPECT_EQ(Count("DayMeals"), 1);
}

TEST_F(WinMealsTest, CopyKeepsNotesAndRepeatsWithTheFirstFreeNameAndNoCredit) {
    for (const char* course : {"Porridge", "Tea"}) AddCourse(course);
    const long source = AddMeal("Mom's breakfast", {"Porridge", "Tea", "Porridge"});
    Exec("update Meals set notes = 'hot', licensor = 'Ann', modified = '2004-01-02 03:04:05' where id = " +
         std::to_string(source));
    std::vector<std::string> selected;
    OpenList([&](WForm& form) {
        Click(form, "cb_Copy");
        selected.push_back(SelectedName(form));
        SelectMeal(form, "Mom's breakfast");
        Click(form, "cb_Copy");
        selected.push_back(SelectedName(form));
    });
    EXPECT_EQ(selected, (std::vector<std::string>{"Mom's breakfast_01", "Mom's breakfast_02"}));
    for (const char* quoted : {"'Mom''s breakfast_01'", "'Mom''s breakfast_02'"}) {
        SCOPED_TRACE(quoted);
        const std::string row = std::string("from Meals where name = ") + quoted;
        const long copy = static_cast<long>(Value("select id " + row).AsLong());
        EXPECT_EQ(MenuItemsOf(copy), (std::multiset<std::string>{"Porridge", "Porridge", "Tea"}));
        EXPECT_EQ(Text("select notes " + row), "hot");
        EXPECT_TRUE(Value("select licensor " + row).IsNull());
        EXPECT_TRUE(Value("select modified " + row).IsNull());
    }
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(WinMealsTest, ACopyWhoseMenuItemsAreRefusedLeavesNoHalfMadeMeal) {
    AddCourse("Tea");
    AddMeal("Tea time", {"Tea"});
    RunSqlite(RefuseInserts("MealCourses"));
    std::vector<std::string> names;
    std::string selected;
    OpenList([&](WForm& form) {
        Click(form, "cb_Copy");
        names = Column(Grid(form), kNameColumn);
        selected = SelectedName(form);
    });
    EXPECT_EQ(Count("Meals"), 1);
    EXPECT_EQ(names, (std::vector<std::string>{"Tea time"}));
    EXPECT_EQ(selected, "Tea time");
}

TEST_F(WinMealsTest, AddMakesNewMealAndOpensTheEditorOnItAtOnce) {
    std::string firstName, secondName;
    ModalTakeOver::Expect("WinEditMeal", [&](WForm& form) {
        firstName = form.Control<WTextBox>("textb_Name")->GetText();
        Click(form, "cb_Close");
    });
    ExpectEditorClosedAsItIs(&secondName);
    std::vector<std::string> names;
    std::string selected;
    OpenList([&](WForm& form) {
        Click(form, "cb_Add");
        Grid(form)->GetPopupMenu()->FindItem(10001)->Click();
        names = Column(Grid(form), kNameColumn);
        selected = SelectedName(form);
    });
    EXPECT_EQ(firstName, "new_meal");
    EXPECT_EQ(secondName, "new_meal_01");
    EXPECT_EQ(names, (std::vector<std::string>{"new_meal", "new_meal_01"}));
    EXPECT_EQ(selected, "new_meal_01");
    EXPECT_FALSE(Value("select modified from Meals where name = 'new_meal'").IsNull());   // the editor's Close
}

TEST_F(WinMealsTest, ARefusedAddOpensNoEditorOnAnotherMeal) {
    AddMeal("Breakfast", {});
    RunSqlite(RefuseInserts("Meals"));
    OpenList([](WForm& form) { Click(form, "cb_Add"); });   // strict: an editor would be unexpected
    EXPECT_EQ(Count("Meals"), 1);
    EXPECT_TRUE(Value("select modified from Meals").IsNull());
}

TEST_F(WinMealsTest, EveryRowCommandOnAnEmptyListShowsTheSelectionMessage) {
    OpenList([](WForm& form) {
        for (const char* button : {"cb_Edit", "cb_Delete", "cb_Notes", "cb_Copy"}) Click(form, button);
        WEventData doubleClick;
        doubleClick.id = DoubleClickEvent;
        Grid(form)->Raise(doubleClick);
    });
    ASSERT_EQ(prompter.Messages().size(), 5u);
    for (const auto& shown : prompter.Messages()) {
        EXPECT_EQ(shown.caption, "Selection error");
        EXPECT_EQ(shown.text, "You must create and select a meal before you can complete this task.\r\n\r\n");
        EXPECT_EQ(shown.icon, WMessageIcon::Stop);
    }
    EXPECT_EQ(Count("Meals"), 0);
}

TEST_F(WinMealsTest, EditFromButtonPopupAndDoubleClickKeepsTheEditedMealSelected) {
    AddCourse("Soup");
    AddMeal("Apple day", {});
    const long meal = AddMeal("Dinner", {});
    for (const char* rename : {"Zucchini night", "Beans", "Casserole"}) {
        ModalTakeOver::Expect("WinEditMeal", [rename](WForm& form) {
            form.Control<WTextBox>("textb_Name")->SetText(rename);
            Click(form, "cb_Close");
        });
    }
    std::vector<std::string> selected;
    OpenList([&](WForm& form) {
        SelectMeal(form, "Dinner");
        Click(form, "cb_Edit");
        selected.push_back(SelectedName(form));
        Grid(form)->GetPopupMenu()->FindItem(10000)->Click();
        selected.push_back(SelectedName(form));
        WEventData doubleClick;
        doubleClick.id = DoubleClickEvent;
        Grid(form)->Raise(doubleClick);
        selected.push_back(SelectedName(form));
    });
    EXPECT_EQ(selected, (std::vector<std::string>{"Zucchini night", "Beans", "Casserole"}));
    EXPECT_EQ(Text("select name from Meals where id = " + std::to_string(meal)), "Casserole");
}

TEST_F(WinMealsTest, FindSelectsTheChosenMeal) {
    for (const char* name : {"Breakfast", "Lunch", "Supper"}) AddMeal(name, {});
    std::string title, selected;
    ModalTakeOver::Expect("WinFindValue", [&](WForm& form) {
        title = form.GetText();
        form.Control<WTextBox>("textb_Match")->SetText("sup");
        Click(form, "cb_OK");
    });
    OpenList([&](WForm& form) {
        Click(form, "cb_Find");
        selected = SelectedName(form);
    });
    EXPECT_EQ(title, "Find a meal");
    EXPECT_EQ(selected, "Supper");
}

TEST_F(WinMealsTest, NotesEditTheMealsNotesAndCreditAndStampIt) {
    const long meal = AddMeal("Breakfast", {});
    std::string caption;
    bool creditShown = false;
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        caption = form.GetText();
        creditShown = form.Control<WTextBox>("textb_License")->GetVisible();
        form.Control<WTextBox>("textb_Notes")->SetText("early");
        form.Control<WTextBox>("textb_License")->SetText("Bea");
        Click(form, "cb_OK");
    });
    OpenList([](WForm& form) { Grid(form)->GetPopupMenu()->FindItem(10003)->Click(); });
    EXPECT_EQ(caption, "Notes for 'Breakfast'");
    EXPECT_TRUE(creditShown);
    const std::string row = " from Meals where id = " + std::to_string(meal);
    EXPECT_EQ(Text("select notes" + row), "early");
    EXPECT_EQ(Text("select licensor" + row), "Bea");
    EXPECT_FALSE(Value("select modified" + row).IsNull());
}

TEST_F(WinMealsTest, HelpShowsTheMealsTopic) {
    OpenList([](WForm& form) { form.Raise(HelpEvent); });
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_NE(prompter.HelpRequests()[0].find("idh_meals.htm#IDH_MEALS"), std::string::npos);
}

}  // namespace
