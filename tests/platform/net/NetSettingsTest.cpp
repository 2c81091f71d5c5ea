// The configuration file beside the program: defaults, and each key the file names in their place.

#include <gtest/gtest.h>

#include "platform/net/NetSettings.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(NetSettingsTest, WithoutAFileTheMakersServersAreUsed) {
    TempFolder folder;
    const NetSettings settings = ReadNetSettings(folder.File(NetSettingsFileName()).string());
    EXPECT_EQ(settings.WebSite(), "www.kestavo.com");
    EXPECT_EQ(settings.ftpPort, 21);
    EXPECT_EQ(settings.ftpPassword, "pinetor");
    EXPECT_EQ(settings.connectTimeoutMs, 1000);
    EXPECT_LE(settings.stallSeconds, 30);
}

TEST(NetSettingsTest, TheFileReplacesWhatItNamesAndKeepsTheRest) {
    TempFolder folder;
    const auto path = folder.File(NetSettingsFileName());
    ASSERT_TRUE(WriteFileText(path,
                              "# local servers\r\n"
                              "  web_host = 127.0.0.1 \r\n"
                              "web_port=8123\n"
                              "ftp_port = many\n"
                              "ftp_user = tester\n"
                              "stall_seconds = 3\n"
                              "colour = blue\n"
                              "no equals sign\n"));
    const NetSettings settings = ReadNetSettings(path.string());
    EXPECT_EQ(settings.WebSite(), "127.0.0.1:8123");
    EXPECT_EQ(settings.ftpHost, "ftp.kestavo.com");
    EXPECT_EQ(settings.ftpPort, 21);
    EXPECT_EQ(settings.ftpUser, "tester");
    EXPECT_EQ(settings.stallSeconds, 3);
}

}  // namespace
