// Takes a screenshot of the trip stops list, the stop editor, the meal guests and the new stop,
// each opened through its entry function on a small trip in a copy of the empty template.

#include <QApplication>
#include <clocale>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WListBox.h"
#include "shell/WinStart.h"
#include "tools/screenshots/ScreenshotSession.h"
#include "trips/WinEditDayMeal.h"
#include "trips/WinMealGuests.h"
#include "trips/WinNewTripStop.h"
#include "trips/WinTripMeals.h"

namespace {

const char* const SampleTrip =
    "insert into People( id, name ) values( 1, 'Ann' ), ( 2, 'Ben' ), ( 3, 'Cat' ), ( 4, 'Dev' );"
    "insert into Meals( id, name ) values( 1, 'Trail breakfast' ), ( 2, 'Camp supper' ), ( 3, 'Trail lunch' );"
    "insert into Courses( id, name ) values( 1, 'Porridge' ), ( 2, 'Pasta with sauce' ), ( 3, 'Wraps' ),"
    " ( 4, 'Tea' ), ( 5, 'Hot chocolate' );"
    "insert into Trips( id, name, location, trip_date ) values( 1, 'Lakes loop', 'Northern lakes', '2024-06-14' );"
    "insert into TripPeople( person, trip ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 ), ( 4, 1 );"
    "insert into TripDays( id, trip, day_num ) values( 1, 1, 1 ), ( 2, 1, 2 ), ( 3, 1, 3 );"
    "insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 4 ), ( 2, 1, 7 ), ( 3, 2, 1 ), ( 4, 2, 4 ),"
    " ( 5, 2, 7 ), ( 6, 3, 1 );"
    "insert into DayMeals( day_stop, meal ) values( 1, 3 ), ( 2, 2 ), ( 3, 1 ), ( 4, 3 ), ( 5, 2 ), ( 5, 2 ), ( 6, 1 );"
    "insert into DayCourses( day_stop, course ) values( 2, 4 ), ( 5, 5 );"
    "insert into MealPeople( person, day_stop ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 ), ( 4, 1 ), ( 1, 2 ), ( 2, 2 ),"
    " ( 3, 2 ), ( 1, 3 ), ( 2, 3 ), ( 3, 3 ), ( 1, 4 ), ( 2, 4 ), ( 1, 5 ), ( 2, 5 ), ( 3, 5 ), ( 4, 5 ), ( 1, 6 );";

// Shoots the form once it is up, then leaves it by its close box (nothing is saved).
ModalTakeOver::Hook Shoot(const std::string& file, std::function<void(WForm&)> prepare = {}) {
    return [=](WForm& form) {
        if (prepare) prepare(form);
        SaveWindowPicture(form.GetWindow(), file);
        form.GetWindow()->close();
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : ".";
    const std::filesystem::path folder = MakeScreenshotFolder("kvo_trip_screenshots");
    if (folder.empty()) return 1;
    QApplication app(argc, argv);
    setlocale(LC_NUMERIC, "C");

    WinStart main;
    if (!ConnectSampleDatabase(main, folder, SampleTrip)) return 1;
    main.BuildTableSchemas();

    ModalTakeOver::Expect("WinTripMeals", Shoot(out + "/trip_stops.png"));
    WinTripMeals().Open(nullptr, 1, -1);
    ModalTakeOver::Expect("WinTripMeals", Shoot(out + "/trip_stops_day_2.png"));
    WinTripMeals().Open(nullptr, 1, 2);
    ModalTakeOver::Expect("WinEditDayMeal", Shoot(out + "/trip_stop_editor.png", [](WForm& form) {
        auto* available = form.Control<WListBox>("lb_MealsCourses");
        available->SetSelected(available->FindText("Hot chocolate (menu item)"));
    }));
    WinEditDayMeal().Edit(nullptr, 5);
    ModalTakeOver::Expect("WinMealGuests", Shoot(out + "/meal_guests.png"));
    WinMealGuests().Edit(nullptr, 2);
    ModalTakeOver::Expect("WinNewTripStop", Shoot(out + "/new_trip_stop.png"));
    WinNewTripStop().Open(nullptr, 1, 2);

    main.DestroyDataObjects();
    std::filesystem::remove_all(folder);
    return 0;
}
