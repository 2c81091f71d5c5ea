#include "platform/forms/WControls.h"

#include <algorithm>

#include <QGroupBox>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/forms/WForm.h"

namespace {
// A line edit's limit when nobody set one.
constexpr int NoLineLimit = 32767;
}  // namespace

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
    : WCommandButton(form, name, button) {
    // The state, not the click: an accessibility toggle changes it without clicked().
    disconnect(button_, &QAbstractButton::clicked, this, nullptr);
    const bool option = qobject_cast<QRadioButton*>(button_) != nullptr;
    connect(button_, &QAbstractButton::toggled, this, [this, option](bool checked) {
        if (setting_ || (option && !checked)) return;
        Raise(ClickEvent);
    });
}

bool WCheckBox::GetChecked() const { return button_->isChecked(); }

void WCheckBox::SetChecked(bool checked) {
    setting_ = true;
    button_->setChecked(checked);
    setting_ = false;
}

WTextBox::WTextBox(WForm* form, const std::string& name, QLineEdit* line)
    : WWindow(line, form, name), line_(line) {
    // A limit the template gives holds as one set in code does (Qt's default means none).
    if (line->maxLength() != NoLineLimit) maxLength_ = line->maxLength();
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
        return;
    }
    connect(multi_->document(), &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        if (!limiting_) EnforceLimit(position, removed, added);
    });
    connect(multi_, &QPlainTextEdit::textChanged, this, [this] {
        if (!limiting_) Raise(ChangeEvent);
    });
}

// The limit holds for what the user types or pastes, as an edit control's does: a longer text
// set by the program (a stored note) stays whole, and typing cannot make it longer still.
void WTextBox::EnforceLimit(int position, int removed, int added) {
    if (maxLength_ <= 0 || added <= 0) return;
    const int length = multi_->document()->characterCount() - 1;
    const int before = length - added + removed;
    const int allowed = std::max(maxLength_, before);
    if (length <= allowed) return;
    const int excess = std::min(added, length - allowed);
    limiting_ = true;
    QTextCursor cursor(multi_->document());
    cursor.setPosition(position + added - excess);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    limiting_ = false;
}

void WTextBox::SetText(const std::string& text) {
    const QString value = ToQt(text);
    if (line_) {
        // As in a multi-line box, a longer text set by the program stays whole; the line edit
        // then takes no more than it holds.
        const int limit = maxLength_ > 0 ? maxLength_ : NoLineLimit;
        line_->setMaxLength(std::max(limit, static_cast<int>(value.size())));
        line_->setText(value);
        return;
    }
    // The box holds line feeds; a text given with "\r\n" line breaks reads back with them, any
    // other as it was, so that a stored text comes back unchanged.
    crlf_ = value.contains("\r\n");
    QString plain = value;
    plain.replace("\r\n", "\n");
    limiting_ = true;
    multi_->setPlainText(plain);
    limiting_ = false;
    Raise(ChangeEvent);
}

std::string WTextBox::GetText() const {
    if (line_) return FromQt(line_->text());
    QString text = multi_->toPlainText();
    if (crlf_) text.replace("\n", "\r\n");
    return FromQt(text);
}

void WTextBox::SetReadOnly(bool readOnly) {
    if (line_) line_->setReadOnly(readOnly);
    else multi_->setReadOnly(readOnly);
}

bool WTextBox::GetReadOnly() const { return line_ ? line_->isReadOnly() : multi_->isReadOnly(); }

void WTextBox::SetMaxLength(int characters) {
    maxLength_ = std::max(0, characters);
    if (line_) {
        line_->setMaxLength(maxLength_ > 0 ? maxLength_ : NoLineLimit);
    }
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
    else multi_->insertPlainText(ToQt(text).replace("\r\n", "\n"));
}

WPictureBox::WPictureBox(WForm* form, const std::string& name, QLabel* label)
    : WWindow(label, form, name), label_(label) {
    WatchMouse();
}

void WPictureBox::SetPicture(const std::string& path) { label_->setPixmap(QPixmap(ToQt(path))); }

bool WPictureBox::HasPicture() const { return !label_->pixmap().isNull(); }

WGroupBox::WGroupBox(WForm* form, const std::string& name, QWidget* box) : WWindow(box, form, name) {}

void WGroupBox::SetText(const std::string& text) {
    if (auto* group = qobject_cast<QGroupBox*>(GetWidget())) group->setTitle(ToQt(text));
}

std::string WGroupBox::GetText() const {
    auto* group = qobject_cast<QGroupBox*>(GetWidget());
    return group ? FromQt(group->title()) : std::string();
}

void WTextBox::KeepWidthFor(const std::vector<std::string>& texts) {
    if (!line_) return;
    const QFontMetrics metrics(line_->font());
    int widest = 0;
    for (const std::string& text : texts) widest = std::max(widest, metrics.horizontalAdvance(ToQt(text)));
    // As QLineEdit sizes itself: the text, its fixed side margin of 2 on each side, the text and
    // contents margins, then the frame the style draws around it.
    constexpr int kSideMargin = 2;
    const QMargins text = line_->textMargins(), contents = line_->contentsMargins();
    const int inner = widest + 2 * kSideMargin + text.left() + text.right() + contents.left() + contents.right();
    QStyleOptionFrame option;
    option.initFrom(line_);
    option.lineWidth = line_->hasFrame() ? line_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, line_) : 0;
    option.features = QStyleOptionFrame::None;
    const QSize size = line_->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, line_->sizeHint().height()), line_);
    line_->setMinimumWidth(size.width());
}
