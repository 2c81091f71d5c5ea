#pragma once
// The choice of a report: one of seven (the trip reports only with a trip), the ingredient
// units, "for this trip only", "unit measures" and the preview magnification. The main window
// owns one for its whole life, so the unit-measures choice lasts for the program run.

#include "__WinSelectReport_Base.h"
#include "platform/db/WDataValue.h"

// The seven reports by their index, the choice result and the report type of the options.
namespace ReportChoices {
constexpr int Count = 7;
constexpr int Cancelled = 7;
extern const char* const ReportNames[Count];
extern const unsigned char ReportNeedsTrip[Count];
extern const char* const ReportFiles[Count];
constexpr int PreviewZoomLevels[] = {0, 100, 125, 150, 200};

// Where the report's window goes on a screen of that size: as high as the screen less 50, as
// wide as a page of that height (or the screen less 50 when that is under 800), centred; never
// wider than the screen less 50.
struct Placement {
    int left, top, width, height;
};
Placement PlaceReportWindow(int screenWidth, int screenHeight);
}  // namespace ReportChoices

class WinSelectReport : public __WinSelectReport_Base {
public:
    // The chosen report 0-6, or 7 when the dialog was cancelled or closed. Whatever the outcome,
    // the unit-measures choice of the last OK is stored into unitMeasures (when given).
    int Open(WWindow* parent, long tripId, bool* tripOnly, bool* unitMeasures);

protected:
    void LoadChoices() override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    long tripId_ = -1;
    WDataValue parameter_;
    int result_ = ReportChoices::Cancelled;
    bool* tripOnly_ = nullptr;
    bool unitMeasures_ = false;
};
