// File > Export database... and Import database... on a main window started on real files: the
// dialogs, the file chosen, the safety copy "tmp.db" and the way back after a failed import.

#include <gtest/gtest.h>

#include <odbcinst.h>

#include "platform/db/CollationExtension.h"
#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WMenu.h"
#include "tests/exchange/ExchangeData.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/DamagedDatabase.h"
#include "tests/support/StrictModalForms.h"

namespace {

constexpr int ImportCommand = 1005;
constexpr int ExportCommand = 1006;

class ExchangeFromMainWindowTest : public RunningMainWindowTest {
protected:
    void SetUp() override {
        RunningMainWindowTest::SetUp();
        Exec("insert into Ingredients( id, name ) values( 1, 'salt' )");
        Exec("insert into Courses( id, name ) values( 1, 'stew' )");
        Exec("insert into CourseIngredients( id, course, ingredient, measure, amount ) values( 1, 1, 1, 14, 2 )");
        Exec("insert into Trips( id, name ) values( 1, 'Hike' )");
    }
    void Exec(const std::string& sql) {
        WQuery query(window->transaction_KVO.get());
        EXPECT_TRUE(query.Execute(sql)) << sql << query.LastError();
    }
    long Count(const std::string& table) {
        WQuery query(window->transaction_KVO.get());
        query.SetSQL("select count(*) from " + table);
        EXPECT_TRUE(query.Open());
        return static_cast<long>(query.GetValue(0, 0).AsLong());
    }
    void ClearTables() {
        for (const char* table : {"CourseIngredients", "Courses", "Ingredients", "Trips"}) Exec(std::string("delete from ") + table);
    }
    static void AnswerTables(bool trips) {
        ModalTakeOver::Expect("WinExportTables", [trips](WForm& form) {
            form.Control<WCheckBox>("checkbox_Trips")->SetChecked(trips);
            form.Control<WCommandButton>("cb_OK")->Click();
        });
    }
    void Command(int id) {
        WMenuItem* item = window->menu_1->FindItem(id);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->GetItemEnabled());
        item->Click();
    }
    std::filesystem::path DataFile() const { return root.Path() / "out.kvo"; }
    // The savepoint-refusing extension loads beside the collation from the next connect on
    // (writing the data source clears the driver manager's cache).
    void ConnectWithRefusals() {
        const std::string extensions = CollationExtensionPath() + "," + KVO_REFUSAL_EXTENSION;
        ASSERT_TRUE(SQLWritePrivateProfileString("Kestavo", "LoadExt", extensions.c_str(), "odbc.ini"));
        window->transaction_KVO->Disconnect();
        ASSERT_TRUE(window->transaction_KVO->Connect()) << window->transaction_KVO->LastError();
        ASSERT_TRUE(Refuse("", "")) << "the refusal extension was not loaded";
    }
    bool Refuse(const std::string& operation, const std::string& name) {
        WQuery query(window->transaction_KVO.get());
        return query.Execute("select kvo_refuse_savepoint( '" + operation + "', '" + name + "' )");
    }

    StrictModalForms strictModalForms;
};

