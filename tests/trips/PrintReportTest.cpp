// Report choice and printing from the main window's commands: what the report control is handed
// for each report, what Cancel leaves, what the options keep, and the errors shown.

#include <gtest/gtest.h>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WListBox.h"
#include "platform/report/ReportPreview.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/StrictModalForms.h"
#include "trips/WinSelectReport.h"

namespace {

using ReportChoices::PlaceReportWindow;

void Click(WForm& form, const char* name) { form.Control<WCommandButton>(name)->Click(); }

std::vector<std::string> ListTexts(WForm& form) {
    std::vector<std::string> texts;
    auto* list = form.Control<WListBox>("lb_Report");
    for (int i = 0; i < list->GetCount(); ++i) texts.push_back(list->GetItemText(i));
    return texts;
}

class PrintReportTest : public MainWindowTest {
protected:
    StrictModalForms strictModalForms;
    void SetUp() override {
        MainWindowTest::SetUp();
        WReportControl::SetTestHook([this](const WReportControl::Request& request) {
            runs.push_back(request);
            return answer;
        });
    }
    void TearDown() override {
        WReportControl::SetTestHook(nullptr);
        MainWindowTest::TearDown();
    }

    void StartWithTrips() {
        SeedDatabase();
        RunSqliteOnFile(Database(), "insert into Trips( id, name, location, trip_date ) values"
                                    "( 5, 'Alpha', '', '2001-01-01' ), ( 9, 'Zulu', '', '2002-02-02' );");
        Start();
    }

    // Chooses a report in the dialog and presses OK, setting "For this trip only" first.
    void Choose(const std::string& report, std::optional<bool> tripOnly = std::nullopt, int magnification = -1) {
        ModalTakeOver::Expect("WinSelectReport", [=](WForm& form) {
            auto* list = form.Control<WListBox>("lb_Report");
            list->SetSelected(list->FindText(report));
            if (tripOnly) form.Control<WCheckBox>("checkbox_TripOnly")->SetChecked(*tripOnly);
            if (magnification >= 0) form.Control<WComboBox>("combo_PreviewMag")->SetSelected(magnification);
            Click(form, "cb_OK");
        });
    }

    std::string Path(const char* file) const { return program.string() + "/" + file; }

