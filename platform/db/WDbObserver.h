#pragma once
// What the layers above want to hear of the database: that a statement is about to run (it may
// wait for another program's lock, up to the driver's busy time) and that a change could not be
// stored. platform/forms installs the one that shows it; without one the layer stays silent.

#include "platform/db/WDbFailure.h"

class WDbObserver {
public:
    virtual ~WDbObserver() = default;

    // Called on the thread that runs the statement, before it runs.
    virtual void StatementStarts() = 0;
    // The database did not store a change because of the file or its lock, or because its
    // commit failed; whatever the change wrote has been rolled back.
    virtual void ChangeNotStored(const WDbFailure& failure) = 0;

    // The observer in use, NULL when none; the caller keeps ownership.
    static WDbObserver* Get();
    static void Install(WDbObserver* observer);
};
