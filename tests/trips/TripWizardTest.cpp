#include "tests/trips/TripWizardTest.h"

#include <sqlite3.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <filesystem>

#include "platform/db/WQuery.h"
#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"

void LeaveForm(WForm& form, Leave how) {
    switch (how) {
    case Leave::CancelButton:
        form.Control<WCommandButton>("cb_Cancel")->Click();
        break;
    case Leave::EscapeKey: {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(form.GetWindow(), &press);
        break;
    }
    case Leave::CloseBox:
        form.GetWindow()->close();
        break;
    }
}

const char* ToString(Leave how) {
    switch (how) {
    case Leave::CancelButton: return "CancelButton";
    case Leave::EscapeKey: return "EscapeKey";
    case Leave::CloseBox: return "CloseBox";
    }
    return "";
}

void FormsTest::SetUp() {
    ModalTakeOver::Reset();
    ModalTakeOver::SetStrict(true);
}

void FormsTest::TearDown() {
    EXPECT_TRUE(ModalTakeOver::Unexpected().empty()) << ModalTakeOver::Unexpected().front();
    EXPECT_EQ(ModalTakeOver::Pending(), 0);
    EXPECT_EQ(prompter.Unanswered(), 0);
    ModalTakeOver::Reset();
}

void TripWizardTest::SetUp() {
    FormsTest::SetUp();
    const auto database = folder.File("Kestavo.db");
    ASSERT_TRUE(std::filesystem::exists(TemplateDatabasePath())) << TemplateDatabasePath();
    std::filesystem::copy_file(TemplateDatabasePath(), database);
    if (!prepareScript.empty()) RunSqlite(prepareScript);
    dataSource = std::make_unique<PrivateDataSource>(database);
    ASSERT_TRUE(dataSource->Written());
    main.CreateDataObjects();
    ASSERT_TRUE(main.transaction_KVO->Connect()) << main.transaction_KVO->LastError();
    main.BuildTableSchemas();
}

void TripWizardTest::TearDown() {
    main.DestroyDataObjects();
    dataSource.reset();
    FormsTest::TearDown();
}

void TripWizardTest::RunSqlite(const std::string& script) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(folder.File("Kestavo.db").c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

bool TripWizardTest::Exec(const std::string& sql) {
    WQuery query(main.transaction_KVO.get());
    const bool ok = query.Execute(sql);
    EXPECT_TRUE(ok) << sql << "\n" << query.LastError();
    return ok;
}

WDataValue TripWizardTest::Value(const std::string& sql) {
    WQuery query(main.transaction_KVO.get());
    query.SetSQL(sql);
    EXPECT_TRUE(query.Open()) << sql << "\n" << query.LastError();
    return query.GetValue(0, 0);
}

long TripWizardTest::Count(const std::string& table, const std::string& where) {
    return static_cast<long>(
        Value("select count(*) from " + table + (where.empty() ? "" : " where " + where)).AsLong());
}

long TripWizardTest::AddPerson(const std::string& name) {
    Exec("insert into People( name ) values( '" + name + "' )");
    return static_cast<long>(Value("select id from People where name = '" + name + "'").AsLong());
}

long TripWizardTest::AddTrip(const std::string& name, int days) {
    Exec("insert into Trips( name, location, trip_date ) values( '" + name + "', '', '2004-07-01' )");
    const long id = static_cast<long>(Value("select id from Trips where name = '" + name + "'").AsLong());
    for (int day = 1; day <= days; ++day)
        Exec("insert into TripDays( day_num, trip ) values( " + std::to_string(day) + ", " + std::to_string(id) + " )");
    return id;
}

long TripWizardTest::TripRows() {
    long rows = 0;
    for (const char* table : {"Trips", "TripDays", "DayFoodStops", "DayMeals", "DayCourses", "MealPeople", "TripPeople"})
        rows += Count(table);
    return rows;
}
