#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>

#include <string>

#include "platform/help/Help.h"
#include "platform/help/HelpViewer.h"
#include "shell/HelpTopics.h"

namespace {

class HelpViewerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_platform_help";
        static char* argv[] = {name, nullptr};
        if (!qApp) new QApplication(argc, argv);
    }
    void TearDown() override { HelpViewer::Destroy(); }

    static std::string Target(int helpId) {
        return std::string(KVO_TEST_HELP_FILE) + FindIdText(HelpTopics, helpId);
    }

    // The anchor's line as the viewport shows it, in viewport coordinates.
    static QRect AnchorRect(const HelpBrowser& browser, const QString& anchor) {
        for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().anchorNames().contains(anchor)) {
                    QTextCursor cursor(browser.document());
                    cursor.setPosition(it.fragment().position());
                    return browser.cursorRect(cursor);
                }
        return {};
    }

    static void ExpectAnchorInView(const HelpViewer& viewer, const QString& anchor) {
        const HelpBrowser& browser = *viewer.Browser();
        const QRect rect = AnchorRect(browser, anchor);
        ASSERT_TRUE(rect.isValid()) << anchor.toStdString();
        EXPECT_GE(rect.top(), -2);
        EXPECT_LT(rect.bottom(), browser.viewport()->height());
        // Scrolled to the top of the view unless the page ends first.
        const QScrollBar* bar = browser.verticalScrollBar();
        if (bar->value() < bar->maximum()) {
            EXPECT_LE(rect.top(), 2);
        }
    }
};

class EveryHelpId : public HelpViewerTest, public testing::WithParamInterface<int> {};

TEST_P(EveryHelpId, OpensItsPageAndAnchorInTheViewer) {
    const std::string topic = FindIdText(HelpTopics, GetParam());
    const std::optional<HelpTarget> target = ParseHelpTarget(Target(GetParam()));
    ASSERT_TRUE(target);

    ASSERT_TRUE(ShowHelpTarget(Target(GetParam()))) << topic;

    HelpViewer& viewer = HelpViewer::Instance();
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.CurrentPage().toStdString(), target->page);
    EXPECT_EQ(viewer.CurrentAnchor().toStdString(), target->anchor);
    EXPECT_TRUE(viewer.PageHasAnchor(QString::fromStdString(target->anchor))) << topic;
    EXPECT_FALSE(viewer.Browser()->toPlainText().isEmpty());
    ExpectAnchorInView(viewer, QString::fromStdString(target->anchor));
}

std::vector<int> AllHelpIds() {
    std::vector<int> ids;
    for (const IdTextPair* pair = HelpTopics; pair->text; ++pair) ids.push_back(pair->id);
    return ids;
}

INSTANTIATE_TEST_SUITE_P(HelpTopics, EveryHelpId, testing::ValuesIn(AllHelpIds()),
                         [](const testing::TestParamInfo<int>& info) {
                             return "id" + std::to_string(info.param);
                         });

TEST_F(HelpViewerTest, OneWindowServesEveryRequest) {
    ASSERT_TRUE(ShowHelpTarget(Target(118)));
    HelpViewer* first = &HelpViewer::Instance();
    ASSERT_TRUE(ShowHelpTarget(Target(127)));   // same page, another anchor
    ExpectAnchorInView(*first, QStringLiteral("IDH_TRIP_DATE"));
    ASSERT_TRUE(ShowHelpTarget(Target(141)));
    EXPECT_EQ(&HelpViewer::Instance(), first);
    EXPECT_EQ(first->parentWidget(), nullptr);
    int viewers = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<HelpViewer*>(window)) ++viewers;
    EXPECT_EQ(viewers, 1);
    EXPECT_EQ(first->CurrentPage(), QStringLiteral("/idh_conversion.htm"));
}

TEST_F(HelpViewerTest, ClosedViewerOpensAgainOnTheNextRequest) {
    ASSERT_TRUE(ShowHelpTarget(Target(100)));
    CloseHelpViewer();
    EXPECT_FALSE(HelpViewer::Instance().isVisible());
    ASSERT_TRUE(ShowHelpTarget(Target(106)));
    EXPECT_TRUE(HelpViewer::Instance().isVisible());
    EXPECT_EQ(HelpViewer::Instance().CurrentPage(), QStringLiteral("/idh_ingredients.htm"));
}

TEST_F(HelpViewerTest, LinksInsideTheHelpFileAreFollowed) {
    ASSERT_TRUE(ShowHelpTarget(Target(100)));
    HelpViewer& viewer = HelpViewer::Instance();
    emit viewer.Browser()->anchorClicked(QUrl(QStringLiteral("idh_trips.htm#IDH_EDIT_TRIP")));
    EXPECT_EQ(viewer.CurrentPage(), QStringLiteral("/idh_trips.htm"));
    EXPECT_EQ(viewer.CurrentAnchor(), QStringLiteral("IDH_EDIT_TRIP"));
    ExpectAnchorInView(viewer, QStringLiteral("IDH_EDIT_TRIP"));
    viewer.Browser()->backward();
    EXPECT_EQ(viewer.CurrentPage(), QStringLiteral("/idh_main.htm"));
}

TEST_F(HelpViewerTest, LinksOutOfTheHelpFileAreNotFollowed) {
    ASSERT_TRUE(ShowHelpTarget(Target(102)));
    HelpViewer& viewer = HelpViewer::Instance();
    emit viewer.Browser()->anchorClicked(QUrl(QStringLiteral("http://127.0.0.1:9/")));
    EXPECT_EQ(viewer.CurrentPage(), QStringLiteral("/idh_resources.htm"));
}

TEST_F(HelpViewerTest, PicturesComeFromTheHelpFile) {
    ASSERT_TRUE(ShowHelpTarget(Target(100)));
    const QVariant data = HelpViewer::Instance().Browser()->loadResource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("images/tent.png")));
    QImage image;
    ASSERT_TRUE(image.loadFromData(data.toByteArray()));
    EXPECT_EQ(image.size(), QSize(48, 48));
}

TEST_F(HelpViewerTest, FileWithoutTheTopicReportsFalse) {
    EXPECT_FALSE(ShowHelpPage("/nonexistent/Kestavo.chm", "/idh_main.htm", "IDH_MAIN"));
    EXPECT_TRUE(HelpViewer::Instance().Browser()->toPlainText().contains("could not be opened"));
    EXPECT_FALSE(ShowHelpPage(KVO_TEST_HELP_FILE, "/idh_missing.htm", ""));
    EXPECT_TRUE(HelpViewer::Instance().Browser()->toPlainText().contains("has no page"));
    // After a problem text the real page comes back.
    ASSERT_TRUE(ShowHelpTarget(Target(100)));
    EXPECT_TRUE(HelpViewer::Instance().Browser()->toPlainText().contains("Kestavo Help"));
}

TEST_F(HelpViewerTest, FileAloneShowsItsDefaultTopic) {
    ASSERT_TRUE(ShowHelpTarget(KVO_TEST_HELP_FILE));
    EXPECT_EQ(HelpViewer::Instance().CurrentPage(), QStringLiteral("/idh_main.htm"));
    EXPECT_EQ(HelpViewer::Instance().windowTitle(), QStringLiteral("Kestavo Help"));
    ASSERT_TRUE(ShowHelpTarget(Target(116)));
    EXPECT_EQ(HelpViewer::Instance().windowTitle(), QStringLiteral("People - Kestavo Help"));
}

}  // namespace
