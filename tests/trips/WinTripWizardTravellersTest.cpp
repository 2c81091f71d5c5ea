// The travellers page, in the wizard and in the trip editor's edit mode: the two lists, new
// people, the travellers and the meal guests as written.

#include <gtest/gtest.h>

#include <set>

#include "platform/forms/WForm.h"
#include "platform/forms/WListBox.h"
#include "tests/trips/TripWizardTest.h"
#include "trips/WinTripWizardTravellers.h"

namespace {

WListBox* List(WForm& form, const char* name) { return form.Control<WListBox>(name); }
void Click(WForm& form, const char* name) { form.Control<WCommandButton>(name)->Click(); }

std::vector<std::string> Entries(WListBox* list) {
    std::vector<std::string> names;
    for (int i = 0; i < list->GetCount(); ++i) names.push_back(list->GetItemText(i));
    return names;
}

// Moves a person from the right list to the left one (or back) with the buttons.
void Choose(WForm& form, const std::string& name) {
    WListBox* people = List(form, "lb_People");
    people->SetSelected(people->FindText(name));
    Click(form, "cb_Add");
}
void Unchoose(WForm& form, const std::string& name) {
    WListBox* travellers = List(form, "lb_Travellers");
    travellers->SetSelected(travellers->FindText(name));
    Click(form, "cb_Remove");
}
void AddNewPerson(WForm& form, const std::string& typed) {
    form.Control<WTextBox>("textb_Person")->SetText(typed);
    Click(form, "cb_AddPerson");
}

class WinTripWizardTravellersTest : public TripWizardTest {
protected:
    std::set<std::string> Travellers(long trip) {
        return Names("select People.name from TripPeople join People on People.id = TripPeople.person "
                     "where TripPeople.trip = " + std::to_string(trip));
    }
    // The guests of the trip's stops, one "name@stop" each.
    std::multiset<std::string> Guests(long trip) {
        WQuery query(main.transaction_KVO.get());
        query.SetSQL("select People.name, MealPeople.day_stop from MealPeople join People on People.id = MealPeople.person "
                     "join DayFoodStops on DayFoodStops.id = MealPeople.day_stop "
                     "join TripDays on TripDays.id = DayFoodStops.trip_day where TripDays.trip = " + std::to_string(trip));
        EXPECT_TRUE(query.Open()) << query.LastError();
        std::multiset<std::string> guests;
        for (long row = 0; row < query.GetNumRows(); ++row)
            guests.insert(query.GetValue(row, 0).AsText() + "@" + query.GetValue(row, 1).AsText());
        return guests;
    }
    std::set<std::string> Names(const std::string& sql) {
        WQuery query(main.transaction_KVO.get());
        query.SetSQL(sql);
        EXPECT_TRUE(query.Open()) << query.LastError();
        std::set<std::string> names;
        for (long row = 0; row < query.GetNumRows(); ++row) names.insert(query.GetValue(row, 0).AsText());
        return names;
    }
    std::vector<long> AddStops(long trip, int perDay) {
        std::vector<long> stops;
        WQuery days(main.transaction_KVO.get());
        days.SetSQL("select id from TripDays where trip = " + std::to_string(trip) + " order by day_num");
        EXPECT_TRUE(days.Open());
        for (long row = 0; row < days.GetNumRows(); ++row)
            for (int stop = 1; stop <= perDay; ++stop) {
                Exec("insert into DayFoodStops( trip_day, food_stop ) values( " + days.GetValue(row, 0).AsText() + ", " +
                     std::to_string(stop) + " )");
                stops.push_back(static_cast<long>(Value("select max(id) from DayFoodStops").AsLong()));
            }
        return stops;
    }
    void AddTraveller(long trip, long person, const std::vector<long>& guestAt) {
        Exec("insert into TripPeople( person, trip ) values( " + std::to_string(person) + ", " + std::to_string(trip) + " )");
        for (long stop : guestAt)
            Exec("insert into MealPeople( person, day_stop ) values( " + std::to_string(person) + ", " +
                 std::to_string(stop) + " )");
    }
    static std::multiset<std::string> GuestsAt(const std::string& name, const std::vector<long>& stops) {
        std::multiset<std::string> guests;
        for (long stop : stops) guests.insert(name + "@" + std::to_string(stop));
        return guests;
    }
};

TEST_F(WinTripWizardTravellersTest, WizardModeListsEveryoneSortedAndWritesTheChosen) {
    for (const char* name : {"Zoe", "anna", "Mike", "Bea"}) AddPerson(name);
    const long trip = AddTrip("Lakes", 2);
    std::vector<std::string> right, left;
    std::string caption;
    ModalTakeOver::Expect("WinTripWizardTravellers", [&](WForm& form) {
        caption = form.GetText();
        right = Entries(List(form, "lb_People"));
        left = Entries(List(form, "lb_Travellers"));
        Choose(form, "Zoe");
        Choose(form, "anna");
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), true));
    EXPECT_EQ(caption, "Trip Wizard: travelers (step 2 of 3)");
    EXPECT_EQ(right, (std::vector<std::string>{"anna", "Bea", "Mike", "Zoe"}));
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(Travellers(trip), (std::set<std::string>{"Zoe", "anna"}));
    EXPECT_EQ(Count("MealPeople"), 0);
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(WinTripWizardTravellersTest, OkWithNobodyChosenIsStillOk) {
    AddPerson("Bea");
    const long trip = AddTrip("Solo", 1);
    ModalTakeOver::Expect("WinTripWizardTravellers", [](WForm& form) { Click(form, "cb_OK"); });
    EXPECT_TRUE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), true));
    EXPECT_EQ(Count("TripPeople"), 0);
}

