// Takes screenshots of the report chooser, a shopping list and a detailed trip plan in their
// preview windows (a plan's first page, its second, and the second zoomed), on a small trip in a
// copy of the empty template, with the staged report files.

#include <QApplication>
#include <filesystem>
#include <string>

#include "platform/forms/ModalTakeOver.h"
#include "platform/report/ReportPreview.h"
#include "shell/WinStart.h"
#include "tools/screenshots/SampleTrip.h"
#include "tools/screenshots/ScreenshotSession.h"

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : ".";
    const std::filesystem::path folder = MakeScreenshotFolder("kvo_screenshots");
    if (folder.empty()) return 1;
    QApplication app(argc, argv);
    setlocale(LC_NUMERIC, "C");

    WinStart main;
    // Four days without the second day's lunch: a detailed plan of two pages, the second
    // starting inside a day.
    const std::string sample = std::string(SampleTripSql) +
                               "delete from MealPeople where day_stop in ( 4, 12 );"
                               "delete from DayMeals where day_stop in ( 4, 12 );"
                               "delete from DayFoodStops where id in ( 4, 12 );"
                               "delete from TripDays where id = 5;";
    if (!ConnectSampleDatabase(main, folder, sample.c_str())) return 1;
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
    plan->SetZoom(0);
    SaveWindowPicture(plan, out + "/report_trip_plan_detailed_page1.png");
    plan->ShowPage(1);
    SaveWindowPicture(plan, out + "/report_trip_plan_detailed_page2.png");
    plan->SetZoom(150);
    Settle(100);
    plan->ShowPage(1);
    SaveWindowPicture(plan, out + "/report_trip_plan_detailed_page2_150.png");
    list->Document().SaveAsPdf(out + "/report_shopping_list.pdf");
    plan->Document().SaveAsPdf(out + "/report_trip_plan_detailed.pdf");
    main.DestroyDataObjects();
    std::filesystem::remove_all(folder);
    return 0;
}
