// The notes editor opened through its entry function on rows of a private database copy: what
// OK writes (notes, credit, modified stamp), what Cancel leaves, the contributor part shown or
// cut off (then a fixed height that cuts no text, also at 144 dpi), the typing limit, and the
// licence page handed to the registered program.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDialog>
#include <QLayout>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "shell/WinNotes.h"
#include "tests/support/FormLayoutFaults.h"
#include "tests/support/MainWindowDatabaseTest.h"

namespace fs = std::filesystem;

namespace {

// The text boxes write line breaks in their own way; compare texts without carriage returns.
std::string WithoutCR(std::string text) {
    std::erase(text, '\r');
    return text;
}

struct TableCase {
    const char* table;
    const char* itemName;
    bool catalogue;   // stamps modified and edits the contributor credit
};
void PrintTo(const TableCase& c, std::ostream* os) { *os << c.table; }


// A note and a credit with everything that the SQL escaping must carry.
const std::string kNote = "It's 50:50 \\ half \"salt\"\nsecond line\n\nthird: C:\\Trips\\";
const std::string kCredit = "O'Brien: \"camp\\cook\"\nline two";

class WinNotesTest : public MainWindowDatabaseTest {
protected:
    void SetUp() override {
        MainWindowDatabaseTest::SetUp();
        ModalTakeOver::Reset();
        ModalTakeOver::SetStrict(true);
        Exec("insert into Ingredients (id, name, notes, licensor) values (5, 'salt', 'old note', 'old credit')");
        Exec("insert into Courses (id, name, notes, licensor) values (5, 'stew', 'old note', 'old credit')");
        Exec("insert into Meals (id, name, notes, licensor) values (5, 'dinner', 'old note', 'old credit')");
        Exec("insert into People (id, name, notes) values (5, 'Ann', 'old note')");
        Exec("insert into Trips (id, name, notes) values (5, 'Hike', 'old note')");
        Exec("insert into TripDays (id, day_num, trip, notes) values (5, 1, 5, 'old note')");
        Exec("insert into DayFoodStops (id, trip_day, food_stop, notes) values (5, 5, 1, 'old note')");
    }
    void TearDown() override {
        EXPECT_TRUE(ModalTakeOver::Unexpected().empty());
        EXPECT_EQ(ModalTakeOver::Pending(), 0);
        ModalTakeOver::Reset();
        MainWindowDatabaseTest::TearDown();
    }

    std::string Text(const std::string& sql) { return Value(sql).AsText(); }
    bool Edit(const TableCase& c) { return notes.Edit(nullptr, c.table, 5, c.itemName, c.catalogue, c.catalogue); }

