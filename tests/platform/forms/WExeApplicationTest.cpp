#include "platform/forms/WExeApplication.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct AppCase {
    const char* name;
    bool cancelStart;
    int expectedExit;
    std::vector<std::string> expectedRuns;
};

class ApplicationTest : public testing::TestWithParam<AppCase> {};

// Two handlers per event, as the program binds them: the default one, registered last, runs first.
TEST_P(ApplicationTest, RaisesStartRunAndEnd) {
    const AppCase& c = GetParam();
    WExeApplication app;
    std::vector<std::string> runs;
    app.AddEventHandler(StartEvent, [&](WEventData& e) {
        runs.push_back("start");
        if (c.cancelStart) {
            e.exitCode = -1;
            e.cancel = true;
        }
        return true;
    }, nullptr);
    app.AddEventHandler(StartEvent, [&](WEventData& e) {
        runs.push_back("startDefault");
        e.exitCode = 0;
        e.cancel = false;
        return false;
    }, nullptr);
    app.AddEventHandler(RunEvent, [&](WEventData& e) {
        runs.push_back("run");
        QTimer::singleShot(0, [] { WExeApplication::Quit(3); });
        e.exitCode = app.RunMessageLoop();
        return true;
    }, nullptr);
    app.AddEventHandler(EndEvent, [&](WEventData& e) {
        runs.push_back("end:" + std::to_string(e.exitCode));
        return true;
    }, nullptr);
    int argc = 1;
    char name[] = "kestavo";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(app.Run(argc, argv), c.expectedExit);
    EXPECT_EQ(runs, c.expectedRuns);
}

INSTANTIATE_TEST_SUITE_P(Lifecycle, ApplicationTest, testing::Values(
    AppCase{"normal", false, 3, {"startDefault", "start", "run", "end:3"}},
    AppCase{"startCancelled", true, -1, {"startDefault", "start", "end:-1"}}),
    [](const testing::TestParamInfo<AppCase>& info) { return std::string(info.param.name); });

TEST(Application, NumbersAreWrittenInTheCLocale) {
    setlocale(LC_NUMERIC, "de_DE.UTF-8");
    UseCNumericLocale();
    char text[32];
    snprintf(text, sizeof text, "%.2f", 1.5);
    EXPECT_STREQ(text, "1.50");
}

}  // namespace
