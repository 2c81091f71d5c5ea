#pragma once
// Asks, before an export or an import started from the menu, whether the trip data travels as
// well as the food data and, for an import, the prefix and suffix of new names and the
// contributor credit. The main window owns one for its whole life.

#include <cstdint>
#include <string>
#include <vector>

#include "__WinExportTables_Base.h"

class WinExportTables : public __WinExportTables_Base {
public:
    static constexpr std::int32_t FoodData = 1;   // also: OK was pressed
    static constexpr std::int32_t TripData = 2;

    // 0 when cancelled, else FoodData, plus TripData when the trip data travels too. The texts
    // are written only in import mode and only on OK; each pointer may be NULL.
    std::int32_t Show(WWindow* parent, bool exportMode, std::string* prefix, std::string* suffix,
                      std::string* licensor);
    // The tables that the flags select, parents before the tables that refer to them.
    static int BuildTableList(std::int32_t flags, std::vector<std::string>& tables);

protected:
    void SetupForm() override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    std::int32_t result = 0;
    bool exportMode = true;
    std::string* prefixResult = nullptr;
    std::string* suffixResult = nullptr;
    std::string* licensorResult = nullptr;
};
