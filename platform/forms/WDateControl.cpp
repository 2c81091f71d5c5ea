#include "platform/forms/WDateControl.h"

#include <QBoxLayout>
#include <QCalendarWidget>
#include <QDate>
#include <QKeyEvent>
#include <algorithm>

#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"

namespace {

// The date with one part changed; an invalid part gives an invalid date.
QDate WithPart(const QDate& date, int dispatchId, int value) {
    int year = date.year(), month = date.month(), day = date.day();
    switch (dispatchId) {
    case WDateControl::YearProperty:
        if (value < 1) return {};
        year = value;
        break;
    case WDateControl::MonthProperty:
        if (value < 1 || value > 12) return {};
        month = value;
        break;
    case WDateControl::DayProperty:
        if (value < 1 || value > QDate(year, month, 1).daysInMonth()) return {};
        return QDate(year, month, value);
    default:
        return {};
    }
    // A year or month change keeps the day within the new month (31 January -> February).
    return QDate(year, month, std::min(day, QDate(year, month, 1).daysInMonth()));
}

}  // namespace

WDateControl::WDateControl(WForm* form, const std::string& name)
    : WWindow(nullptr, form, name), calendar_(new QCalendarWidget(form ? form->GetWindow() : nullptr)) {
    SetWidget(calendar_);
    calendar_->setObjectName(ToQt(name));
    calendar_->setGridVisible(true);
    calendar_->show();
    connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] { Raise(ChangeEvent); });
    // The arrows and the year box turn the page: the date goes with it, as the control's month and
    // year are what it shows (else a typed year followed by Enter would give the old date).
    connect(calendar_, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        const QDate chosen = calendar_->selectedDate();
        if (chosen.year() == year && chosen.month() == month) return;
        const int day = std::min(chosen.day(), QDate(year, month, 1).daysInMonth());
        calendar_->setSelectedDate(QDate(year, month, day));
    });
    // The day grid takes Enter as its own "date chosen" and keeps it from the dialog.
    if (QWidget* days = calendar_->focusProxy()) days->installEventFilter(this);
}

WDateControl::~WDateControl() { delete calendar_; }

void WDateControl::SetProperty(int dispatchId, std::int16_t value) {
    const QDate date = WithPart(calendar_->selectedDate(), dispatchId, value);
    if (!date.isValid()) return;
    const QSignalBlocker quiet(calendar_);   // a set value is not the user's pick
    calendar_->setSelectedDate(date);
}

std::int16_t WDateControl::GetProperty(int dispatchId) const {
    const QDate date = calendar_->selectedDate();
    switch (dispatchId) {
    case YearProperty: return static_cast<std::int16_t>(date.year());
    case MonthProperty: return static_cast<std::int16_t>(date.month());
    case DayProperty: return static_cast<std::int16_t>(date.day());
    default: return 0;
    }
}

bool WDateControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == calendar_->focusProxy()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        WCommandButton* ok = GetForm() ? GetForm()->GetDefaultButton() : nullptr;
        if (ok && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            ok->Click();
            return true;
        }
    }
    return WWindow::eventFilter(watched, event);
}

void WDateControl::PlaceFirstInLayout() {
    QWidget* window = calendar_->parentWidget();
    if (auto* row = window ? qobject_cast<QBoxLayout*>(window->layout()) : nullptr) row->insertWidget(0, calendar_, 1);
}
