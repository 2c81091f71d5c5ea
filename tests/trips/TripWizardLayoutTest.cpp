// The four wizard pages at the smallest size they let the window manager give them: every text
// shows whole, and no control runs into another or out of the window.

#include <gtest/gtest.h>

#include <QDialog>
#include <functional>

#include "platform/forms/WForm.h"
#include "tests/support/FormLayoutFaults.h"
#include "tests/trips/TripWizardTest.h"
#include "trips/WinTripWizardDetails.h"
#include "trips/WinTripWizardDone.h"
#include "trips/WinTripWizardStops.h"
#include "trips/WinTripWizardTravellers.h"

namespace {

struct PageCase {
    const char* form;
    friend void PrintTo(const PageCase& c, std::ostream* os) { *os << c.form; }
    std::function<void(long trip)> open;
};

class TripWizardLayoutTest : public TripWizardTest, public testing::WithParamInterface<PageCase> {};

TEST_P(TripWizardLayoutTest, AtItsMinimumSizeNoTextIsCutAndNoControlsOverlap) {
    const long trip = AddTrip("Ridge Walk", 3);
    AddPerson("Ann");
    QSize least, shown;
    std::vector<std::string> atLeast, atShown;
    ModalTakeOver::Expect(GetParam().form, [&](WForm& form) {
        QDialog* window = form.GetWindow();
        shown = window->size();
        atShown = CutTexts(window);
        least = window->minimumSize();
        if (ResizeAndSettle(window, least)) atLeast = CutTexts(window);
        else atLeast = {"the window did not take its minimum size"};
        form.Control<WCommandButton>(GetParam().form == std::string("WinTripWizardDone") ? "cb_Close" : "cb_Cancel")->Click();
    });
    GetParam().open(trip);
    EXPECT_TRUE(atLeast.empty()) << least.width() << "x" << least.height() << ": " << testing::PrintToString(atLeast);
    EXPECT_TRUE(atShown.empty()) << shown.width() << "x" << shown.height() << ": " << testing::PrintToString(atShown);
    // The minimum is one a screen holds.
    EXPECT_LE(least.height(), 700);
    EXPECT_LE(least.width(), 900);
}

INSTANTIATE_TEST_SUITE_P(Pages, TripWizardLayoutTest, testing::Values(
    PageCase{"WinTripWizardDetails", [](long) { WinTripWizardDetails::Show(nullptr); }},
    PageCase{"WinTripWizardTravellers", [](long trip) { WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), true); }},
    PageCase{"WinTripWizardStops", [](long trip) { WinTripWizardStops::Show(nullptr, static_cast<int>(trip)); }},
    PageCase{"WinTripWizardDone", [](long) { WinTripWizardDone::Show(nullptr); }}),
    [](const testing::TestParamInfo<PageCase>& info) { return std::string(info.param.form); });

}  // namespace
