// The meal list and the measurement converter as the main window commands them, and the
// converter at start-up and at exit, on a main window started on real files.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include <QDialog>

#include "catalogue/WinConvert.h"
#include "platform/forms/ModalTakeOver.h"
#include "tests/startup/MainWindowFixture.h"

namespace {

constexpr const char* kOptionsWithConverter =
    "kvo_v_10:\r\nproduct_version: 0\r\nuser_name: \r\nuser_email: \r\ningredient_units: 0\r\nreport_type: 1\r\n"
    "startup_help: 0\r\ncooking_measure: 0\r\nstartup_convert: %d\r\npreview_mag: 0\r\nsafe_edits: 0\r\nkvo_end:\r\n";

class CatalogueFromMainWindowTest : public MainWindowTest {
protected:
    void WriteOptions(int startupConvert) {
        char text[512];
        std::snprintf(text, sizeof text, kOptionsWithConverter, startupConvert);
        WriteFileText(current / "kvo.dat", text);
    }
    WinConvert& Converter() { return *window->winConvert; }
    void Restart() {
        window->DestroyDataObjects();
        delete window;
        window = nullptr;
        Start();
    }
    WMenuItem* Command(int id) { return window->menu_1->FindItem(id); }
};

enum class MealsCommand { PictureButton, Menu };
struct MealsCase {
    const char* name;
    MealsCommand command;
    friend void PrintTo(const MealsCase& c, std::ostream* os) { *os << c.name; }
};

class MealsCommandTest : public CatalogueFromMainWindowTest, public ::testing::WithParamInterface<MealsCase> {};

TEST_P(MealsCommandTest, OpensTheMealListOverTheMainWindow) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "insert into Meals( name ) values( 'Breakfast' );");
    WriteOptions(0);
    Start();
    ModalTakeOver::Reset();
    ModalTakeOver::SetStrict(true);
    std::string caption;
    long rows = 0;
    bool overMainWindow = false;
    ModalTakeOver::Expect("WinMeals", [&](WForm& form) {
        caption = form.GetText();
        rows = form.Control<WGrid>("grid_Meals")->GetNumRows();
        overMainWindow = form.GetWindow()->parentWidget() == window->GetWindow();
        form.Control<WCommandButton>("cb_Close")->Click();
    });
    if (GetParam().command == MealsCommand::PictureButton)
        window->Control<WPictureButton>("pictbttn_Meals")->Click();
    else
        Command(1019)->Click();
    EXPECT_EQ(caption, "Meals");
    EXPECT_EQ(rows, 1);
    EXPECT_TRUE(overMainWindow);
    EXPECT_EQ(ModalTakeOver::Pending(), 0);
    EXPECT_TRUE(ModalTakeOver::Unexpected().empty());
    ModalTakeOver::Reset();
}

