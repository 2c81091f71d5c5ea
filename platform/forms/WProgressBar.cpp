#include "platform/forms/WProgressBar.h"

#include <algorithm>

WProgressBar::WProgressBar(WForm* form, const std::string& name, QProgressBar* bar)
    : WWindow(bar, form, name), bar_(bar) {}

void WProgressBar::SetRange(int low, int high) { bar_->setRange(low, std::max(low, high)); }

int WProgressBar::GetMinimum() const { return bar_->minimum(); }

int WProgressBar::GetMaximum() const { return bar_->maximum(); }

void WProgressBar::StepIt() { SetPosition(GetPosition() + step_); }

void WProgressBar::SetPosition(int position) {
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
}

int WProgressBar::GetPosition() const { return std::max(bar_->value(), bar_->minimum()); }
