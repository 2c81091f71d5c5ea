#include "tests/catalogue/CatalogueTest.h"

#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"

void Click(WForm& form, const char* button) { form.Control<WCommandButton>(button)->Click(); }

void TypeOver(WForm& form, const char* box, const std::string& text) {
    WTextBox* textBox = form.Control<WTextBox>(box);
    textBox->SetSelection(0, static_cast<int>(QString::fromStdString(textBox->GetText()).size()));
    textBox->Type(text);
}

void CatalogueTest::SetUp() {
    ModalTakeOver::Reset();
    ModalTakeOver::SetStrict(true);
    MainWindowDatabaseTest::SetUp();
}

void CatalogueTest::TearDown() {
    MainWindowDatabaseTest::TearDown();
    EXPECT_TRUE(ModalTakeOver::Unexpected().empty()) << ModalTakeOver::Unexpected().front();
    EXPECT_EQ(ModalTakeOver::Pending(), 0);
    EXPECT_EQ(prompter.Unanswered(), 0);
    ModalTakeOver::Reset();
}

long CatalogueTest::AddPerson(const std::string& name, double appetite) {
    Exec("insert into People( name, appetite ) values( ?, ? )", {WDataValue(name), WDataValue(appetite)});
    return static_cast<long>(Value("select id from People where name = '" + name + "'").AsLong());
}

long CatalogueTest::AddTrip(const std::string& name) {
    Exec("insert into Trips( name, location, trip_date ) values( ?, '', '2004-07-01' )", {WDataValue(name)});
    const long id = static_cast<long>(Value("select id from Trips where name = '" + name + "'").AsLong());
    Exec("insert into TripDays( day_num, trip ) values( 1, ? )", {WDataValue(id)});
    return id;
}

void CatalogueTest::AddTraveller(long trip, long person) {
    Exec("insert into TripPeople( person, trip ) values( ?, ? )", {WDataValue(person), WDataValue(trip)});
}

void CatalogueTest::AddGuest(long trip, long person) {
    const WDataValue day = Value("select id from TripDays where trip = " + std::to_string(trip));
    Exec("insert into DayFoodStops( trip_day, food_stop ) values( ?, 1 )", {day});
    Exec("insert into MealPeople( person, day_stop ) values( ?, ( select max( id ) from DayFoodStops ) )",
         {WDataValue(person)});
}

std::string CatalogueTest::PersonColumn(long id, const std::string& column) {
    return Value("select " + column + " from People where id = " + std::to_string(id)).AsText();
}
