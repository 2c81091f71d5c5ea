#include "platform/forms/WForm.h"

#include <QApplication>
#include <QIcon>

#include "platform/forms/WExeApplication.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShowEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <mutex>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WControls.h"
#include "platform/forms/WMenu.h"

// The Qt window of a form: routes the close box, Esc and F1 to the form.
class FormWindow : public QDialog {
public:
    FormWindow(WForm* form, QWidget* parent) : QDialog(parent), form_(form) {
        auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
        help->setContext(Qt::WindowShortcut);
        QObject::connect(help, &QShortcut::activated, this, [this] {
            if (form_) form_->Raise(HelpEvent);
        });
    }
    void Detach() { form_ = nullptr; }

protected:
    void showEvent(QShowEvent* event) override {
        FitMinimumToLayout();
        QDialog::showEvent(event);
        if (!event->spontaneous() && !focusWidget()) FocusFirstControl();
    }
    bool event(QEvent* event) override {
        const bool handled = QDialog::event(event);
        if (event->type() == QEvent::LayoutRequest) FitMinimumToLayout();
        return handled;
    }
    void closeEvent(QCloseEvent* event) override {
        // The form decides: its CloseEvent handlers end the window or keep it.
        event->ignore();
        if (form_) form_->Close();
    }
    void reject() override {
        if (form_) form_->OnEscape();
    }

private:
    // Qt gives a window the height of its controls' minimum sizes, and a word-wrapped label's is
    // one line: at the narrowest, its lines would run over the controls below. The window is
    // never lower than its layout needs at its narrowest width. A fixed-size layout sizes itself.
    // A height the form fixed (cut at a control, measured at the designed width) stays fixed, least
    // and most alike: grown to that need when it is more (wider, the lines take no more room, so
    // every width the window allows shows all of it), never below what the form fixed. Least equal
    // to most is also how every later fit knows the height is fixed.
    void FitMinimumToLayout() {
        QLayout* layout = this->layout();
        if (!layout || layout->sizeConstraint() != QLayout::SetDefaultConstraint) return;
        const bool heightFixed = minimumHeight() == maximumHeight();
        QSize least = layout->totalMinimumSize();
        if (layout->hasHeightForWidth()) least.setHeight(std::max(least.height(), layout->totalHeightForWidth(least.width())));
        if (heightFixed) {
            least.setHeight(std::max(least.height(), maximumHeight()));
            if (least.height() != maximumHeight()) setMaximumHeight(least.height());
        }
        if (const QSize most = maximumSize().expandedTo(least); most != maximumSize()) setMaximumSize(most);
        if (least != minimumSize()) setMinimumSize(least);
    }

    // As a dialog does when it opens: the first control in the tab order takes the focus, and a
    // text box there has its text selected, so that typing replaces it (a new row's generated
    // name) rather than adding to its end. A form that placed the focus itself keeps its choice.
    void FocusFirstControl() {
        for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(this) || !w->isEnabled()) continue;
            w->setFocus(Qt::TabFocusReason);
            if (auto* box = qobject_cast<QLineEdit*>(w)) box->selectAll();
            return;
        }
    }

    WForm* form_;
};

QDialog* WForm::GetWindow() const { return window_; }

WForm::WForm(std::string formName) : WWindow(nullptr, nullptr, std::move(formName)) {}

WForm::~WForm() {
    if (window_) {
        // The object goes before its window was destroyed: drop the window without raising
        // DestroyEvent, whose handlers belong to the parts of this object already gone.
        window_->Detach();
        window_->hide();
        window_->deleteLater();
        window_ = nullptr;
    }
}

void WForm::RegisterControl(WWindow* control) { controls_.push_back(control); }

void WForm::UnregisterControl(WWindow* control) {
    std::erase(controls_, control);
    if (control == defaultButton_) defaultButton_ = nullptr;
    if (control == cancelButton_) cancelButton_ = nullptr;
}

WWindow* WForm::FindControl(const std::string& name) const {
    for (WWindow* control : controls_)
        if (control->GetName() == name) return control;
    return nullptr;
}

