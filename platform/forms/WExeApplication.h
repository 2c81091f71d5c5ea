#pragma once
// The application object. Run raises StartEvent, then RunEvent unless a StartEvent handler set
// the cancel flag, then EndEvent, and returns the exit code the handlers left in the events.
// A RunEvent that no handler answers runs the message loop.

#include <string>

#include "platform/forms/WWindow.h"

class WForm;

class WExeApplication : public WWindow {
    Q_OBJECT
public:
    WExeApplication();
    ~WExeApplication() override;

    // Creates the Qt application when there is none yet, with numbers in the C locale.
    int Run(int& argc, char** argv);
    // Runs the message loop until Quit; answers the quit code.
    int RunMessageLoop();
    static void Quit(int code);

    static WExeApplication* Instance() { return instance_; }
    // The main form: the generated close handler of that form quits the application.
    static void SetMainForm(WForm* form) { mainForm_ = form; }
    static WForm* GetMainForm() { return mainForm_; }

private:
    static WExeApplication* instance_;
    static WForm* mainForm_;
};

// Sets the C library's numeric locale to "C" (Qt sets it from the user's environment).
void UseCNumericLocale();
