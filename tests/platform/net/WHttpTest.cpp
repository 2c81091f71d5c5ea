// The HTTP client against real local servers: bodies of 200 answers, statuses that are no data,
// refused and silent servers, cancelling and a refusing sink.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "platform/net/WHttp.h"
#include "tests/platform/net/LocalServers.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

std::string BinaryBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

class WHttpTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.File("KVOUpdate"));
        ASSERT_TRUE(WriteFileText(folder.File("KVOUpdate/data.bin"), body));
    }
    WNetStep Get(const std::string& site, const std::string& path) {
        http.SetSite(site);
        EXPECT_TRUE(http.Open());
        received.clear();
        return http.Get(path, [this](const char* bytes, std::size_t size) {
            received.append(bytes, size);
            return true;
        });
    }
    static std::string Site(int port) { return "127.0.0.1:" + std::to_string(port); }

    TempFolder folder;
    const std::string body = BinaryBytes(250000);
    WHttp http;
    std::string received;
};

TEST_F(WHttpTest, AGetDeliversTheWholeBodyByteForByte) {
    LocalHttpServer server(folder.Path());
    ASSERT_TRUE(server.Running());
    for (const char* path : {"KVOUpdate/data.bin", "/KVOUpdate/data.bin"}) {
        EXPECT_EQ(Get(Site(server.Port()), path), WNetStep::None) << path << http.ErrorText();
        EXPECT_EQ(http.Status(), 200);
        EXPECT_TRUE(received == body) << path << ": " << received.size() << " bytes";
    }
}

TEST_F(WHttpTest, ANotFoundAnswerIsAStatusAndNoData) {
    LocalHttpServer server(folder.Path());
    ASSERT_TRUE(server.Running());
    EXPECT_EQ(Get(Site(server.Port()), "KVOUpdate/missing.zip"), WNetStep::None);
    EXPECT_EQ(http.Status(), 404);
    EXPECT_EQ(http.Reason(), "File not found");
    EXPECT_TRUE(received.empty());
}

TEST_F(WHttpTest, NoServerOnThePortIsAConnectFailure) {
    EXPECT_EQ(Get(Site(FreeLocalPort()), "KVOUpdate/data.bin"), WNetStep::Connect);
    EXPECT_FALSE(http.ErrorText().empty());
}

TEST_F(WHttpTest, AServerThatNeverAnswersFailsOnceTheStallTimeHasPassed) {
    SilentServer server;
    ASSERT_NE(server.Port(), 0);
    http.SetStallTimeout(2);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Get(Site(server.Port()), "KVOUpdate/data.bin"), WNetStep::Send);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(1500));
    EXPECT_LT(elapsed, std::chrono::seconds(8));
}

TEST_F(WHttpTest, TheCancelFlagStopsASlowTransfer) {
    SlowHttpServer server(folder.Path(), 1000);
    ASSERT_TRUE(server.Running());
    std::atomic<bool> cancelled{false};
    http.SetCancelFlag(&cancelled);
    http.SetSite(Site(server.Port()));
    ASSERT_TRUE(http.Open());
    std::size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    const WNetStep step = http.Get("KVOUpdate/data.bin", [&](const char*, std::size_t size) {
        bytes += size;
        if (bytes >= 3000) cancelled = true;
        return true;
    });
    EXPECT_EQ(step, WNetStep::Cancelled);
    EXPECT_LT(bytes, body.size());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(WHttpTest, ASinkThatRefusesStopsTheTransfer) {
    LocalHttpServer server(folder.Path());
    ASSERT_TRUE(server.Running());
    http.SetSite(Site(server.Port()));
    ASSERT_TRUE(http.Open());
    EXPECT_EQ(http.Get("KVOUpdate/data.bin", [](const char*, std::size_t) { return false; }), WNetStep::Write);
}

TEST_F(WHttpTest, AnInjectedOpenFailureGivesNoClient) {
    InjectOpenFailures(1);
    EXPECT_FALSE(http.Open());
    EXPECT_EQ(http.Get("x", [](const char*, std::size_t) { return true; }), WNetStep::Open);
    EXPECT_TRUE(http.Open());
}

}  // namespace
