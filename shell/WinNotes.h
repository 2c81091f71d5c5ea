#pragma once
// The notes editor for a row of any table with a notes column; for the catalogue tables it also
// edits the row's contributor credit (column licensor). The dialog reads and writes the row
// itself and tells the caller whether the user left with OK.

#include <string>

#include "__WinNotes_Base.h"

class WinNotes : public __WinNotes_Base {
public:
    bool Edit(WWindow* parent, const std::string& tableName, long rowId, const std::string& itemName,
              bool markModified, bool hasLicensor);

protected:
    void LoadNotes() override;
    bool OnUserEvent(WEventData& event) override;
    bool SaveNotes(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool ShowLicense(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    bool changed = false;
    std::string table;
    long rowId = -1;
    std::string itemName;
    bool markModified = false;
    bool hasLicensor = false;
};
