#include "shell/WinStart.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "catalogue/WinIngredients.h"
#include "exchange/WinClearDB.h"
#include "catalogue/WinConvert.h"
#include "catalogue/WinMeals.h"
#include "catalogue/WinMealCourses.h"
#include "exchange/WinExportTables.h"
#include "catalogue/WinPeople.h"
#include "exchange/WinDownloadFile.h"
#include "exchange/WinUpload.h"
#include "trips/WinEditTrip.h"
#include "shell/CascadeDelete.h"
#include "shell/FormatText.h"
#include "shell/TableSchema.h"
#include "shell/WinAbout.h"
#include "shell/WinFirstHelp.h"
#include "shell/WinOptions.h"
#include "trips/WinTripWizardDetails.h"
#include "trips/WinTripWizardDone.h"
#include "trips/WinTripWizardStops.h"
#include "trips/WinTripWizardTravellers.h"

WinStart* MainWindow = nullptr;
WinStart* AppMainForm = nullptr;
StartupOptions* TheOptions = nullptr;
const std::string* VersionText = nullptr;
const char* const SupportAddress = "support@kestavo.com";
const char* const MakerWebSite = "https://www.kestavo.com/";

namespace {

std::string MakeVersionText() {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", 3, 2);
    return text;
}

constexpr int TripIdColumn = 3;
constexpr int TripNameColumn = 0;

// The commands that touch the database wait for the start-up; Exit, Help topics and Web site
// work at once.
constexpr int DatabaseCommands[] = {1001, 1002, 1003, 1005, 1006, 1008, 1009, 1010, 1012, 1013,
                                    1017, 1018, 1019, 1020, 1022, 1023, 1024, 1025, 1028, 1032,
                                    10000, 10001, 10002, 10003};

}  // namespace

WinStart::WinStart()
    : versionText(MakeVersionText()),
      winIngredients(std::make_unique<WinIngredients>()),
      winPeople(std::make_unique<WinPeople>()),
      winEditTrip(std::make_unique<WinEditTrip>()),
      winConvert(std::make_unique<WinConvert>()),
      winMealCourses(std::make_unique<WinMealCourses>()),
      winDownloadFile(std::make_unique<WinDownloadFile>()),
      winUpload(std::make_unique<WinUpload>()),
      winClearDB(std::make_unique<WinClearDB>()),
      winOptions(std::make_unique<WinOptions>()),
      winAbout(std::make_unique<WinAbout>()),
      winFirstHelp(std::make_unique<WinFirstHelp>()) {
    MainWindow = this;
    VersionText = &versionText;
    // Registered after the generated destroy handler, so it runs first: the grid lets go of
    // its query before the controls go, and the connection ends with the window.
    SetEventHandler(DestroyEvent, this, &WinStart::OnDestroy, &destroyTable_);
}

WinStart::~WinStart() {
    RemoveEventHandlers(&destroyTable_);
    DestroyDataObjects();
    if (MainWindow == this) MainWindow = nullptr;
    if (TheOptions == &options) TheOptions = nullptr;
}

void WinStart::CreateDataObjects() {
    CreateReportControl();
    transaction_KVO = std::make_unique<WTransaction>();
    transaction_KVO->SetDataSource("Kestavo", "Kestavo", "TarveMolink");
    WTransaction::Register("WinStart::transaction_KVO", transaction_KVO.get());
    query_Trips = std::make_unique<WQuery>(transaction_KVO.get());
    query_GenQuery = std::make_unique<WQuery>(transaction_KVO.get());
    query_Gen2 = std::make_unique<WQuery>(transaction_KVO.get());
    query_GenQueryNoError = std::make_unique<WQuery>(transaction_KVO.get());
    query_GenQueryNoError->SetReportsFileFailures(false);
    query_Trips->SetSQL(
        "SELECT  Trips.name Name, Trips.location Location, DATEFORMAT( Trips.trip_date, "
        "'Mmm. dd, YYYY' ) \"Trip date\", id\nFROM Kestavo.Trips Trips\nORDER BY Trips.name\n");
    TheOptions = &options;
}

void WinStart::DestroyDataObjects() {
    ReleaseReportControl();
    if (grid_Trips) grid_Trips->SetDataSource(nullptr);
    for (auto* query : {&query_Trips, &query_GenQuery, &query_Gen2, &query_GenQueryNoError}) {
        if (*query) (*query)->Close();
        query->reset();
    }
    if (transaction_KVO) {
        transaction_KVO->Disconnect();
        WTransaction::Unregister("WinStart::transaction_KVO");
        transaction_KVO.reset();
    }
}

bool WinStart::OnDestroy(WEventData&) {
    DestroyDataObjects();
    return false;
}

