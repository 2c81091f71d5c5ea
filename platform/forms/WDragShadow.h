#pragma once
// Shows a drag image beside the pointer while a list entry is dragged: a small frameless window
// over the desktop that takes no input, moved with the pointer and gone when the drag ends.

#include <QPointer>
#include <QWidget>

class WDragImage;
class WWindow;

class WDragShadow {
public:
    WDragShadow() = default;
    ~WDragShadow() { End(); }
    WDragShadow(const WDragShadow&) = delete;
    WDragShadow& operator=(const WDragShadow&) = delete;

    // Shows the image at a point given in the coordinates of the window (a control or a form).
    void Begin(const WDragImage& image, WWindow* window, int x, int y);
    void Move(WWindow* window, int x, int y);
    void End();
    bool IsShown() const { return shadow_ != nullptr; }

private:
    QPointer<QWidget> shadow_;
    QPoint hotSpot_;
};
