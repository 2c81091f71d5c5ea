#include "platform/forms/WWindow.h"

#include <QCoreApplication>
#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QVariant>
#include <algorithm>

#include "platform/forms/GuiCall.h"
#include "platform/forms/WForm.h"
#include "platform/forms/WMenu.h"

namespace {

const QEvent::Type kUserEventType = static_cast<QEvent::Type>(QEvent::User + 83);

class PostedUserEvent : public QEvent {
public:
    explicit PostedUserEvent(std::uint32_t code) : QEvent(kUserEventType), code(code) {}
    std::uint32_t code;
};

// One token for every user event: what a thread wrote before it posted is read after delivery.
char userEventToken = 0;

// The label whose buddy the widget is: the label that names it.
QLabel* LabelOf(const QWidget* widget) {
    for (QLabel* label : widget->window()->findChildren<QLabel*>())
        if (label->buddy() == widget) return label;
    return nullptr;
}

// A label's text as it is read out: "&Name:" is "Name:", "&&" is one "&".
QString WithoutMnemonic(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// The text a control shows of its own (a button's caption), which is then its name.
QString ShownText(const QWidget* widget) {
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    return {};
}

}  // namespace

QString ToQt(const std::string& text) { return QString::fromStdString(text); }
std::string FromQt(const QString& text) { return text.toStdString(); }

WWindow::WWindow(QWidget* widget, WForm* form, std::string name)
    : widget_(widget), form_(form), name_(std::move(name)) {
    if (form_) form_->RegisterControl(this);
    if (form_ && widget_) NameAfterLabel();
}

// Screen readers, and the end-to-end tests, find a control by its accessible name. Qt names some
// kinds of field after their label on its own, but never a list or a grid: name them all alike.
// A label that a caption names (an address after "Web:") is read by what it holds, its text.
void WWindow::NameAfterLabel() {
    if (!widget_->accessibleName().isEmpty() || qobject_cast<const QLabel*>(widget_)) return;
    if (const QLabel* label = LabelOf(widget_)) widget_->setAccessibleName(WithoutMnemonic(label->text()));
}

WWindow::~WWindow() {
    if (form_) form_->UnregisterControl(this);
    if (widget_ && MouseWidget()) MouseWidget()->removeEventFilter(this);
}

void WWindow::AddEventHandler(WEventId id, WEventHandler handler, const void* tag) {
    entries_.push_back({id, std::move(handler), tag});
}

void WWindow::RemoveEventHandlers(const void* tag) {
    std::erase_if(entries_, [tag](const Entry& e) { return e.tag == tag; });
}

int WWindow::HandlerCount(WEventId id) const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [id](const Entry& e) { return e.id == id; }));
}

bool WWindow::Raise(WEventData& event) {
    if (!event.source) event.source = this;
    // A handler may change the table or delete this object (a close that destroys the window):
    // walk a copy and stop when the object is gone.
    const std::vector<Entry> entries = entries_;
    QPointer<WWindow> self(this);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->id != event.id) continue;
        if (it->handler(event)) return true;
        if (!self) return true;
    }
    return false;
}

bool WWindow::Raise(WEventId id) {
    WEventData event;
    event.id = id;
    return Raise(event);
}

void WWindow::PostUserEvent(std::uint32_t code) {
    auto* event = new PostedUserEvent(code);
    HandedOver(&userEventToken);
    QCoreApplication::postEvent(this, event);
}

void WWindow::customEvent(QEvent* event) {
    TakenOver(&userEventToken);   // before the event itself is read
    if (event->type() != kUserEventType) return;
    WEventData data;
    data.id = UserEvent;
    data.code = static_cast<PostedUserEvent*>(event)->code;
    Raise(data);
}

int WWindow::GetItemId() const {
    if (!widget_) return -1;
    const QVariant id = widget_->property("itemId");
    return id.isValid() ? id.toInt() : -1;
}

void WWindow::SetText(const std::string& text) {
    if (widget_) widget_->setWindowTitle(ToQt(text));
}

std::string WWindow::GetText() const { return widget_ ? FromQt(widget_->windowTitle()) : std::string(); }

void WWindow::SetEnabled(bool enabled) {
    if (widget_) widget_->setEnabled(enabled);
}

bool WWindow::GetEnabled() const { return widget_ && widget_->isEnabled(); }

void WWindow::SetVisible(bool visible) {
    if (widget_) widget_->setVisible(visible);
}

bool WWindow::GetVisible() const { return widget_ && !widget_->isHidden(); }

void WWindow::SetFocus() {
    if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

bool WWindow::HasFocus() const { return widget_ && widget_->hasFocus(); }

void WWindow::SetHint(const std::string& hint) {
    if (!widget_) return;
    widget_->setToolTip(ToQt(hint));
    widget_->setStatusTip(ToQt(hint));
    // A control with neither a text nor a label of its own (a picture button) is named by its
    // hint; a form keeps its caption as its name.
    if (!form_) return;
    const bool unnamed = widget_->accessibleName().isEmpty() && ShownText(widget_).isEmpty() && !LabelOf(widget_);
    if (namedByHint_ || unnamed) {
        widget_->setAccessibleName(ToQt(hint));
        namedByHint_ = true;
    }
}

std::string WWindow::GetHint() const { return widget_ ? FromQt(widget_->toolTip()) : std::string(); }

void WWindow::WatchMouse() {
    if (QWidget* w = MouseWidget()) w->installEventFilter(this);
}

bool WWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != MouseWidget()) return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    WEventData data;
    const QPoint pos = mouse->position().toPoint();
    data.x = pos.x();
    data.y = pos.y();
    data.row = RowAt(pos);
    if (type == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
        data.id = DoubleClickEvent;
    else if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
        data.id = LeftButtonDownEvent;
    else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
        data.id = LeftButtonUpEvent;
    else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton)
        data.id = RightButtonUpEvent;
    else
        return false;
    QPointer<WWindow> self(this);
    const bool handled = Raise(data);
    if (!self) return true;
    if (data.id == RightButtonUpEvent && popup_ && !handled)
        popup_->Popup(mouse->globalPosition().toPoint());
    return false;
}
