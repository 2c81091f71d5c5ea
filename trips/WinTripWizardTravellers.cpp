#include "trips/WinTripWizardTravellers.h"

#include <string>
#include <vector>

#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"

using namespace TripWizardTables;

namespace {

constexpr int kHelpTripTravelers = 123;
constexpr const char* kSavepoint = "trip_travellers";

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

bool WinTripWizardTravellers::Show(WWindow* parent, int tripId, bool wizardMode) {
    WinTripWizardTravellers page;
    return page.Open(parent, tripId, wizardMode);
}

bool WinTripWizardTravellers::Open(WWindow* parent, int tripId, bool wizardMode) {
    tripId_ = tripId;
    result_ = false;
    wizardMode_ = wizardMode;
    OpenModal(parent);
    return result_;
}

void WinTripWizardTravellers::LoadTravellers() {
    lb_People->SetSorted(true);
    lb_Travellers->SetSorted(true);
    lb_People->SetDragName("list");
    lb_Travellers->SetDragName("sel");
    lb_People->AcceptDropsFrom("sel");
    lb_Travellers->AcceptDropsFrom("list");
    pictb_1->SetPicture(":/pictures/people.png");

    selData_.Init(false);
    startingTravellers_.clear();
    for (long row = 0; row < query_People->GetNumRows(); ++row)
        selData_.AddItem(query_People->GetValue(row, 1).AsText(),
                         static_cast<std::int32_t>(query_People->GetValue(row, 0).AsLong()), 0, false);
    query_Gen->SetSQL(Sql("select person from %s where trip = %d", TripPeople(), tripId_));
    if (query_Gen->Open()) {
        for (long row = 0; row < query_Gen->GetNumRows(); ++row) {
            const auto person = static_cast<std::int32_t>(query_Gen->GetValue(row, 0).AsLong());
            startingTravellers_.insert(person);
            selData_.AddSelected(person, 0);
        }
    }
    query_Gen->Close();
    selLists_.Fill(lb_Travellers, lb_People, selData_, "person", this, nullptr);
    if (!wizardMode_) SetText("Edit Trip Travelers");
}

bool WinTripWizardTravellers::OnListDoubleClick(WEventData& event) {
    selLists_.DoubleClick(event);
    return false;
}

bool WinTripWizardTravellers::OnListBeginDrag(WEventData& event) {
    selLists_.BeginDrag(event);
    return false;
}

bool WinTripWizardTravellers::OnListDragMove(WEventData& event) {
    selLists_.DragMove(event);
    return false;
}

bool WinTripWizardTravellers::OnListDrop(WEventData& event) {
    selLists_.Drop(event);
    return false;
}

bool WinTripWizardTravellers::OnListEndDrag(WEventData& event) {
    selLists_.EndDrag(event);
    return false;
}

bool WinTripWizardTravellers::OnAdd(WEventData&) {
    selLists_.Add();
    return false;
}

bool WinTripWizardTravellers::OnRemove(WEventData&) {
    selLists_.Remove();
    return false;
}

bool WinTripWizardTravellers::OnClearAll(WEventData&) {
    selLists_.ClearAll();
    return false;
}

bool WinTripWizardTravellers::OnAddPerson(WEventData&) {
    const std::string name = TrimBlanks(textb_Person->GetText());
    if (name.empty()) {
        MessageBox(this, "Blank name", "You must specify a name for the person before adding them",
                   WMessageIcon::Stop, WMessageButtons::OK);
        return false;
    }
    WinStart& main = *MainWindow;
    if (main.FindIdByValue(People(), "name", name, -1) != -1) {
        MessageBox(this, "Name already used", "There already is a person with this name. Enter a different name",
                   WMessageIcon::Stop, WMessageButtons::OK);
        return false;
    }
    std::string escaped = name;
    main.ExecSQL(Sql("insert into %s( name ) values( '%s' )", People(), WinStart::EscapeSQL(escaped).c_str()));
    const long person = main.FindIdByValue(People(), "name", name, -1);
    if (person == -1) return false;

    const int item = selData_.AddItem(name, static_cast<std::int32_t>(person), 0, false);
    const int entry = lb_People->AddItem(name, selData_.ItemKey(item).value_or(0));
    lb_People->SetSelected(entry);
    selLists_.Add();
    return false;
}

bool WinTripWizardTravellers::OnOK(WEventData&) {
    result_ = SaveTravellers();
    Close();
    return true;
}

std::vector<long> WinTripWizardTravellers::TripStops() {
    std::vector<long> stops;
    query_DayFoodStops->ClearParameters();
    query_DayFoodStops->SetParameter(1, WDataValue(tripId_));
    if (query_DayFoodStops->Open())
        for (long row = 0; row < query_DayFoodStops->GetNumRows(); ++row)
            stops.push_back(static_cast<long>(query_DayFoodStops->GetValue(row, 0).AsLong()));
    query_DayFoodStops->Close();
    return stops;
}

bool WinTripWizardTravellers::SaveTravellers() {
    WinStart& main = *MainWindow;
    // The old travellers go only when every new row is in: a failure half way would leave the
    // trip with some of its travellers, or guests who are no longer travellers.
    return main.RunAsOneUnit(kSavepoint, [&] {
        const std::vector<long> stops = wizardMode_ ? std::vector<long>{} : TripStops();
        return (wizardMode_ || main.ExecSQL(Sql("delete from %s where trip = %d", TripPeople(), tripId_))) &&
               WriteTravellers(stops) && (wizardMode_ || RemoveFormerTravellersFromGuests(stops));
    });
}

bool WinTripWizardTravellers::WriteTravellers(const std::vector<long>& tripStops) {
    WinStart& main = *MainWindow;
    for (int i = 0; i < selLists_.SelectedCount(); ++i) {
        const int person = selLists_.SelectedId(i);
        if (!main.ExecSQL(Sql("insert into %s( person, trip ) values( %d, %d )", TripPeople(), person, tripId_)))
            return false;
        if (wizardMode_ || startingTravellers_.count(person) || !AskToAddAsGuest(i)) continue;
        for (long stop : tripStops)
            if (!main.ExecSQL(Sql("insert into %s( person, day_stop ) values( %d, %d )", MealPeople(), person,
                                  static_cast<int>(stop))))
                return false;
    }
    return true;
}

bool WinTripWizardTravellers::AskToAddAsGuest(int chosenIndex) {
    const std::string name = lb_Travellers->GetItemText(chosenIndex);
    const std::string text =
        Sql("The %s '%s' is is not yet part of this %s.\r\n\r\nWould you like to add them to every meal in this %s?\r\n",
            "traveller", name.c_str(), "trip", "trip");
    return MessageBox(this, "New trip traveller", text, WMessageIcon::Exclamation, WMessageButtons::YesNo) ==
           WMessageAnswer::Yes;
}

bool WinTripWizardTravellers::RemoveFormerTravellersFromGuests(const std::vector<long>& tripStops) {
    if (tripStops.empty()) return true;
    std::string stopList;
    for (long stop : tripStops) stopList += (stopList.empty() ? "" : ", ") + std::to_string(stop);
    WinStart& main = *MainWindow;
    for (int j = 0; j < selLists_.AvailableCount(); ++j) {
        const int person = selLists_.AvailableId(j);
        if (!startingTravellers_.count(person)) continue;
        // Only this trip's stops: the person stays a guest on other trips.
        if (!main.ExecSQL(Sql("delete from %s where person = %d and day_stop in ( %s )", MealPeople(), person,
                              stopList.c_str())))
            return false;
    }
    return true;
}

bool WinTripWizardTravellers::OnCancel(WEventData&) {
    Close();
    return true;
}

bool WinTripWizardTravellers::OnHelp(WEventData&) {
    if (MainWindow) MainWindow->ShowHelp(kHelpTripTravelers);
    return true;
}
