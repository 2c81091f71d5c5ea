#pragma once
// What the user sees of the database layer: the wait cursor from the first statement of an
// event-loop turn to the end of that turn (a statement may wait seconds for another program's
// lock, and the window cannot repaint meanwhile), and one "Database Error" message for a change
// the file refused or could not commit, however many statements of the same action failed.

#include <atomic>

#include "platform/db/WDbObserver.h"

class WDatabaseNotice : public WDbObserver {
public:
    // Installs the one notice of the program; the application and the form tests call it.
    static void Install();

    void StatementStarts() override;
    void ChangeNotStored(const WDbFailure& failure) override;

private:
    void RestoreCursor();
    std::atomic<bool> cursorShown_{false};
    std::atomic<bool> messageShown_{false};
};
