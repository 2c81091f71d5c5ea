// Changes the database does not store, as the user meets them through the started program: a
// commit that fails under another program's read lock, and writes refused by a read-only file
// or folder or a full disk. Each is told once ("Database Error"), nothing of it is shown as
// saved, and the next change once the file can be written again is stored.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/forms/ModalTakeOver.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/DamagedDatabase.h"
#include "tests/support/FileRefusals.h"
#include "tests/support/StrictModalForms.h"

namespace {

void Click(WForm& form, const char* name) { form.Control<WCommandButton>(name)->Click(); }

std::string NotStored(const std::string& reason) {
    return "Kestavo could not store the change:\r\n" + reason + "\r\nNothing of it was kept.";
}

class DatabaseErrorTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SeedDatabase();
    }

    std::vector<std::string> Told() const {
        std::vector<std::string> texts;
        for (const auto& shown : prompter.Messages()) {
            EXPECT_EQ(shown.caption, "Database Error");
            EXPECT_EQ(shown.icon, WMessageIcon::Stop);
            EXPECT_EQ(shown.buttons, WMessageButtons::OK);
            texts.push_back(shown.text);
        }
        return texts;
    }
    // Read by another program, never through the program's connection.
    long RowsOnFile(const std::string& sql) { return ValueOnFile(Database(), sql); }
    // People > Add, then the editor on the new person: the name typed, OK.
    void AddPerson(const std::optional<std::string>& typedName) {
        ModalTakeOver::Expect("WinPeople", [=](WForm& people) {
            if (typedName)
                ModalTakeOver::Expect("WinEditPerson", [=](WForm& editor) {
                    editor.Control<WTextBox>("textb_Person")->SetText(*typedName);
                    Click(editor, "cb_OK");
                });
            Click(people, "cb_Add");
            Click(people, "cb_Close");
        });
        window->Control<WPictureButton>("pictbttn_People")->Click();
        RunPostedEvents();
    }

    StrictModalForms strictModalForms;
};

TEST_F(DatabaseErrorTest, ATripWhoseCommitFailsUnderAReadersLockIsToldNotListedNotKept) {
    Start();
    ReadLock reader(Database());
    ASSERT_TRUE(reader.Held());
    ModalTakeOver::Expect("WinTripWizardDetails", [](WForm& form) {
        form.Control<WTextBox>("textb_Name")->SetText("Lake");
        form.Control<WTextBox>("textb_NumDays")->SetText("3");
        Click(form, "cb_OK");
    });
    Click(*window, "cb_Add");   // no other page opens: there is no trip to go on with
    RunPostedEvents();
    EXPECT_EQ(Told(), std::vector<std::string>{NotStored("database is locked")});
    EXPECT_EQ(window->grid_Trips->GetNumRows(), 0);
    EXPECT_TRUE(CanStartWrite(Database()));   // the connection holds no transaction
    reader.Release();
    EXPECT_EQ(RowsOnFile("select count(*) from Trips"), 0);
    EXPECT_EQ(RowsOnFile("select count(*) from TripDays"), 0);

    AddPerson("Dana");   // the next change, once the reader is gone, is stored
    EXPECT_EQ(RowsOnFile("select count(*) from People where name = 'Dana'"), 1);
    EXPECT_EQ(prompter.Messages().size(), 1u);
}

class WriteRefusedTest;

// What refuses the writes, and whether it must be there before the program opens the file.
struct RefusalCase {
    const char* name;
    bool beforeStart;
    std::function<std::shared_ptr<void>(WriteRefusedTest&)> refuse;
    const char* reason;
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class WriteRefusedTest : public DatabaseErrorTest, public testing::WithParamInterface<RefusalCase> {
public:
    using DatabaseErrorTest::Database;
    using DatabaseErrorTest::program;
};

TEST_P(WriteRefusedTest, PeopleAddIsToldOnceAndOpensNoEditor) {
    RunSqliteOnFile(Database(), "insert into People( name ) values( 'Ann' )");
    fs::create_directories(program / "dbbackups");   // the start-up copy still has its place
    std::shared_ptr<void> refusal;
    if (GetParam().beforeStart) refusal = GetParam().refuse(*this);
    Start();
    ASSERT_TRUE(window->HasWindow());
    if (!GetParam().beforeStart) refusal = GetParam().refuse(*this);
    AddPerson(std::nullopt);   // the editor would open on Ann: it must not open at all
    EXPECT_EQ(Told(), std::vector<std::string>{NotStored(GetParam().reason)});
    refusal.reset();
    EXPECT_EQ(RowsOnFile("select count(*) from People"), 1);
}

INSTANTIATE_TEST_SUITE_P(Refusals, WriteRefusedTest, testing::Values(
    RefusalCase{"ReadOnlyFile", true, [](WriteRefusedTest& test) { return Hold<ReadOnlyToThisThread>(test.Database()); },
                "attempt to write a readonly database"},
    RefusalCase{"ReadOnlyProgramFolder", true, [](WriteRefusedTest& test) { return Hold<ReadOnlyToThisThread>(test.program); },
                "attempt to write a readonly database"},
    RefusalCase{"FullDisk", false, [](WriteRefusedTest&) { return Hold<FileSizeLimit>(0); }, "disk I/O error"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST_F(DatabaseErrorTest, AnEditorWhoseSaveIsRefusedIsToldOnceForAllItsStatements) {
    RunSqliteOnFile(Database(), "insert into People( name ) values( 'Ann' )");
    ReadOnlyToThisThread readOnly(Database());
    Start();
    ModalTakeOver::Expect("WinPeople", [](WForm& people) {
        ModalTakeOver::Expect("WinEditPerson", [](WForm& editor) {
            editor.Control<WTextBox>("textb_Person")->SetText("Anna");
            Click(editor, "cb_OK");   // the row's update and its modified stamp both fail
        });
        Click(people, "cb_Edit");
        Click(people, "cb_Close");
    });
    window->Control<WPictureButton>("pictbttn_People")->Click();
    RunPostedEvents();
    EXPECT_EQ(Told(), std::vector<std::string>{NotStored("attempt to write a readonly database")});
    EXPECT_EQ(RowsOnFile("select count(*) from People where name = 'Ann' and modified is null"), 1);
}

TEST_F(DatabaseErrorTest, ARowTheDatabaseRefusesStaysTheCallersToHandle) {
    Start();
    EXPECT_FALSE(window->ExecSQL("insert into TripPeople( trip, person ) values( -1, -1 )"));
    EXPECT_FALSE(window->RunAsOneUnit("refused", [&] {
        return window->ExecSQL("insert into People( name ) values( 'Ann' )") &&
               window->ExecSQL("insert into MealPeople( day_stop, person ) values( -1, -1 )");
    }));
    RunPostedEvents();
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_EQ(RowsOnFile("select count(*) from People"), 0);
}

}  // namespace
