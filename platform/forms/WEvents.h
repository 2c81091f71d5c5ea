#pragma once
// Event ids as the form framework numbered them, the data an event carries, and the handler type.
// A handler answers true when it has handled the event; the newest registration runs first.

#include <cstdint>
#include <functional>

class WWindow;

enum WEventId : int {
    EraseBackgroundEvent = 10,
    PaintEvent = 11,
    ChangeEvent = 22,
    ClickEvent = 30,
    DoubleClickEvent = 31,
    LeftButtonUpEvent = 32,
    LeftButtonDownEvent = 33,
    RightButtonUpEvent = 38,
    SelectEvent = 41,
    StartEvent = 57,
    RunEvent = 58,
    EndEvent = 59,
    HelpEvent = 66,
    UserEvent = 83,
    CloseEvent = 84,
    CreateEvent = 87,
    DestroyEvent = 88,
    TimerEvent = 89,
    DragStartEvent = 120,
    DragFeedbackEvent = 121,
    DragDropEvent = 122,
    DragEndEvent = 123,
};

// Rows of a grid hit-test: no data row, and the title row.
constexpr long kNoRow = -1;
constexpr long kTitleRow = -16;

struct WEventData {
    WEventId id = UserEvent;
    WWindow* source = nullptr;   // the window or control the event belongs to
    std::uint32_t code = 0;      // the posted code of a UserEvent
    int x = 0, y = 0;            // pointer position in the source's coordinates (mouse and drag events)
    long row = kNoRow;           // grid and list row under the pointer, where it applies
    int column = -1;
    // Application events: the exit code and whether the start was cancelled.
    int exitCode = 0;
    bool cancel = false;
    // Drag events: the control the drag began in, and whether the drag is accepted.
    WWindow* dragSource = nullptr;
    bool accept = false;
};

using WEventHandler = std::function<bool(WEventData&)>;
