// Takes screenshots of the report chooser, a shopping list and a detailed trip plan in their
// preview windows, on a small trip in a copy of the empty template, with the staged report files.

#include <QApplication>
#include <filesystem>
#include <string>

#include "platform/forms/ModalTakeOver.h"
#include "platform/report/ReportPreview.h"
#include "shell/WinStart.h"
#include "tools/screenshots/ScreenshotSession.h"

namespace {

const char* const SampleTrip =
    "insert into People( id, name, appetite ) values( 1, 'Ann', 1.0 ), ( 2, 'Ben', 1.5 ), ( 3, 'Cat', 0.8 );"
    "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size ) values"
    " ( 1, 'Rolled oats', 10, 0, '', 1 ), ( 2, 'Milk powder', 10, 0, '', 1 ), ( 3, 'Raisins', 10, 0, '', 1 ),"
    " ( 4, 'Pasta', 10, 0, '', 1 ), ( 5, 'Tomato sauce', 1, 0, '', 1 ), ( 6, 'Salami', 10, 1, 'slices', 12 ),"
    " ( 7, 'Tortillas', 14, 0, '', 1 ), ( 8, 'Cheese', 10, 1, 'wedges', 0 ), ( 9, 'Honey', 10, 0, '', 1 ),"
    " ( 10, 'Tea bags', 14, 0, '', 1 ), ( 11, 'Olive oil', 1, 0, '', 1 );"
    "insert into Courses( id, name, feeds, notes ) values( 1, 'Porridge', 2, 'Soak the oats overnight in a closed pot.' ),"
    " ( 2, 'Pasta with sauce', 4, 'Salt the water; keep the sauce warm in its bag.' ), ( 3, 'Wraps', 1, NULL ),"
    " ( 4, 'Tea', 1, NULL );"
    "insert into CourseIngredients( course, ingredient, measure, amount, unit_measure ) values"
    " ( 1, 1, 10, 120, 0 ), ( 1, 2, 4, 2, 0 ), ( 1, 3, 10, 30, 0 ), ( 1, 9, 5, 0.25, 0 ),"
    " ( 2, 4, 11, 0.5, 0 ), ( 2, 5, 2, 0.5, 0 ), ( 2, 11, 4, 2, 0 ),"
    " ( 3, 7, 14, 2, 0 ), ( 3, 6, 10, 4, 1 ), ( 3, 8, 10, 1, 1 ), ( 4, 10, 14, 1, 0 );"
    "insert into Meals( id, name ) values( 1, 'Trail breakfast' ), ( 2, 'Camp supper' ), ( 3, 'Trail lunch' );"
    "insert into MealCourses( meal, course ) values( 1, 1 ), ( 1, 4 ), ( 2, 2 ), ( 2, 4 ), ( 3, 3 );"
    "insert into Trips( id, name, location, trip_date ) values( 1, 'Lakes loop', 'Northern lakes', '2024-06-14' );"
    "insert into TripPeople( person, trip ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 );"
    "insert into TripDays( id, trip, day_num ) values( 1, 1, 1 ), ( 2, 1, 2 ), ( 3, 1, 3 );"
    "insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 4 ), ( 2, 1, 7 ), ( 3, 2, 1 ), ( 4, 2, 4 ),"
    " ( 5, 2, 7 ), ( 6, 3, 1 );"
    "insert into DayMeals( day_stop, meal ) values( 1, 3 ), ( 2, 2 ), ( 3, 1 ), ( 4, 3 ), ( 5, 2 ), ( 6, 1 );"
    "insert into DayCourses( day_stop, course ) values( 2, 4 );"
    "insert into MealPeople( person, day_stop ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 ), ( 1, 2 ), ( 2, 2 ), ( 3, 2 ),"
    " ( 1, 3 ), ( 2, 3 ), ( 3, 3 ), ( 1, 4 ), ( 2, 4 ), ( 1, 5 ), ( 2, 5 ), ( 3, 5 );";

}  // namespace

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : ".";
    const std::filesystem::path folder = MakeScreenshotFolder("kvo_screenshots");
    if (folder.empty()) return 1;
    QApplication app(argc, argv);
    setlocale(LC_NUMERIC, "C");

    WinStart main;
    if (!ConnectSampleDatabase(main, folder, SampleTrip)) return 1;
    main.options.previewMag = 0;

    auto choose = [&](const char* report, const std::string& chooserShot) {
        ModalTakeOver::Expect("WinSelectReport", [=](WForm& form) {
            auto* list = form.Control<WListBox>("lb_Report");
            list->SetSelected(list->FindText(report));
            if (!chooserShot.empty()) SaveWindowPicture(form.GetWindow(), chooserShot);
            form.Control<WCommandButton>("cb_OK")->Click();
        });
        main.PrintReport(1);
        ReportPreview* preview = main.cr_Report->Previews().back();
        preview->setGeometry(40, 30, 820, 760);
        Settle(300);
        preview->SetZoom(100);
        return preview;
    };
    ReportPreview* list = choose("Trip shopping list report", out + "/report_chooser.png");
    SaveWindowPicture(list, out + "/report_shopping_list.png");
    list->SetZoom(0);
    SaveWindowPicture(list, out + "/report_shopping_list_page.png");
    ReportPreview* plan = choose("Trip plan - detailed report", "");
    SaveWindowPicture(plan, out + "/report_trip_plan_detailed.png");
    list->Document().SaveAsPdf(out + "/report_shopping_list.pdf");
    plan->Document().SaveAsPdf(out + "/report_trip_plan_detailed.pdf");
    main.DestroyDataObjects();
    std::filesystem::remove_all(folder);
    return 0;
}
