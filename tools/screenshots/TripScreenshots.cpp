// Takes a screenshot of the trip stops list, the stop editor, the meal guests and the new stop,
// each opened through its entry function on a small trip in a copy of the empty template.

#include <odbcinst.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/db/DataSourceOptions.h"
#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WListBox.h"
#include "shell/WinStart.h"
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

void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Shoots the form once it is up, then leaves it by its close box (nothing is saved).
ModalTakeOver::Hook Shoot(const std::string& file, std::function<void(WForm&)> prepare = {}) {
    return [=](WForm& form) {
        if (prepare) prepare(form);
        Settle(400);
        QWidget* window = form.GetWindow();
        const bool ok = window->screen()->grabWindow(window->winId()).save(QString::fromStdString(file));
        std::printf("%s %s\n", ok ? "wrote" : "could not write", file.c_str());
        window->close();
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : ".";
    char pattern[] = "/tmp/kvo_trip_screenshots_XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::filesystem::path folder = pattern;
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);
    QApplication app(argc, argv);
    setlocale(LC_NUMERIC, "C");

    const std::filesystem::path database = folder / "Kestavo.db";
    std::filesystem::copy_file(std::filesystem::path(KVO_PROGRAM_FOLDER) / "KestavoEmpty.db", database);
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    sqlite3_exec(db, SampleTrip, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    SQLSetConfigMode(ODBC_USER_DSN);
    SQLWriteDSNToIni("Kestavo", "SQLite3");
    SQLWritePrivateProfileString("Kestavo", "Database", database.c_str(), "odbc.ini");
    WriteDriverOptions("Kestavo");

    WinStart main;
    main.programFolder = std::string(KVO_PROGRAM_FOLDER) + "/";
    main.CreateDataObjects();
    if (!main.transaction_KVO->Connect()) return 1;
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
