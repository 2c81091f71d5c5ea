// The ingredient line editor through its entry function: the controls it shows for each kind of
// ingredient and the one that carries unit_measure on OK, what OK stamps, what Cancel leaves,
// and the numbers and measures it never writes wrongly.

#include <gtest/gtest.h>

#include <sstream>

#include "catalogue/WinEditCourseIngredient.h"
#include "tests/catalogue/MenuItemTest.h"

namespace {

constexpr const char* kUnitControls[] = {"optb_ByVolumeWeight", "optb_ByMeasuredUnits", "combo_Measures",
                                         "checkbox_UnitsUnits", "label_UnitMeasuredDesc", "label_UnitMsg"};

std::string ShownControls(WForm& form) {
    std::string shown;
    for (const char* name : kUnitControls)
        if (form.FindControl(name)->GetVisible()) shown += std::string(shown.empty() ? "" : " ") + name;
    return shown;
}

class WinEditCourseIngredientTest : public MenuItemTest {
protected:
    bool Edit(long line, std::function<void(WForm&)> steps) {
        OnOpen("WinEditCourseIngredient", std::move(steps));
        return editor.Edit(nullptr, line, course);
    }
    std::string Line(long line) {
        return Text("select amount || ' ' || measure || ' ' || unit_measure from CourseIngredients where id = " +
                    std::to_string(line));
    }
    void SetUp() override {
        MenuItemTest::SetUp();
        course = AddCourse("Chili");
    }
    long course = -1;
    WinEditCourseIngredient editor;
};

struct ShowCase {
    const char* name;
    long defMeasure;
    const char* portion;
    long lineMeasure;
    int lineUnits;
    const char* shown;                          // the unit controls that are visible
    std::function<void(WForm&)> change;         // what the user does there
    const char* stored;                         // amount, measure and unit_measure after OK
};
void PrintTo(const ShowCase& c, std::ostream* os) { *os << c.name; }

class ShowHideTest : public WinEditCourseIngredientTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowHideTest, ShowsTheControlsOfTheIngredientAndStoresWhatTheShownOnesSay) {
    const ShowCase& c = GetParam();
    const long line = AddLine(course, AddIngredient("Salami", c.defMeasure, c.portion, 20), c.lineMeasure, 2, c.lineUnits);
    std::string shown, names;
    EXPECT_TRUE(Edit(line, [&](WForm& form) {
        shown = ShownControls(form);
        names = form.Control<WTextBox>("textb_MealCourse")->GetText() + "|" +
                form.Control<WTextBox>("textb_Ingredient")->GetText();
        TypeOver(form, "textb_Amount", "3");
        c.change(form);
        Click(form, "cb_OK");
    }));
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(names, "Chili|Salami");
    EXPECT_EQ(Line(line), c.stored);
    EXPECT_TRUE(Stamped(course));
}

void Check(WForm& form, const char* name, bool checked) { form.Control<WCheckBox>(name)->SetChecked(checked); }