INSTANTIATE_TEST_SUITE_P(Commands, MealsCommandTest,
                         ::testing::Values(MealsCase{"PictureButton", MealsCommand::PictureButton},
                                           MealsCase{"Menu", MealsCommand::Menu}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StartupCase {
    const char* name;
    int startupConvert;   // -1: no options file
    bool shown;
    friend void PrintTo(const StartupCase& c, std::ostream* os) { *os << c.name; }
};

class ConverterAtStartTest : public CatalogueFromMainWindowTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(ConverterAtStartTest, OpensWhenTheOptionsAskForIt) {
    SeedDatabase();
    if (GetParam().startupConvert != -1) WriteOptions(GetParam().startupConvert);
    Start();
    EXPECT_EQ(Converter().IsShown(), GetParam().shown);
    EXPECT_EQ(Converter().HasWindow(), GetParam().shown);
    // The units were loaded either way, for the menu command.
    EXPECT_EQ(Converter().UnitCount(), 13);
    EXPECT_TRUE(Command(1013)->GetItemEnabled());
    EXPECT_TRUE(Command(1019)->GetItemEnabled());
}

INSTANTIATE_TEST_SUITE_P(Options, ConverterAtStartTest,
                         ::testing::Values(StartupCase{"Asked", 1, true}, StartupCase{"NotAsked", 0, false},
                                           StartupCase{"NoOptionsFile", -1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CatalogueFromMainWindowTest, ACheckedBoxAndAnExitKeepTheConverterClosedAtTheNextStart) {
    SeedDatabase();
    WriteOptions(1);
    Start();
    ASSERT_TRUE(Converter().HasWindow());
    Converter().Control<WCheckBox>("checkbox_Startup")->Click();
    window->Close();
    RunPostedEvents();
    EXPECT_FALSE(Converter().HasWindow());   // the exit closed it
    EXPECT_NE(ReadFileText(current / "kvo.dat").find("startup_convert: 0\r\n"), std::string::npos);

    Restart();
    EXPECT_FALSE(Converter().HasWindow());
    Command(1013)->Click();
    EXPECT_TRUE(Converter().HasWindow());
    EXPECT_TRUE(window->options.startupConvert);
}

TEST_F(CatalogueFromMainWindowTest, TheMenuCommandOpensItAgainAfterTheCloseBox) {
    SeedDatabase();
    Start();
    ASSERT_TRUE(Converter().HasWindow());
    QDialog* first = Converter().GetWindow();
    Command(1013)->Click();   // shown: nothing happens
    EXPECT_EQ(Converter().GetWindow(), first);
    Converter().GetWindow()->close();
    RunPostedEvents();
    EXPECT_FALSE(Converter().HasWindow());
    Command(1013)->Click();
    EXPECT_TRUE(Converter().HasWindow());
    EXPECT_TRUE(Converter().IsShown());
}

TEST_F(CatalogueFromMainWindowTest, TheConverterOpensBelowTheMainWindowMovingItUpWhenNeeded) {
    SeedDatabase();
    Start();
    ASSERT_TRUE(Converter().HasWindow());
    WRect main = window->GetFrameRect();
    WRect own = Converter().GetFrameRect();
    const WRect screen = window->GetScreenArea();
    auto expectPlaced = [&](int mainTopBefore) {
        const int excess = mainTopBefore + main.height + own.height - screen.Bottom();
        const int mainTop = excess > 0 ? std::max(screen.top, mainTopBefore - excess) : mainTopBefore;
        EXPECT_EQ(main.top, mainTop);
        EXPECT_EQ(own.left, main.left);
        EXPECT_EQ(own.top, std::min(mainTop + main.height, screen.Bottom() - own.height));
    };
    // The start-up placed it from the centred main window.
    main = window->GetFrameRect();
    own = Converter().GetFrameRect();
    EXPECT_EQ(own.left, main.left);
    EXPECT_TRUE(own.top == main.Bottom() || own.Bottom() == screen.Bottom());

    for (const int mainTop : {screen.top, screen.Bottom() - main.height / 2}) {
        SCOPED_TRACE(mainTop);
        Converter().Close();
        RunPostedEvents();
        window->MoveFrameTo(screen.left + 5, mainTop);
        Command(1013)->Click();
        main = window->GetFrameRect();
        own = Converter().GetFrameRect();
        expectPlaced(mainTop);
    }
}

// A locale with a decimal comma for this process: the installed de_DE.UTF-8, else one built
// into the folder from Debian's locale sources.
bool UseDecimalCommaLocale(const fs::path& folder) {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return true;
    const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1 || !fs::exists(folder / "de_DE.UTF-8")) return false;
    setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST_F(CatalogueFromMainWindowTest, AStartUnderADecimalCommaLocaleStillPrintsADecimalPoint) {
    ASSERT_TRUE(UseDecimalCommaLocale(root.Path())) << "no de_DE.UTF-8 locale and none could be built";
    char check[16];
    std::snprintf(check, sizeof check, "%.1f", 1.5);
    ASSERT_STREQ(check, "1,5");
    SeedDatabase();
    Start();
    ASSERT_TRUE(Converter().HasWindow());
    auto* from = Converter().Control<WComboBox>("combo_From");
    auto* to = Converter().Control<WComboBox>("combo_To");
    auto* amount = Converter().Control<WTextBox>("textb_Amount");
    auto* result = Converter().Control<WTextBox>("textb_Equals");
    EXPECT_EQ(result->GetText(), "0.0010");   // 1.0 ml in litres
    from->Pick(from->FindText("oz (weight: ounces)"));
    to->Pick(to->FindText("g (weight: grams)"));
    for (const char* typed : {"2,5", "2.5"}) {
        amount->SetText(typed);
        EXPECT_EQ(result->GetText(), "70.8738") << typed;
    }
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
