#include "tests/support/FormLayoutFaults.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <sstream>

namespace {

std::string Describe(const QWidget* w) {
    std::ostringstream out;
    const QRect r = w->geometry();
    out << w->objectName().toStdString() << " at " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    return out.str();
}

// The width a line edit has for its text, as it draws it.
int TextRoom(const QLineEdit* box) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    constexpr int kSideMargin = 2;
    return contents.width() - box->textMargins().left() - box->textMargins().right() - 2 * kSideMargin;
}

}  // namespace

std::vector<std::string> CutTexts(QDialog* window) {
    std::vector<std::string> faults;
    std::vector<QWidget*> shown;
    // A resizable dialog's size grip lies over its corner by design, whatever is there.
    for (QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(window) && !w->isWindow() && !qobject_cast<QSizeGrip*>(w)) shown.push_back(w);
    for (QWidget* w : shown) {
        const QRect r = w->geometry();
        if (!window->rect().contains(r)) faults.push_back(Describe(w) + ": outside the window");
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (!label->pixmap().isNull()) {
                if (r.width() < label->pixmap().width() || r.height() < label->pixmap().height())
                    faults.push_back(Describe(w) + ": picture cut");
            } else if (label->wordWrap()) {
                if (r.height() < label->heightForWidth(r.width())) faults.push_back(Describe(w) + ": wrapped lines cut");
            } else if (r.width() < label->sizeHint().width() || r.height() < label->sizeHint().height()) {
                faults.push_back(Describe(w) + ": text cut");
            }
        } else if (qobject_cast<QAbstractButton*>(w)) {
            if (r.width() < w->sizeHint().width() || r.height() < w->sizeHint().height())
                faults.push_back(Describe(w) + ": squashed");
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i)
                if (list->fontMetrics().horizontalAdvance(list->item(i)->text()) > list->viewport()->width())
                    faults.push_back(Describe(w) + ": entry \"" + list->item(i)->text().toStdString() + "\" cut");
            if (list->horizontalScrollBar()->maximum() > 0) faults.push_back(Describe(w) + ": scrolls sideways");
        } else if (auto* box = qobject_cast<QLineEdit*>(w)) {
            if (TextRoom(box) < box->fontMetrics().horizontalAdvance(box->text()))
                faults.push_back(Describe(w) + ": text \"" + box->text().toStdString() + "\" cut");
        }
        // A box the template holds lower than its hint (a scrolling credit line) is as designed.
        if (r.height() < std::min(w->minimumSizeHint().height(), w->maximumHeight()))
            faults.push_back(Describe(w) + ": lower than it can be");
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                faults.push_back(Describe(shown[i]) + " overlaps " + Describe(shown[j]));
    return faults;
}

bool ResizeAndSettle(QDialog* window, QSize size) {
    window->resize(size);
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents();
        // The layout reaches the window's right and bottom edges (its top lies below a menu bar).
        if (window->size() == size && window->layout()->geometry().bottomRight() == window->rect().bottomRight())
            return true;
    }
    return false;
}

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen->logicalDotsPerInch() * screen->devicePixelRatio();
}
