#include "platform/forms/WDragImage.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include "platform/forms/WWindow.h"

std::unique_ptr<WDragImage> WDragImage::FromText(const std::string& text, WWindow* control) {
    auto image = std::make_unique<WDragImage>();
    image->text_ = text;
    const QFont font = control && control->GetWidget() ? control->GetWidget()->font() : QFont();
    const QFontMetrics metrics(font);
    // Drawn as it stands: an ampersand is no mnemonic here.
    const QString label = ToQt(text);
    const QSize size(std::max(1, metrics.horizontalAdvance(label)), std::max(1, metrics.height()));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.end();
    image->pixmap_ = pixmap;
    return image;
}
