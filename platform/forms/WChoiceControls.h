#pragma once
// A combo box (a drop-down list of texts, each with an item key) and an up-down control with a
// buddy text box.

#include <QComboBox>
#include <QSpinBox>
#include <cstdint>
#include <string>

#include "platform/forms/WWindow.h"

class WTextBox;

// SelectEvent when the user picks another entry, ChangeEvent when the edit text changes.
class WComboBox : public WWindow {
    Q_OBJECT
public:
    WComboBox(WForm* form, const std::string& name, QComboBox* combo);
    int AddItem(const std::string& text, std::int64_t data = 0);
    void Clear();
    int GetCount() const;
    std::string GetItemText(int index) const;
    std::int64_t GetItemData(int index) const;
    int GetSelected() const;   // -1 when none
    void SetSelected(int index);
    int FindText(const std::string& text) const;
    int FindData(std::int64_t data) const;   // the first entry with that item data; -1 when none
    // Picks the entry as the user would: selects it and raises SelectEvent (nothing when the
    // combo box is disabled or hidden, or the index is no entry).
    void Pick(int index);
    void SetText(const std::string& text) override;   // the edit text (an editable combo) or the entry with that text
    std::string GetText() const override;

private:
    QComboBox* combo_;
};

// Arrows that step a position within a range and write it into the buddy text box as a number.
// Wrapping takes either end of the range to the other. A number typed into the buddy within
// the range becomes the position.
class WUpDown : public WWindow {
    Q_OBJECT
public:
    WUpDown(WForm* form, const std::string& name, QSpinBox* spin);
    ~WUpDown() override;
    void SetBuddy(WTextBox* buddy);
    void SetRange(int low, int high);
    void SetPosition(int position);
    int GetPosition() const;
    void SetWrap(bool wrap);
    void Up();     // as a click on the up arrow
    void Down();

private:
    QSpinBox* spin_;
    WTextBox* buddy_ = nullptr;
};