// The hand-written part of the window's set-up, after the generated controls and menus.
void WinStart::SetupMainWindow() {
    pictbttn_Ingredients->SetPicture(":/pictures/ingredients.png");
    pictbttn_MenuItems->SetPicture(":/pictures/menuitems.png");
    pictbttn_Meals->SetPicture(":/pictures/meals.png");
    pictbttn_People->SetPicture(":/pictures/people.png");
    pictbttn_TripWizard->SetPicture(":/pictures/tripwizard.png");
    label_1->SetBold(true);
    SetIcon(":/pictures/kestavo.png");
    grid_Trips->SetReadOnly(true);
    CreateDataObjects();
    grid_Trips->SetDataSource(query_Trips.get());
    // Nothing may touch the database before the start-up has connected it.
    SetCommandsEnabled(false);
    starting_ = true;
    PostUserEvent(0);
}

void WinStart::SetCommandsEnabled(bool enabled) {
    for (int command : DatabaseCommands) {
        if (WMenuItem* item = menu_1->FindItem(command)) item->SetItemEnabled(enabled);
        if (WMenuItem* item = popup_Trips->FindItem(command)) item->SetItemEnabled(enabled);
    }
    const std::initializer_list<WWindow*> buttons = {pictbttn_Ingredients, pictbttn_MenuItems, pictbttn_Meals,
                                                     pictbttn_People,      pictbttn_TripWizard, cb_Edit,
                                                     cb_Add,               cb_Delete,           cb_Report};
    for (WWindow* button : buttons) button->SetEnabled(enabled);
}

void WinStart::RefreshTrips(long tripId) {
    query_Trips->Close();
    query_Trips->Open();
    grid_Trips->Refresh();
    if (tripId != -1) {
        const long row = FindRowById(grid_Trips, TripIdColumn, tripId);
        if (row != -1) SelectRow(grid_Trips, row);
    } else if (grid_Trips->GetNumRows() > 0) {
        SelectRow(grid_Trips, 0);
    }
    grid_Trips->Show();
    PostGridRelayout(grid_Trips);
}

void WinStart::DeleteTrip() {
    const long row = GetSelectedRow(grid_Trips, "trip");
    if (row == -1) return;
    char text[1024];
    std::snprintf(text, sizeof text,
                  "Are you sure you want to delete the '%s' %s?\r\nThis will delete all the %ss "
                  "and related records as well\r\n(but not any food, such as meals or menu items).",
                  grid_Trips->GetCellText(row, TripNameColumn).c_str(), "trip", "trip stop");
    if (MessageBox(this, "Remove Trip?", text, WMessageIcon::Question,
                   WMessageButtons::OKCancel) != WMessageAnswer::OK)
        return;
    const long id = std::strtol(grid_Trips->GetCellText(row, TripIdColumn).c_str(), nullptr, 10);
    CascadeDelete(FindTableSchema("Trips"), 0, id, transaction_KVO.get(), true, false);
    RefreshTrips(-1);
}

void WinStart::AddTrip() {
    const int tripId = WinTripWizardDetails::Show(this);
    if (tripId == -1) return;
    bool completed = WinTripWizardTravellers::Show(this, tripId, true);
    if (completed) completed = WinTripWizardStops::Show(this, tripId);
    if (completed)
        WinTripWizardDone::Show(this);
    else
        CascadeDelete(FindTableSchema("Trips"), 0, tripId, transaction_KVO.get(), true, false);
    RefreshTrips(tripId);
}

bool WinStart::ApplyCookingMeasures() {
    static constexpr int Metric[] = {1, 1, 0};
    static constexpr int Imperial[] = {1, 0, 1};
    const int choice = options.cookingMeasure >= 0 && options.cookingMeasure <= 2
                           ? options.cookingMeasure
                           : 0;
    char statement[128];
    std::snprintf(statement, sizeof statement,
                  "update Measures set metric = %d, imperial = %d where cooking_measure = 1",
                  Metric[choice], Imperial[choice]);
    // The user asked for no change here: a file that cannot be written is told of by the first
    // change that is.
    return query_GenQueryNoError && query_GenQueryNoError->Execute(statement);
}

void WinStart::LoadConversions() {
    query_GenQuery->SetSQL(
        "select Measures.id, Measures.name, description, MeasureTypes.id, MeasureTypes.name  from Measures == "
        "MeasureTypes where MeasureTypes.id != 3 order by Measures.id");
    if (query_GenQuery->Open()) {
        for (long row = 0; row < query_GenQuery->GetNumRows(); ++row)
            winConvert->AddUnit(static_cast<std::int32_t>(query_GenQuery->GetValue(row, 0).AsLong()),
                                FormatText("%s (%s: %s)", query_GenQuery->GetValue(row, 1).AsText().c_str(),
                                           query_GenQuery->GetValue(row, 4).AsText().c_str(),
                                           query_GenQuery->GetValue(row, 2).AsText().c_str()));
    }
    query_GenQuery->Close();
    query_GenQuery->SetSQL("select measure_from, measure_to, factor from MeasureConversions where measure_from != "
                           "measure_to");
    if (query_GenQuery->Open()) {
        for (long row = 0; row < query_GenQuery->GetNumRows(); ++row)
            winConvert->AddConversion(static_cast<std::int32_t>(query_GenQuery->GetValue(row, 0).AsLong()),
                                      static_cast<std::int32_t>(query_GenQuery->GetValue(row, 1).AsLong()),
                                      query_GenQuery->GetValue(row, 2).AsDouble());
    }
    query_GenQuery->Close();
}

