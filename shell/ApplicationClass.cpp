#include "shell/ApplicationClass.h"

#include "shell/WinStart.h"

ApplicationClass::ApplicationClass() {
    // The newest registration runs first, so each default handler runs before its partner.
    SetEventHandler(StartEvent, this, &ApplicationClass::OnStart);
    SetEventHandler(StartEvent, this, &ApplicationClass::OnStartDefault);
    SetEventHandler(RunEvent, this, &ApplicationClass::OnRun);
    SetEventHandler(RunEvent, this, &ApplicationClass::OnRunDefault);
    SetEventHandler(EndEvent, this, &ApplicationClass::OnEnd);
    SetEventHandler(EndEvent, this, &ApplicationClass::OnEndDefault);
}

ApplicationClass::~ApplicationClass() = default;

bool ApplicationClass::OnStartDefault(WEventData& event) {
    event.exitCode = 0;
    event.cancel = false;
    return false;
}

bool ApplicationClass::OnStart(WEventData& event) {
    CreateMainForm();
    if (!AppMainForm) {
        event.exitCode = -1;
        event.cancel = true;
    }
    return true;
}

bool ApplicationClass::OnRunDefault(WEventData&) { return false; }

bool ApplicationClass::OnRun(WEventData& event) {
    event.exitCode = RunMessageLoop();
    // A copy that another one shut out has done nothing, which a caller must be able to tell.
    if (AppMainForm && AppMainForm->ShutOutByAnotherCopy()) event.exitCode = 1;
    return true;
}

bool ApplicationClass::OnEndDefault(WEventData&) { return false; }

bool ApplicationClass::OnEnd(WEventData&) {
    DestroyMainForm();
    AppMainForm = nullptr;
    return true;
}

WinStart* CreateMainForm() {
    auto* form = new WinStart;
    AppMainForm = form;
    WExeApplication::SetMainForm(form);
    if (!form->Create(nullptr)) {
        delete form;
        AppMainForm = nullptr;
        WExeApplication::SetMainForm(nullptr);
    }
    return AppMainForm;
}

void DestroyMainForm() {
    delete AppMainForm;
    AppMainForm = nullptr;
    WExeApplication::SetMainForm(nullptr);
}