INSTANTIATE_TEST_SUITE_P(
    Ingredients, ShowHideTest,
    ::testing::Values(
        // Units only: just the amount; the measure and unit_measure stay as they were.
        ShowCase{"UnitsOnly", kUnits, "", kGrams, 1, "label_UnitMsg", [](WForm&) {}, "3.0 10 1"},
        ShowCase{"UnitsWithPortionChecked", kUnits, "slices", kUnits, 0, "checkbox_UnitsUnits label_UnitMeasuredDesc",
                 [](WForm& form) { Check(form, "checkbox_UnitsUnits", true); }, "3.0 14 1"},
        ShowCase{"UnitsWithPortionCleared", kUnits, "slices", kUnits, 1, "checkbox_UnitsUnits label_UnitMeasuredDesc",
                 [](WForm& form) { Check(form, "checkbox_UnitsUnits", false); }, "3.0 14 0"},
        ShowCase{"WeightWithPortion", kGrams, "slices", kGrams, 0,
                 "optb_ByVolumeWeight optb_ByMeasuredUnits combo_Measures label_UnitMeasuredDesc",
                 [](WForm& form) { Check(form, "optb_ByMeasuredUnits", true); }, "3.0 10 1"},
        ShowCase{"WeightOnly", kGrams, "", kGrams, 0, "optb_ByVolumeWeight combo_Measures",
                 [](WForm& form) {
                     auto* measures = form.Control<WComboBox>("combo_Measures");
                     measures->Pick(measures->FindData(kKilograms));
                 },
                 "3.0 11 0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinEditCourseIngredientTest, ListsTheMeasuresOfTheDefaultMeasuresTypeAndThePortion) {
    const long line = AddLine(course, AddIngredient("Salami", kGrams, "slices", 20), kKilograms, 1);
    std::vector<std::string> measures;
    std::string portion, selected;
    Edit(line, [&](WForm& form) {
        auto* combo = form.Control<WComboBox>("combo_Measures");
        for (int i = 0; i < combo->GetCount(); ++i) measures.push_back(combo->GetItemText(i));
        selected = combo->GetText();
        portion = form.Control<WLabel>("label_UnitMeasuredDesc")->GetText();
        Click(form, "cb_Cancel");
    });
    EXPECT_EQ(measures, (std::vector<std::string>{"g (weight: grams)", "kg (weight: kilograms)", "oz (weight: ounces)",
                                                  "lb (weight: pounds)"}));
    EXPECT_EQ(selected, "kg (weight: kilograms)");
    EXPECT_EQ(portion, "slices (20 g each)");
}

TEST_F(WinEditCourseIngredientTest, PickingAMeasureMakesTheAmountCountIt) {
    const long line = AddLine(course, AddIngredient("Salami", kGrams, "slices", 20), kGrams, 2, 1);
    bool byMeasure = false;
    Edit(line, [&](WForm& form) {
        EXPECT_TRUE(form.Control<WCheckBox>("optb_ByMeasuredUnits")->GetChecked());
        auto* measures = form.Control<WComboBox>("combo_Measures");
        measures->Pick(measures->FindData(kKilograms));
        byMeasure = form.Control<WCheckBox>("optb_ByVolumeWeight")->GetChecked();
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(byMeasure);
    EXPECT_EQ(Line(line), "2.0 11 0");
}

// The line's measure is a volume while the ingredient is now weighed: the list has no entry for
// it, and OK keeps it rather than writing none.
TEST_F(WinEditCourseIngredientTest, AMeasureThatIsNotInTheListIsKept) {
    const long line = AddLine(course, AddIngredient("Flour", kGrams), kCups, 2);
    int selected = 0;
    Edit(line, [&](WForm& form) {
        selected = form.Control<WComboBox>("combo_Measures")->GetSelected();
        TypeOver(form, "textb_Amount", "1.5");
        Click(form, "cb_OK");
    });
    EXPECT_EQ(selected, -1);
    EXPECT_EQ(Line(line), "1.5 5 0");
}

TEST_F(WinEditCourseIngredientTest, OKStampsTheMenuItemEvenWithoutAChange) {
    const long line = AddLine(course, AddIngredient("Flour", kGrams), kGrams, 2);
    EXPECT_TRUE(Edit(line, [](WForm& form) { Click(form, "cb_OK"); }));
    EXPECT_EQ(Line(line), "2.0 10 0");
    EXPECT_TRUE(Stamped(course));
}

std::string NameOf(Leave how) {
    std::ostringstream name;
    PrintTo(how, &name);
    return name.str();
}

class LeaveLineTest : public WinEditCourseIngredientTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(LeaveLineTest, WritesNothingAndStampsNothing) {
    const long line = AddLine(course, AddIngredient("Flour", kGrams), kGrams, 2);
    EXPECT_FALSE(Edit(line, [](WForm& form) {
        TypeOver(form, "textb_Amount", "7");
        LeaveForm(form, GetParam());
    }));
    EXPECT_EQ(Line(line), "2.0 10 0");
    EXPECT_FALSE(Stamped(course));
}

INSTANTIATE_TEST_SUITE_P(Ways, LeaveLineTest, ::testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const auto& info) { return NameOf(info.param); });

TEST_F(WinEditCourseIngredientTest, AnAmountThatIsNoNumberIsNeverStored) {
    const long line = AddLine(course, AddIngredient("Flour", kGrams), kGrams, 2);
    bool stillOpen = false;
    EXPECT_FALSE(Edit(line, [&](WForm& form) {
        TypeOver(form, "textb_Amount", "two");
        Click(form, "cb_OK");
        stillOpen = form.HasWindow() && form.GetWindow()->isVisible();
        Click(form, "cb_Cancel");
    }));
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Invalid number");
    EXPECT_EQ(Line(line), "2.0 10 0");
    EXPECT_FALSE(Stamped(course));
}

}  // namespace
