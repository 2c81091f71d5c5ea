#pragma once
// Lets a test take over modal forms as they open: a hook queued for a form name runs once the
// form's window is up and its modal loop runs, so the hook can set the controls and click.
// In strict mode a modal form that opens with no hook waiting is closed at once and recorded, so
// that a test never waits on a window nobody answers.

#include <functional>
#include <string>
#include <vector>

class WForm;

namespace ModalTakeOver {

using Hook = std::function<void(WForm& form)>;

// Queues a hook for the next opening of the form named formName ("WinNotes"); hooks for one
// name run in the order they were queued, one per opening.
void Expect(const std::string& formName, Hook hook);
void SetStrict(bool strict);
// Forms that opened in strict mode with no hook, in the order they opened.
std::vector<std::string> Unexpected();
// Hooks queued and not yet used.
int Pending();
void Reset();

// For the framework: the hook for an opening of formName, empty when none is queued.
Hook TakeHook(const std::string& formName);
bool IsStrict();
void NoteUnexpected(const std::string& formName);

}  // namespace ModalTakeOver