bool WForm::CreateWindow(WWindow* parent, bool modal) {
    if (window_ || !PreCreateCheck()) return false;
    QWidget* parentWidget = parent && parent->GetWidget() ? parent->GetWidget()->window() : nullptr;
    modal_ = modal;
    ending_ = false;
    endCode_ = 0;
    window_ = new FormWindow(this, parentWidget);
    SetupTemplate(window_);
    // A template asks for a minimize box by its "minimizeBox" property (parentless windows).
    if (window_->property("minimizeBox").toBool())
        window_->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // And a caption bar without a close box by "closeBox" false (a window that closes itself).
    const QVariant closeBox = window_->property("closeBox");
    if (closeBox.isValid() && !closeBox.toBool())
        window_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    SetWidget(window_);
    if (modal) window_->setWindowModality(Qt::WindowModal);
    QPointer<WForm> self(this);
    Raise(CreateEvent);
    return self && window_;
}

void WForm::Close() {
    if (!window_ || ending_) return;
    WEventData event;
    event.id = CloseEvent;
    QPointer<WForm> self(this);
    const bool handled = Raise(event);
    if (self && !handled) EndWindow(0);
}

void WForm::PostClose() {
    QPointer<WForm> self(this);
    QTimer::singleShot(0, this, [self] {
        if (self) self->Close();
    });
}

void WForm::EndWindow(int code) {
    if (!window_ || ending_) return;
    ending_ = true;
    endCode_ = code;
    if (modal_) {
        window_->done(code);   // the modal loop returns; RunModal destroys the window
        return;
    }
    // A command, button, pop-up item or the close box may be ending the window from inside its
    // own Qt handler, which goes on touching its widget after we return: the window disappears
    // now, and its controls and menus go once control is back in the event loop.
    window_->hide();
    QPointer<WForm> self(this);
    QTimer::singleShot(0, qApp, [self] {
        if (self) self->DestroyWindow();
    });
}

void WForm::DestroyWindow() {
    if (!window_) return;
    Raise(DestroyEvent);
    FormWindow* window = window_;
    window_ = nullptr;
    SetWidget(nullptr);
    defaultButton_ = cancelButton_ = nullptr;
    window->Detach();
    window->hide();
    // The window may be in the middle of delivering the click that ended it.
    window->deleteLater();
}

void WForm::OnEscape() {
    if (cancelButton_) {
        if (cancelButton_->GetEnabled()) cancelButton_->Click();
        return;
    }
    if (modal_) Close();
}

int WForm::RunModal() {
    QPointer<WForm> self(this);
    if (ModalTakeOver::Hook hook = ModalTakeOver::TakeHook(GetFormName())) {
        QTimer::singleShot(0, window_, [self, hook] {
            if (self && self->HasWindow()) hook(*self);
        });
    } else if (ModalTakeOver::IsStrict() && !EndsByItself()) {
        ModalTakeOver::NoteUnexpected(GetFormName());
        QTimer::singleShot(0, window_, [self] {
            if (!self) return;
            self->Close();
            if (self && self->HasWindow()) self->EndWindow(-1);
        });
    }
    if (!ending_) window_->exec();
    if (!self) return -1;
    const int code = endCode_;
    DestroyWindow();
    return code;
}

void WForm::SetDefaultButton(WCommandButton* button) {
    if (defaultButton_) defaultButton_->SetDefault(false);
    defaultButton_ = button;
    if (button) button->SetDefault(true);
}

void WForm::SetCancelButton(WCommandButton* button) { cancelButton_ = button; }

void WForm::SetMenuBar(WMenu* menu) {
    if (!window_) return;
    QMenuBar* bar = menu ? menu->GetMenuBar() : nullptr;
    if (!window_->layout()) new QVBoxLayout(window_);
    window_->layout()->setMenuBar(bar);
}

