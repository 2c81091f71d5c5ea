// The trip editor through WinEditTrip::Edit: the save step before every way out but the close
// box, the unique name, the date button, and what stamps the trip's modified column.

#include <functional>
#include <string>

#include "platform/forms/WControls.h"
#include "platform/forms/WDateControl.h"
#include "tests/trips/TripWizardTest.h"
#include "trips/WinEditTrip.h"

namespace {

class EditTripTest : public TripWizardTest {
protected:
    void SetUp() override {
        TripWizardTest::SetUp();
        tripId = AddTrip("Lake", 2);
        AddTrip("River", 1);
        Exec("update Trips set location = 'North', trip_date = '2004-07-04' where id = " + std::to_string(tripId));
    }

    void Edit(const std::function<void(WForm&)>& steps) {
        ModalTakeOver::Expect("WinEditTrip", steps);
        WinEditTrip editor;
        editor.Edit(&main, static_cast<int>(tripId));
    }
    std::string Column(const std::string& column) {
        return Value("select " + column + " from Trips where id = " + std::to_string(tripId)).AsText();
    }
    static void Type(WForm& form, const char* box, const std::string& text) {
        form.Control<WTextBox>(box)->SetText(text);
    }
    static void Click(WForm& form, const char* button) { form.Control<WCommandButton>(button)->Click(); }
    static void PickDate(bool ok, int year = 2005, int month = 1, int day = 9) {
        ModalTakeOver::Expect("WinDatePicker", [=](WForm& form) {
            auto* date = form.Control<WDateControl>("ctDate_Date");
            date->SetYear(year);
            date->SetMonth(month);
            date->SetDay(day);
            Click(form, ok ? "cb_Ok" : "cb_Cancel");
        });
    }

    long tripId = -1;
};

TEST_F(EditTripTest, ShowsTheTripWithItsLongDate) {
    Edit([](WForm& form) {
        EXPECT_EQ(form.Control<WTextBox>("textb_Name")->GetText(), "Lake");
        EXPECT_EQ(form.Control<WTextBox>("textb_Location")->GetText(), "North");
        EXPECT_EQ(form.Control<WTextBox>("textb_DateFmt")->GetText(), "July 04, 2004");
        EXPECT_FALSE(form.Control<WTextBox>("textb_Date")->GetVisible());
        Click(form, "cb_Close");
    });
    EXPECT_TRUE(Column("modified").empty());   // nothing changed: no stamp
}

TEST_F(EditTripTest, CloseWritesTheRowAndStampsIt) {
    Edit([](WForm& form) {
        Type(form, "textb_Name", "Lake tour");
        Type(form, "textb_Location", "South");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(Column("name"), "Lake tour");
    EXPECT_EQ(Column("location"), "South");
    EXPECT_EQ(Column("trip_date"), "2004-07-04");
    EXPECT_FALSE(Column("modified").empty());
}

TEST_F(EditTripTest, ATakenNameBecomesTheFirstFreeOneWithItsMessage) {
    Edit([](WForm& form) {
        Type(form, "textb_Name", "RIVER");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(Column("name"), "RIVER_01");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Name already exists");
    EXPECT_EQ(prompter.Messages()[0].text,
              "A trip with this same name already exists.\r\nThe name has been changed to 'RIVER_01'.");
    EXPECT_FALSE(Column("modified").empty());
}

TEST_F(EditTripTest, TheCloseBoxWritesNothingAndStampsNothing) {
    Edit([](WForm& form) {
        Type(form, "textb_Name", "River");
        LeaveForm(form, Leave::CloseBox);
    });
    EXPECT_EQ(Column("name"), "Lake");
    EXPECT_TRUE(Column("modified").empty());
    EXPECT_TRUE(prompter.Messages().empty());
}

// The date is written at once, but a typed name waits for the save step and its unique-name
// rule: the date button never writes a name that another trip has.
TEST_F(EditTripTest, TheDateButtonWritesTheDateOnly) {
    PickDate(true);
    std::string longDate;
    Edit([&](WForm& form) {
        Type(form, "textb_Name", "River");
        Click(form, "cb_Date");
        longDate = form.Control<WTextBox>("textb_DateFmt")->GetText();
        LeaveForm(form, Leave::CloseBox);
    });
    EXPECT_EQ(longDate, "January 09, 2005");
    EXPECT_EQ(Column("trip_date"), "2005-01-09");
    EXPECT_EQ(Column("name"), "Lake");
    EXPECT_EQ(Count("Trips", "name = 'River'"), 1);
    EXPECT_TRUE(Column("modified").empty());
}

TEST_F(EditTripTest, ACancelledDatePickerKeepsTheDateButCloseStillStamps) {
    PickDate(false);
    Edit([](WForm& form) {
        Click(form, "cb_Date");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(Column("trip_date"), "2004-07-04");
    EXPECT_FALSE(Column("modified").empty());
}

TEST_F(EditTripTest, NotesAloneDoNotStampTheTrip) {
    ModalTakeOver::Expect("WinNotes", [](WForm& form) {
        Type(form, "textb_Notes", "bring a map");
        Click(form, "cb_OK");
    });
    Edit([](WForm& form) {
        Click(form, "cb_Notes");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(Column("notes"), "bring a map");
    EXPECT_TRUE(Column("modified").empty());
}

// Every form opened from the editor sees the trip as the editor shows it.
TEST_F(EditTripTest, TheDaysButtonSavesBeforeItOpensTheDays) {
    std::string shownTrip;
    ModalTakeOver::Expect("WinTripDays", [&](WForm& form) {
        shownTrip = form.Control<WTextBox>("textb_Trip")->GetText();
        Click(form, "cb_Close");
    });
    Edit([](WForm& form) {
        Type(form, "textb_Name", "river");
        Click(form, "cb_Days");
        LeaveForm(form, Leave::CloseBox);
    });
    EXPECT_EQ(shownTrip, "river_01");
    EXPECT_EQ(Column("name"), "river_01");
}

TEST_F(EditTripTest, TheTravellersButtonOpensTheEditModeDialog) {
    std::string caption;
    ModalTakeOver::Expect("WinTripWizardTravellers", [&](WForm& form) {
        caption = form.GetWindow()->windowTitle().toStdString();
        Click(form, "cb_Cancel");
    });
    Edit([](WForm& form) {
        Click(form, "cb_Travellers");
        Click(form, "cb_Close");
    });
    EXPECT_EQ(caption, "Edit Trip Travelers");
}

}  // namespace
