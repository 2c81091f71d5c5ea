// The four numbers the catalogue forms let the user type (a person's appetite, the people a
// menu item feeds, a line's amount and an ingredient's portion size) are never negative: a
// negative one is refused as a text that is no number is, and nothing is written; 0 is stored.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>

#include "catalogue/WinEditCourse.h"
#include "catalogue/WinEditCourseIngredient.h"
#include "catalogue/WinEditPerson.h"
#include "catalogue/WinIngredients.h"
#include "platform/forms/WChoiceControls.h"
#include "tests/catalogue/MenuItemTest.h"

namespace {

constexpr double kBefore = 2.0;   // what every field holds before the test types

class NegativeNumberFixture;

struct NumberField {
    const char* name;
    const char* form;     // the form taken over
    const char* field;    // the control typed into
    const char* save;     // the button that saves what was typed
    const char* table;
    const char* column;   // of the stored value
    std::function<void(NegativeNumberFixture&)> open;   // opens the form through its entry function
};
void PrintTo(const NumberField& f, std::ostream* os) { *os << f.name; }

struct Typed {
    const char* name;
    const char* text;
    bool refused;
    double stored;   // when not refused
};
void PrintTo(const Typed& t, std::ostream* os) { *os << t.name; }

class NegativeNumberFixture : public MenuItemTest {
public:
    void OpenPerson() { personEditor.Edit(nullptr, person); }
    void OpenMenuItem() { menuItemEditor.Edit(nullptr, course); }
    void OpenLine() { lineEditor.Edit(nullptr, line, course); }
    void OpenIngredients() { main.winIngredients->Open(nullptr); }

protected:
    void SetUp() override {
        MenuItemTest::SetUp();
        main.options.safeEdits = false;
        person = AddPerson("Ann", kBefore);
        course = AddCourse("Chili", kBefore);
        ingredient = AddIngredient("Flour", kGrams, "cups", kBefore);
        line = AddLine(course, ingredient, kGrams, kBefore);
    }

    long person = -1, course = -1, ingredient = -1, line = -1;
    WinEditPerson personEditor;
    WinEditCourse menuItemEditor;
    WinEditCourseIngredient lineEditor;
};

void Enter(WForm& form, const char* field, const std::string& text) {
    if (auto* combo = form.Control<WComboBox>(field)) {
        combo->SetText(text);
        return;
    }
    TypeOver(form, field, text);
}

const NumberField kFields[] = {
    {"Appetite", "WinEditPerson", "textb_Appetite", "cb_OK", "People", "appetite",
     [](NegativeNumberFixture& t) { t.OpenPerson(); }},
    {"Feeds", "WinEditCourse", "combo_Feeds", "cb_Close", "Courses", "feeds",
     [](NegativeNumberFixture& t) { t.OpenMenuItem(); }},
    {"Amount", "WinEditCourseIngredient", "textb_Amount", "cb_OK", "CourseIngredients", "amount",
     [](NegativeNumberFixture& t) { t.OpenLine(); }},
    {"PortionSize", "WinIngredients", "textb_UnitMeasures", "cb_Close", "Ingredients", "unit_measure_size",
     [](NegativeNumberFixture& t) { t.OpenIngredients(); }},
};

const Typed kTyped[] = {
    {"MinusOne", "-1", true, 0},
    {"NegativeFractionWithComma", " -0,5 ", true, 0},
    {"Zero", "0", false, 0.0},
    {"MinusZero", "-0", false, 0.0},
    {"Fraction", "0.5", false, 0.5},
};

class NegativeNumberTest : public NegativeNumberFixture,
                           public ::testing::WithParamInterface<std::tuple<NumberField, Typed>> {};

TEST_P(NegativeNumberTest, ANegativeNumberIsRefusedAndZeroIsStored) {
    const auto& [field, typed] = GetParam();
    bool stillOpen = false;
    ModalTakeOver::Expect(field.form, [&](WForm& form) {
        Enter(form, field.field, typed.text);
        Click(form, field.save);
        QCoreApplication::sendPostedEvents();
        stillOpen = form.HasWindow() && form.GetWindow()->isVisible();
        if (stillOpen) form.GetWindow()->close();   // the close box writes nothing
    });
    field.open(*this);

    const std::string from = std::string(" from ") + field.table;
    const WDataValue stored = Value(std::string("select ") + field.column + from);
    if (typed.refused) {
        EXPECT_TRUE(stillOpen);
        ASSERT_EQ(prompter.Messages().size(), 1u);
        EXPECT_EQ(prompter.Messages()[0].caption, "Invalid number");
        EXPECT_EQ(prompter.Messages()[0].text,
                  "'" + std::string(typed.text) + "' is below zero.\r\nThe number must not be negative; type a "
                  "number such as 1.5.");
        EXPECT_EQ(prompter.Messages()[0].icon, WMessageIcon::Exclamation);
        EXPECT_DOUBLE_EQ(stored.AsDouble(), kBefore);
    } else {
        EXPECT_TRUE(prompter.Messages().empty());
        EXPECT_FALSE(stillOpen);
        EXPECT_DOUBLE_EQ(stored.AsDouble(), typed.stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, NegativeNumberTest, ::testing::Combine(::testing::ValuesIn(kFields),
                                                                       ::testing::ValuesIn(kTyped)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
