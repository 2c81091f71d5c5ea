#include "platform/forms/WControls.h"

#include <QGroupBox>
#include <QRegularExpressionValidator>
#include <QTextCursor>

#include "platform/forms/WForm.h"

WLabel::WLabel(WForm* form, const std::string& name, QLabel* label)
    : WWindow(label, form, name), label_(label) {
    label_->setTextFormat(Qt::PlainText);
}

void WLabel::SetText(const std::string& text) { label_->setText(ToQt(text)); }
std::string WLabel::GetText() const { return FromQt(label_->text()); }

void WLabel::SetBold(bool bold) {
    QFont font = label_->font();
    font.setBold(bold);
    label_->setFont(font);
}

WCommandButton::WCommandButton(WForm* form, const std::string& name, QAbstractButton* button)
    : WWindow(button, form, name), button_(button) {
    connect(button_, &QAbstractButton::clicked, this, [this] { Raise(ClickEvent); });
}

void WCommandButton::SetText(const std::string& text) { button_->setText(ToQt(text)); }
std::string WCommandButton::GetText() const { return FromQt(button_->text()); }

void WCommandButton::Click() {
    if (button_->isEnabled() && button_->isVisibleTo(button_->window())) button_->click();
}

void WCommandButton::SetDefault(bool isDefault) {
    if (auto* push = qobject_cast<QPushButton*>(button_)) push->setDefault(isDefault);
}

bool WCommandButton::IsDefault() const {
    auto* push = qobject_cast<QPushButton*>(button_);
    return push && push->isDefault();
}

WPictureButton::WPictureButton(WForm* form, const std::string& name, QAbstractButton* button)
    : WCommandButton(form, name, button) {
    button_->setChecked(false);
}

void WPictureButton::SetPicture(const std::string& path) {
    const QIcon icon(ToQt(path));
    button_->setIcon(icon);
    if (!icon.isNull() && !icon.availableSizes().isEmpty()) button_->setIconSize(icon.availableSizes().first());
}

bool WPictureButton::GetPressed() const { return button_->isChecked() || button_->isDown(); }
void WPictureButton::SetPressed(bool pressed) {
    if (button_->isCheckable()) button_->setChecked(pressed);
}

WCheckBox::WCheckBox(WForm* form, const std::string& name, QAbstractButton* button)
    : WCommandButton(form, name, button) {}

bool WCheckBox::GetChecked() const { return button_->isChecked(); }
void WCheckBox::SetChecked(bool checked) { button_->setChecked(checked); }

WTextBox::WTextBox(WForm* form, const std::string& name, QLineEdit* line)
    : WWindow(line, form, name), line_(line) {
    ConnectSignals();
}

WTextBox::WTextBox(WForm* form, const std::string& name, QPlainTextEdit* multi)
    : WWindow(multi, form, name), multi_(multi) {
    multi_->setTabChangesFocus(true);
    ConnectSignals();
}

void WTextBox::ConnectSignals() {
    if (line_) {
        connect(line_, &QLineEdit::textChanged, this, [this] { Raise(ChangeEvent); });
    } else {
        connect(multi_, &QPlainTextEdit::textChanged, this, [this] {
            if (limiting_) return;
            EnforceLimit();
            Raise(ChangeEvent);
        });
    }
}

// A plain-text edit has no length limit of its own: cut what went past it, where it was typed.
void WTextBox::EnforceLimit() {
    if (!multi_ || maxLength_ <= 0) return;
    const QString text = multi_->toPlainText();
    if (text.size() <= maxLength_) return;
    limiting_ = true;
    QTextCursor cursor = multi_->textCursor();
    const int over = static_cast<int>(text.size()) - maxLength_;
    const int end = cursor.position();
    const int start = std::max(0, end - over);
    if (end - start == over) {
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else {
        multi_->setPlainText(text.left(maxLength_));
        cursor = multi_->textCursor();
        cursor.movePosition(QTextCursor::End);
    }
    multi_->setTextCursor(cursor);
    limiting_ = false;
}

void WTextBox::SetText(const std::string& text) {
    const QString value = ToQt(text);
    if (line_) {
        line_->setText(value);
        return;
    }
    multi_->setPlainText(maxLength_ > 0 ? value.left(maxLength_) : value);
}

std::string WTextBox::GetText() const {
    return FromQt(line_ ? line_->text() : multi_->toPlainText());
}

void WTextBox::SetReadOnly(bool readOnly) {
    if (line_) line_->setReadOnly(readOnly);
    else multi_->setReadOnly(readOnly);
}

bool WTextBox::GetReadOnly() const { return line_ ? line_->isReadOnly() : multi_->isReadOnly(); }

void WTextBox::SetMaxLength(int characters) {
    maxLength_ = std::max(0, characters);
    if (line_) {
        line_->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
        return;
    }
    EnforceLimit();
}

void WTextBox::SetDigitsOnly(bool digitsOnly) {
    if (!line_) return;
    if (!digitsOnly) {
        line_->setValidator(nullptr);
        return;
    }
    line_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), line_));
}

void WTextBox::SetSelection(int start, int end) {
    if (line_) {
        line_->setSelection(start, end - start);
        if (start == end) line_->setCursorPosition(start);
        return;
    }
    QTextCursor cursor = multi_->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    multi_->setTextCursor(cursor);
}

int WTextBox::GetSelectionStart() const {
    if (line_) return line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
    return multi_->textCursor().selectionStart();
}

int WTextBox::GetSelectionEnd() const {
    if (line_) return line_->hasSelectedText() ? line_->selectionEnd() : line_->cursorPosition();
    return multi_->textCursor().selectionEnd();
}

void WTextBox::Type(const std::string& text) {
    if (line_) line_->insert(ToQt(text));
    else multi_->insertPlainText(ToQt(text));
}

WPictureBox::WPictureBox(WForm* form, const std::string& name, QLabel* label)
    : WWindow(label, form, name), label_(label) {}

void WPictureBox::SetPicture(const std::string& path) { label_->setPixmap(QPixmap(ToQt(path))); }

WGroupBox::WGroupBox(WForm* form, const std::string& name, QWidget* box) : WWindow(box, form, name) {}

void WGroupBox::SetText(const std::string& text) {
    if (auto* group = qobject_cast<QGroupBox*>(GetWidget())) group->setTitle(ToQt(text));
}

std::string WGroupBox::GetText() const {
    auto* group = qobject_cast<QGroupBox*>(GetWidget());
    return group ? FromQt(group->title()) : std::string();
}
