#include "platform/forms/WChoiceControls.h"

#include <QLineEdit>
#include <charconv>

#include "platform/forms/WControls.h"

WComboBox::WComboBox(WForm* form, const std::string& name, QComboBox* combo)
    : WWindow(combo, form, name), combo_(combo) {
    connect(combo_, &QComboBox::activated, this, [this](int index) {
        WEventData event;
        event.id = SelectEvent;
        event.row = index;
        Raise(event);
    });
    connect(combo_, &QComboBox::currentTextChanged, this, [this] { Raise(ChangeEvent); });
}

int WComboBox::AddItem(const std::string& text, std::int64_t data) {
    combo_->addItem(ToQt(text), QVariant::fromValue<qlonglong>(data));
    return combo_->count() - 1;
}

void WComboBox::Clear() { combo_->clear(); }
int WComboBox::GetCount() const { return combo_->count(); }
std::string WComboBox::GetItemText(int index) const { return FromQt(combo_->itemText(index)); }
std::int64_t WComboBox::GetItemData(int index) const { return combo_->itemData(index).toLongLong(); }
int WComboBox::GetSelected() const { return combo_->currentIndex(); }
void WComboBox::SetSelected(int index) { combo_->setCurrentIndex(index); }
int WComboBox::FindText(const std::string& text) const { return combo_->findText(ToQt(text), Qt::MatchExactly); }

int WComboBox::FindData(std::int64_t data) const {
    for (int i = 0; i < combo_->count(); ++i)
        if (GetItemData(i) == data) return i;
    return -1;
}

void WComboBox::Pick(int index) {
    if (!combo_->isEnabled() || !combo_->isVisibleTo(combo_->window()) || index < 0 || index >= combo_->count()) return;
    combo_->setCurrentIndex(index);
    emit combo_->activated(index);   // what a choice from the list reports
}

void WComboBox::SetText(const std::string& text) {
    if (combo_->isEditable()) combo_->setEditText(ToQt(text));
    else combo_->setCurrentIndex(FindText(text));
}

std::string WComboBox::GetText() const { return FromQt(combo_->currentText()); }

WUpDown::WUpDown(WForm* form, const std::string& name, QSpinBox* spin) : WWindow(spin, form, name), spin_(spin) {
    // Only the arrows show: the number lives in the buddy.
    if (QLineEdit* edit = spin_->findChild<QLineEdit*>()) edit->setVisible(false);
    connect(spin_, &QSpinBox::valueChanged, this, [this](int value) {
        if (buddy_) buddy_->SetText(std::to_string(value));
        Raise(ChangeEvent);
    });
}

WUpDown::~WUpDown() {
    if (buddy_) buddy_->RemoveEventHandlers(this);
}

void WUpDown::SetBuddy(WTextBox* buddy) {
    if (buddy_) buddy_->RemoveEventHandlers(this);
    buddy_ = buddy;
    if (!buddy_) return;
    connect(buddy_, &WWindow::destroyed, this, [this] { buddy_ = nullptr; });
    buddy_->AddEventHandler(ChangeEvent, [this](WEventData&) {
        const std::string text = buddy_->GetText();
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error == std::errc() && end == text.data() + text.size() && value >= spin_->minimum() &&
            value <= spin_->maximum()) {
            const QSignalBlocker block(spin_);
            spin_->setValue(value);
        }
        return false;
    }, this);
}

void WUpDown::SetRange(int low, int high) { spin_->setRange(low, high); }
void WUpDown::SetPosition(int position) { spin_->setValue(position); }
int WUpDown::GetPosition() const { return spin_->value(); }
void WUpDown::SetWrap(bool wrap) { spin_->setWrapping(wrap); }
void WUpDown::Up() { spin_->stepUp(); }
void WUpDown::Down() { spin_->stepDown(); }
