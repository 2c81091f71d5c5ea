#pragma once
// The quick-help window: a small window beside the main window with seven buttons, each
// opening a page of the help file. It has no owner window and lives on the GUI thread, so it
// stays usable while modal forms are open. Its box turns off its showing at start.

#include "__WinFirstHelp_Base.h"

class WinStart;

class WinFirstHelp : public __WinFirstHelp_Base {
public:
    // Opens the window beside the main window when the option asks for it; nothing while it is
    // shown.
    void Show(WinStart* mainWindow);
    // Closes the window when it is shown; otherwise does nothing.
    void Close();
    bool IsShown() const { return shown_; }

protected:
    void PlaceWindow() override;
    bool OnTopic(WEventData& event) override;
    bool OnDoHelpClick(WEventData& event) override;
    bool OnCloseButton(WEventData& event) override;
    bool OnClose(WEventData& event) override;
    bool OnHelp(WEventData& event) override;

private:
    void PlaceBesideMainWindow();

    WinStart* mainWindow_ = nullptr;
    bool shown_ = false;
};
