#include "trips/WinTripWizardDetails.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"

using namespace TripWizardTables;

namespace {

constexpr int kHelpTripWizard = 119;
constexpr long kMinDays = 1;
constexpr long kMaxDays = 299;   // the arrows reach 100; longer trips are typed
constexpr const char* kSavepoint = "trip_wizard_details";

// Leading blanks are skipped; a text without a number reads as 0.
long ReadWholeNumber(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

}  // namespace

int WinTripWizardDetails::Show(WWindow* parent) {
    WinTripWizardDetails page;
    return page.Open(parent);
}

int WinTripWizardDetails::Open(WWindow* parent) {
    result_ = -1;
    OpenModal(parent);
    return result_;
}

void WinTripWizardDetails::SetUpNumDays() {
    textb_NumDays->SetDigitsOnly(true);
    updown_NumDays->SetBuddy(textb_NumDays);
    updown_NumDays->SetRange(1, 100);
    updown_NumDays->SetPosition(1);
    updown_NumDays->SetWrap(true);
}

void WinTripWizardDetails::SetDefaults() {
    SetUpNumDays();
    pictb_1->SetPicture(":/pictures/tripwizard.png");
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    WinStart::FormatDate(startDate_, today.tm_year + 1900, today.tm_mon + 1, today.tm_mday, false);
    // Wide enough for the longest month's date, whichever date the picker gives.
    std::vector<std::string> dates;
    for (int month = 1; month <= 12; ++month) {
        std::string text;
        dates.push_back(WinStart::FormatDate(text, today.tm_year + 1900, month, 28, true));
    }
    textb_Date->KeepWidthFor(dates);
    ShowLongDate();
    textb_NumDays->SetText("3");
    std::string name = "new_trip";
    if (MainWindow) MainWindow->MakeUniqueValue(name, Trips(), "name");
    textb_Name->SetText(name);
}

void WinTripWizardDetails::ShowLongDate() {
    int year = 0, month = 0, day = 0;
    std::sscanf(startDate_.c_str(), "%d-%d-%d", &year, &month, &day);
    std::string text;
    textb_Date->SetText(WinStart::FormatDate(text, year, month, day, true));
}

bool WinTripWizardDetails::OnDate(WEventData&) {
    datePicker_.Pick(this, &startDate_);
    ShowLongDate();   // whatever the picker answered
    return false;
}

bool WinTripWizardDetails::OnOK(WEventData&) {
    const long days = ReadWholeNumber(textb_NumDays->GetText());
    if (days < kMinDays || days > kMaxDays) {
        MessageBox(this, "Invalid number of days",
                   "You must specify a trip length of one or\r\nmore days, and less than 300 days",
                   WMessageIcon::Stop, WMessageButtons::OK);
        return true;
    }
    if (!MainWindow) return true;
    MainWindow->EnsureUniqueName(textb_Name, Trips(), "trip", -1);
    result_ = InsertTrip(days);
    Close();
    return true;
}

int WinTripWizardDetails::InsertTrip(long days) {
    WinStart& main = *MainWindow;
    const std::string name = textb_Name->GetText();
    std::string escapedName = name;
    std::string escapedLocation = textb_Location->GetText();
    WinStart::EscapeSQL(escapedName);
    WinStart::EscapeSQL(escapedLocation);

    // A trip whose row or any of whose days did not go in is not a created trip: the
    // savepoint takes back whatever did.
    long tripId = -1;
    const bool ok = main.RunAsOneUnit(kSavepoint, [&] {
        if (!main.ExecSQL(Sql("insert into %s( name, location, trip_date ) values( '%s', '%s', '%s' )", Trips(),
                              escapedName.c_str(), escapedLocation.c_str(), startDate_.c_str())))
            return false;
        tripId = main.FindIdByValue(Trips(), "name", name, -1);
        bool written = tripId != -1;
        for (long day = 1; written && day <= days; ++day)
            written = main.ExecSQL(Sql("insert into %s( day_num, trip ) values( %d, %d )", TripDays(),
                                       static_cast<int>(day), static_cast<int>(tripId)));
        return written;
    });
    return ok ? static_cast<int>(tripId) : -1;
}

bool WinTripWizardDetails::OnCancel(WEventData&) {
    Close();
    return true;
}

bool WinTripWizardDetails::OnHelp(WEventData&) {
    if (MainWindow) MainWindow->ShowHelp(kHelpTripWizard);
    return true;
}
