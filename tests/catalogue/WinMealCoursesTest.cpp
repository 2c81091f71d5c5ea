// The menu-item list through its entry function: the list and its selection, Add with the
// editor opened at once, both delete paths with their questions, Copy with the lines and the
// recipe, Notes and Find; each on a private database copy.

#include <gtest/gtest.h>

#include <string>

#include "catalogue/WinMealCourses.h"
#include "platform/forms/WGrid.h"
#include "platform/forms/WMenu.h"
#include "tests/catalogue/MenuItemTest.h"

namespace {

std::string SelectedName(WForm& form) {
    auto* grid = form.Control<WGrid>("grid_Courses");
    const long row = grid->GetCurrentRow();
    return row < 0 ? "<none>" : grid->GetCellText(row, 0);
}

void Choose(WForm& form, const std::string& name) {
    auto* grid = form.Control<WGrid>("grid_Courses");
    grid->SetCurrentRow(grid->FindRow(0, name));
}

class WinMealCoursesTest : public MenuItemTest {
protected:
    // Opens the list, runs the steps in it, then closes it with its Close button.
    bool Run(std::function<void(WForm&)> steps, bool selectMode = false) {
        OnOpen("WinMealCourses", [steps = std::move(steps)](WForm& form) {
            steps(form);
            Click(form, "cb_Close");
        });
        return list.Open(nullptr, selectMode);
    }
    static void CloseEditorByTheCloseBox() {
        OnOpen("WinEditCourse", [](WForm& form) { form.GetWindow()->close(); });
    }

    WinMealCourses list;
};

TEST_F(WinMealCoursesTest, ListsEveryMenuItemByNameWithTheFirstSelectedAndNoCancel) {
    AddCourse("Trail mix");
    AddCourse("Chili");
    Exec("update Courses set notes = 'hot' where name = 'Chili'");
    std::vector<std::string> rows;
    std::string caption, selected;
    bool cancelShown = true;
    EXPECT_TRUE(Run([&](WForm& form) {
        caption = form.GetText();
        rows = Rows(form, "grid_Courses", 2);
        selected = SelectedName(form);
        cancelShown = form.Control<WCommandButton>("cb_Cancel")->GetVisible();
    }));
    EXPECT_EQ(caption, "Menu Items");
    EXPECT_EQ(rows, (std::vector<std::string>{"Chili|hot", "Trail mix|"}));
    EXPECT_EQ(selected, "Chili");
    EXPECT_FALSE(cancelShown);
}

TEST_F(WinMealCoursesTest, InSelectModeOnlyCancelAnswersFalse) {
    OnOpen("WinMealCourses", [](WForm& form) {
        EXPECT_TRUE(form.Control<WCommandButton>("cb_Cancel")->GetVisible());
        Click(form, "cb_Cancel");
    });
    EXPECT_FALSE(list.Open(nullptr, true));
    OnOpen("WinMealCourses", [](WForm& form) { form.GetWindow()->close(); });
    EXPECT_TRUE(list.Open(nullptr, true));
}

TEST_F(WinMealCoursesTest, AddTwiceGivesNewMenuItemThenItsNumberedFormEachOpenedInTheEditor) {
    std::vector<std::string> shown;
    OnOpen("WinEditCourse", [&](WForm& form) {
        shown.push_back(form.Control<WTextBox>("textb_Name")->GetText() + "|" +
                        form.Control<WLabel>("label_RecipeFormat")->GetText() + "|" +
                        std::to_string(form.Control<WGrid>("grid_Ingredients")->GetNumRows()));
        form.GetWindow()->close();
    });
    OnOpen("WinEditCourse", [&](WForm& form) {
        shown.push_back(form.Control<WTextBox>("textb_Name")->GetText());
        form.GetWindow()->close();
    });
    std::string selected;
    Run([&](WForm& form) {
        Click(form, "cb_Add");
        form.Control<WGrid>("grid_Courses")->GetPopupMenu()->FindItem(10001)->Click();
        selected = SelectedName(form);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"new_menu_item|text file: no recipe set|0", "new_menu_item_01"}));
    EXPECT_EQ(selected, "new_menu_item_01");
    // Add, then the editor's close box: the new rows carry no stamp.
    EXPECT_EQ(Count("Courses", "name in ( 'new_menu_item', 'new_menu_item_01' ) and modified is null"), 2);
}