    std::vector<WReportControl::Request> runs;
    std::pair<int, std::string> answer{0, ""};
};

struct ChoiceCase {
    std::string name;
    std::string listText;
    std::optional<bool> tripOnly;
    std::string file;
    long tripId;        // handed on, the selected trip being 5
    int veryDetailed;
};

std::ostream& operator<<(std::ostream& out, const ChoiceCase& c) { return out << c.name; }

const ChoiceCase Choices[] = {
    {"ShoppingList", "Trip shopping list report", std::nullopt, "report_shopping_list.rpt", 5, 0},
    {"PlanSummary", "Trip plan - summary report", std::nullopt, "report_trip_plan.rpt", 5, 0},
    {"IngredientsOfTheTrip", "Ingredients report", true, "report_ingredients.rpt", 5, 0},
    {"IngredientsOfTheCatalogue", "Ingredients report", false, "report_ingredients.rpt", -1, 0},
    {"MenuItemsOfTheTrip", "Menu items report", true, "report_courses.rpt", 5, 0},
    {"MenuItemsOfTheCatalogue", "Menu items report", false, "report_courses.rpt", -1, 0},
    {"MealsOfTheCatalogue", "Meals report", false, "report_meals.rpt", -1, 0},
    {"PlanDetailed", "Trip plan - detailed report", std::nullopt, "report_trip_plan_detailed.rpt", 5, 0},
    {"PlanVeryDetailed", "Trip plan - very detailed report (menu item notes)", std::nullopt,
     "report_trip_plan_detailed.rpt", 5, 1},
};

class PrintReportChoiceTest : public PrintReportTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(PrintReportChoiceTest, HandsTheControlTheFileTheFiveParametersAndThePlacement) {
    const ChoiceCase& c = GetParam();
    StartWithTrips();
    window->options.ingredientUnits = 2;
    Choose(c.listText, c.tripOnly);
    window->Control<WCommandButton>("cb_Report")->Click();
    ASSERT_EQ(runs.size(), 1u);
    const WReportControl::Request& run = runs[0];
    EXPECT_EQ(run.file, Path(c.file.c_str()));
    EXPECT_EQ(run.parameters,
              (std::vector<std::string>{"Trip id; " + std::to_string(c.tripId) + "; TRUE", "version; 3.02; TRUE",
                                        "unit_type; 2; TRUE", "ingredient_units; 0; TRUE",
                                        "trip_very_detailed; " + std::to_string(c.veryDetailed) + "; TRUE"}));
    const auto [w, h] = WReportControl::PrimaryScreenSize();
    const auto place = PlaceReportWindow(w, h);
    EXPECT_EQ(std::vector<int>({run.left, run.top, run.width, run.height}),
              std::vector<int>({place.left, place.top, place.width, place.height}));
    EXPECT_FALSE(run.byAction);   // whole page: the run method, whose result is examined
    EXPECT_TRUE(prompter.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Reports, PrintReportChoiceTest, ::testing::ValuesIn(Choices),
                         [](const auto& info) { return info.param.name; });

TEST_F(PrintReportTest, EveryReportCommandOpensTheChoiceForTheSelectedTrip) {
    StartWithTrips();
    window->grid_Trips->SetCurrentRow(1);   // Zulu
    for (int command = 0; command < 3; ++command) {
        Choose("Trip shopping list report");
        if (command == 0) window->menu_1->FindItem(1025)->Click();
        if (command == 1) window->grid_Trips->GetPopupMenu()->FindItem(10003)->Click();
        if (command == 2) window->Control<WCommandButton>("cb_Report")->Click();
    }
    ASSERT_EQ(runs.size(), 3u);
    for (const auto& run : runs) EXPECT_EQ(run.parameters[0], "Trip id; 9; TRUE");
}

TEST_F(PrintReportTest, WithoutATripOnlyTheCatalogueReportsAreOfferedAndPrintedForNoTrip) {
    SeedDatabase();
    Start();
    std::vector<std::string> offered;
    std::string tripText;
    bool readOnly = false, tripOnlyVisible = true;
    ModalTakeOver::Expect("WinSelectReport", [&](WForm& form) {
        offered = ListTexts(form);
        tripText = form.Control<WTextBox>("textb_Trip")->GetText();
        readOnly = form.Control<WTextBox>("textb_Trip")->GetReadOnly();
        tripOnlyVisible = form.Control<WCheckBox>("checkbox_TripOnly")->GetVisible();
        Click(form, "cb_OK");
    });
    window->PrintReport(-1);
    EXPECT_EQ(offered, (std::vector<std::string>{"Ingredients report", "Meals report", "Menu items report"}));
    EXPECT_EQ(tripText, "<none selected>");
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(tripOnlyVisible);
    // The remembered report (1, a trip plan) is not offered: the first entry is taken.
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].file, Path("report_ingredients.rpt"));
    EXPECT_EQ(runs[0].parameters[0], "Trip id; -1; TRUE");
}

TEST_F(PrintReportTest, CancelPrintsNothingAndKeepsTheOptions) {
    StartWithTrips();
    const int reportType = window->options.reportType;
    const int units = window->options.ingredientUnits;
    const int magnification = window->options.previewMag;
    ModalTakeOver::Expect("WinSelectReport", [](WForm& form) {
        auto* list = form.Control<WListBox>("lb_Report");
        list->SetSelected(list->FindText("Meals report"));
        form.Control<WComboBox>("combo_Units")->SetSelected(3);
        form.Control<WComboBox>("combo_PreviewMag")->SetSelected(4);
        form.Control<WCheckBox>("checkbox_ReportUnits")->SetChecked(true);
        Click(form, "cb_Cancel");
    });
    window->PrintReport(5);
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(window->options.reportType, reportType);
    EXPECT_EQ(window->options.ingredientUnits, units);
    EXPECT_EQ(window->options.previewMag, magnification);
    // The unit-measures box opens as the last OK left it, not as Cancel did.
    bool unitMeasures = true;
    ModalTakeOver::Expect("WinSelectReport", [&](WForm& form) {
        unitMeasures = form.Control<WCheckBox>("checkbox_ReportUnits")->GetChecked();
        Click(form, "cb_Cancel");
    });
    window->PrintReport(5);
    EXPECT_FALSE(unitMeasures);
}

