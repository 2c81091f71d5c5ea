// Every form opened through its own entry function over a started main window, as the program
// opens it: the smallest size it asks the window manager for is within the largest, a height it
// bounds is fixed there, and the table leaves no form of resources/dialogs out. The suite runs
// once more at 144 dpi.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QThread>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <set>
#include <sstream>

#include "catalogue/WinConvert.h"
#include "catalogue/WinEditCourse.h"
#include "catalogue/WinEditCourseIngredient.h"
#include "catalogue/WinEditMeal.h"
#include "catalogue/WinEditPerson.h"
#include "catalogue/WinIngredients.h"
#include "catalogue/WinMealCourses.h"
#include "catalogue/WinMeals.h"
#include "catalogue/WinPeople.h"
#include "catalogue/WinResetRecipe.h"
#include "exchange/WinClearDB.h"
#include "exchange/WinDownloadFile.h"
#include "exchange/WinExportTables.h"
#include "exchange/WinImportReplace.h"
#include "exchange/WinUpload.h"
#include "platform/forms/ModalTakeOver.h"
#include "shell/WinAbout.h"
#include "shell/WinFindValue.h"
#include "shell/WinFirstHelp.h"
#include "shell/WinNotes.h"
#include "shell/WinOptions.h"
#include "shell/WinSplash.h"
#include "shell/WinWait.h"
#include "tests/platform/net/LocalServers.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/FormLayoutFaults.h"
#include "tests/support/LeaveForm.h"
#include "tests/support/StrictModalForms.h"
#include "trips/WinDatePicker.h"
#include "trips/WinEditDayMeal.h"
#include "trips/WinEditTrip.h"
#include "trips/WinMealGuests.h"
#include "trips/WinNewTripDay.h"
#include "trips/WinNewTripStop.h"
#include "trips/WinSelectReport.h"
#include "trips/WinTripDays.h"
#include "trips/WinTripMeals.h"
#include "trips/WinTripWizardDetails.h"
#include "trips/WinTripWizardDone.h"
#include "trips/WinTripWizardStops.h"
#include "trips/WinTripWizardTravellers.h"

namespace {

// One of everything a form can be opened on: a person, an ingredient, a menu item with a line,
// a meal, and a trip of one day with one stop.
constexpr const char* kRows =
    "insert into People( id, name ) values( 1, 'Ann' );"
    "insert into Ingredients( id, name ) values( 1, 'salt' );"
    "insert into Courses( id, name ) values( 1, 'Tea' );"
    "insert into CourseIngredients( id, course, ingredient, measure, amount ) values( 1, 1, 1, 14, 2 );"
    "insert into Meals( id, name ) values( 1, 'Camp supper' );"
    "insert into MealCourses( meal, course ) values( 1, 1 );"
    "insert into Trips( id, name, location, trip_date ) values( 1, 'Lakes loop', 'North', '2024-06-14' );"
    "insert into TripDays( id, day_num, trip ) values( 11, 1, 1 );"
    "insert into TripPeople( person, trip ) values( 1, 1 );"
    "insert into DayFoodStops( id, trip_day, food_stop ) values( 101, 11, 4 );"
    "insert into DayMeals( day_stop, meal ) values( 101, 1 );"
    "insert into MealPeople( person, day_stop ) values( 1, 101 );";
constexpr int kTrip = 1, kDay = 11, kStop = 101;

// What a form's window asks of the window manager, and what is cut when it is given that least.
struct Sizes {
    QSize least, most;
    std::vector<std::string> cutAtLeast;
    bool measured = false;
};

// Lets the window's posted layout requests run, then reads its bounds and looks at it resized
// to the least, as a window manager would give it.
Sizes Measure(QDialog* window) {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    Sizes sizes{window->minimumSize(), window->maximumSize(), {}, true};
    if (ResizeAndSettle(window, sizes.least)) sizes.cutAtLeast = CutTexts(window);
    else sizes.cutAtLeast = {"the window did not take its minimum size"};
    return sizes;
}

using Leaving = std::function<void(WForm&)>;
void CloseBox(WForm& form) { LeaveForm(form, Leave::CloseBox); }
void Cancel(WForm& form) { LeaveForm(form, Leave::CancelButton); }

// The wait window's worker runs until the window has been measured.
std::atomic<bool> waitMeasured{false};
void LetTheWaitEnd(WForm&) { waitMeasured = true; }

// How a form is opened over the started main window. A modal form is measured while its loop
// runs and then left as leave says; a modeless one is answered by open and measured then.
struct FormCase {
    const char* name;   // the form, and the way it was opened when there are several
    const char* form;
    std::function<QDialog*(TestMainWindow& main)> open;
    Leaving leave;
    friend void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }
};

