#include "exchange/WinClearDB.h"

#include <iterator>

#include "shell/FormatText.h"
#include "shell/WinStart.h"

namespace {

constexpr int kClearHelpTopic = 132;

// Children before parents.
constexpr const char* TripStatements[] = {
    "delete from TripPeople",  "delete from MealPeople",   "delete from DayCourses", "delete from DayMeals",
    "delete from DayFoodStops", "delete from TripDays", "delete from Trips"};
constexpr const char* FoodStatements[] = {
    "delete from MealCourses", "delete from Meals",   "delete from CourseIngredients",
    "delete from Recipes",     "delete from Courses", "delete from Ingredients"};
// The driver's own words on the last failed statement of the shared helpers.
std::string DriverText() {
    const WQuery& query = *MainWindow->query_GenQuery;
    return query.LastFailure().reason.empty() ? query.LastError() : query.LastFailure().reason;
}

constexpr int kTripSteps = static_cast<int>(std::size(TripStatements));
constexpr int kFoodSteps = static_cast<int>(std::size(FoodStatements));

}  // namespace

bool WinClearDB::Run(WWindow* parent) {
    confirmed_ = false;
    cleared_ = false;
    failure_.clear();
    OpenModal(parent);
    if (!confirmed_) return false;
    const int maximum = (clearTripData_ ? kTripSteps : 0) + (clearFoodData_ ? kFoodSteps : 0);
    if (!wait_.Run(parent, false, maximum, &WinClearDB::ClearWorker, this))
        failure_ = "The clearing could not be started.";
    if (!cleared_) ShowFailure(parent);
    return cleared_;
}

void WinClearDB::ShowWarning() {
    pictb_Warning->SetPicture(":/pictures/cleardb_warning.png");
    label_1->SetBold(true);
    checkbox_Food->SetChecked(true);
}

bool WinClearDB::OnOK(WEventData&) {
    confirmed_ = true;
    clearTripData_ = true;
    clearFoodData_ = checkbox_Food->GetChecked();
    PostClose();
    return false;
}

bool WinClearDB::OnCancel(WEventData&) {
    PostClose();
    return false;
}

bool WinClearDB::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kClearHelpTopic);
    return true;
}

// One unit: a refused delete, or a unit that cannot be completed, leaves every row in place;
// the clearing tells it in its own message, so the unit tells nothing itself.
void WinClearDB::ClearWorker() {
    int step = 0;
    cleared_ = MainWindow->RunAsOneUnit("clear_database", [&] {
        if (clearTripData_) {
            for (const char* statement : TripStatements) {
                if (!Delete(statement)) return false;
                wait_.SetProgress(++step);
            }
        }
        if (clearFoodData_) {
            for (int i = 0; i < kFoodSteps; ++i) {
                if (!Delete(FoodStatements[i])) return false;
                if (i + 1 < kFoodSteps) wait_.SetProgress(++step);
            }
        }
        return true;
    }, WTransaction::UnitFailures::LeftToCaller);
    // Every delete went in but the unit could not be completed (its commit failed).
    if (!cleared_ && failure_.empty()) failure_ = MainWindow->GetTransaction()->LastUnitFailure().reason;
    if (!cleared_ && failure_.empty()) failure_ = DriverText();
    if (!cleared_ && failure_.empty()) failure_ = "The deletes could not be stored in the database file.";
    wait_.Finish();
}

bool WinClearDB::Delete(const char* statement) {
    if (MainWindow->ExecSQL(statement)) return true;
    failure_ = DriverText();
    return false;
}

void WinClearDB::ShowFailure(WWindow* parent) const {
    MessageBox(parent, "Clear Database",
               FormatText("The database could not be cleared:\r\n%s\r\nNothing was deleted.", failure_.c_str()),
               WMessageIcon::Stop, WMessageButtons::OK);
}
