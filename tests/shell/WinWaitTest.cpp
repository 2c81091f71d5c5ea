// The wait window with real worker threads: status and progress crossing to the GUI thread,
// Cancel seen by the worker, a close request while the worker runs, a worker still busy when the
// window has gone, and a thread that cannot be started.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "shell/WinWait.h"
#include "tests/support/StrictModalForms.h"

namespace {

using namespace std::chrono_literals;

// Waits on the worker's side for what the GUI thread is to do, with a deadline.
bool WaitFor(const std::atomic<bool>& flag) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!flag.load()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// What the window shows, read on the GUI thread while it is open.
struct Shown {
    std::string status;
    std::string cancelText;
    int position = -1;
    int maximum = -1;
    bool cancelVisible = false;
    bool cancelLineVisible = false;
    bool open = false;
};

Shown Look(WinWait& wait) {
    return GuiCall([&wait] {
        Shown shown;
        shown.open = wait.HasWindow();
        if (!shown.open) return shown;
        shown.status = wait.Control<WLabel>("label_Status")->GetText();
        shown.cancelText = wait.Control<WLabel>("label_Cancel")->GetText();
        shown.position = wait.Control<WProgressBar>("progb_Progress")->GetPosition();
        shown.maximum = wait.Control<WProgressBar>("progb_Progress")->GetMaximum();
        shown.cancelVisible = wait.Control<WCommandButton>("cb_Cancel")->GetVisible();
        shown.cancelLineVisible = wait.Control<WLabel>("label_Cancel")->GetVisible();
        return shown;
    });
}

class WinWaitTest : public ::testing::Test {
protected:
    StrictModalForms strict;
    WinWait wait;
};

TEST_F(WinWaitTest, AWorkerSetsStatusAndProgressAndFinishes) {
    Shown shown;
    bool ranOnAnotherThread = false;
    const std::thread::id gui = std::this_thread::get_id();
    EXPECT_TRUE(wait.Run(nullptr, false, 7, [&] {
        ranOnAnotherThread = std::this_thread::get_id() != gui;
        wait.SetStatus("Deleting trips");
        wait.SetProgress(3);
        shown = Look(wait);
        wait.Finish();
    }));
    EXPECT_TRUE(ranOnAnotherThread);
    EXPECT_TRUE(shown.open);
    EXPECT_EQ(shown.status, "Deleting trips");
    EXPECT_EQ(shown.position, 3);
    EXPECT_EQ(shown.maximum, 7);
    EXPECT_FALSE(shown.cancelVisible);
    EXPECT_FALSE(shown.cancelLineVisible);
    EXPECT_FALSE(wait.HasWindow());
}

struct ProgressCase {
    const char* name;
    int maximum;
    int position;
    int shown;
};
void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.name; }

class WinWaitProgressTest : public WinWaitTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(WinWaitProgressTest, AProgressPositionIsClampedIntoTheRange) {
    const ProgressCase& c = GetParam();
    Shown shown;
    wait.Run(nullptr, false, c.maximum, [&] {
        wait.SetProgress(c.position);
        shown = Look(wait);
        wait.Finish();
    });
    EXPECT_EQ(shown.position, c.shown);
    EXPECT_EQ(shown.maximum, c.maximum);
}

