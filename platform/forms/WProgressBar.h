#pragma once
// A progress bar: a position within 0..maximum, moved by the program (a worker's steps).

#include <QProgressBar>
#include <string>

#include "platform/forms/WWindow.h"

class WProgressBar : public WWindow {
    Q_OBJECT
public:
    WProgressBar(WForm* form, const std::string& name, QProgressBar* bar);
    void SetRange(int low, int high);
    int GetMinimum() const;
    int GetMaximum() const;
    void SetStep(int step) { step_ = step; }
    int GetStep() const { return step_; }
    void StepIt();   // moves on by one step, never past the maximum
    // Clamped into the range: above the maximum is a full bar.
    void SetPosition(int position);
    int GetPosition() const;

private:
    QProgressBar* bar_;
    int step_ = 1;
};
