#include "trips/WinTripDays.h"

#include <cstdlib>
#include <string>

#include "shell/CascadeDelete.h"
#include "shell/WinStart.h"
#include "trips/TripWizardTables.h"

using namespace TripWizardTables;

namespace {
constexpr int kHelpTripDays = 122;
constexpr int kDateColumn = 1;
constexpr int kDayIdColumn = 4;
constexpr int kDayNumColumn = 5;
const char* const kNoun = "trip day";
}  // namespace

void WinTripDays::Open(WWindow* parent, int tripId) {
    tripId_ = tripId;
    OpenModal(parent);
}

void WinTripDays::LoadDays() {
    for (int column = 0; const int width : {80, 120, 90, 175, 0, 0})
        grid_TripDays->SetColumnWidth(column++, width);
    grid_TripDays->SetReadOnly(true);
    parameter_ = WDataValue(static_cast<long>(tripId_));
    query_TripDays->SetParameter(1, parameter_);
    query_Trip->SetParameter(1, parameter_);
    binding_Trip->Load();
    Refresh(-1);
}

void WinTripDays::Refresh(long dayId) {
    query_TripDays->Close();
    query_TripDays->Open();
    grid_TripDays->Refresh();
    WinStart& main = *MainWindow;
    if (dayId == -1) {
        if (grid_TripDays->GetNumRows() > 0) main.SelectRow(grid_TripDays, 0);
        return;
    }
    const long row = main.FindRowById(grid_TripDays, kDayIdColumn, dayId);
    if (row != -1) main.SelectRow(grid_TripDays, row);
}

long WinTripDays::DayIdOf(long row) const {
    return std::strtol(grid_TripDays->GetCellText(row, kDayIdColumn).c_str(), nullptr, 10);
}

long WinTripDays::DayNumOf(long row) const {
    return std::strtol(grid_TripDays->GetCellText(row, kDayNumColumn).c_str(), nullptr, 10);
}

void WinTripDays::OpenDayStops() {
    const long row = MainWindow->GetSelectedRow(grid_TripDays, kNoun);
    if (row == -1) return;
    const long dayId = DayIdOf(row);
    Refresh(dayId);
}

long WinTripDays::ReadMax(const std::string& statement) {
    query_Gen->SetSQL(statement);
    long value = 0;
    if (query_Gen->Open() && query_Gen->GetNumRows() > 0)
        value = static_cast<long>(query_Gen->GetValue(0, 0).AsLong());
    query_Gen->Close();
    return value;
}

void WinTripDays::AddDay() {
    bool atEnd = true;
    if (!newTripDay_.Open(this, &atEnd)) return;
    WinStart& main = *MainWindow;
    const long newId = ReadMax(Sql("select max( id ) from %s", TripDays())) + 1;
    const long lastDay = ReadMax(Sql("select max( day_num ) from %s where trip = %d", TripDays(), tripId_));
    // At the beginning every day moves one on first: the numbers never show a gap or a double.
    main.RunAsOneUnit("trip_day_add", [&] {
        if (atEnd)
            return main.ExecSQL(Sql("insert into %s( id, trip, day_num ) values( %ld, %d, %ld )", TripDays(),
                                    newId, tripId_, lastDay + 1));
        return main.ExecSQL(Sql("update %s set day_num = day_num + 1 where trip = %d", TripDays(), tripId_)) &&
               main.ExecSQL(Sql("insert into %s( id, trip, day_num ) values( %ld, %d, 1 )", TripDays(), newId,
                                tripId_));
    });
    Refresh(newId);
}

void WinTripDays::DeleteDay() {
    WinStart& main = *MainWindow;
    const long row = main.GetSelectedRow(grid_TripDays, kNoun);
    if (row == -1) return;
    const std::string dayNum = grid_TripDays->GetCellText(row, kDayNumColumn);
    const std::string text = Sql("Are you sure you want to remove %s # %s (%s) from the trip?\r\n"
                                 "This will also delete all trip stops and meals you have set for this trip day.",
                                 kNoun, dayNum.c_str(), grid_TripDays->GetCellText(row, kDateColumn).c_str());
    if (MessageBox(this, "Remove Trip Day?", text, WMessageIcon::Question, WMessageButtons::OKCancel) !=
        WMessageAnswer::OK)
        return;
    const long dayId = DayIdOf(row);
    // The day goes with its renumbering or not at all.
    const bool deleted = main.RunAsOneUnit("trip_day_delete", [&] {
        return CascadeDelete(main.FindTableSchema(TripDays()), 0, dayId, main.GetTransaction(), true, false) &&
               main.ExecSQL(Sql("update %s set day_num = day_num - 1 where trip = %d and day_num > %s", TripDays(),
                                tripId_, std::to_string(DayNumOf(row)).c_str()));
    });
    Refresh(-1);
    if (deleted) main.TouchModified(Trips(), tripId_);
}

