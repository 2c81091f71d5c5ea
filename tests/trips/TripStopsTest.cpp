#include "tests/trips/TripStopsTest.h"

#include <QApplication>
#include <QKeyEvent>

std::vector<std::string> Entries(WListBox* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->GetCount(); ++i) texts.push_back(list->GetItemText(i));
    return texts;
}

std::vector<std::string> Entries(WComboBox* combo) {
    std::vector<std::string> texts;
    for (int i = 0; i < combo->GetCount(); ++i) texts.push_back(combo->GetItemText(i));
    return texts;
}

std::string Current(WListBox* list) { return list->GetSelected() < 0 ? std::string() : list->GetItemText(list->GetSelected()); }
std::string Current(WComboBox* combo) {
    return combo->GetSelected() < 0 ? std::string() : combo->GetItemText(combo->GetSelected());
}

std::vector<std::string> Rows(WGrid* grid) {
    std::vector<std::string> rows;
    for (long row = 0; row < grid->GetNumRows(); ++row) {
        std::string text;
        for (int column = 0; column < grid->GetNumColumns(); ++column)
            text += (column ? "|" : "") + grid->GetCellText(row, column);
        rows.push_back(text);
    }
    return rows;
}

void Click(WForm& form, const char* button) { form.Control<WCommandButton>(button)->Click(); }

void Pick(WForm& form, const char* combo, const std::string& text) {
    auto* box = form.Control<WComboBox>(combo);
    const int entry = box->FindText(text);
    ASSERT_GE(entry, 0) << text;
    box->Pick(entry);
}

void Choose(WForm& form, const char* list, const std::string& text) {
    auto* box = form.Control<WListBox>(list);
    const int entry = box->FindText(text);
    ASSERT_GE(entry, 0) << text;
    box->SetSelected(entry);
}

void PressKey(WForm& form, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(form.GetWindow(), &press);
}

void TripStopsTest::SetUp() {
    prepareScript =
        "insert into People( id, name ) values( 1, 'Ann' ), ( 2, 'Ben' ), ( 3, 'Cat' ), ( 4, 'Dan' );"
        "insert into Meals( id, name ) values( 1, 'Camp supper' ), ( 2, 'Trail lunch' );"
        "insert into Courses( id, name ) values( 1, 'Tea' ), ( 2, 'Porridge' );"
        "insert into Trips( id, name, location, trip_date ) values( 1, 'Lakes loop', 'North', '2024-06-14' ),"
        " ( 2, 'Other trip', '', '2024-08-01' );"
        "insert into TripDays( id, day_num, trip ) values( 11, 1, 1 ), ( 12, 2, 1 ), ( 21, 1, 2 );"
        "insert into TripPeople( person, trip ) values( 1, 1 ), ( 2, 1 ), ( 3, 1 ), ( 4, 2 );"
        "insert into DayFoodStops( id, trip_day, food_stop ) values( 101, 11, 4 ), ( 102, 11, 7 ), ( 103, 12, 1 ),"
        " ( 201, 21, 7 );"
        "insert into DayMeals( day_stop, meal ) values( 101, 2 ), ( 102, 1 ), ( 201, 1 );"
        "insert into DayCourses( day_stop, course ) values( 102, 1 ), ( 103, 2 );"
        "insert into MealPeople( person, day_stop ) values( 1, 101 ), ( 2, 101 ), ( 3, 101 ), ( 1, 102 ), ( 2, 102 ),"
        " ( 1, 103 ), ( 2, 103 ), ( 3, 103 ), ( 4, 201 );" +
        prepareScript;
    TripWizardTest::SetUp();
}

std::vector<long> TripStopsTest::Ids(const std::string& column, const std::string& table, long stop) {
    WQuery query(main.transaction_KVO.get());
    query.SetSQL("select " + column + " from " + table + " where day_stop = " + std::to_string(stop) + " order by id");
    EXPECT_TRUE(query.Open()) << query.LastError();
    std::vector<long> ids;
    for (long row = 0; row < query.GetNumRows(); ++row) ids.push_back(static_cast<long>(query.GetValue(row, 0).AsLong()));
    return ids;
}

std::string TripStopsTest::Snapshot() {
    std::string all;
    for (const char* table : {"Trips", "TripDays", "TripPeople", "DayFoodStops", "DayMeals", "DayCourses", "MealPeople",
                              "Meals", "Courses", "People"}) {
        WQuery query(main.transaction_KVO.get());
        query.SetSQL(std::string("select * from ") + table + " order by 1");
        EXPECT_TRUE(query.Open()) << query.LastError();
        all += std::string(table) + ":\n";
        for (long row = 0; row < query.GetNumRows(); ++row) {
            for (int column = 0; column < query.GetNumColumns(); ++column)
                all += (column ? "|" : "") + (query.IsNull(row, column) ? std::string("NULL") : query.GetValue(row, column).AsText());
            all += "\n";
        }
    }
    return all;
}
