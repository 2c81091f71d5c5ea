// The FTP client against pyftpdlib on a free local port: a put arrives byte for byte; a refused
// login, a server that may not be written and no server at all are told apart.

#include <gtest/gtest.h>

#include <string>

#include "platform/net/WFtp.h"
#include "tests/platform/net/LocalServers.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

class WFtpTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(local.File("up"));
        std::string bytes;
        for (int i = 0; i < 70000; ++i) bytes += static_cast<char>(i % 256);
        bytes += "\r\nline\nend\r";
        payload = bytes;
        ASSERT_TRUE(WriteFileText(local.File("data.kvo"), payload));
    }
    void Point(int port, const std::string& password = "secret") {
        ftp.SetServer("127.0.0.1", port);
        ftp.SetAccount("tester", password);
        ASSERT_TRUE(ftp.Open());
    }

    TempFolder local;
    TempFolder remote;
    std::string payload;
    WFtp ftp;
};

TEST_F(WFtpTest, APutArrivesByteForByteUnderItsName) {
    LocalFtpServer server(remote.Path(), "tester", "secret", true);
    ASSERT_TRUE(server.Running());
    Point(server.Port());
    ASSERT_TRUE(ftp.Connect()) << ftp.ErrorText();
    ASSERT_TRUE(ftp.PutFile(local.File("data.kvo").string(), "kvoupdate_1.kvo")) << ftp.ErrorText();
    ftp.Disconnect();
    EXPECT_TRUE(ReadFileText(remote.File("kvoupdate_1.kvo")) == payload);
}

TEST_F(WFtpTest, AWrongPasswordIsAFailedConnection) {
    LocalFtpServer server(remote.Path(), "tester", "secret", true);
    ASSERT_TRUE(server.Running());
    Point(server.Port(), "wrong");
    EXPECT_FALSE(ftp.Connect());
    EXPECT_FALSE(ftp.PutFile(local.File("data.kvo").string(), "kvoupdate_1.kvo"));
    EXPECT_TRUE(ListFolder(remote.Path()).empty());
}

TEST_F(WFtpTest, AServerThatMayNotBeWrittenRefusesThePut) {
    LocalFtpServer server(remote.Path(), "tester", "secret", false);
    ASSERT_TRUE(server.Running());
    Point(server.Port());
    ASSERT_TRUE(ftp.Connect()) << ftp.ErrorText();
    EXPECT_FALSE(ftp.PutFile(local.File("data.kvo").string(), "kvoupdate_1.kvo"));
    EXPECT_FALSE(ftp.ErrorText().empty());
    EXPECT_TRUE(ListFolder(remote.Path()).empty());
}

TEST_F(WFtpTest, NoServerOnThePortIsAFailedConnection) {
    Point(FreeLocalPort());
    EXPECT_FALSE(ftp.Connect());
}

TEST_F(WFtpTest, AnInjectedOpenFailureGivesNoClient) {
    InjectOpenFailures(1);
    EXPECT_FALSE(ftp.Open());
    EXPECT_FALSE(ftp.Connect());
}

}  // namespace
