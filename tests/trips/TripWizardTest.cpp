#include "tests/trips/TripWizardTest.h"

#include <filesystem>

#include "platform/db/WQuery.h"
#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"

void BeginStrictForms() {
    ModalTakeOver::Reset();
    ModalTakeOver::SetStrict(true);
}

void EndStrictForms(const ScriptedPrompter& prompter) {
    EXPECT_TRUE(ModalTakeOver::Unexpected().empty()) << ModalTakeOver::Unexpected().front();
    EXPECT_EQ(ModalTakeOver::Pending(), 0);
    EXPECT_EQ(prompter.Unanswered(), 0);
    ModalTakeOver::Reset();
}

void FormsTest::SetUp() { BeginStrictForms(); }
void FormsTest::TearDown() { EndStrictForms(prompter); }

void TripWizardTest::SetUp() {
    BeginStrictForms();
    MainWindowDatabaseTest::SetUp();
}

void TripWizardTest::TearDown() {
    MainWindowDatabaseTest::TearDown();
    EndStrictForms(prompter);
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