void WForm::CenterWindow() {
    if (!window_) return;
    QWidget* over = window_->parentWidget();
    const QRect screen = window_->screen() ? window_->screen()->availableGeometry() : QRect();
    const QRect area = over ? over->geometry() : screen;
    if (area.isNull()) return;
    QRect frame = window_->frameGeometry();
    // A template without a size of its own gets it from its layout only when it is shown: centre
    // the size it will have then, not Qt's small stand-in, or a big form runs off the screen.
    if (!window_->testAttribute(Qt::WA_Resized) && window_->sizeHint().isValid())
        frame.setSize(window_->sizeHint());
    frame.moveCenter(area.center());
    // Over a parent near the screen's edge (a form opened from a form), it stays on the screen.
    if (!screen.isNull()) {
        frame.moveRight(std::min(frame.right(), screen.right()));
        frame.moveBottom(std::min(frame.bottom(), screen.bottom()));
        frame.moveLeft(std::max(frame.left(), screen.left()));
        frame.moveTop(std::max(frame.top(), screen.top()));
    }
    window_->move(frame.topLeft());
}

void WForm::SetTabOrder(const std::vector<WWindow*>& controls) {
    QWidget* previous = nullptr;
    for (WWindow* control : controls) {
        QWidget* w = control ? control->GetWidget() : nullptr;
        if (!w || w->focusPolicy() == Qt::NoFocus) continue;
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

int WForm::GetFrameHeight() const {
    if (!window_) return 0;
    return window_->geometry().top() - window_->frameGeometry().top();
}

WRect WForm::GetFrameRect() const {
    if (!window_) return {};
    const QRect frame = window_->frameGeometry();
    return {frame.left(), frame.top(), frame.width(), frame.height()};
}

WRect WForm::GetClientRect() const {
    if (!window_) return {};
    QRect client = window_->geometry();
    // A template without a size of its own gets it from its layout when it is first shown.
    if (!window_->isVisible() && !window_->testAttribute(Qt::WA_Resized) && window_->sizeHint().isValid())
        client.setSize(window_->sizeHint());
    return {client.left(), client.top(), client.width(), client.height()};
}

void WForm::MoveFrameTo(int left, int top) {
    if (window_) window_->move(left, top);   // QWidget::move places the frame's corner
}

WRect WForm::GetScreenArea() const {
    QScreen* screen = window_ ? window_->screen() : QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect area = screen->availableGeometry();
    return {area.left(), area.top(), area.width(), area.height()};
}

int WDialog::OpenModal(WWindow* parent) {
    if (!CreateWindow(parent, true)) return -1;
    return RunModal();
}

bool WModelessDialog::Create(WWindow* parent) {
    if (!CreateWindow(parent, false)) return false;
    if (HasWindow()) GetWindow()->show();
    return HasWindow();
}

namespace ModalTakeOver {
namespace {
struct State {
    std::mutex mutex;
    std::map<std::string, std::deque<Hook>> hooks;
    std::vector<std::string> unexpected;
    bool strict = false;
};
State& TheState() {
    static State state;
    return state;
}
}  // namespace

void Expect(const std::string& formName, Hook hook) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.hooks[formName].push_back(std::move(hook));
}

void SetStrict(bool strict) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.strict = strict;
}

std::vector<std::string> Unexpected() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    return s.unexpected;
}

int Pending() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    int n = 0;
    for (const auto& [name, queue] : s.hooks) n += static_cast<int>(queue.size());
    return n;
}

void Reset() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.hooks.clear();
    s.unexpected.clear();
    s.strict = false;
}

Hook TakeHook(const std::string& formName) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    auto it = s.hooks.find(formName);
    if (it == s.hooks.end() || it->second.empty()) return {};
    Hook hook = std::move(it->second.front());
    it->second.pop_front();
    return hook;
}

bool IsStrict() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    return s.strict;
}

void NoteUnexpected(const std::string& formName) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.unexpected.push_back(formName);
}

}  // namespace ModalTakeOver

void WForm::SetIcon(const std::string& path) {
    const QIcon icon(ToQt(path));
    if (window_) window_->setWindowIcon(icon);
    if (WExeApplication::GetMainForm() == this) QApplication::setWindowIcon(icon);
}
