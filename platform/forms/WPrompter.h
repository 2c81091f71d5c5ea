#pragma once
// The one service through which the program asks the user and reaches outside programs: message
// boxes, file dialogs, help topics and registered programs. The real service shows Qt dialogs; a
// test installs a ScriptedPrompter. Callable from any thread: a dialog asked for by a worker runs
// on the GUI thread.

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/launch/ProgramLauncher.h"

class WWindow;

enum class WMessageIcon { None, Information, Question, Exclamation, Stop };
enum class WMessageButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class WMessageAnswer { OK, Cancel, Yes, No };

struct WFileFilter {
    std::string description;   // "Database file (*.db)"
    std::string pattern;       // "*.db"; several joined by ';'
};

struct WFileRequest {
    bool save = false;
    std::string title;
    std::string folder;   // initial folder; empty: the current directory
    std::string file;     // initial file name
    std::vector<WFileFilter> filters;
    std::string defaultExtension;   // added to a saved name without one ("db")
};

class WPrompter {
public:
    virtual ~WPrompter() = default;

    // owner may be NULL (no owner window). Texts keep their "\r\n".
    virtual WMessageAnswer Message(WWindow* owner, const std::string& caption, const std::string& text,
                                   WMessageIcon icon, WMessageButtons buttons) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> FileDialog(WWindow* owner, const WFileRequest& request) = 0;
    // Shows a help target ("file.chm::/page.htm#anchor") in the help viewer (GUI thread).
    virtual bool Help(WWindow* owner, const std::string& target);
    // Opens the argument with the program registered for the file type; waits when asked.
    virtual LaunchProblem Launch(const std::string& fileTypeKey, const std::string& argument, bool wait);

    // The service in use: the installed one, else the Qt one.
    static WPrompter& Get();
    // Installs a service (NULL: back to the Qt one); the caller keeps ownership.
    static void Install(WPrompter* prompter);
};

// Shortcuts through the service in use.
WMessageAnswer MessageBox(WWindow* owner, const std::string& caption, const std::string& text,
                          WMessageIcon icon = WMessageIcon::None,
                          WMessageButtons buttons = WMessageButtons::OK);
std::optional<std::string> FileDialog(WWindow* owner, const WFileRequest& request);
bool RequestHelp(WWindow* owner, const std::string& target);
LaunchProblem RequestLaunch(const std::string& fileTypeKey, const std::string& argument, bool wait);

// The real service: QMessageBox and QFileDialog, window-modal over the owner.
class QtPrompter : public WPrompter {
public:
    WMessageAnswer Message(WWindow* owner, const std::string& caption, const std::string& text,
                           WMessageIcon icon, WMessageButtons buttons) override;
    std::optional<std::string> FileDialog(WWindow* owner, const WFileRequest& request) override;
};

// The stand-in for tests: records every request and answers from queues. A box with only an OK
// button takes nothing from the queue (OK is its only answer); any other box takes the next
// queued answer, or, when none is queued, Cancel (No for Yes/No) and counts as unanswered.
// A file dialog takes the next queued path; none queued means cancelled. Help and launch requests
// are recorded and then carried out as the real service does.
class ScriptedPrompter : public WPrompter {
public:
    struct Shown {
        std::string owner;   // the owner's name, "" for none
        std::string caption;
        std::string text;
        WMessageIcon icon = WMessageIcon::None;
        WMessageButtons buttons = WMessageButtons::OK;
        WMessageAnswer answer = WMessageAnswer::OK;
        bool unanswered = false;
    };

    ScriptedPrompter();    // installs itself
    ~ScriptedPrompter() override;   // puts back the service it replaced

    void Answer(WMessageAnswer answer);
    void AnswerFile(std::optional<std::string> path);

    std::vector<Shown> Messages() const;
    std::vector<WFileRequest> FileRequests() const;
    struct LaunchRequest {
        std::string fileTypeKey;
        std::string argument;
        bool wait = false;
    };
    std::vector<std::string> HelpRequests() const;
    std::vector<LaunchRequest> LaunchRequests() const;
    int Unanswered() const;
    int PendingAnswers() const;
    void Clear();

    WMessageAnswer Message(WWindow* owner, const std::string& caption, const std::string& text,
                           WMessageIcon icon, WMessageButtons buttons) override;
    std::optional<std::string> FileDialog(WWindow* owner, const WFileRequest& request) override;
    bool Help(WWindow* owner, const std::string& target) override;
    LaunchProblem Launch(const std::string& fileTypeKey, const std::string& argument, bool wait) override;

private:
    WPrompter* previous_;
    std::vector<std::string> helpRequests_;
    std::vector<LaunchRequest> launchRequests_;
    mutable std::mutex mutex_;
    std::deque<WMessageAnswer> answers_;
    std::deque<std::optional<std::string>> files_;
    std::vector<Shown> shown_;
    std::vector<WFileRequest> fileRequests_;
};

const char* ToString(WMessageAnswer answer);
const char* ToString(WMessageIcon icon);
const char* ToString(WMessageButtons buttons);
