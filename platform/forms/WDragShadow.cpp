#include "platform/forms/WDragShadow.h"

#include <QLabel>

#include "platform/forms/WDragImage.h"
#include "platform/forms/WWindow.h"

namespace {

QPoint GlobalPoint(WWindow* window, int x, int y) {
    QWidget* widget = window ? window->GetWidget() : nullptr;
    return widget ? widget->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
}

}  // namespace

void WDragShadow::Begin(const WDragImage& image, WWindow* window, int x, int y) {
    End();
    auto* label = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAttribute(Qt::WA_ShowWithoutActivating);
    label->setAttribute(Qt::WA_DeleteOnClose);
    label->setPixmap(image.GetPixmap());
    label->resize(image.GetPixmap().size());
    shadow_ = label;
    hotSpot_ = image.GetHotSpot();
    Move(window, x, y);
    label->show();
}

void WDragShadow::Move(WWindow* window, int x, int y) {
    // The hot spot lies left of the image, so the image stands to the right of the pointer.
    if (shadow_) shadow_->move(GlobalPoint(window, x, y) - hotSpot_);
}

void WDragShadow::End() {
    if (shadow_) shadow_->close();
    shadow_ = nullptr;
}