TEST_F(WinTripWizardTravellersTest, DoubleClicksAndDropsMoveBetweenTheLists) {
    for (const char* name : {"Al", "Bea", "Cy"}) AddPerson(name);
    const long trip = AddTrip("Moves", 1);
    std::vector<std::string> left;
    ModalTakeOver::Expect("WinTripWizardTravellers", [&](WForm& form) {
        WListBox* people = List(form, "lb_People");
        WListBox* travellers = List(form, "lb_Travellers");
        people->SetSelected(people->FindText("Cy"));
        WEventData doubleClick;
        doubleClick.id = DoubleClickEvent;
        people->Raise(doubleClick);
        people->SetSelected(people->FindText("Al"));
        WEventData drop;
        drop.id = DragDropEvent;
        drop.dragSource = people;
        travellers->Raise(drop);
        left = Entries(travellers);
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), true));
    EXPECT_EQ(left, (std::vector<std::string>{"Al", "Cy"}));
    EXPECT_EQ(Travellers(trip), (std::set<std::string>{"Al", "Cy"}));
}

TEST_F(WinTripWizardTravellersTest, ANewPersonIsStoredTrimmedAndChosenAtOnce) {
    AddPerson("Bea");
    const long trip = AddTrip("Newcomers", 1);
    std::vector<std::string> left, right;
    ModalTakeOver::Expect("WinTripWizardTravellers", [&](WForm& form) {
        AddNewPerson(form, "  Dora Quinn \t");
        AddNewPerson(form, "dora quinn");   // the same name, whatever the case
        AddNewPerson(form, "   ");
        AddNewPerson(form, "Eli");
        Unchoose(form, "Eli");   // stays a person, but is no traveller
        left = Entries(List(form, "lb_Travellers"));
        right = Entries(List(form, "lb_People"));
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), true));
    EXPECT_EQ(left, (std::vector<std::string>{"Dora Quinn"}));
    EXPECT_EQ(right, (std::vector<std::string>{"Bea", "Eli"}));
    EXPECT_EQ(Names("select name from People"), (std::set<std::string>{"Bea", "Dora Quinn", "Eli"}));
    EXPECT_EQ(Travellers(trip), (std::set<std::string>{"Dora Quinn"}));
    EXPECT_EQ(Value("select appetite from People where name = 'Eli'").AsDouble(), 1.0);
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Name already used");
    EXPECT_EQ(shown[0].text, "There already is a person with this name. Enter a different name");
    EXPECT_EQ(shown[0].icon, WMessageIcon::Stop);
    EXPECT_EQ(shown[1].caption, "Blank name");
    EXPECT_EQ(shown[1].text, "You must specify a name for the person before adding them");
    EXPECT_EQ(shown[1].icon, WMessageIcon::Stop);
}

class TravellersLeaveTest : public WinTripWizardTravellersTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(TravellersLeaveTest, WritesNoTravellerButKeepsNewPeople) {
    AddPerson("Bea");
    const long trip = AddTrip("Abandoned", 1);
    ModalTakeOver::Expect("WinTripWizardTravellers", [](WForm& form) {
        Choose(form, "Bea");
        AddNewPerson(form, "Cal");
        LeaveForm(form, GetParam());
    });
    EXPECT_FALSE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), true));
    EXPECT_EQ(Count("TripPeople"), 0);
    EXPECT_EQ(Count("People", "name = 'Cal'"), 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, TravellersLeaveTest,
                         ::testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const auto& info) { return std::string(ToString(info.param)); });

// Edit mode on a trip of 2 days with 2 stops each; Ann and Ben travel and eat everywhere, and
// Ben also travels on another trip.
class TravellersEditTest : public WinTripWizardTravellersTest {
protected:
    void SetUp() override {
        WinTripWizardTravellersTest::SetUp();
        ann = AddPerson("Ann");
        ben = AddPerson("Ben");
        AddPerson("Cat");
        AddPerson("Dan");
        trip = AddTrip("Edited", 2);
        stops = AddStops(trip, 2);
        AddTraveller(trip, ann, stops);
        AddTraveller(trip, ben, stops);
        otherTrip = AddTrip("Other", 1);
        otherStops = AddStops(otherTrip, 1);
        AddTraveller(otherTrip, ben, otherStops);
    }
    long ann = 0, ben = 0, trip = 0, otherTrip = 0;
    std::vector<long> stops, otherStops;
};

