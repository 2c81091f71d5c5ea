#include "catalogue/WinEditCourseIngredient.h"

#include "catalogue/MenuItemTables.h"
#include "shell/WinStart.h"

namespace {

constexpr long kUnitsMeasureType = 3;
constexpr int kLineHelpTopic = 112;

}  // namespace

bool WinEditCourseIngredient::Edit(WWindow* parent, long line, long course) {
    saved = false;
    lineId = line;
    courseId = course;
    OpenModal(parent);
    return saved;
}

void WinEditCourseIngredient::LoadLine() {
    parameterValue = WDataValue(lineId);
    query_Details->SetParameter(1, parameterValue);
    binding_Details->Load();
    measureType = query_Details->GetValue(0, 0);
    const bool hasPortion = query_Details->GetValue(0, 1).AsLong() == 1;

    query_Measures->SetParameter(1, measureType);
    query_Measures->Close();
    query_Measures->Open();

    query_Ingredient->SetParameter(1, parameterValue);
    binding_Ingredient->Load();
    ShowControlsFor(measureType.AsLong() == kUnitsMeasureType, hasPortion);
}

// A units-only ingredient takes just the amount (and, with a portion, the check box for
// portions); any other chooses a measure of its type or, with a portion, its portions.
void WinEditCourseIngredient::ShowControlsFor(bool unitsOnly, bool hasPortion) {
    optb_ByVolumeWeight->SetVisible(!unitsOnly);
    optb_ByMeasuredUnits->SetVisible(!unitsOnly && hasPortion);
    combo_Measures->SetVisible(!unitsOnly);
    checkbox_UnitsUnits->SetVisible(unitsOnly && hasPortion);
    label_UnitMeasuredDesc->SetVisible(hasPortion);
    label_UnitMsg->SetVisible(unitsOnly && !hasPortion);
}

bool WinEditCourseIngredient::OnMeasureSelected(WEventData&) {
    optb_ByVolumeWeight->SetChecked(true);
    return false;
}

bool WinEditCourseIngredient::OnOK(WEventData&) {
    // A measure left unselected keeps the stored one: the binding writes back what it read.
    const WRowSave written = binding_Ingredient->Save();
    if (written == WRowSave::InvalidNumber) return false;   // the editor stays open
    if (written == WRowSave::Saved) {
        MainWindow->TouchModified(MenuItemTables::Courses(), courseId);
        saved = true;
    }
    PostClose();
    return false;
}

bool WinEditCourseIngredient::OnCancel(WEventData&) {
    PostClose();
    return false;
}

bool WinEditCourseIngredient::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kLineHelpTopic);
    return true;
}