class RefusedAddTest : public WinMealCoursesTest {
protected:
    RefusedAddTest() {
        prepareScript = "insert into Courses( name ) values( 'Chili' );"
                        "CREATE TRIGGER no_courses BEFORE INSERT ON Courses BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    }
};

TEST_F(RefusedAddTest, AFailedInsertOpensNoEditorOnAnotherMenuItem) {
    std::string selected;
    Run([&](WForm& form) {
        Click(form, "cb_Add");   // strict take-over: an editor opening here would be recorded
        selected = SelectedName(form);
    });
    EXPECT_EQ(Count("Courses"), 1);
    EXPECT_EQ(selected, "Chili");
}

TEST_F(WinMealCoursesTest, EditOpensTheSelectedMenuItemByButtonDoubleClickAndPopup) {
    AddCourse("Apple pie");
    const long chili = AddCourse("Chili");
    std::vector<std::string> edited;
    for (int i = 0; i < 3; ++i)
        OnOpen("WinEditCourse", [&](WForm& form) {
            edited.push_back(form.Control<WTextBox>("textb_Name")->GetText());
            form.GetWindow()->close();
        });
    std::string selected;
    Run([&](WForm& form) {
        Choose(form, "Chili");
        Click(form, "cb_Edit");
        form.Control<WGrid>("grid_Courses")->Raise(DoubleClickEvent);
        form.Control<WGrid>("grid_Courses")->GetPopupMenu()->FindItem(10000)->Click();
        selected = SelectedName(form);
    });
    EXPECT_EQ(edited, (std::vector<std::string>{"Chili", "Chili", "Chili"}));
    EXPECT_EQ(selected, "Chili");
    EXPECT_FALSE(Stamped(chili));
}

TEST_F(WinMealCoursesTest, CommandsOnAnEmptyListShowTheSelectionError) {
    Run([](WForm& form) {
        Click(form, "cb_Edit");
        Click(form, "cb_Delete");
        Click(form, "cb_Copy");
    });
    ASSERT_EQ(prompter.Messages().size(), 3u);
    for (const auto& shown : prompter.Messages()) {
        EXPECT_EQ(shown.caption, "Selection error");
        EXPECT_EQ(shown.text, "You must create and select a menu item before you can complete this task.\r\n\r\n");
        EXPECT_EQ(shown.icon, WMessageIcon::Stop);
    }
}

// The menu item Chili with a line and a recipe, and Stew beside it; where Chili is used is the
// case's.
enum class UsedIn { Nowhere, Meal, TripStop };

struct DeleteCase {
    const char* name;
    UsedIn usedIn;
    WMessageAnswer answer;
};
void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class DeleteMenuItemTest : public WinMealCoursesTest, public ::testing::WithParamInterface<DeleteCase> {
protected:
    void SetUp() override {
        WinMealCoursesTest::SetUp();
        chili = AddCourse("Chili");
        AddCourse("Stew");
        AddLine(chili, AddIngredient("Beans", kGrams), kGrams, 400);
        ASSERT_TRUE(main.SaveRecipe(chili, Bytes{'c', 'o', 'o', 'k'}));
        Exec("insert into Meals( id, name ) values( 1, 'Dinner' )");
        Exec("insert into Trips( id, name, trip_date ) values( 1, 'Hike', '2004-07-01' )");
        Exec("insert into TripDays( id, day_num, trip ) values( 1, 1, 1 )");
        Exec("insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 1 )");
    }
    void Use(UsedIn where) {
        if (where == UsedIn::Meal) Exec("insert into MealCourses( meal, course ) values( 1, " + Id() + " )");
        if (where == UsedIn::TripStop) Exec("insert into DayCourses( day_stop, course ) values( 1, " + Id() + " )");
    }
    std::string Id() const { return std::to_string(chili); }
    long ChiliRows() {
        return Count("Courses", "id = " + Id()) + Count("CourseIngredients", "course = " + Id()) +
               Count("Recipes", "course = " + Id()) + Count("MealCourses", "course = " + Id()) +
               Count("DayCourses", "course = " + Id());
    }
    std::string DeleteChili() {
        std::string selected;
        Run([&](WForm& form) {
            Choose(form, "Chili");
            Click(form, "cb_Delete");
            selected = SelectedName(form);
        });
        return selected;
    }
    long chili = -1;
};

TEST_P(DeleteMenuItemTest, AsksByWhereItIsUsedAndRemovesEverythingOfItOnOK) {
    const DeleteCase& c = GetParam();
    Use(c.usedIn);
    const long rowsBefore = ChiliRows();
    prompter.Answer(c.answer);
    const std::string selected = DeleteChili();

    ASSERT_EQ(prompter.Messages().size(), 1u);
    const ScriptedPrompter::Shown shown = prompter.Messages()[0];
    if (c.usedIn == UsedIn::Nowhere) {
        EXPECT_EQ(shown.caption, "Remove Menu Item?");
        EXPECT_EQ(shown.text, "There are no meals or trip menu items currently including the\r\n'Chili' menu item, but "
                              "are you sure you want to\r\npermanently delete this menu item?\r\n");
        EXPECT_EQ(shown.icon, WMessageIcon::Question);
    } else {
        EXPECT_EQ(shown.caption, "Menu item is in use");
        EXPECT_EQ(shown.text, "The menu item 'Chili' is used in one or more meals or trip menu items.\r\n\r\nAre you "
                              "sure you want to delete this menu item? If you do, it\r\nwill be removed from all meals "
                              "and trip menu items that use it.");
        EXPECT_EQ(shown.icon, WMessageIcon::Exclamation);
    }
    EXPECT_EQ(shown.buttons, WMessageButtons::OKCancel);
    if (c.answer == WMessageAnswer::OK) {
        EXPECT_EQ(ChiliRows(), 0);
        EXPECT_EQ(selected, "Stew");   // the first row after the delete
    } else {
        EXPECT_EQ(ChiliRows(), rowsBefore);
        EXPECT_EQ(selected, "Chili");
    }
    EXPECT_EQ(Count("Courses", "name = 'Stew'") + Count("Meals") + Count("DayFoodStops"), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DeleteMenuItemTest,
    ::testing::Values(DeleteCase{"UnusedOK", UsedIn::Nowhere, WMessageAnswer::OK},
                      DeleteCase{"UnusedCancel", UsedIn::Nowhere, WMessageAnswer::Cancel},
                      DeleteCase{"InAMealOK", UsedIn::Meal, WMessageAnswer::OK},
                      DeleteCase{"InAMealCancel", UsedIn::Meal, WMessageAnswer::Cancel},
                      DeleteCase{"AtATripStopOK", UsedIn::TripStop, WMessageAnswer::OK},
                      DeleteCase{"AtATripStopCancel", UsedIn::TripStop, WMessageAnswer::Cancel}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeleteMenuItemTest, ARefusedDeleteLeavesTheMenuItemWithItsMealsLinesAndRecipe) {
    Use(UsedIn::Meal);
    Use(UsedIn::TripStop);
    RunSqlite("CREATE TRIGGER keep_courses BEFORE DELETE ON Courses BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    prompter.Answer(WMessageAnswer::OK);
    DeleteChili();
    EXPECT_EQ(ChiliRows(), 5);
    Bytes recipe;
    EXPECT_TRUE(main.LoadRecipe(chili, recipe));
    EXPECT_EQ(recipe, (Bytes{'c', 'o', 'o', 'k'}));
}

TEST_F(DeleteMenuItemTest, DeletingTheOnlyMenuItemLeavesAnEmptyList) {
    Exec("delete from CourseIngredients");
    Exec("delete from Recipes");
    Exec("delete from Courses where name = 'Stew'");
    prompter.Answer(WMessageAnswer::OK);
    EXPECT_EQ(DeleteChili(), "<none>");
    EXPECT_EQ(Count("Courses"), 0);
}

// The source: Chili with two lines, a recipe of several chunks, notes, a credit and a stamp.
class CopyMenuItemTest : public WinMealCoursesTest {
protected:
    void SetUp() override {
        WinMealCoursesTest::SetUp();
        source = AddCourse(name, 4.5, 2);
        Exec("update Courses set notes = 'Serve hot', licensor = 'Food co', modified = '2004-01-01 10:00:00' "
             "where id = " + std::to_string(source));
        AddLine(source, AddIngredient("Beans", kGrams), kKilograms, 0.5);
        AddLine(source, AddIngredient("Salami", kGrams, "slices", 20), kGrams, 3, 1);
        // Bytes that do not pack small, so that the recipe takes several chunks.
        std::uint32_t state = 7;
        for (std::size_t i = 0; i < 12000; ++i) {
            state = state * 1664525u + 1013904223u;
            recipe.push_back(static_cast<std::uint8_t>(state >> 24));
        }
        ASSERT_TRUE(main.SaveRecipe(source, recipe));
        ASSERT_GT(Count("Recipes", "course = " + std::to_string(source)), 1);
    }
    std::string Copy() {
        std::string selected;
        Run([&](WForm& form) {
            Choose(form, name);
            Click(form, "cb_Copy");
            selected = SelectedName(form);
        });
        return selected;
    }
    std::string Lines(long course) {
        WQuery query(main.transaction_KVO.get());
        query.SetSQL("select ingredient, measure, amount, unit_measure from CourseIngredients where course = " +
                     std::to_string(course) + " order by ingredient");
        EXPECT_TRUE(query.Open());
        std::string lines;
        for (long row = 0; row < query.GetNumRows(); ++row)
            for (int column = 0; column < 4; ++column) lines += query.GetValue(row, column).AsText() + ";";
        return lines;
    }
    long IdOf(const std::string& course) {
        return main.FindIdByValue("Courses", "name", course, -1);
    }

    std::string name = "Chili";
    long source = -1;
    Bytes recipe;
};

TEST_F(CopyMenuItemTest, GivesTheNextFreeNumberedNameWithTheLinesUnderNewIdsAndTheRecipe) {
    EXPECT_EQ(Copy(), "Chili_01");
    AddCourse("Chili_03");
    EXPECT_EQ(Copy(), "Chili_02");
    for (const char* copyName : {"Chili_01", "Chili_02"}) {
        SCOPED_TRACE(copyName);
        const long copy = IdOf(copyName);
        ASSERT_NE(copy, -1);
        EXPECT_EQ(Text("select feeds || '|' || recipe_format || '|' || notes || '|' || ifnull( licensor, 'NULL' ) "
                       "|| '|' || ifnull( modified, 'NULL' ) from Courses where id = " + std::to_string(copy)),
                  "4.5|2|Serve hot|NULL|NULL");
        EXPECT_EQ(Lines(copy), Lines(source));
        EXPECT_EQ(Count("CourseIngredients", "course = " + std::to_string(copy) + " and id in ( select id from "
                                             "CourseIngredients where course = " + std::to_string(source) + " )"),
                  0);
        EXPECT_EQ(Count("Recipes", "course = " + std::to_string(copy)),
                  Count("Recipes", "course = " + std::to_string(source)));
        Bytes copied;
        EXPECT_TRUE(main.LoadRecipe(copy, copied));
        EXPECT_EQ(copied, recipe);
    }
    EXPECT_EQ(Count("CourseIngredients"), 6);
}

class CopyOddNameTest : public CopyMenuItemTest {
protected:
    CopyOddNameTest() { name = "Ann's stew: C:\\pot"; }
};

TEST_F(CopyOddNameTest, ANameWithQuoteColonAndBackslashCopiesWithItsLines) {
    EXPECT_EQ(Copy(), "Ann's stew: C:\\pot_01");
    const long copy = IdOf("Ann's stew: C:\\pot_01");
    ASSERT_NE(copy, -1);
    EXPECT_EQ(Lines(copy), Lines(source));
    EXPECT_EQ(Count("Recipes", "course = " + std::to_string(copy)), Count("Recipes", "course = " + std::to_string(source)));
}

TEST_F(CopyMenuItemTest, ACopyWhoseRecipeIsRefusedIsNotMadeAtAll) {
    RunSqlite("CREATE TRIGGER no_recipes BEFORE INSERT ON Recipes BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    EXPECT_EQ(Copy(), "Chili");
    EXPECT_EQ(Count("Courses"), 1);
    EXPECT_EQ(Count("CourseIngredients"), 2);
}

TEST_F(WinMealCoursesTest, NotesEditsTheMenuItemWithItsCreditAndOKStampsIt) {
    AddCourse("Apple pie");
    const long chili = AddCourse("Chili");
    std::string caption;
    bool creditShown = false;
    OnOpen("WinNotes", [&](WForm& form) {
        caption = form.GetText();
        creditShown = form.Control<WTextBox>("textb_License")->GetVisible();
        form.Control<WTextBox>("textb_Notes")->SetText("Hot!");
        Click(form, "cb_OK");
    });
    OnOpen("WinNotes", [](WForm& form) { Click(form, "cb_Cancel"); });
    std::vector<std::string> rows;
    Run([&](WForm& form) {
        Choose(form, "Chili");
        Click(form, "cb_Notes");
        rows = Rows(form, "grid_Courses", 2);
        form.Control<WGrid>("grid_Courses")->GetPopupMenu()->FindItem(10003)->Click();
    });
    EXPECT_EQ(caption, "Notes for 'Chili'");
    EXPECT_TRUE(creditShown);
    EXPECT_EQ(rows, (std::vector<std::string>{"Apple pie|", "Chili|Hot!"}));
    EXPECT_TRUE(Stamped(chili));
}

TEST_F(WinMealCoursesTest, FindSelectsTheChosenMenuItem) {
    for (const char* course : {"Apple pie", "Chili", "Trail mix", "Zucchini bread"}) AddCourse(course);
    std::string caption;
    OnOpen("WinFindValue", [&](WForm& form) {
        caption = form.GetText();
        form.Control<WTextBox>("textb_Match")->SetText("zu");
        Click(form, "cb_OK");
    });
    std::string selected;
    Run([&](WForm& form) {
        Click(form, "cb_Find");
        selected = SelectedName(form);
    });
    EXPECT_EQ(caption, "Find a meal course");
    EXPECT_EQ(selected, "Zucchini bread");
}

TEST_F(WinMealCoursesTest, FindInAnEmptyCatalogueSaysSo) {
    Run([](WForm& form) { Click(form, "cb_Find"); });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "No items to find");
}

TEST_F(WinMealCoursesTest, F1ShowsTheMenuItemsTopic) {
    Run([](WForm& form) { form.Raise(HelpEvent); });
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_NE(prompter.HelpRequests()[0].find("idh_courses.htm#IDH_COURSES"), std::string::npos);
}

}  // namespace
