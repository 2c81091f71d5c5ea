#pragma once
// What a screen reader does to a control: its accessibility actions, run through Qt's
// accessibility interface of the widget, not through the widget's own API.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QString>

#include "platform/forms/WWindow.h"

// Answers false when the control offers no such action.
inline bool DoAccessibleAction(const WWindow* control, const QString& action) {
    QAccessibleInterface* accessible = control ? QAccessible::queryAccessibleInterface(control->GetWidget()) : nullptr;
    QAccessibleActionInterface* actions = accessible ? accessible->actionInterface() : nullptr;
    if (!actions || !actions->actionNames().contains(action)) return false;
    actions->doAction(action);
    return true;
}

inline bool ToggleAsAScreenReaderDoes(const WWindow* control) {
    return DoAccessibleAction(control, QAccessibleActionInterface::toggleAction());
}
