#include "platform/forms/WPrompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

#include "platform/forms/GuiCall.h"
#include "platform/forms/WWindow.h"

namespace {

struct AnswerCase {
    const char* name;
    WMessageButtons buttons;
    std::vector<WMessageAnswer> queued;
    WMessageAnswer expected;
    bool unanswered;
    int left;   // answers still queued afterwards
};

class ScriptedAnswerTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(ScriptedAnswerTest, AnswersFromTheQueue) {
    const AnswerCase& c = GetParam();
    ScriptedPrompter prompter;
    for (WMessageAnswer a : c.queued) prompter.Answer(a);
    EXPECT_EQ(MessageBox(nullptr, "Remove Trip?", "Sure?\r\n", WMessageIcon::Question, c.buttons), c.expected);
    EXPECT_EQ(prompter.Unanswered(), c.unanswered ? 1 : 0);
    EXPECT_EQ(prompter.PendingAnswers(), c.left);
}

INSTANTIATE_TEST_SUITE_P(Answers, ScriptedAnswerTest, testing::Values(
    AnswerCase{"okBoxTakesNothing", WMessageButtons::OK, {WMessageAnswer::Cancel}, WMessageAnswer::OK, false, 1},
    AnswerCase{"okCancelQueuedOK", WMessageButtons::OKCancel, {WMessageAnswer::OK}, WMessageAnswer::OK, false, 0},
    AnswerCase{"okCancelNothingQueued", WMessageButtons::OKCancel, {}, WMessageAnswer::Cancel, true, 0},
    AnswerCase{"yesNoNothingQueued", WMessageButtons::YesNo, {}, WMessageAnswer::No, true, 0},
    AnswerCase{"yesNoCancelQueuedNo", WMessageButtons::YesNoCancel, {WMessageAnswer::No, WMessageAnswer::Yes},
               WMessageAnswer::No, false, 1}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(ScriptedPrompter, RecordsCaptionTextIconButtonsAndOwner) {
    ScriptedPrompter prompter;
    WWindow owner(nullptr, nullptr, "WinStart");
    prompter.Answer(WMessageAnswer::Yes);
    MessageBox(&owner, "Startup Error", "line one\r\nline two", WMessageIcon::Stop, WMessageButtons::OK);
    MessageBox(nullptr, "New trip traveller", "Add?", WMessageIcon::Exclamation, WMessageButtons::YesNo);
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].owner, "WinStart");
    EXPECT_EQ(shown[0].caption, "Startup Error");
    EXPECT_EQ(shown[0].text, "line one\r\nline two");
    EXPECT_EQ(shown[0].icon, WMessageIcon::Stop);
    EXPECT_EQ(shown[0].buttons, WMessageButtons::OK);
    EXPECT_EQ(shown[1].owner, "");
    EXPECT_EQ(shown[1].answer, WMessageAnswer::Yes);
}

TEST(ScriptedPrompter, FileDialogsAnswerFromTheirQueueAndCancelWhenEmpty) {
    ScriptedPrompter prompter;
    prompter.AnswerFile("/tmp/a.db");
    prompter.AnswerFile(std::nullopt);
    WFileRequest request;
    request.title = "Restore database from backup";
    request.folder = "/prog/dbbackups";
    request.filters = {{"Database file (*.db)", "*.db"}, {"All files", "*.*"}};
    EXPECT_EQ(FileDialog(nullptr, request), std::optional<std::string>("/tmp/a.db"));
    EXPECT_EQ(FileDialog(nullptr, request), std::nullopt);
    EXPECT_EQ(FileDialog(nullptr, request), std::nullopt);
    const auto requests = prompter.FileRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].title, "Restore database from backup");
    EXPECT_EQ(requests[0].folder, "/prog/dbbackups");
    EXPECT_EQ(requests[0].filters[1].pattern, "*.*");
}

TEST(ScriptedPrompter, RemovingItPutsBackTheServiceItReplaced) {
    WPrompter* before = &WPrompter::Get();
    {
        ScriptedPrompter prompter;
        EXPECT_EQ(&WPrompter::Get(), &prompter);
    }
    EXPECT_EQ(&WPrompter::Get(), before);
}

// Opens the real file dialog for a request and gives back the filters it shows, then cancels it.
QStringList FiltersShownFor(const WFileRequest& request) {
    QStringList shown;
    QElapsedTimer deadline;
    deadline.start();
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (!dialog || !dialog->isVisible()) continue;
            if (deadline.elapsed() < 10000 && dialog->nameFilters().isEmpty()) return;
            shown = dialog->nameFilters();
            dialog->reject();
        }
    });
    poll.start();
    QtPrompter prompter;
    EXPECT_EQ(prompter.FileDialog(nullptr, request), std::nullopt);
    return shown;
}

// "Database file (*.db)" came out as "Database file (*.db) (*.db)".
TEST(QtPrompter, FileDialogsShowEachFilterOnce) {
    WFileRequest request;
    request.title = "Restore Database From File";
    request.folder = QDir::tempPath().toStdString();
    request.filters = {{"Database file (*.db)", "*.db"}, {"All files", "*.*"}};
    EXPECT_EQ(FiltersShownFor(request), QStringList({"Database file (*.db)", "All files (*)"}));

    request.save = true;
    request.filters = {{"Text files", "*.txt;*.rtf"}, {"Recipe (*.rtf)", "*.rtf"}};
    EXPECT_EQ(FiltersShownFor(request), QStringList({"Text files (*.txt *.rtf)", "Recipe (*.rtf)"}));
}

TEST(GuiCall, RunsAWorkersCallOnTheGuiThreadAndHandsBackTheAnswer) {
    ScriptedPrompter prompter;
    prompter.Answer(WMessageAnswer::Yes);
    QThread* gui = QThread::currentThread();
    QThread* ranOn = nullptr;
    WMessageAnswer answer = WMessageAnswer::Cancel;
    QEventLoop loop;
    std::thread worker([&] {
        answer = GuiCall([&] {
            ranOn = QThread::currentThread();
            return MessageBox(nullptr, "Name clash", "Replace?", WMessageIcon::Question, WMessageButtons::YesNo);
        });
        GuiPost(&loop, [&loop] { loop.quit(); });
    });
    loop.exec();
    worker.join();
    EXPECT_EQ(ranOn, gui);
    EXPECT_EQ(answer, WMessageAnswer::Yes);
}

TEST(GuiCall, OnTheGuiThreadIsAPlainCall) {
    int calls = 0;
    GuiCall([&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(GuiCall([] { return 42; }), 42);
}

}  // namespace
