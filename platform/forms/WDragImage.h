#pragma once
// The picture that follows the pointer while an item is dragged: a text drawn in a control's
// font on a plain background, which is transparent, with the pointer 25 pixels to its left.

#include <QPixmap>
#include <QPoint>
#include <memory>
#include <string>

class WWindow;

class WDragImage {
public:
    static std::unique_ptr<WDragImage> FromText(const std::string& text, WWindow* control);

    const QPixmap& GetPixmap() const { return pixmap_; }
    QPoint GetHotSpot() const { return {-25, 0}; }
    const std::string& GetText() const { return text_; }

private:
    QPixmap pixmap_;
    std::string text_;
};
