#pragma once
// Forms: a window built from its dialog template, with the controls created over the template's
// items. WDialog is opened modally (window-modal, so parentless windows stay usable) and returns
// when it has ended; WModelessDialog stays open after Create returns.
//
// Life of a window: Create builds the template and raises CreateEvent (the generated set-up);
// Close raises CloseEvent (the close box, Esc without a cancel button, a command); a CloseEvent
// that no handler answers ends the window; ending raises DestroyEvent and then the widgets go.

#include <QDialog>
#include <map>
#include <string>
#include <vector>

#include "platform/forms/WWindow.h"

class WCommandButton;
class WMenu;
class FormWindow;

// A rectangle on the screen, in pixels.
struct WRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Bottom() const { return top + height; }
};

class WForm : public WWindow {
    Q_OBJECT
public:
    explicit WForm(std::string formName);
    ~WForm() override;

    const std::string& GetFormName() const { return GetName(); }
    bool IsModal() const { return modal_; }
    bool HasWindow() const { return window_ != nullptr; }
    QDialog* GetWindow() const;

    // Raises CloseEvent; a close that no handler answers ends the window.
    void Close();
    // Ends the window: a modal dialog returns from its opening with the code, a modeless one is
    // destroyed. Safe to call from a handler of one of the window's own controls.
    void EndWindow(int code = 0);
    // Asks for Close from the event loop (a posted close request).
    void PostClose();

    void SetDefaultButton(WCommandButton* button);
    void SetCancelButton(WCommandButton* button);
    WCommandButton* GetDefaultButton() const { return defaultButton_; }
    WCommandButton* GetCancelButton() const { return cancelButton_; }
    void SetMenuBar(WMenu* menu);   // attaches the menu bar to the window (NULL detaches)
    void CenterWindow();
    // The window's icon, from a file or a Qt resource path; also the program's own icon when the
    // form is the main form.
    void SetIcon(const std::string& path);
    // Sets the tab order of the controls as given (labels and other unfocusable ones are skipped).
    void SetTabOrder(const std::vector<WWindow*>& controls);

    // The controls created over this window, by member name (for the form itself and for tests).
    WWindow* FindControl(const std::string& name) const;
    template <class T>
    T* Control(const std::string& name) const { return dynamic_cast<T*>(FindControl(name)); }
    const std::vector<WWindow*>& Controls() const { return controls_; }

    // For WWindow only.
    void RegisterControl(WWindow* control);
    void UnregisterControl(WWindow* control);

    // The window's outer geometry (for forms that cut themselves at a control).
    int GetFrameHeight() const;   // caption and top border: outer top to client top
    // The outer rectangle, caption and borders included; empty when there is no window. Until
    // the window is first shown its frame is not known, and this is its client rectangle.
    WRect GetFrameRect() const;
    // Inside the caption and borders; before a template without a size of its own is first shown,
    // the size its layout will give it.
    WRect GetClientRect() const;
    void MoveFrameTo(int left, int top);   // the outer top-left corner goes there
    // The part of the window's screen that windows may take (without panels).
    WRect GetScreenArea() const;

protected:
    // Builds the template's widgets into the new window (the generated base calls uic's setupUi).
    virtual void SetupTemplate(QDialog* window) = 0;
    // The framework's pre-create check; a form may refuse to open.
    virtual bool PreCreateCheck() { return true; }
    // A form that ends by itself (the wait window, when its work is done) needs no test to take
    // it over: strict mode lets it run.
    virtual bool EndsByItself() const { return false; }

    bool CreateWindow(WWindow* parent, bool modal);
    int RunModal();

private:
    friend class FormWindow;
    void DestroyWindow();
    void OnEscape();

    FormWindow* window_ = nullptr;
    bool modal_ = false;
    bool ending_ = false;
    int endCode_ = 0;
    WCommandButton* defaultButton_ = nullptr;
    WCommandButton* cancelButton_ = nullptr;
    std::vector<WWindow*> controls_;
};

class WDialog : public WForm {
    Q_OBJECT
public:
    using WForm::WForm;
    // Opens the window modally over the parent's window and returns when it has ended: the code
    // given to EndWindow, -1 when the window could not be created.
    int OpenModal(WWindow* parent);
};

class WModelessDialog : public WForm {
    Q_OBJECT
public:
    using WForm::WForm;
    // Creates and shows the window; false when it could not be created.
    bool Create(WWindow* parent = nullptr);
};
