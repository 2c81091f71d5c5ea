#include "exchange/WinExportTables.h"

#include <initializer_list>
#include <iterator>

#include "shell/FormatText.h"
#include "shell/WinStart.h"

namespace {

constexpr const char* FoodTables[] = {"Ingredients", "Courses", "Recipes", "CourseIngredients", "Meals", "MealCourses"};
constexpr const char* TripTables[] = {"People",       "Trips",    "TripDays",   "DayFoodStops",
                                      "DayMeals",     "DayCourses", "MealPeople", "TripPeople"};
constexpr int ExportHelpTopic = 130;
constexpr int ImportHelpTopic = 129;

}  // namespace

std::int32_t WinExportTables::Show(WWindow* parent, bool exportForm, std::string* prefix, std::string* suffix,
                                   std::string* licensor) {
    result = 0;
    exportMode = exportForm;
    prefixResult = prefix;
    suffixResult = suffix;
    licensorResult = licensor;
    OpenModal(parent);
    return result;
}

int WinExportTables::BuildTableList(std::int32_t flags, std::vector<std::string>& tables) {
    tables.clear();
    if (flags & FoodData) tables.insert(tables.end(), std::begin(FoodTables), std::end(FoodTables));
    if (flags & TripData) tables.insert(tables.end(), std::begin(TripTables), std::end(TripTables));
    return static_cast<int>(tables.size());
}

void WinExportTables::SetupForm() {
    SetText(FormatText("%s Database Tables", exportMode ? "Export" : "Import"));
    label_Msg->SetText(FormatText("The food data (ingredients, meal courses, meals) is always %s. Additionally, you can "
                              "choose to %s the trip data as well.",
                              exportMode ? "exported" : "imported", exportMode ? "export" : "import"));
    if (exportMode) {
        MainWindow->TrimFormAtControl(this, label_ImportPrefix);
        for (WWindow* control : std::initializer_list<WWindow*>{label_ImportPrefix, textb_ImportPrefix, label_ImportSuffix,
                                                                textb_ImportSuffix, label_Licensor, textb_Licensor})
            control->Hide();
    } else if (!licensorResult) {
        MainWindow->TrimFormAtControl(this, label_Licensor);
        label_Licensor->Hide();
        textb_Licensor->Hide();
    }
}

bool WinExportTables::OnOK(WEventData&) {
    result = FoodData | (checkbox_Trips->GetChecked() ? TripData : 0);
    if (!exportMode) {
        if (prefixResult) *prefixResult = textb_ImportPrefix->GetText();
        if (suffixResult) *suffixResult = textb_ImportSuffix->GetText();
        if (licensorResult) *licensorResult = textb_Licensor->GetText();
    }
    PostClose();
    return false;
}

bool WinExportTables::OnCancel(WEventData&) {
    PostClose();
    return false;
}

bool WinExportTables::OnHelp(WEventData&) {
    MainWindow->ShowHelp(exportMode ? ExportHelpTopic : ImportHelpTopic);
    return true;
}
