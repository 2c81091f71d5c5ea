#pragma once
// Clearing the database: the user's trips, and on request the food catalogue too, deleted in
// one unit under the wait window. People, the food stops, the measures and the version row stay.

#include <string>

#include "__WinClearDB_Base.h"
#include "shell/WinWait.h"

class WinClearDB : public __WinClearDB_Base {
public:
    // True when the user confirmed and every delete went in; false when the form was cancelled
    // or the clearing failed (reported, nothing deleted).
    bool Run(WWindow* parent);
    // The worker of the wait window: the deletes, children before parents, as one unit.
    void ClearWorker();

protected:
    void ShowWarning() override;
    bool OnOK(WEventData& event) override;
    bool OnCancel(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    bool Delete(const char* statement);
    void ShowFailure(WWindow* parent) const;

    bool confirmed_ = false;
    bool clearTripData_ = false;
    bool clearFoodData_ = false;
    WinWait wait_;
    bool cleared_ = false;      // the worker's outcome; a worker that never ran cleared nothing
    std::string failure_;       // the driver's words on the failed statement
};
