#include "platform/forms/WWindow.h"

#include <QCoreApplication>
#include <QPushButton>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct DispatchCase {
    const char* name;
    std::vector<bool> answers;       // in registration order
    std::vector<int> expectedRuns;   // indexes of the handlers that run, in the order they run
    bool expectedHandled;
};

class EventTableTest : public testing::TestWithParam<DispatchCase> {};

TEST_P(EventTableTest, NewestRegistrationRunsFirstAndHandledStops) {
    const DispatchCase& c = GetParam();
    QPushButton button;
    WWindow window(&button, nullptr, "cb_Test");
    std::vector<int> runs;
    int tag = 0;
    for (size_t i = 0; i < c.answers.size(); ++i) {
        const bool answer = c.answers[i];
        window.AddEventHandler(ClickEvent, [&runs, i, answer](WEventData&) {
            runs.push_back(static_cast<int>(i));
            return answer;
        }, &tag);
    }
    window.AddEventHandler(ChangeEvent, [&runs](WEventData&) { runs.push_back(99); return true; }, &tag);
    EXPECT_EQ(window.Raise(ClickEvent), c.expectedHandled);
    EXPECT_EQ(runs, c.expectedRuns);
}

INSTANTIATE_TEST_SUITE_P(Dispatch, EventTableTest, testing::Values(
    DispatchCase{"none", {}, {}, false},
    DispatchCase{"oneNotHandled", {false}, {0}, false},
    DispatchCase{"allNotHandled", {false, false, false}, {2, 1, 0}, false},
    DispatchCase{"newestHandles", {false, false, true}, {2}, true},
    DispatchCase{"middleHandles", {false, true, false}, {2, 1}, true}),
    [](const testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });

TEST(EventTable, RemovingByTagLeavesOtherTables) {
    WWindow window(nullptr, nullptr, "form");
    int formTable = 0, windowTable = 0;
    std::vector<std::string> runs;
    window.AddEventHandler(CloseEvent, [&](WEventData&) { runs.push_back("form"); return false; }, &formTable);
    window.AddEventHandler(CloseEvent, [&](WEventData&) { runs.push_back("window"); return false; }, &windowTable);
    window.RemoveEventHandlers(&windowTable);
    window.Raise(CloseEvent);
    EXPECT_EQ(runs, std::vector<std::string>{"form"});
    EXPECT_EQ(window.HandlerCount(CloseEvent), 1);
}

TEST(EventTable, HandlerMayDeleteItsWindow) {
    auto* window = new WWindow(nullptr, nullptr, "doomed");
    int later = 0;
    window->AddEventHandler(ClickEvent, [&](WEventData&) { ++later; return false; }, nullptr);
    window->AddEventHandler(ClickEvent, [window](WEventData&) { delete window; return false; }, nullptr);
    EXPECT_TRUE(window->Raise(ClickEvent));
    EXPECT_EQ(later, 0);
}

TEST(UserEvent, IsDeliveredByTheEventLoopWithItsCode) {
    WWindow window(nullptr, nullptr, "grid_Trips");
    std::vector<std::uint32_t> codes;
    window.AddEventHandler(UserEvent, [&](WEventData& e) { codes.push_back(e.code); return false; }, nullptr);
    window.PostUserEvent(0);
    window.PostUserEvent(7);
    EXPECT_TRUE(codes.empty());
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{0, 7}));
}

TEST(WWindow, ItemIdComesFromTheTemplateProperty) {
    QPushButton button;
    button.setProperty("itemId", 109);
    WWindow window(&button, nullptr, "cb_Edit");
    EXPECT_EQ(window.GetItemId(), 109);
    QPushButton plain;
    EXPECT_EQ(WWindow(&plain, nullptr, "x").GetItemId(), -1);
}

}  // namespace