TEST_F(TravellersEditTest, KeepsTheGuestsInStepWithTheTravellers) {
    std::vector<std::string> left;
    std::string caption;
    ModalTakeOver::Expect("WinTripWizardTravellers", [&](WForm& form) {
        caption = form.GetText();
        left = Entries(List(form, "lb_Travellers"));
        Unchoose(form, "Ben");
        Choose(form, "Cat");
        Choose(form, "Dan");
        Click(form, "cb_OK");
    });
    prompter.Answer(WMessageAnswer::Yes);   // Cat: a guest everywhere
    prompter.Answer(WMessageAnswer::No);    // Dan: a traveller only
    EXPECT_TRUE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), false));

    EXPECT_EQ(caption, "Edit Trip Travelers");
    EXPECT_EQ(left, (std::vector<std::string>{"Ann", "Ben"}));
    EXPECT_EQ(Travellers(trip), (std::set<std::string>{"Ann", "Cat", "Dan"}));
    std::multiset<std::string> expected = GuestsAt("Ann", stops);
    expected.merge(GuestsAt("Cat", stops));
    EXPECT_EQ(Guests(trip), expected);
    EXPECT_EQ(Travellers(otherTrip), (std::set<std::string>{"Ben"}));
    EXPECT_EQ(Guests(otherTrip), GuestsAt("Ben", otherStops));

    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "New trip traveller");
    EXPECT_EQ(shown[0].text,
              "The traveller 'Cat' is is not yet part of this trip.\r\n\r\nWould you like to add them to every meal in this trip?\r\n");
    EXPECT_EQ(shown[0].icon, WMessageIcon::Exclamation);
    EXPECT_EQ(shown[0].buttons, WMessageButtons::YesNo);
    EXPECT_NE(shown[1].text.find("'Dan'"), std::string::npos);
}

TEST_F(TravellersEditTest, ClearingEveryoneRemovesThemAsGuestsOfThisTripOnly) {
    ModalTakeOver::Expect("WinTripWizardTravellers", [](WForm& form) {
        Click(form, "cb_ClearAll");
        Click(form, "cb_OK");
    });
    EXPECT_TRUE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), false));
    EXPECT_TRUE(Travellers(trip).empty());
    EXPECT_TRUE(Guests(trip).empty());
    EXPECT_EQ(Guests(otherTrip), GuestsAt("Ben", otherStops));
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(TravellersEditTest, CancelChangesNothing) {
    ModalTakeOver::Expect("WinTripWizardTravellers", [](WForm& form) {
        Click(form, "cb_ClearAll");
        LeaveForm(form, Leave::CancelButton);
    });
    EXPECT_FALSE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), false));
    EXPECT_EQ(Travellers(trip), (std::set<std::string>{"Ann", "Ben"}));
    std::multiset<std::string> expected = GuestsAt("Ann", stops);
    expected.merge(GuestsAt("Ben", stops));
    EXPECT_EQ(Guests(trip), expected);
}

// A traveller row that the database refuses half way: the rewrite is taken back whole.
class TravellersFailureTest : public TravellersEditTest {
protected:
    TravellersFailureTest() {
        prepareScript =
            "CREATE TRIGGER no_dan BEFORE INSERT ON TripPeople "
            "WHEN (SELECT name FROM People WHERE id = NEW.person) = 'Dan' BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    }
};

TEST_F(TravellersFailureTest, EditModeKeepsTheOldTravellersAndGuests) {
    ModalTakeOver::Expect("WinTripWizardTravellers", [](WForm& form) {
        Unchoose(form, "Ben");
        Choose(form, "Cat");
        Choose(form, "Dan");
        Click(form, "cb_OK");
    });
    prompter.Answer(WMessageAnswer::Yes);   // Cat, asked before Dan's row is refused
    EXPECT_FALSE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), false));
    EXPECT_EQ(Travellers(trip), (std::set<std::string>{"Ann", "Ben"}));
    std::multiset<std::string> expected = GuestsAt("Ann", stops);
    expected.merge(GuestsAt("Ben", stops));
    EXPECT_EQ(Guests(trip), expected);
}

TEST_F(TravellersFailureTest, WizardModeAnswersFalseWithNoTraveller) {
    const long fresh = AddTrip("Fresh", 1);
    ModalTakeOver::Expect("WinTripWizardTravellers", [](WForm& form) {
        Choose(form, "Ann");
        Choose(form, "Dan");
        Click(form, "cb_OK");
    });
    EXPECT_FALSE(WinTripWizardTravellers::Show(nullptr, static_cast<int>(fresh), true));
    EXPECT_TRUE(Travellers(fresh).empty());
}

}  // namespace