void WinTripDays::MoveDay(int step) {
    WinStart& main = *MainWindow;
    const long row = main.GetSelectedRow(grid_TripDays, kNoun);
    if (row == -1) return;
    const long other = row + step;
    if (other < 0 || other >= grid_TripDays->GetNumRows()) {
        if (step < 0)
            MessageBox(this, "Cannot move trip day up", "The selected trip day is already the first one",
                       WMessageIcon::Exclamation, WMessageButtons::OK);
        else
            MessageBox(this, "Cannot move trip day down", "The selected trip day is already the last one",
                       WMessageIcon::Exclamation, WMessageButtons::OK);
        return;
    }
    const long dayId = DayIdOf(row), otherId = DayIdOf(other);
    const long dayNum = DayNumOf(row), otherNum = DayNumOf(other);
    // The two days swap numbers together: half a swap would leave two days with one number.
    const bool moved = main.RunAsOneUnit("trip_day_move", [&] {
        const char* format = "update %s set day_num = %ld where id = %ld";
        return main.ExecSQL(Sql(format, TripDays(), otherNum, dayId)) &&
               main.ExecSQL(Sql(format, TripDays(), dayNum, otherId));
    });
    Refresh(dayId);
    if (moved) main.TouchModified(Trips(), tripId_);
}

void WinTripDays::EditNotes() {
    const long row = MainWindow->GetSelectedRow(grid_TripDays, kNoun);
    if (row == -1) return;
    const long dayId = DayIdOf(row);
    const std::string name = Sql("trip day %s", grid_TripDays->GetCellText(row, kDateColumn).c_str());
    if (notes_.Edit(this, TripDays(), dayId, name, false, false)) Refresh(dayId);
}

bool WinTripDays::OnMeals(WEventData&) {
    OpenDayStops();
    return true;
}

bool WinTripDays::OnPopupMeals(WEventData&) {
    OpenDayStops();
    return true;
}

bool WinTripDays::OnDaysDoubleClick(WEventData& event) {
    if (event.row != kNoRow) OpenDayStops();
    return false;
}

bool WinTripDays::OnAdd(WEventData&) {
    AddDay();
    return true;
}

bool WinTripDays::OnPopupAdd(WEventData&) {
    AddDay();
    return true;
}

bool WinTripDays::OnDelete(WEventData&) {
    DeleteDay();
    return true;
}

bool WinTripDays::OnPopupDelete(WEventData&) {
    DeleteDay();
    return true;
}

bool WinTripDays::OnMoveUp(WEventData&) {
    MoveDay(-1);
    return true;
}

bool WinTripDays::OnPopupMoveUp(WEventData&) {
    MoveDay(-1);
    return true;
}

bool WinTripDays::OnMoveDown(WEventData&) {
    MoveDay(+1);
    return true;
}

bool WinTripDays::OnPopupMoveDown(WEventData&) {
    MoveDay(+1);
    return true;
}

bool WinTripDays::OnNotes(WEventData&) {
    EditNotes();
    return true;
}

bool WinTripDays::OnPopupNotes(WEventData&) {
    EditNotes();
    return true;
}

bool WinTripDays::OnCloseButton(WEventData&) {
    PostClose();
    return true;
}

bool WinTripDays::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kHelpTripDays);
    return true;
}

bool WinTripDays::OnDaysLeftButtonUp(WEventData&) {
    MainWindow->PostGridRelayout(grid_TripDays);
    return false;
}

bool WinTripDays::OnDaysRightButtonUp(WEventData& event) {
    MainWindow->SelectRowAtPoint(grid_TripDays, event);
    return false;
}

bool WinTripDays::OnDaysUserEvent(WEventData&) {
    MainWindow->UpdateGridScrollBar(grid_TripDays);
    return false;
}
