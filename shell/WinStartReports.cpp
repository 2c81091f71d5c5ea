// The main window's reports: its report control and the printing of the chosen report.

#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "shell/WinStart.h"

namespace {

constexpr int TripIdColumn = 3;
constexpr const char* ReportControlName = "WinStart::cr_Report";

std::string ParameterText(const char* format, long value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

void WinStart::CreateReportControl() {
    cr_Report = std::make_unique<WReportControl>("WinStart::transaction_KVO");
    WReportControl::Register(ReportControlName, cr_Report.get());
}

void WinStart::ReleaseReportControl() {
    if (!cr_Report) return;
    WReportControl::Unregister(ReportControlName);
    cr_Report.reset();
}

void WinStart::PrintReport(long tripId) {
    using namespace ReportChoices;
    if (tripId == -1 && grid_Trips && grid_Trips->GetNumRows() > 0) {
        const long row = grid_Trips->GetCurrentRow();
        if (row >= 0) tripId = std::strtol(grid_Trips->GetCellText(row, TripIdColumn).c_str(), nullptr, 10);
    }
    bool tripOnly = false;
    bool unitMeasures = false;
    const int choice = selectReport.Open(this, tripId, &tripOnly, &unitMeasures);
    if (choice < 0 || choice >= Count || !cr_Report) return;

    const std::string path = programFolder + ReportFiles[choice];
    const bool catalogueReport = choice == 2 || choice == 3 || choice == 4;
    if (catalogueReport && !tripOnly) tripId = -1;
    const int veryDetailed = choice == 6 ? 1 : 0;

    const auto [screenWidth, screenHeight] = WReportControl::PrimaryScreenSize();
    const Placement place = PlaceReportWindow(screenWidth, screenHeight);
    cr_Report->SetWindowHeight(place.height);
    cr_Report->SetWindowWidth(place.width);
    cr_Report->SetReportFileName(path);
    cr_Report->SetWindowLeft(place.left);
    cr_Report->SetWindowTop(place.top);
    cr_Report->SetParameterField(0, ParameterText("Trip id; %ld; TRUE", tripId));
    cr_Report->SetParameterField(1, "version; " + versionText + "; TRUE");
    cr_Report->SetParameterField(2, ParameterText("unit_type; %ld; TRUE", options.ingredientUnits));
    cr_Report->SetParameterField(3, ParameterText("ingredient_units; %ld; TRUE", unitMeasures ? 1 : 0));
    cr_Report->SetParameterField(4, ParameterText("trip_very_detailed; %ld; TRUE", veryDetailed));

    const int magnification = options.previewMag;
    int result = 0;
    if (magnification > 0 && magnification < static_cast<int>(std::size(PreviewZoomLevels))) {
        cr_Report->SetAction(1);
        cr_Report->Zoom(PreviewZoomLevels[magnification]);
        // A failed run is reported on this path too, not only through the run method's result.
        result = cr_Report->GetLastErrorNumber();
    } else {
        result = cr_Report->PrintReport();
    }
    if (result != 0)
        MessageBox(this, "Report printing error", cr_Report->GetLastErrorString(), WMessageIcon::Question,
                   WMessageButtons::OK);
}

bool WinStart::OnMenuReports(WEventData&) {
    PrintReport(-1);
    return false;
}

bool WinStart::OnPopupReport(WEventData&) {
    PrintReport(-1);
    return false;
}

bool WinStart::OnReportButton(WEventData&) {
    PrintReport(-1);
    return false;
}