const std::vector<FormCase>& Cases() {
    static const std::vector<FormCase> cases = {
        {"WinStart", "WinStart", [](TestMainWindow& main) { return main.GetWindow(); }, nullptr},
        {"WinAbout", "WinAbout", [](TestMainWindow& main) { main.winAbout->Open(&main); return nullptr; }, CloseBox},
        {"WinClearDB", "WinClearDB", [](TestMainWindow& main) { main.winClearDB->Run(&main); return nullptr; }, Cancel},
        {"WinConvert", "WinConvert",
         [](TestMainWindow& main) {
             main.winConvert->Show(&main);
             return main.winConvert->GetWindow();
         },
         nullptr},
        {"WinDatePicker", "WinDatePicker",
         [](TestMainWindow& main) {
             std::string date = "2024-06-14";
             WinDatePicker().Pick(&main, &date);
             return nullptr;
         },
         Cancel},
        {"WinDownloadFile", "WinDownloadFile",
         [](TestMainWindow& main) {
             SilentServer server;   // the window stays up until its Cancel
             main.winDownloadFile->Open(&main, "127.0.0.1:" + std::to_string(server.Port()), "/KVOUpdate/kvoupdate.zip",
                                        main.programFolder + "jnk.zip");
             return nullptr;
         },
         Cancel},
        {"WinEditCourse", "WinEditCourse", [](TestMainWindow& main) { WinEditCourse().Edit(&main, 1); return nullptr; },
         CloseBox},
        {"WinEditCourseIngredient", "WinEditCourseIngredient",
         [](TestMainWindow& main) { WinEditCourseIngredient().Edit(&main, 1, 1); return nullptr; }, Cancel},
        {"WinEditDayMeal", "WinEditDayMeal", [](TestMainWindow& main) { WinEditDayMeal().Edit(&main, kStop); return nullptr; },
         CloseBox},
        {"WinEditMeal", "WinEditMeal", [](TestMainWindow& main) { WinEditMeal().Edit(&main, 1); return nullptr; }, CloseBox},
        {"WinEditPerson", "WinEditPerson", [](TestMainWindow& main) { WinEditPerson().Edit(&main, 1); return nullptr; },
         Cancel},
        {"WinEditTrip", "WinEditTrip", [](TestMainWindow& main) { main.winEditTrip->Edit(&main, kTrip); return nullptr; },
         CloseBox},
        {"WinExportTablesToExport", "WinExportTables",
         [](TestMainWindow& main) {
             WinExportTables().Show(&main, true, nullptr, nullptr, nullptr);
             return nullptr;
         },
         Cancel},
        {"WinExportTablesToImport", "WinExportTables",
         [](TestMainWindow& main) {
             std::string prefix, suffix;
             WinExportTables().Show(&main, false, &prefix, &suffix, nullptr);
             return nullptr;
         },
         Cancel},
        {"WinExportTablesToImportWithACredit", "WinExportTables",
         [](TestMainWindow& main) {
             std::string prefix, suffix, licensor;
             WinExportTables().Show(&main, false, &prefix, &suffix, &licensor);
             return nullptr;
         },
         Cancel},
        {"WinFindValue", "WinFindValue",
         [](TestMainWindow& main) {
             WinFindValue().FindInTable(&main, "People", "name", "Find person");
             return nullptr;
         },
         Cancel},
        {"WinFirstHelp", "WinFirstHelp",
         [](TestMainWindow& main) {
             main.winFirstHelp->Show(&main);
             return main.winFirstHelp->GetWindow();
         },
         nullptr},
        {"WinImportReplace", "WinImportReplace",
         [](TestMainWindow& main) {
             WinImportReplace().Ask(&main, "Tea", "menu item");
             return nullptr;
         },
         CloseBox},
        {"WinIngredients", "WinIngredients", [](TestMainWindow& main) { main.winIngredients->Open(&main); return nullptr; },
         CloseBox},
        {"WinMealCourses", "WinMealCourses",
         [](TestMainWindow& main) { main.winMealCourses->Open(&main, false); return nullptr; }, CloseBox},
        {"WinMealCoursesToChoose", "WinMealCourses",
         [](TestMainWindow& main) { main.winMealCourses->Open(&main, true); return nullptr; }, Cancel},
        {"WinMealGuests", "WinMealGuests", [](TestMainWindow& main) { WinMealGuests().Edit(&main, kStop); return nullptr; },
         Cancel},
        {"WinMeals", "WinMeals", [](TestMainWindow& main) { WinMeals::Open(&main); return nullptr; }, CloseBox},
        {"WinNewTripDay", "WinNewTripDay",
         [](TestMainWindow& main) {
             bool atEnd = true;
             WinNewTripDay().Open(&main, &atEnd);
             return nullptr;
         },
         Cancel},
        {"WinNewTripStop", "WinNewTripStop",
         [](TestMainWindow& main) { WinNewTripStop().Open(&main, kTrip, kDay); return nullptr; }, Cancel},
        {"WinNotes", "WinNotes",
         [](TestMainWindow& main) { WinNotes().Edit(&main, "People", 1, "Ann", false, false); return nullptr; }, Cancel},
        {"WinNotesWithACredit", "WinNotes",
         [](TestMainWindow& main) { WinNotes().Edit(&main, "Ingredients", 1, "salt", true, true); return nullptr; },
         Cancel},
        {"WinOptions", "WinOptions", [](TestMainWindow& main) { main.winOptions->Run(&main); return nullptr; }, Cancel},
        {"WinPeople", "WinPeople", [](TestMainWindow& main) { main.winPeople->Open(&main); return nullptr; }, CloseBox},
        {"WinResetRecipe", "WinResetRecipe",
         [](TestMainWindow& main) { WinResetRecipe().ChooseFormat(&main); return nullptr; }, Cancel},
        {"WinSelectReport", "WinSelectReport",
         [](TestMainWindow& main) {
             bool tripOnly = false, unitMeasures = false;
             main.selectReport.Open(&main, kTrip, &tripOnly, &unitMeasures);
             return nullptr;
         },
         Cancel},
        {"WinSplash", "WinSplash",
         [](TestMainWindow& main) {
             main.options.productVersion = 3;
             fs::copy_file(TemplateDatabasePath().parent_path() / "splash.bmp", main.programFolder + "splash.bmp");
             WinSplash().Show(&main);
             return nullptr;
         },
         CloseBox},
        {"WinTripDays", "WinTripDays", [](TestMainWindow& main) { WinTripDays().Open(&main, kTrip); return nullptr; },
         CloseBox},
        {"WinTripMeals", "WinTripMeals",
         [](TestMainWindow& main) { WinTripMeals().Open(&main, kTrip, -1); return nullptr; }, CloseBox},
        {"WinTripWizardDetails", "WinTripWizardDetails",
         [](TestMainWindow& main) { WinTripWizardDetails::Show(&main); return nullptr; }, Cancel},
        {"WinTripWizardDone", "WinTripWizardDone",
         [](TestMainWindow& main) { WinTripWizardDone::Show(&main); return nullptr; }, CloseBox},
        {"WinTripWizardStops", "WinTripWizardStops",
         [](TestMainWindow& main) { WinTripWizardStops::Show(&main, kTrip); return nullptr; }, Cancel},
        {"WinTripWizardTravellers", "WinTripWizardTravellers",
         [](TestMainWindow& main) { WinTripWizardTravellers::Show(&main, kTrip, true); return nullptr; }, Cancel},
        {"WinUpload", "WinUpload", [](TestMainWindow& main) { main.winUpload->Open(&main); return nullptr; }, Cancel},
        {"WinWait", "WinWait",
         [](TestMainWindow& main) {
             WinWait wait;
             waitMeasured = false;
             wait.Run(&main, false, 3, [&wait] {
                 while (!waitMeasured) QThread::msleep(5);
                 wait.Finish();
             });
             return nullptr;
         },
         LetTheWaitEnd},
    };
    return cases;
}

