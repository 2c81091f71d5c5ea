#pragma once
// A timer of a form: TimerEvent on the timer at every tick while it runs. It has no widget; it
// stops when it is deleted.

#include <QTimer>
#include <string>

#include "platform/forms/WWindow.h"

class WTimer : public WWindow {
    Q_OBJECT
public:
    WTimer(WForm* form, const std::string& name);
    void Start(int milliseconds);
    void Stop();
    bool IsRunning() const { return timer_.isActive(); }
    int GetInterval() const { return timer_.interval(); }

private:
    QTimer timer_;
};
