#include "trips/WinSelectReport.h"

#include "shell/WinStart.h"

namespace ReportChoices {
const char* const ReportNames[Count] = {
    "Trip shopping list report", "Trip plan - summary report", "Ingredients report", "Menu items report",
    "Meals report", "Trip plan - detailed report", "Trip plan - very detailed report (menu item notes)"};
const unsigned char ReportNeedsTrip[Count] = {1, 1, 0, 0, 0, 1, 1};
const char* const ReportFiles[Count] = {
    "report_shopping_list.rpt", "report_trip_plan.rpt",          "report_ingredients.rpt", "report_courses.rpt",
    "report_meals.rpt",         "report_trip_plan_detailed.rpt", "report_trip_plan_detailed.rpt"};

Placement PlaceReportWindow(int screenWidth, int screenHeight) {
    Placement p{};
    p.height = screenHeight - 50;
    p.width = static_cast<int>(screenHeight * 9.0 / 11.5);
    if (p.width < 800) p.width = screenWidth - 50;
    // A portrait screen would otherwise get a window wider than itself.
    if (p.width > screenWidth - 50) p.width = screenWidth - 50;
    p.left = (screenWidth - p.width) / 2;
    p.top = (screenHeight - p.height) / 2;
    return p;
}
}  // namespace ReportChoices

namespace {

constexpr int kReportsHelpTopic = 126;

// An options value outside a list (kvo.dat may hold 4 units) selects the list's first entry.
int PositionWithin(int value, int count) { return value >= 0 && value < count ? value : 0; }

}  // namespace

int WinSelectReport::Open(WWindow* parent, long tripId, bool* tripOnly, bool* unitMeasures) {
    result_ = ReportChoices::Cancelled;
    tripId_ = tripId;
    tripOnly_ = tripOnly;
    OpenModal(parent);
    if (unitMeasures) *unitMeasures = unitMeasures_;
    return result_;
}

void WinSelectReport::LoadChoices() {
    if (tripId_ == -1) {
        textb_Trip->SetText("<none selected>");
        textb_Trip->SetReadOnly(true);
        checkbox_TripOnly->Hide();
    } else {
        parameter_ = WDataValue(static_cast<long long>(tripId_));
        query_Trip->SetParameter(1, parameter_);
        query_Trip->Open();
        textb_Trip->SetText(query_Trip->GetValue(0, 0).AsText());
        checkbox_TripOnly->SetChecked(true);
    }
    checkbox_ReportUnits->SetChecked(unitMeasures_);
    for (int report = 0; report < ReportChoices::Count; ++report) {
        if (ReportChoices::ReportNeedsTrip[report] && tripId_ == -1) continue;
        lb_Report->AddItem(ReportChoices::ReportNames[report], report);
    }
    int selected = 0;
    for (int i = 0; i < lb_Report->GetCount(); ++i)
        if (lb_Report->GetItemData(i) == TheOptions->reportType) selected = i;
    lb_Report->SetSelected(selected);
    combo_Units->SetSelected(PositionWithin(TheOptions->ingredientUnits, combo_Units->GetCount()));
    combo_PreviewMag->SetSelected(PositionWithin(TheOptions->previewMag, combo_PreviewMag->GetCount()));
}

bool WinSelectReport::OnOK(WEventData&) {
    const int current = lb_Report->GetSelected();
    if (current == -1) return false;   // nothing to print yet: the dialog stays
    result_ = static_cast<int>(lb_Report->GetItemData(current));
    TheOptions->ingredientUnits = PositionWithin(combo_Units->GetSelected(), combo_Units->GetCount());
    TheOptions->reportType = result_;
    if (tripOnly_) *tripOnly_ = checkbox_TripOnly->GetChecked();
    unitMeasures_ = checkbox_ReportUnits->GetChecked();
    TheOptions->previewMag = PositionWithin(combo_PreviewMag->GetSelected(), combo_PreviewMag->GetCount());
    PostClose();
    return false;
}

bool WinSelectReport::OnCancel(WEventData&) {
    PostClose();
    return false;
}

bool WinSelectReport::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kReportsHelpTopic);
    return true;
}