    ScriptedPrompter prompter;
    WinNotes notes;
};

class WinNotesTableTest : public WinNotesTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(WinNotesTableTest, OKStoresTheNoteAndTheCreditUnchanged) {
    const TableCase& c = GetParam();
    std::string caption, shownNote, shownCredit, boxNote, boxCredit;
    bool creditShown = false;
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        caption = form.GetText();
        shownNote = form.Control<WTextBox>("textb_Notes")->GetText();
        auto* credit = form.Control<WTextBox>("textb_License");
        creditShown = credit->GetVisible() && form.Control<WCommandButton>("cb_License")->GetVisible();
        shownCredit = credit->GetText();
        form.Control<WTextBox>("textb_Notes")->SetText(kNote);
        if (creditShown) credit->SetText(kCredit);
        boxNote = form.Control<WTextBox>("textb_Notes")->GetText();
        boxCredit = credit->GetText();
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(Edit(c));
    EXPECT_EQ(caption, std::string("Notes for '") + c.itemName + "'");
    EXPECT_EQ(shownNote, "old note");
    EXPECT_EQ(creditShown, c.catalogue);
    const std::string table = c.table;
    const std::string stored = Text("select notes from " + table + " where id = 5");
    EXPECT_EQ(stored, boxNote);
    EXPECT_EQ(WithoutCR(stored), WithoutCR(kNote));
    if (c.catalogue) {
        EXPECT_EQ(shownCredit, "old credit");
        const std::string credit = Text("select licensor from " + table + " where id = 5");
        EXPECT_EQ(credit, boxCredit);
        EXPECT_EQ(WithoutCR(credit), WithoutCR(kCredit));
        EXPECT_FALSE(Value("select modified from " + table + " where id = 5").IsNull());
    }
    if (table == "People" || table == "Trips")
        EXPECT_TRUE(Value("select modified from " + table + " where id = 5").IsNull());
}

TEST_P(WinNotesTableTest, CancelWritesNothing) {
    const TableCase& c = GetParam();
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        form.Control<WTextBox>("textb_Notes")->SetText("changed");
        form.Control<WTextBox>("textb_License")->SetText("changed credit");
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    EXPECT_FALSE(Edit(c));
    const std::string table = c.table;
    EXPECT_EQ(Text("select notes from " + table + " where id = 5"), "old note");
    if (c.catalogue) {
        EXPECT_EQ(Text("select licensor from " + table + " where id = 5"), "old credit");
        EXPECT_TRUE(Value("select modified from " + table + " where id = 5").IsNull());
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, WinNotesTableTest,
                         ::testing::Values(TableCase{"Ingredients", "salt", true},
                                           TableCase{"Courses", "stew", true},
                                           TableCase{"Meals", "dinner", true},
                                           TableCase{"People", "Ann", false},
                                           TableCase{"Trips", "Hike", false},
                                           TableCase{"TripDays", "trip day 1", false},
                                           TableCase{"DayFoodStops", "trip stop", false}),
                         [](const auto& info) { return std::string(info.param.table); });

TEST_F(WinNotesTest, WithoutCreditTheDialogEndsAboveTheContributorPart) {
    int height = 0, creditTop = 0;
    bool hidden = false;
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        height = form.GetWindow()->height();
        creditTop = form.Control<WCommandButton>("cb_License")->GetWidget()->y();
        hidden = !form.Control<WTextBox>("textb_License")->GetVisible() &&
                 !form.Control<WCommandButton>("cb_License")->GetVisible();
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    notes.Edit(nullptr, "People", 5, "Ann", false, false);
    EXPECT_TRUE(hidden);
    EXPECT_GT(height, 0);
    EXPECT_LE(height, creditTop);
}

// The cut-off height is the window's least and most alike, at every dpi the suite runs at, and
// covers what the texts need at the narrowest width: a window manager can neither squash the
// notes box and buttons nor stretch the window over the hidden contributor part.
TEST_F(WinNotesTest, WithoutCreditTheHeightStaysFixedAndCutsNoText) {
    QSize least, most;
    int need = 0;
    std::vector<std::string> cut{"not measured"};
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        QDialog* window = form.GetWindow();
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        least = window->minimumSize();
        most = window->maximumSize();
        QLayout* layout = window->layout();
        need = layout->totalMinimumSize().height();
        if (layout->hasHeightForWidth()) need = std::max(need, layout->totalHeightForWidth(least.width()));
        cut = ResizeAndSettle(window, least) ? CutTexts(window) : std::vector<std::string>{"not at its least size"};
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    notes.Edit(nullptr, "People", 5, "Ann", false, false);
    EXPECT_EQ(least.height(), most.height()) << "at " << ScreenDpi() << " dpi";
    EXPECT_GE(least.height(), need);
    EXPECT_TRUE(cut.empty()) << testing::PrintToString(cut);
}

TEST_F(WinNotesTest, OKWithoutChangesStillStampsAndAnswersTrue) {
    ModalTakeOver::Expect("WinNotes", [](WForm& form) { form.Control<WCommandButton>("cb_OK")->Click(); });
    EXPECT_TRUE(notes.Edit(nullptr, "Ingredients", 5, "salt", true, true));
    EXPECT_EQ(Text("select notes from Ingredients where id = 5"), "old note");
    EXPECT_FALSE(Value("select modified from Ingredients where id = 5").IsNull());
}

TEST_F(WinNotesTest, EmptyCreditBoxIsEditableAndStoresEmpty) {
    Exec("update Meals set licensor = null where id = 5");
    bool readOnly = true;
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        readOnly = form.Control<WTextBox>("textb_License")->GetReadOnly();
        EXPECT_EQ(form.Control<WTextBox>("textb_License")->GetText(), "");
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(notes.Edit(nullptr, "Meals", 5, "dinner", true, true));
    EXPECT_FALSE(readOnly);
    EXPECT_TRUE(Value("select licensor from Meals where id = 5") == WDataValue(std::string()));
}

TEST_F(WinNotesTest, NoRowOpensEmpty) {
    std::string shown = "x";
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        shown = form.Control<WTextBox>("textb_Notes")->GetText();
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(notes.Edit(nullptr, "People", 99, "nobody", false, false));
    EXPECT_EQ(shown, "");
}

TEST_F(WinNotesTest, TypingStopsAtTheLimit) {
    int length = 0;
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        auto* box = form.Control<WTextBox>("textb_Notes");
        box->SetText(std::string(14998, 'n'));
        box->SetSelection(14998, 14998);
        box->Type("abcdef");
        length = static_cast<int>(box->GetText().size());
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(notes.Edit(nullptr, "People", 5, "Ann", false, false));
    EXPECT_EQ(length, 15000);
    EXPECT_EQ(Text("select notes from People where id = 5"), std::string(14998, 'n') + "ab");
}

// A note stored longer than the limit (an import, an older version) loads whole, and OK writes
// it back whole: the limit only keeps typing from making it longer.
TEST_F(WinNotesTest, StoredNoteLongerThanTheLimitIsNeverCut) {
    std::string longNote;
    for (int i = 0; i < 2000; ++i) longNote += "line " + std::to_string(i) + "\n";
    ASSERT_GT(longNote.size(), 15000u);
    WQuery store(main.transaction_KVO.get());
    ASSERT_TRUE(store.Execute("update People set notes = ? where id = 5", {WDataValue(longNote)}));
    std::string shown, afterTyping;
    ModalTakeOver::Expect("WinNotes", [&](WForm& form) {
        auto* box = form.Control<WTextBox>("textb_Notes");
        shown = box->GetText();
        box->SetSelection(0, 0);
        box->Type("more");
        afterTyping = box->GetText();
        form.Control<WCommandButton>("cb_OK")->Click();
    });
    EXPECT_TRUE(notes.Edit(nullptr, "People", 5, "Ann", false, false));
    EXPECT_EQ(WithoutCR(shown), longNote);
    EXPECT_EQ(afterTyping, shown);   // typing cannot make it longer
    EXPECT_EQ(Text("select notes from People where id = 5"), shown);
}

// The licence page goes to the program that this (private) desktop registers for HTML.
TEST_F(WinNotesTest, LicenseOpensThePageWithTheRegisteredProgram) {
    const fs::path root = folder.File("desktop");
    const fs::path record = folder.File("opened.txt");
    const fs::path probe = root / "probe.sh";
    fs::create_directories(root / "data/applications");
    fs::create_directories(root / "config");
    std::ofstream(probe) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << record.string() << ".part\"\nmv \""
                         << record.string() << ".part\" \"" << record.string() << "\"\n";
    fs::permissions(probe, fs::perms::owner_all);
    std::ofstream(root / "data/applications/kvo-html-probe.desktop")
        << "[Desktop Entry]\nType=Application\nName=Probe\nExec=" << probe.string() << " %f\n";
    std::ofstream(root / "config/mimeapps.list") << "[Default Applications]\ntext/html=kvo-html-probe.desktop\n";
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (root / "etc").c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    setenv("XDG_DATA_DIRS", "/usr/share", 1);
    unsetenv("XDG_CURRENT_DESKTOP");

    ModalTakeOver::Expect("WinNotes", [](WForm& form) {
        form.Control<WCommandButton>("cb_License")->Click();
        form.Control<WCommandButton>("cb_Cancel")->Click();
    });
    notes.Edit(nullptr, "Ingredients", 5, "salt", true, true);
    for (int i = 0; i < 200 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ASSERT_TRUE(fs::exists(record));
    std::stringstream opened;
    opened << std::ifstream(record).rdbuf();
    EXPECT_EQ(opened.str(), main.programFolder + "food_data_license.html\n");
    EXPECT_TRUE(prompter.Messages().empty());
}

// A run started with QT_FONT_DPI lays the forms out for that dpi (Qt reads it at start-up).
TEST(ScreenDpiTest, TheFormsAreLaidOutForTheDpiTheRunWasStartedWith) {
    const char* dpi = std::getenv("QT_FONT_DPI");
    EXPECT_DOUBLE_EQ(ScreenDpi(), dpi ? std::atof(dpi) : 96.0);
}

TEST(FoodDataLicenseTest, PageShipsInTheProgramFolder) {
    const char* build = std::getenv("KVO_TEST_BUILD_DIR");
    const fs::path page = fs::path(build ? build : KVO_BUILD_DIR) / "Kestavo" / "food_data_license.html";
    ASSERT_TRUE(fs::exists(page)) << page;
    std::stringstream text;
    text << std::ifstream(page).rdbuf();
    EXPECT_NE(text.str().find("<title>"), std::string::npos);
}

}  // namespace
