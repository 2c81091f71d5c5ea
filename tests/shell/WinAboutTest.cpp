// The about box from the Help menu of a started main window, and the picture window that its
// OK shows where the options give product version 3.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>

#include "platform/forms/ModalTakeOver.h"
#include "shell/WinSplash.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/StrictModalForms.h"

namespace {

class WinAboutTest : public RunningMainWindowTest {
protected:
    void OpenAboutAndPressOK() { OpenAbout([](WForm& about) { about.Control<WCommandButton>("cb_OK")->Click(); }); }
    void OpenAbout(ModalTakeOver::Hook hook) {
        ModalTakeOver::Expect("WinAbout", std::move(hook));
        window->menu_1->FindItem(1032)->Click();
    }
    static void WriteSplash(const fs::path& path) {
        QImage picture(40, 25, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "BMP"));
    }

    StrictModalForms strict;
};

TEST_F(WinAboutTest, NamesTheProgramAndItsReleaseWithTheVersionText) {
    ASSERT_TRUE(window->menu_1->FindItem(1032)->GetItemEnabled());
    std::string caption, title, release;
    bool pictures = false;
    OpenAbout([&](WForm& about) {
        caption = about.GetText();
        title = about.Control<WLabel>("label_Title")->GetText();
        release = about.Control<WLabel>("label_Version")->GetText();
        pictures = about.Control<WPictureBox>("pictb_2")->HasPicture() && about.Control<WPictureBox>("pictb_3")->HasPicture();
        about.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_EQ(caption, "About Kestavo");
    EXPECT_EQ(title, "Kestavo");
    EXPECT_EQ(release, "Release 3.02");
    EXPECT_TRUE(pictures);
}

// Strict: a picture window that opened would be reported.
TEST_F(WinAboutTest, WithAnyOtherProductVersionOKClosesAtOnce) {
    window->options.productVersion = 0;
    OpenAboutAndPressOK();
    window->options.productVersion = 2;
    OpenAboutAndPressOK();
}

TEST_F(WinAboutTest, WithProductVersion3OKShowsThePictureFromTheParentFolderForTwoSeconds) {
    window->options.productVersion = 3;
    WriteSplash(program.parent_path() / "splash.bmp");
    bool shown = false;
    std::string caption;
    ModalTakeOver::Expect("WinSplash", [&](WForm& splash) {
        shown = splash.Control<WPictureBox>("pictb_Splash")->HasPicture();
        caption = splash.GetText();
    });
    QElapsedTimer timer;
    timer.start();
    OpenAboutAndPressOK();
    EXPECT_TRUE(shown);
    EXPECT_EQ(caption, "Software presented by...");
    EXPECT_GE(timer.elapsed(), 1900);
}

TEST_F(WinAboutTest, AClickOnThePictureClosesItBeforeTheTwoSeconds) {
    window->options.productVersion = 3;
    WriteSplash(program / "splash.bmp");
    ModalTakeOver::Expect("WinSplash", [](WForm& splash) {
        QWidget* picture = splash.Control<WPictureBox>("pictb_Splash")->GetWidget();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), picture->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(picture, &press);
    });
    QElapsedTimer timer;
    timer.start();
    OpenAboutAndPressOK();
    EXPECT_LT(timer.elapsed(), 1500);
}

TEST_F(WinAboutTest, WithNoPictureInAnyOfTheThreePlacesThePictureWindowClosesAtOnce) {
    window->options.productVersion = 3;
    ModalTakeOver::Expect("WinSplash", [](WForm&) {});
    QElapsedTimer timer;
    timer.start();
    OpenAboutAndPressOK();
    EXPECT_LT(timer.elapsed(), 1500);
}

TEST(WinSplashPlacesTest, ThePictureIsLookedForInTheProgramFolderThenTwoFoldersUp) {
    TempFolder root;
    const fs::path program = root.Path() / "a" / "b";
    fs::create_directories(program);
    const std::string folder = program.string() + "/";
    EXPECT_EQ(WinSplash::FindPicture(folder), "");
    WriteFileText(root.Path() / "splash.bmp", "x");
    EXPECT_EQ(WinSplash::FindPicture(folder), folder + "../../splash.bmp");
    WriteFileText(root.Path() / "a" / "splash.bmp", "x");
    EXPECT_EQ(WinSplash::FindPicture(folder), folder + "../splash.bmp");
    WriteFileText(program / "splash.bmp", "x");
    EXPECT_EQ(WinSplash::FindPicture(folder), folder + "splash.bmp");
}

}  // namespace
