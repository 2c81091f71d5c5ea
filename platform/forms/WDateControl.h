#pragma once
// The calendar-style date control: the user picks a year, a month and a day. The form creates
// it in its window at set-up (it is not an item of the dialog template) and moves three
// properties, each a 16-bit signed integer known by its dispatch id: 11 the day of the month,
// 12 the month (1-12), 13 the year. ChangeEvent when the user picks another date; turning the
// calendar's page to another month or year picks the same day there. Enter on its day grid
// presses the form's default button, as Enter does over the form's other controls.

#include <cstdint>
#include <string>

#include "platform/forms/WWindow.h"

class QCalendarWidget;

class WDateControl : public WWindow {
    Q_OBJECT
public:
    enum Property : int { DayProperty = 11, MonthProperty = 12, YearProperty = 13 };

    // Creates the control inside the form's window (the form must have its window).
    WDateControl(WForm* form, const std::string& name);
    ~WDateControl() override;

    // A value out of its range (month 13, day 32, year 0) leaves the date as it was. A day
    // beyond the end of the month is cut to its last day until the day itself is set, so that
    // setting year, month and day in turn always reaches the date they name.
    void SetProperty(int dispatchId, std::int16_t value);
    std::int16_t GetProperty(int dispatchId) const;   // 0 for an unknown id

    void SetYear(std::int16_t year) { SetProperty(YearProperty, year); }
    void SetMonth(std::int16_t month) { SetProperty(MonthProperty, month); }
    void SetDay(std::int16_t day) { SetProperty(DayProperty, day); }
    std::int16_t GetYear() const { return GetProperty(YearProperty); }
    std::int16_t GetMonth() const { return GetProperty(MonthProperty); }
    std::int16_t GetDay() const { return GetProperty(DayProperty); }

    // Takes the first place of the form's top row layout, before the controls there (the
    // form's buttons), and grows with the form.
    void PlaceFirstInLayout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCalendarWidget* calendar_;
};
