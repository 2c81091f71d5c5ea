// The four wizard pages at the smallest size they let the window manager give them: every text
// shows whole, and no control runs into another or out of the window.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <functional>
#include <sstream>

#include "platform/forms/WForm.h"
#include "tests/trips/TripWizardTest.h"
#include "trips/WinTripWizardDetails.h"
#include "trips/WinTripWizardDone.h"
#include "trips/WinTripWizardStops.h"
#include "trips/WinTripWizardTravellers.h"

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

// What is cut at the window's present size; empty when nothing is.
std::vector<std::string> CutTexts(QDialog* window) {
    std::vector<std::string> faults;
    std::vector<QWidget*> shown;
    for (QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(window) && !w->isWindow()) shown.push_back(w);
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
        if (r.height() < w->minimumSizeHint().height()) faults.push_back(Describe(w) + ": lower than it can be");
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                faults.push_back(Describe(shown[i]) + " overlaps " + Describe(shown[j]));
    return faults;
}

// Resizes the window as a window manager would and waits until its controls stand there.
bool ResizeAndSettle(QDialog* window, QSize size) {
    window->resize(size);
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents();
        if (window->size() == size && window->layout()->geometry() == window->rect()) return true;
    }
    return false;
}

struct PageCase {
    const char* form;
    friend void PrintTo(const PageCase& c, std::ostream* os) { *os << c.form; }
    std::function<void(long trip)> open;
};

class TripWizardLayoutTest : public TripWizardTest, public testing::WithParamInterface<PageCase> {};

TEST_P(TripWizardLayoutTest, AtItsMinimumSizeNoTextIsCutAndNoControlsOverlap) {
    const long trip = AddTrip("Ridge Walk", 3);
    AddPerson("Ann");
    QSize least, shown;
    std::vector<std::string> atLeast, atShown;
    ModalTakeOver::Expect(GetParam().form, [&](WForm& form) {
        QDialog* window = form.GetWindow();
        shown = window->size();
        atShown = CutTexts(window);
        least = window->minimumSize();
        if (ResizeAndSettle(window, least)) atLeast = CutTexts(window);
        else atLeast = {"the window did not take its minimum size"};
        form.Control<WCommandButton>(GetParam().form == std::string("WinTripWizardDone") ? "cb_Close" : "cb_Cancel")->Click();
    });
    GetParam().open(trip);
    EXPECT_TRUE(atLeast.empty()) << least.width() << "x" << least.height() << ": " << testing::PrintToString(atLeast);
    EXPECT_TRUE(atShown.empty()) << shown.width() << "x" << shown.height() << ": " << testing::PrintToString(atShown);
    // The minimum is one a screen holds.
    EXPECT_LE(least.height(), 700);
    EXPECT_LE(least.width(), 900);
}

INSTANTIATE_TEST_SUITE_P(Pages, TripWizardLayoutTest, testing::Values(
    PageCase{"WinTripWizardDetails", [](long) { WinTripWizardDetails::Show(nullptr); }},
    PageCase{"WinTripWizardTravellers", [](long trip) { WinTripWizardTravellers::Show(nullptr, static_cast<int>(trip), true); }},
    PageCase{"WinTripWizardStops", [](long trip) { WinTripWizardStops::Show(nullptr, static_cast<int>(trip)); }},
    PageCase{"WinTripWizardDone", [](long) { WinTripWizardDone::Show(nullptr); }}),
    [](const testing::TestParamInfo<PageCase>& info) { return std::string(info.param.form); });

}  // namespace
