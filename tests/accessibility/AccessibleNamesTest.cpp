#include <QAccessible>
#include <QWidget>
#include <utility>
#include <gtest/gtest.h>

#include "FormProbes.h"
#include "platform/forms/testing/PostedEvents.h"

namespace {

// What a screen reader (and the end-to-end tests) reads as the control's name.
std::string AccessibleName(const WWindow* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control->GetWidget());
    return accessible ? FromQt(accessible->text(QAccessible::Name)) : std::string();
}

// Labels, pictures and frames name others or nothing; every other control needs a name.
bool NeedsName(const WWindow* control) {
    return !dynamic_cast<const WLabel*>(control) && !dynamic_cast<const WPictureBox*>(control) &&
           !dynamic_cast<const WGroupBox*>(control);
}

class FormControlsTest : public testing::TestWithParam<FormProbe> {
protected:
    void SetUp() override { ASSERT_TRUE(GetParam().build(form_)) << GetParam().form; }
    void TearDown() override {
        form_->EndWindow(0);
        RunPostedEvents();
        form_.reset();
        RunPostedEvents();
    }
    std::string NameOf(const std::string& control) const { return AccessibleName(form_->FindControl(control)); }

    ScriptedPrompter prompter_;   // a query opened at set-up has no database here: its warning is recorded
    std::unique_ptr<WForm> form_;
};

TEST_P(FormControlsTest, EveryControlHasAnAccessibleName) {
    ASSERT_FALSE(form_->Controls().empty());
    for (const WWindow* control : form_->Controls())
        if (NeedsName(control)) EXPECT_NE(AccessibleName(control), "") << control->GetName();
}

// A label is read by what it shows, also when a caption before it names it ("Web:" before the
// address): a screen reader would otherwise read the caption twice and never the address.
TEST_P(FormControlsTest, EveryLabelIsNamedByItsOwnText) {
    for (const WWindow* control : form_->Controls()) {
        const auto* label = dynamic_cast<const WLabel*>(control);
        if (!label || !label->GetWidget()->accessibleName().isEmpty() || label->GetText().empty() ||
            label->GetText().find('&') != std::string::npos)
            continue;
        EXPECT_EQ(AccessibleName(label), label->GetText()) << label->GetName();
    }
}

INSTANTIATE_TEST_SUITE_P(AllForms, FormControlsTest, testing::ValuesIn(AllFormProbes()),
                         [](const testing::TestParamInfo<FormProbe>& info) { return info.param.form; });

FormProbe ProbeOf(const std::string& form) {
    for (const FormProbe& probe : AllFormProbes())
        if (probe.form == form) return probe;
    return {form, [](std::unique_ptr<WForm>&) { return false; }};
}

class MainWindowNamesTest : public FormControlsTest {};

TEST_P(MainWindowNamesTest, PictureButtonsAreNamedByTheirHintsAndTheGridByItsLabel) {
    EXPECT_EQ(NameOf("pictbttn_TripWizard"), "Click this to create a new trip with the help of the wizard");
    EXPECT_EQ(NameOf("pictbttn_People"), "Click this to view and edit the available people");
    EXPECT_EQ(NameOf("grid_Trips"), "Trips:");
    EXPECT_EQ(NameOf("cb_Add"), "Add...");
    // The window keeps its caption as its name: the form's hint names no control.
    EXPECT_EQ(FromQt(QAccessible::queryAccessibleInterface(form_->GetWindow())->text(QAccessible::Name)), "Kestavo");
}

INSTANTIATE_TEST_SUITE_P(WinStart, MainWindowNamesTest, testing::Values(ProbeOf("WinStart")),
                         [](const testing::TestParamInfo<FormProbe>& info) { return info.param.form; });

class DetailsPageNamesTest : public FormControlsTest {};

TEST_P(DetailsPageNamesTest, FieldsAreNamedByTheirLabelsAndAFieldWithoutOneByItsHint) {
    EXPECT_EQ(NameOf("textb_Name"), "Name:");
    EXPECT_EQ(NameOf("textb_Location"), "Location:");
    EXPECT_EQ(NameOf("textb_NumDays"), "# of days:");
    EXPECT_EQ(NameOf("textb_Date"), "The date of this trip");
    EXPECT_EQ(NameOf("cb_Date"), "Date:");
}

INSTANTIATE_TEST_SUITE_P(WinTripWizardDetails, DetailsPageNamesTest, testing::Values(ProbeOf("WinTripWizardDetails")),
                         [](const testing::TestParamInfo<FormProbe>& info) { return info.param.form; });

class AboutBoxNamesTest : public FormControlsTest {};

TEST_P(AboutBoxNamesTest, TheAddressesAreNamedByThemselvesAndLabelledByTheirCaptions) {
    EXPECT_EQ(NameOf("label_3"), "https://www.kestavo.com/");
    EXPECT_EQ(NameOf("label_4"), "support@kestavo.com");
    EXPECT_EQ(NameOf("label_5"), "Web:");
    EXPECT_EQ(NameOf("label_6"), "E-mail:");
    for (const auto& [address, caption] : {std::pair{"label_3", "Web:"}, std::pair{"label_4", "E-mail:"}}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(form_->FindControl(address)->GetWidget());
        const auto labelledBy = accessible->relations(QAccessible::Label);
        ASSERT_EQ(labelledBy.size(), 1) << address;
        EXPECT_EQ(FromQt(labelledBy[0].first->text(QAccessible::Name)), caption) << address;
    }
}

INSTANTIATE_TEST_SUITE_P(WinAbout, AboutBoxNamesTest, testing::Values(ProbeOf("WinAbout")),
                         [](const testing::TestParamInfo<FormProbe>& info) { return info.param.form; });

TEST(ControlNamesTest, ANewHintRenamesAControlNamedByItsHint) {
    std::unique_ptr<WForm> form;
    ScriptedPrompter prompter;
    ASSERT_TRUE(ProbeOf("WinStart").build(form));
    WWindow* button = form->FindControl("pictbttn_Meals");
    button->SetHint("Meals");
    EXPECT_EQ(AccessibleName(button), "Meals");
    WWindow* add = form->FindControl("cb_Add");
    add->SetHint("Add a trip");
    EXPECT_EQ(AccessibleName(add), "Add...");   // a button with a text keeps it as its name
    form->EndWindow(0);
    RunPostedEvents();
    form.reset();
    RunPostedEvents();
}

}  // namespace