TEST_F(ExchangeFromMainWindowTest, ExportThenClearThenImportBringsTheRowsBack) {
    AnswerTables(true);
    prompter.AnswerFile(DataFile().string());
    Command(ExportCommand);
    ASSERT_TRUE(std::filesystem::exists(DataFile()));
    ASSERT_EQ(prompter.FileRequests().size(), 1u);
    EXPECT_EQ(prompter.FileRequests()[0].title, "Export Database to File");
    EXPECT_EQ(prompter.FileRequests()[0].file, "kvo_data.kvo");
    EXPECT_EQ(prompter.FileRequests()[0].filters[0].description, "Kestavo file (*.kvo)");

    ClearTables();
    prompter.AnswerFile(DataFile().string());
    AnswerTables(true);
    Command(ImportCommand);
    EXPECT_EQ(prompter.FileRequests().at(1).title, "Import database from file");
    EXPECT_EQ(prompter.FileRequests().at(1).file, "out.kvo");   // the last data file is proposed
    EXPECT_EQ(Count("CourseIngredients"), 1);
    EXPECT_EQ(Count("Trips"), 1);
    EXPECT_EQ(window->grid_Trips->GetNumRows(), 1);
    EXPECT_TRUE(std::filesystem::exists(program / "tmp.db"));
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(ExchangeFromMainWindowTest, AFileGivenImportsTheFoodTablesWithoutAsking) {
    ASSERT_TRUE(window->ExportDatabase(DataFile().string()));
    ClearTables();
    EXPECT_TRUE(window->ImportDatabase(DataFile().string()));
    EXPECT_EQ(Count("CourseIngredients"), 1);
    EXPECT_EQ(Count("Trips"), 0);
    EXPECT_TRUE(prompter.FileRequests().empty());
}

TEST_F(ExchangeFromMainWindowTest, AFailedImportPutsTheDatabaseBackByteForByte) {
    ASSERT_TRUE(window->ExportDatabase(DataFile().string()));
    ClearTables();
    RunSqliteOnFile(Database(), "create trigger refuse before insert on CourseIngredients "
                                "begin select raise(abort, 'no lines'); end;");
    const std::string bytes = ReadFileText(Database());
    EXPECT_FALSE(window->ImportDatabase(DataFile().string()));
    EXPECT_TRUE(MessageShown("Database File Error", "A row of the table 'CourseIngredients' could not be stored:\r\n"));
    EXPECT_TRUE(ReadFileText(Database()) == bytes);
    EXPECT_EQ(Count("Ingredients"), 0);
}

// A number that the database could not hold as it stands refuses the whole file, before or
// after the rows that read well.
struct BadNumberCase {
    const char* name;
    std::string values;   // the value lines of the second row
    std::string message;
    friend void PrintTo(const BadNumberCase& c, std::ostream* os) { *os << c.name; }
};

class BadNumberImportTest : public ExchangeFromMainWindowTest, public ::testing::WithParamInterface<BadNumberCase> {};

TEST_P(BadNumberImportTest, RefusesTheFileAndLeavesTheDatabaseByteForByte) {
    const BadNumberCase& c = GetParam();
    WriteFileText(DataFile(), "kvo_1_0:\r\nload_version: 103\r\ntable: Ingredients\r\nrows_start: id, name\r\n"
                              "row_start:\r\ncol_val_int: 5\r\ncol_val_str: pepper\r\nrow_end:\r\n"
                              "row_start:\r\n" + c.values + "\r\nrow_end:\r\nrows_end:\r\nkvo_end:\r\n");
    const std::string bytes = ReadFileText(Database());
    EXPECT_FALSE(window->ImportDatabase(DataFile().string()));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Database File Error");
    EXPECT_EQ(prompter.Messages()[0].text, c.message);
    EXPECT_TRUE(ReadFileText(Database()) == bytes);
    EXPECT_EQ(Count("Ingredients"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadNumberImportTest,
    ::testing::Values(
        BadNumberCase{"IdOfThirtyDigits", "col_val_int: 123456789012345678901234567890\r\ncol_val_str: sugar",
                      "Data out of range [-9223372036854775808, 9223372036854775807] in the line "
                      "'col_val_int: 123456789012345678901234567890'"},
        BadNumberCase{"InfiniteDouble",
                      "col_val_int: 6\r\ncol_val_str: sugar\r\ncol_val_int: 14\r\ncol_val_int: 0\r\n"
                      "col_val_str: \r\ncol_val_double: 1e999",
                      "Data out of range in the line 'col_val_double: 1e999'"}),
    [](const auto& info) { return std::string(info.param.name); });

// Another program reads the file until the import's commit gives up: the import's own message,
// once, and none of it stays.
TEST_F(ExchangeFromMainWindowTest, AnImportWhoseCommitFailsIsToldOnceAndKeepsNothing) {
    ASSERT_TRUE(window->ExportDatabase(DataFile().string()));
    ClearTables();
    {
        ReadLock reader(Database());
        ASSERT_TRUE(reader.Held());
        EXPECT_FALSE(window->ImportDatabase(DataFile().string()));
    }
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Database File Error");
    EXPECT_EQ(prompter.Messages()[0].text,
              "The import could not be stored in the database:\r\ndatabase is locked\r\nNothing was imported.");
    EXPECT_EQ(Count("Ingredients"), 0);
    Exec("insert into Ingredients( id, name ) values( 7, 'pepper' )");   // no transaction was left open
    EXPECT_EQ(ValueOnFile(Database(), "select count(*) from Ingredients"), 1);
}

// The driver refuses the import's first savepoint, so none of the import's own work runs: the
// refusal is still told, once and as the import's other failures are, and changes nothing.
TEST_F(ExchangeFromMainWindowTest, AnImportWhoseFirstSavepointIsRefusedIsToldOnceAndTheNextImportWorks) {
    ASSERT_TRUE(window->ExportDatabase(DataFile().string()));
    ClearTables();
    ConnectWithRefusals();
    ASSERT_TRUE(Refuse("BEGIN", "import_data"));
    const std::string bytes = ReadFileText(Database());
    EXPECT_FALSE(window->ImportDatabase(DataFile().string()));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Database File Error");
    EXPECT_EQ(prompter.Messages()[0].text,
              "The import could not be stored in the database:\r\nnot authorized\r\nNothing was imported.");
    EXPECT_TRUE(ReadFileText(Database()) == bytes);
    EXPECT_EQ(Count("Ingredients"), 0);

    ASSERT_TRUE(Refuse("", ""));
    EXPECT_TRUE(window->ImportDatabase(DataFile().string()));
    EXPECT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(Count("CourseIngredients"), 1);
}

TEST_F(ExchangeFromMainWindowTest, NoImportRunsWithoutItsSafetyCopy) {
    ASSERT_TRUE(window->ExportDatabase(DataFile().string()));
    ClearTables();
    std::filesystem::create_directories(program / "tmp.db" / "in the way");
    EXPECT_FALSE(window->ImportDatabase(DataFile().string()));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Database File Error");
    EXPECT_EQ(prompter.Messages()[0].text.rfind("The safety copy of the database could not be made:\r\n", 0), 0u);
    EXPECT_TRUE(prompter.Messages()[0].text.ends_with("\r\nNothing was imported."));
    EXPECT_EQ(Count("Ingredients"), 0);
}

TEST_F(ExchangeFromMainWindowTest, CancelledDialogsExportAndImportNothing) {
    ModalTakeOver::Expect("WinExportTables", [](WForm& form) { form.Control<WCommandButton>("cb_Cancel")->Click(); });
    EXPECT_FALSE(window->ExportDatabase());
    EXPECT_TRUE(prompter.FileRequests().empty());
    EXPECT_FALSE(window->ImportDatabase());   // the file dialog is cancelled
    EXPECT_FALSE(std::filesystem::exists(program / "tmp.db"));
}

}  // namespace