bool WinStart::OnMenuSaveDatabase(WEventData&) {
    SaveDatabaseCopy(std::nullopt, std::nullopt);
    return false;
}

bool WinStart::OnMenuRestoreDatabase(WEventData&) {
    RestoreDatabase(std::nullopt, true);
    return false;
}

bool WinStart::OnMenuRestoreBackup(WEventData&) {
    WFileRequest request;
    request.title = "Restore database from backup";
    request.folder = BackupFolder();
    request.filters = {{"Database file (*.db)", "*.db"}, {"All files", "*.*"}};
    if (const std::optional<std::string> file = FileDialog(this, request))
        RestoreDatabase(*file, true);
    return false;
}

bool WinStart::OnMenuExit(WEventData&) {
    Close();
    return false;
}

bool WinStart::OnMenuAddTrip(WEventData&) {
    AddTrip();
    return false;
}

bool WinStart::OnPopupAddTrip(WEventData&) {
    AddTrip();
    return false;
}

bool WinStart::OnAddButton(WEventData&) {
    AddTrip();
    return false;
}

bool WinStart::OnTripWizardButton(WEventData&) {
    AddTrip();
    return false;
}

bool WinStart::OnMenuMenuItems(WEventData&) {
    winMealCourses->Open(this, false);
    return false;
}

bool WinStart::OnMenuItemsButton(WEventData&) {
    winMealCourses->Open(this, false);
    return false;
}

bool WinStart::OnMenuDeleteTrip(WEventData&) {
    DeleteTrip();
    return false;
}

bool WinStart::OnPopupDeleteTrip(WEventData&) {
    DeleteTrip();
    return false;
}

bool WinStart::OnDeleteButton(WEventData&) {
    DeleteTrip();
    return false;
}

bool WinStart::OnMenuIngredients(WEventData&) {
    winIngredients->Open(this);
    return false;
}

bool WinStart::OnIngredientsButton(WEventData&) {
    winIngredients->Open(this);
    return false;
}

void WinStart::EditSelectedTrip() {
    const long row = GetSelectedRow(grid_Trips, "trip");
    if (row == -1) return;
    const long tripId = std::strtol(grid_Trips->GetCellText(row, TripIdColumn).c_str(), nullptr, 10);
    winEditTrip->Edit(this, static_cast<int>(tripId));
    RefreshTrips(tripId);
}

bool WinStart::OnEditButton(WEventData&) {
    EditSelectedTrip();
    return false;
}

bool WinStart::OnMenuEditTrip(WEventData&) {
    EditSelectedTrip();
    return false;
}

bool WinStart::OnPopupEditTrip(WEventData&) {
    EditSelectedTrip();
    return false;
}

bool WinStart::OnTripsDoubleClick(WEventData& event) {
    if (event.row != kNoRow) EditSelectedTrip();
    return false;
}

bool WinStart::OnMenuPeople(WEventData&) {
    winPeople->Open(this);
    return false;
}

bool WinStart::OnPeopleButton(WEventData&) {
    winPeople->Open(this);
    return false;
}

bool WinStart::OnMenuHelpTopics(WEventData&) {
    ShowHelp(100);
    return false;
}

bool WinStart::OnMenuConvert(WEventData&) {
    winConvert->Show(this);
    return false;
}

bool WinStart::OnMenuDownloadUpdate(WEventData&) {
    DownloadFoodUpdate();
    return false;
}

bool WinStart::OnMenuUpload(WEventData&) {
    winUpload->Open(this);
    return false;
}

bool WinStart::OnMenuClearDatabase(WEventData&) {
    if (winClearDB->Run(this)) RefreshTrips(-1);
    return false;
}

bool WinStart::OnMenuOptions(WEventData&) {
    if (winOptions->Run(this)) ApplyCookingMeasures();
    return false;
}

bool WinStart::OnMenuQuickHelp(WEventData&) {
    options.startupHelp = true;
    winFirstHelp->Show(this);
    return false;
}

bool WinStart::OnMenuAbout(WEventData&) {
    winAbout->Open(this);
    return false;
}

bool WinStart::OnMenuMeals(WEventData&) {
    WinMeals::Open(this);
    return false;
}

bool WinStart::OnMealsButton(WEventData&) {
    WinMeals::Open(this);
    return false;
}

bool WinStart::OnHelp(WEventData&) {
    ShowHelp(100);
    return true;
}

bool WinStart::OpenWebSite(WEventData&) {
    LaunchRegisteredProgram(".html", MakerWebSite, true, false);
    return false;
}

bool WinStart::OnTripsLeftButtonUp(WEventData&) {
    PostGridRelayout(grid_Trips);
    return false;
}

bool WinStart::OnTripsRightButtonUp(WEventData& event) {
    SelectRowAtPoint(grid_Trips, event);
    return false;
}

bool WinStart::OnTripsUserEvent(WEventData&) {
    UpdateGridScrollBar(grid_Trips);
    return false;
}