class FormSizesTest : public MainWindowTest, public testing::WithParamInterface<FormCase> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SeedDatabase();
        RunSqliteOnFile(Database(), kRows);
        Start();
        ASSERT_TRUE(window->HasWindow());
    }
    // Opens the form as its case says and measures it: while its modal loop runs, or once a
    // modeless one is up.
    Sizes OpenAndMeasure(const FormCase& c) {
        Sizes sizes;
        if (c.leave) {
            ModalTakeOver::Expect(c.form, [&](WForm& form) {
                sizes = Measure(form.GetWindow());
                c.leave(form);
            });
        }
        QDialog* modeless = c.open(*window);
        if (!c.leave && modeless) sizes = Measure(modeless);
        return sizes;
    }
    StrictModalForms strict;   // a form or question that nobody expected fails the case
};

TEST_P(FormSizesTest, TheLeastSizeItAsksForIsWithinTheMostAndCutsNothing) {
    const Sizes sizes = OpenAndMeasure(GetParam());
    ASSERT_TRUE(sizes.measured) << GetParam().form << " did not open";
    EXPECT_LE(sizes.least.width(), sizes.most.width());
    EXPECT_LE(sizes.least.height(), sizes.most.height());
    EXPECT_TRUE(sizes.cutAtLeast.empty()) << sizes.least.width() << "x" << sizes.least.height() << ": "
                                          << testing::PrintToString(sizes.cutAtLeast);
}

