#include "platform/forms/WListBox.h"

#include "platform/db/collation/NameOrder.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <algorithm>

#include "platform/forms/WForm.h"

WListBox::WListBox(WForm* form, const std::string& name, QListWidget* list)
    : WWindow(list, form, name), list_(list) {
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(false);   // we place the entries ourselves, as the list's own order
    const QVariant sorted = list_->property("sorted");
    sorted_ = sorted.isValid() && sorted.toBool();
    const QVariant dragName = list_->property("dragName");
    if (dragName.isValid()) dragName_ = FromQt(dragName.toString());
    const QVariant accepts = list_->property("acceptDropsFrom");
    if (accepts.isValid()) acceptsFrom_ = FromQt(accepts.toString());
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        WEventData event;
        event.id = SelectEvent;
        event.row = row;
        Raise(event);
    });
    WatchMouse();
}

QWidget* WListBox::MouseWidget() const { return list_ ? list_->viewport() : nullptr; }

long WListBox::RowAt(const QPoint& point) const {
    const QModelIndex index = list_->indexAt(point);
    return index.isValid() ? index.row() : kNoRow;
}

int WListBox::AddItem(const std::string& text, std::int64_t data) {
    const QString value = ToQt(text);
    int at = list_->count();
    if (sorted_) {
        // After the last entry that sorts at or before the new one, found by halving, so that
        // filling a long list stays quick; in the database's own order of names.
        int low = 0;
        int high = list_->count();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            const std::string entry = FromQt(list_->item(middle)->text());
            if (KvoCompareNames(entry.data(), static_cast<int>(entry.size()), text.data(),
                                static_cast<int>(text.size())) <= 0)
                low = middle + 1;
            else
                high = middle;
        }
        at = low;
    }
    auto* item = new QListWidgetItem(value);
    item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(data));
    list_->insertItem(at, item);
    return at;
}

void WListBox::DeleteItem(int index) {
    if (index >= 0 && index < list_->count()) delete list_->takeItem(index);
}

void WListBox::Clear() { list_->clear(); }
int WListBox::GetCount() const { return list_->count(); }

std::string WListBox::GetItemText(int index) const {
    const QListWidgetItem* item = list_->item(index);
    return item ? FromQt(item->text()) : std::string();
}

std::int64_t WListBox::GetItemData(int index) const {
    const QListWidgetItem* item = list_->item(index);
    return item ? item->data(Qt::UserRole).toLongLong() : 0;
}

void WListBox::SetItemData(int index, std::int64_t data) {
    if (QListWidgetItem* item = list_->item(index)) item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(data));
}

int WListBox::FindText(const std::string& text) const {
    const QString value = ToQt(text);
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->text() == value) return i;
    return -1;
}

int WListBox::GetSelected() const {
    return list_->currentRow();
}

void WListBox::SetSelected(int index) {
    if (index < 0 || index >= list_->count()) {
        list_->setCurrentRow(-1);
        list_->clearSelection();
        return;
    }
    list_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    list_->scrollToItem(list_->item(index));
}

bool WListBox::AcceptsDropFrom(const WListBox* source) const {
    return source && source != this && !acceptsFrom_.empty() && acceptsFrom_ == source->GetDragName();
}

WListBox* WListBox::DropTargetAt(const QPoint& globalPosition) const {
    WForm* form = GetForm();
    if (!form) return nullptr;
    for (WWindow* control : form->Controls()) {
        auto* list = dynamic_cast<WListBox*>(control);
        if (!list || !list->GetVisible()) continue;
        QWidget* viewport = list->MouseWidget();
        if (viewport && viewport->rect().contains(viewport->mapFromGlobal(globalPosition))) return list;
    }
    return nullptr;
}

// The drag follows the mouse while the list holds it (Qt keeps sending the pressed widget the
// moves and the release), so no platform drag session is needed.
bool WListBox::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool mouseEvent = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                            type == QEvent::MouseButtonRelease;
    if (watched == MouseWidget() && !dragName_.empty() && mouseEvent) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton) {
                pressed_ = true;
                pressAt_ = mouse->position().toPoint();
            }
            break;
        case QEvent::MouseMove:
            if (!pressed_) break;
            if (!dragging_ && (mouse->position().toPoint() - pressAt_).manhattanLength() >=
                                  QApplication::startDragDistance()) {
                WEventData start;
                start.id = DragStartEvent;
                start.dragSource = this;
                start.x = pressAt_.x();
                start.y = pressAt_.y();
                start.row = RowAt(pressAt_);
                // The list's selection follows the mouse until the drag begins: what moves is
                // the entry that was pressed.
                if (start.row != kNoRow) list_->setCurrentRow(static_cast<int>(start.row));
                Raise(start);
                dragging_ = start.accept;
                if (!dragging_) pressed_ = false;
            }
            if (dragging_) {
                WEventData move;
                move.id = DragFeedbackEvent;
                move.dragSource = this;
                move.x = mouse->position().toPoint().x();
                move.y = mouse->position().toPoint().y();
                Raise(move);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (mouse->button() == Qt::LeftButton && dragging_) {
                FinishDrag(mouse->globalPosition().toPoint(), true);
                return true;
            }
            pressed_ = false;
            break;
        default:
            break;
        }
    }
    return WWindow::eventFilter(watched, event);
}

void WListBox::FinishDrag(const QPoint& globalPosition, bool drop) {
    pressed_ = dragging_ = false;
    if (drop) {
        if (WListBox* target = DropTargetAt(globalPosition); target && (target == this || target->AcceptsDropFrom(this))) {
            WEventData dropped;
            dropped.id = DragDropEvent;
            dropped.dragSource = this;
            const QPoint local = target->MouseWidget()->mapFromGlobal(globalPosition);
            dropped.x = local.x();
            dropped.y = local.y();
            dropped.row = target->RowAt(local);
            target->Raise(dropped);
        }
    }
    WEventData end;
    end.id = DragEndEvent;
    end.dragSource = this;
    Raise(end);
}

void WListBox::KeepWidthFor(const std::vector<std::string>& entries) {
    const QFontMetrics metrics(list_->font());
    int widest = 0;
    for (const std::string& entry : entries) widest = std::max(widest, metrics.horizontalAdvance(ToQt(entry)));
    // The item view's text margin on each side, the frame, and room for the vertical scroll bar.
    QStyle* style = list_->style();
    const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    list_->setMinimumWidth(widest + 2 * textMargin + 2 * list_->frameWidth() +
                           style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_));
}
