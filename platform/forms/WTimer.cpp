#include "platform/forms/WTimer.h"

WTimer::WTimer(WForm* form, const std::string& name) : WWindow(nullptr, form, name) {
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Raise(TimerEvent); });
}

void WTimer::Start(int milliseconds) { timer_.start(milliseconds); }

void WTimer::Stop() { timer_.stop(); }