// The cases whose form fixes the window's height: cut at a control, or by a fixed-size layout.
const std::set<std::string> kFixedHeights = {"WinAbout",    "WinExportTablesToExport", "WinExportTablesToImport",
                                             "WinFirstHelp", "WinNotes",                "WinSplash"};

// A height the form fixes stays fixed, its least the most (which the test above finds cutting
// nothing); every other window's height is free.
TEST_P(FormSizesTest, ItsHeightIsFixedWhereTheFormFixesItAndFreeElsewhere) {
    const Sizes sizes = OpenAndMeasure(GetParam());
    ASSERT_TRUE(sizes.measured) << GetParam().form << " did not open";
    if (kFixedHeights.count(GetParam().name))
        EXPECT_EQ(sizes.least.height(), sizes.most.height()) << "at " << ScreenDpi() << " dpi";
    else
        EXPECT_EQ(sizes.most.height(), QWIDGETSIZE_MAX);
}

INSTANTIATE_TEST_SUITE_P(EveryForm, FormSizesTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

// A run started with QT_FONT_DPI lays the forms out for that dpi (Qt reads it at start-up).
TEST(FormSizesDpiTest, TheFormsAreLaidOutForTheDpiTheRunWasStartedWith) {
    const char* dpi = std::getenv("QT_FONT_DPI");
    EXPECT_DOUBLE_EQ(ScreenDpi(), dpi ? std::atof(dpi) : 96.0);
}

// A form added to resources/dialogs gets its row here.
TEST(FormSizesTableTest, HasARowForEveryFormTemplate) {
    std::set<std::string> templates, rows;
    std::istringstream names(KVO_FORM_TEMPLATES);
    for (std::string name; std::getline(names, name, ',');) templates.insert(name);
    for (const FormCase& c : Cases()) rows.insert(c.form);
    EXPECT_EQ(rows, templates);
}

}  // namespace
