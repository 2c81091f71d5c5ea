#pragma once
// The application object: creates the main window at start, runs the message loop, and deletes
// the main window at the end.

#include "platform/forms/WExeApplication.h"

class WinStart;

class ApplicationClass : public WExeApplication {
    Q_OBJECT
public:
    ApplicationClass();
    ~ApplicationClass() override;

    bool OnStart(WEventData& event);
    bool OnStartDefault(WEventData& event);
    bool OnRun(WEventData& event);
    bool OnRunDefault(WEventData& event);
    bool OnEnd(WEventData& event);
    bool OnEndDefault(WEventData& event);
};

// Creates the main window from its template, modeless and without a parent; NULL when it
// cannot be created.
WinStart* CreateMainForm();
void DestroyMainForm();