TEST_F(PrintReportTest, OkUpdatesTheOptionsWhichTheNextOpeningAndTheOptionsFileKeep) {
    StartWithTrips();
    ModalTakeOver::Expect("WinSelectReport", [](WForm& form) {
        auto* list = form.Control<WListBox>("lb_Report");
        list->SetSelected(list->FindText("Trip plan - detailed report"));
        form.Control<WComboBox>("combo_Units")->SetSelected(3);
        form.Control<WComboBox>("combo_PreviewMag")->SetSelected(2);
        form.Control<WCheckBox>("checkbox_ReportUnits")->SetChecked(true);
        Click(form, "cb_OK");
    });
    window->PrintReport(5);
    EXPECT_EQ(window->options.reportType, 5);
    EXPECT_EQ(window->options.ingredientUnits, 3);
    EXPECT_EQ(window->options.previewMag, 2);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].parameters[3], "ingredient_units; 1; TRUE");
    EXPECT_TRUE(runs[0].byAction);      // a chosen magnification runs through the action property
    EXPECT_EQ(window->cr_Report->LastRequest().zoom, 125);

    std::string report, units, magnification;
    bool unitMeasures = false;
    ModalTakeOver::Expect("WinSelectReport", [&](WForm& form) {
        auto* list = form.Control<WListBox>("lb_Report");
        report = list->GetItemText(list->GetSelected());
        units = form.Control<WComboBox>("combo_Units")->GetText();
        magnification = form.Control<WComboBox>("combo_PreviewMag")->GetText();
        unitMeasures = form.Control<WCheckBox>("checkbox_ReportUnits")->GetChecked();
        Click(form, "cb_Cancel");
    });
    window->PrintReport(5);
    EXPECT_EQ(report, "Trip plan - detailed report");
    EXPECT_EQ(units, "imperial measures only (nearest whole)");
    EXPECT_EQ(magnification, "125%");
    EXPECT_TRUE(unitMeasures);

    window->Close();
    const std::string options = ReadFileText(current / "kvo.dat");
    EXPECT_NE(options.find("ingredient_units: 3"), std::string::npos) << options;
    EXPECT_NE(options.find("report_type: 5"), std::string::npos) << options;
    EXPECT_NE(options.find("preview_mag: 2"), std::string::npos) << options;
}

TEST_F(PrintReportTest, AnOptionOutsideTheUnitsListSelectsTheFirstEntryAndOkNeverStoresMinusOne) {
    StartWithTrips();
    window->options.ingredientUnits = 4;   // the options file may hold 4
    std::string units;
    ModalTakeOver::Expect("WinSelectReport", [&](WForm& form) {
        units = form.Control<WComboBox>("combo_Units")->GetText();
        Click(form, "cb_OK");
    });
    window->PrintReport(5);
    EXPECT_EQ(units, "in default measurement for ingredients");
    EXPECT_EQ(window->options.ingredientUnits, 0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].parameters[2], "unit_type; 0; TRUE");
}

TEST_F(PrintReportTest, OkWithoutACurrentReportDoesNothing) {
    StartWithTrips();
    bool stillOpen = false;
    ModalTakeOver::Expect("WinSelectReport", [&](WForm& form) {
        form.Control<WListBox>("lb_Report")->SetSelected(-1);
        Click(form, "cb_OK");
        QCoreApplication::processEvents();
        stillOpen = form.HasWindow();
        Click(form, "cb_Cancel");
    });
    window->PrintReport(5);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(window->options.reportType, 1);
}

