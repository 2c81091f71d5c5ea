#pragma once
// The measurement converter: a small window beside the main window and its forms in which the
// user picks a measure, types an amount and reads it converted into another measure. The main
// window loads the measures and factors into it once, at start-up; the converter itself never
// touches the database. It has no owner window and lives on the GUI thread, so it stays usable
// while modal forms are open.

#include <cstdint>
#include <string>
#include <vector>

#include "__WinConvert_Base.h"

class WinStart;

// One conversion: the amount in the from measure times the factor is the amount in the to one.
struct ConversionDef {
    std::int32_t fromId;
    std::int32_t toId;
    double factor;
};

class WinConvert : public __WinConvert_Base {
public:
    void AddUnit(std::int32_t measureId, const std::string& text);
    void AddConversion(std::int32_t fromId, std::int32_t toId, double factor);

    // Opens the window below the main window; does nothing while it is shown.
    void Show(WinStart* mainWindow);
    // Closes the window when it is shown; otherwise does nothing.
    void Close();
    bool IsShown() const { return shown_; }

    int UnitCount() const { return static_cast<int>(unitIds_.size()); }
    int ConversionCount() const { return static_cast<int>(conversions_.size()); }

protected:
    void LoadUnits() override;
    bool OnFromSelect(WEventData& event) override;
    bool OnAmountChange(WEventData& event) override;
    bool OnToSelect(WEventData& event) override;
    bool OnStartupClick(WEventData& event) override;
    bool OnCloseButton(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void PlaceBelowMainWindow();
    void FromChanged();
    void Compute();
    std::string UnitText(std::int32_t measureId) const;

    std::vector<std::string> unitTexts_;
    std::vector<std::int32_t> unitIds_;   // parallel to the texts
    std::vector<ConversionDef> conversions_;
    bool shown_ = false;
    WinStart* mainWindow_ = nullptr;
};