INSTANTIATE_TEST_SUITE_P(Positions, WinWaitProgressTest,
                         ::testing::Values(ProgressCase{"AboveTheMaximumIsFull", 13, 20, 13},
                                           ProgressCase{"MaximumOneIsFullAtOne", 1, 1, 1},
                                           ProgressCase{"BelowZeroIsEmpty", 7, -4, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinWaitTest, CancelIsSeenByTheWorkerAndTheWindowStaysUntilItFinishes) {
    std::atomic<bool> clicked{false};
    ModalTakeOver::Expect("WinWait", [&](WForm& form) {
        form.Control<WCommandButton>("cb_Cancel")->Click();
        form.Control<WCommandButton>("cb_Cancel")->Click();   // twice: the notice and the flag stay
        clicked = true;
    });
    Shown shown;
    bool sawCancel = false;
    EXPECT_TRUE(wait.Run(nullptr, true, 1, [&] {
        if (WaitFor(clicked)) sawCancel = wait.IsCancelled();
        shown = Look(wait);
        wait.Finish();
    }));
    EXPECT_TRUE(sawCancel);
    EXPECT_TRUE(shown.open);
    EXPECT_TRUE(shown.cancelVisible);
    EXPECT_EQ(shown.cancelText, "*** TASK CANCELLED *** please wait a moment");
}

TEST_F(WinWaitTest, ASecondRunAfterACancelledOneStartsNotCancelled) {
    ModalTakeOver::Expect("WinWait", [](WForm& form) { form.Control<WCommandButton>("cb_Cancel")->Click(); });
    wait.Run(nullptr, true, 1, [&] {
        while (!wait.IsCancelled()) std::this_thread::sleep_for(1ms);
        wait.Finish();
    });
    bool cancelledAtStart = true;
    Shown shown;
    wait.Run(nullptr, true, 1, [&] {
        cancelledAtStart = wait.IsCancelled();
        shown = Look(wait);
        wait.Finish();
    });
    EXPECT_FALSE(cancelledAtStart);
    EXPECT_EQ(shown.cancelText, "Click 'Cancel' to interrupt the task.");
}

struct CloseCase {
    const char* name;
    bool cancellable;
};
void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class WinWaitCloseTest : public WinWaitTest, public ::testing::WithParamInterface<CloseCase> {};

// The close box before the worker has finished keeps the window: the caller's objects are in use.
TEST_P(WinWaitCloseTest, ACloseWhileTheWorkerRunsKeepsTheWindow) {
    const CloseCase& c = GetParam();
    std::atomic<bool> closeTried{false};
    bool openAfterClose = false;
    ModalTakeOver::Expect("WinWait", [&](WForm& form) {
        form.Close();
        openAfterClose = form.HasWindow();
        closeTried = true;
    });
    bool cancelled = !c.cancellable;
    EXPECT_TRUE(wait.Run(nullptr, c.cancellable, 1, [&] {
        WaitFor(closeTried);
        cancelled = wait.IsCancelled();
        wait.Finish();
    }));
    EXPECT_TRUE(openAfterClose);
    EXPECT_EQ(cancelled, c.cancellable);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WinWaitCloseTest,
                         ::testing::Values(CloseCase{"CountsAsCancelWhenCancellable", true},
                                           CloseCase{"IsIgnoredWhenNotCancellable", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The owner of a worker lives on the caller's stack: Run returns only after the worker's last
// step, even one taken after Finish, and a status sent then does not hang the GUI thread.
TEST_F(WinWaitTest, TheOwnerMayBeDestroyedRightAfterRunReturns) {
    struct Owner {
        WinWait wait;
        int steps = 0;
        void Work() {
            wait.Finish();
            std::this_thread::sleep_for(50ms);
            wait.SetStatus("late");
            ++steps;
        }
    };
    auto owner = std::make_unique<Owner>();
    EXPECT_TRUE(owner->wait.Run(nullptr, false, 1, &Owner::Work, owner.get()));
    EXPECT_EQ(owner->steps, 1);
    owner.reset();
}

TEST_F(WinWaitTest, AWorkerThatReturnsWithoutFinishStillClosesTheWindow) {
    bool ran = false;
    EXPECT_TRUE(wait.Run(nullptr, false, 1, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(wait.HasWindow());
}

TEST_F(WinWaitTest, AWorkerWhoseThreadCannotStartClosesTheWindowAndAnswersFalse) {
    bool ran = false;
    WThread::RefuseNextStart();
    EXPECT_FALSE(wait.Run(nullptr, true, 1, [&] { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_FALSE(wait.HasWindow());
    // The next run has a thread again.
    EXPECT_TRUE(wait.Run(nullptr, true, 1, [&] { ran = true; }));
    EXPECT_TRUE(ran);
}

// A worker may ask the user from its thread; the question runs on the GUI thread.
TEST_F(WinWaitTest, AWorkerAsksTheUserThroughTheGuiThread) {
    ScriptedPrompter prompter;
    prompter.Answer(WMessageAnswer::Yes);
    WMessageAnswer answer = WMessageAnswer::No;
    wait.Run(nullptr, true, 1, [&] {
        answer = MessageBox(&wait, "Name already exists", "Replace it?", WMessageIcon::Question,
                            WMessageButtons::YesNo);
        wait.Finish();
    });
    EXPECT_EQ(answer, WMessageAnswer::Yes);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Name already exists");
}

}  // namespace
