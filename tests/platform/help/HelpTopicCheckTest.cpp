#include <gtest/gtest.h>

#include <QProcess>

namespace {

struct CheckResult {
    int exitCode;
    QString output;
};

CheckResult RunCheck(const QString& chmPath) {
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(QStringLiteral(KVO_HELP_CHECK), {chmPath});
    EXPECT_TRUE(check.waitForFinished(-1));
    return {check.exitCode(), QString::fromUtf8(check.readAll())};
}

TEST(HelpTopicCheck, AcceptsTheBuiltHelpFile) {
    const CheckResult result = RunCheck(QStringLiteral(KVO_TEST_HELP_FILE));
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_TRUE(result.output.contains("all 41 help topics resolve"));
}

TEST(HelpTopicCheck, RefusesAFileThatLacksTopics) {
    const CheckResult result = RunCheck(QStringLiteral(KVO_TEST_INCOMPLETE_HELP_FILE));
    EXPECT_EQ(result.exitCode, 1);
    const std::string output = result.output.toStdString();
    EXPECT_NE(output.find("help id 117, topic ::/idh_people.htm#IDH_EDIT_PERSON: no such anchor"),
              std::string::npos) << output;
    EXPECT_NE(output.find("help id 141, topic ::/idh_conversion.htm#IDH_CONVERSION: no such page"),
              std::string::npos) << output;
    EXPECT_EQ(output.find("help id 100,"), std::string::npos) << output;
    EXPECT_EQ(output.find("help id 116,"), std::string::npos) << output;
}

TEST(HelpTopicCheck, RefusesAMissingFile) {
    EXPECT_EQ(RunCheck(QStringLiteral("/nonexistent/Kestavo.chm")).exitCode, 1);
}

}  // namespace
