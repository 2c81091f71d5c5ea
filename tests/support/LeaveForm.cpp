#include "tests/support/LeaveForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "platform/forms/WControls.h"
#include "platform/forms/WForm.h"

void LeaveForm(WForm& form, Leave how) {
    switch (how) {
    case Leave::CancelButton:
        form.Control<WCommandButton>("cb_Cancel")->Click();
        break;
    case Leave::EscapeKey: {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(form.GetWindow(), &press);
        break;
    }
    case Leave::CloseBox:
        form.GetWindow()->close();
        break;
    }
}

const char* ToString(Leave how) {
    switch (how) {
    case Leave::CancelButton: return "CancelButton";
    case Leave::EscapeKey: return "EscapeKey";
    case Leave::CloseBox: return "CloseBox";
    }
    return "";
}