TEST_F(PrintReportTest, AFailedRunIsShownUnchangedOnBothPaths) {
    StartWithTrips();
    answer = {20, "Bad %s %d report file: 100% wrong"};
    Choose("Meals report", false, 0);
    window->PrintReport(5);
    Choose("Meals report", false, 3);
    window->PrintReport(5);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_FALSE(runs[0].byAction);
    EXPECT_TRUE(runs[1].byAction);
    ASSERT_EQ(prompter.Messages().size(), 2u);
    for (const auto& shown : prompter.Messages()) {
        EXPECT_EQ(shown.caption, "Report printing error");
        EXPECT_EQ(shown.text, "Bad %s %d report file: 100% wrong");
        EXPECT_EQ(shown.icon, WMessageIcon::Question);
        EXPECT_EQ(shown.buttons, WMessageButtons::OK);
        EXPECT_EQ(shown.owner, "WinStart");
    }
}

TEST_F(PrintReportTest, AMissingReportFileIsShownFromTheRealControl) {
    WReportControl::SetTestHook(nullptr);
    StartWithTrips();
    Choose("Trip shopping list report");
    window->PrintReport(5);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Report printing error");
    EXPECT_NE(prompter.Messages()[0].text.find("report_shopping_list.rpt' cannot be found"), std::string::npos)
        << prompter.Messages()[0].text;
}

TEST_F(PrintReportTest, TheStagedShoppingListOpensInAPreview) {
    WReportControl::SetTestHook(nullptr);
    for (const char* file : {"report_shopping_list.rpt", "report_trip_plan.rpt"})
        fs::copy_file(TemplateDatabasePath().parent_path() / file, program / file);
    SeedDatabase();
    RunSqliteOnFile(Database(),
                    "insert into Trips( id, name, location, trip_date ) values( 5, 'Alpha', 'Lake', '2001-01-01' );"
                    "insert into TripDays( id, trip, day_num ) values( 1, 5, 1 );"
                    "insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 1 );"
                    "insert into People( id, name ) values( 1, 'Ann' );"
                    "insert into MealPeople( person, day_stop ) values( 1, 1 );"
                    "insert into Ingredients( id, name, def_measure ) values( 1, 'Oats', 10 );"
                    "insert into Courses( id, name, feeds ) values( 1, 'Porridge', 1 );"
                    "insert into CourseIngredients( course, ingredient, measure, amount ) values( 1, 1, 10, 80 );"
                    "insert into DayCourses( day_stop, course ) values( 1, 1 );");
    Start();
    Choose("Trip shopping list report");
    window->PrintReport(-1);
    EXPECT_TRUE(prompter.Messages().empty());
    ASSERT_EQ(window->cr_Report->Previews().size(), 1u);
    const std::string text = window->cr_Report->Previews().front()->Document().PlainText();
    EXPECT_NE(text.find("Shopping list for Alpha"), std::string::npos) << text;
    EXPECT_NE(text.find("Oats\n80\ng"), std::string::npos) << text;
}

struct ScreenCase {
    std::string name;
    int w, h;
    int left, top, width, height;
};

std::ostream& operator<<(std::ostream& out, const ScreenCase& c) { return out << c.name; }

const ScreenCase Screens[] = {
    {"Screen1024x768", 1024, 768, 25, 25, 974, 718},
    {"Screen1920x1080", 1920, 1080, 537, 25, 845, 1030},
    {"Screen1280x1024", 1280, 1024, 239, 25, 801, 974},
    {"PortraitScreenIsNeverExceeded", 800, 1280, 25, 25, 750, 1230},
};

class ReportPlacementTest : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(ReportPlacementTest, PlacesTheWindowOnTheScreen) {
    const ScreenCase& c = GetParam();
    const auto p = PlaceReportWindow(c.w, c.h);
    EXPECT_EQ(std::vector<int>({p.left, p.top, p.width, p.height}), std::vector<int>({c.left, c.top, c.width, c.height}));
}

INSTANTIATE_TEST_SUITE_P(Screens, ReportPlacementTest, ::testing::ValuesIn(Screens),
                         [](const auto& info) { return info.param.name; });

}  // namespace
