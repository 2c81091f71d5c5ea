#pragma once
// The simple controls of a form, each over the Qt widget that the dialog template made for it.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "platform/forms/WWindow.h"

class WLabel : public WWindow {
    Q_OBJECT
public:
    WLabel(WForm* form, const std::string& name, QLabel* label);
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void SetBold(bool bold);

private:
    QLabel* label_;
};

// A push button: ClickEvent when it is clicked, by mouse, Space, Enter (default button) or Esc
// (the form's cancel button).
class WCommandButton : public WWindow {
    Q_OBJECT
public:
    WCommandButton(WForm* form, const std::string& name, QAbstractButton* button);
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void Click();   // as the user would: nothing when the button is disabled or hidden
    void SetDefault(bool isDefault);
    bool IsDefault() const;

protected:
    QAbstractButton* button_;
};

// A button that shows a picture; it starts unpressed and reports ClickEvent as a command button.
class WPictureButton : public WCommandButton {
    Q_OBJECT
public:
    WPictureButton(WForm* form, const std::string& name, QAbstractButton* button);
    void SetPicture(const std::string& path);   // a file or a Qt resource path
    bool GetPressed() const;
    void SetPressed(bool pressed);
};

// A check box or an option (radio) button: ClickEvent when the user changes its state, whether by
// mouse, keyboard or an assistive tool's toggle action (which checks it without a click); an option
// button raises it only as it is chosen. SetChecked raises nothing.
class WCheckBox : public WCommandButton {
    Q_OBJECT
public:
    WCheckBox(WForm* form, const std::string& name, QAbstractButton* button);
    bool GetChecked() const;
    void SetChecked(bool checked);

private:
    bool setting_ = false;
};
using WOptionButton = WCheckBox;

// A text box, single-line (QLineEdit) or multi-line (QPlainTextEdit). ChangeEvent when the text
// changes, whether typed or set. The length limit holds for typed and pasted text; a longer text
// set by the program stays whole. A multi-line box reads back the line breaks it was given.
class WTextBox : public WWindow {
    Q_OBJECT
public:
    WTextBox(WForm* form, const std::string& name, QLineEdit* line);
    WTextBox(WForm* form, const std::string& name, QPlainTextEdit* multi);

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    bool IsMultiLine() const { return multi_ != nullptr; }
    void SetReadOnly(bool readOnly);
    bool GetReadOnly() const;
    void SetMaxLength(int characters);   // 0: no limit
    int GetMaxLength() const { return maxLength_; }
    void SetDigitsOnly(bool digitsOnly);
    // Selection by character positions; start == end puts the caret there with nothing selected.
    void SetSelection(int start, int end);
    int GetSelectionStart() const;
    int GetSelectionEnd() const;
    // Types text at the caret as the user would (replacing the selection), within the limit.
    void Type(const std::string& text);
    // A single-line box that shows one of these texts is never made too narrow for any of them.
    void KeepWidthFor(const std::vector<std::string>& texts);

private:
    void ConnectSignals();
    void EnforceLimit(int position, int removed, int added);

    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    int maxLength_ = 0;
    bool limiting_ = false;
    bool crlf_ = false;   // the text was given with "\r\n" line breaks
};

// A static picture (QLabel with a pixmap); LeftButtonDownEvent when it is clicked.
class WPictureBox : public WWindow {
    Q_OBJECT
public:
    WPictureBox(WForm* form, const std::string& name, QLabel* label);
    void SetPicture(const std::string& path);
    bool HasPicture() const;

private:
    QLabel* label_;
};

// A frame around a group of controls.
class WGroupBox : public WWindow {
    Q_OBJECT
public:
    WGroupBox(WForm* form, const std::string& name, QWidget* box);
    void SetText(const std::string& text) override;
    std::string GetText() const override;
};
