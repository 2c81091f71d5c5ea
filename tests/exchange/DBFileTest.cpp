// The export and the import of table data files on private copies of the template through the
// real ODBC driver: the round trip, renumbered ids and references, the clash rules with the
// question answered as a user would, prefix, suffix and credit, and the faults that must leave
// the database as it was.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <filesystem>

#include "platform/forms/Forms.h"
#include "shell/DataFile.h"
#include "platform/forms/ModalTakeOver.h"
#include "tests/exchange/ExchangeData.h"
#include "tests/support/FileText.h"
#include "tests/support/StrictModalForms.h"
#include "tests/exchange/ScrambledLine.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> CatalogueTables = {"Ingredients", "Courses", "Meals", "People", "Trips"};

// Answers the next clash question with the option and the button given.
void AnswerClash(const char* option, const char* button = "cb_Close", std::string* question = nullptr,
                 std::string* proposed = nullptr) {
    ModalTakeOver::Expect("WinImportReplace", [=](WForm& form) {
        if (question) *question = form.Control<WLabel>("label_Msg")->GetText();
        if (proposed)
            for (const char* name : {"optb_KeepOriginal", "optb_KeepNew", "optb_KeepBoth"})
                if (form.Control<WOptionButton>(name)->GetChecked()) *proposed = name;
        form.Control<WOptionButton>(option)->SetChecked(true);
        form.Control<WCommandButton>(button)->Click();
    });
}

class DBFileTest : public ExchangeTest {
protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        FillDatabase();
        ASSERT_TRUE(ExportTo(dataFile())) << lastError;
        before = Rows();
    }
    // Every catalogue item is then newer here than in the file.
    void TouchCatalogue() {
        for (const std::string& table : CatalogueTables) Exec("update " + table + " set modified = '2030-01-01 00:00:00'");
    }
    StrictModalForms strictModalForms;
    TableRows before;
};

TEST_F(DBFileTest, ARoundTripIntoAnEmptyDatabaseGivesTheSameRows) {
    EmptyExchangedTables();
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(Rows(), before);
    // New ids start at 0 in an empty table, and the references follow them.
    EXPECT_EQ(Value("select min(id) from Ingredients").AsLong(), 0);
    EXPECT_EQ(Value("select min(id) from Courses").AsLong(), 0);
    EXPECT_EQ(Text("select name from Courses where id = (select course from CourseIngredients where amount = 1.5)"),
              "stew");
}

TEST_F(DBFileTest, ImportingAFileIntoTheDatabaseItCameFromChangesNothing) {
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(Rows(), before);
}

TEST_F(DBFileTest, KeepOriginalForAllChangesNothing) {
    TouchCatalogue();
    const TableRows touched = Rows();
    AnswerClash("optb_KeepOriginal", "cb_Same");
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(Rows(), touched);
}

TEST_F(DBFileTest, KeepBothForAllGivesEveryNameItsNumberAndBringsItsRows) {
    TouchCatalogue();
    AnswerClash("optb_KeepBoth", "cb_Same");
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    for (const std::string& table : CatalogueTables)
        EXPECT_EQ(Count(table, "name like '%!_01' escape '!'") * 2, Count(table)) << table;
    EXPECT_EQ(Count("Ingredients", "name = 'O''Brien''s salt_01'"), 1);
    EXPECT_EQ(Count("CourseIngredients"), 6);
    EXPECT_EQ(Count("Recipes", "course = (select id from Courses where name = 'stew_01')"), Count("Recipes") / 2);
    EXPECT_EQ(Count("TripPeople"), 4);
}

// One clashing menu item, with its lines and recipe: the file's stew is older than ours.
class ClashTest : public DBFileTest {
protected:
    void SetUp() override {
        DBFileTest::SetUp();
        Exec("update Courses set notes = 'changed', modified = '2030-01-01 00:00:00' where name = 'stew'");
        Exec("delete from CourseIngredients where id = 6");
        stewId = Value("select id from Courses where name = 'stew'").AsLong();
    }
    long StewLines() { return Count("CourseIngredients", "course = " + std::to_string(stewId)); }
    long stewId = -1;
};

TEST_F(ClashTest, TheQuestionNamesTheItemAndProposesReplacing) {
    std::string question, proposed;
    AnswerClash("optb_KeepOriginal", "cb_Close", &question, &proposed);
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(question, "A menu item with the value 'stew' already exists.\r\n\r\nYou have three different options to "
                        "handle this:");
    EXPECT_EQ(proposed, "optb_KeepNew");
}

TEST_F(ClashTest, KeepOriginalLeavesTheItemAndItsLines) {
    AnswerClash("optb_KeepOriginal");
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(Text("select notes from Courses where name = 'stew'"), "changed");
    EXPECT_EQ(Count("Courses"), 2);
    EXPECT_EQ(StewLines(), 1);
}

TEST_F(ClashTest, KeepNewReplacesTheItemAndItsOwnedRowsButKeepsWhatRefersToIt) {
    Exec("insert into DayCourses values( 9, 7, " + std::to_string(stewId) + " )");
    AnswerClash("optb_KeepNew");
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(Value("select id from Courses where name = 'stew'").AsLong(), stewId);
    EXPECT_EQ(Text("select notes from Courses where name = 'stew'"), "hot");
    EXPECT_EQ(Count("Courses"), 2);
    EXPECT_EQ(StewLines(), 2);
    EXPECT_EQ(Rows()["Recipes"], before["Recipes"]);
    EXPECT_EQ(Count("DayCourses", "id = 9 and course = " + std::to_string(stewId)), 1);
    EXPECT_EQ(Count("MealCourses", "course = " + std::to_string(stewId)), 1);
}

TEST_F(ClashTest, KeepBothAddsTheImportedItemUnderANumberedName) {
    AnswerClash("optb_KeepBoth");
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(Text("select notes from Courses where name = 'stew'"), "changed");
    EXPECT_EQ(Text("select notes from Courses where name = 'stew_01'"), "hot");
    EXPECT_EQ(Count("CourseIngredients", "course = (select id from Courses where name = 'stew_01')"), 2);
    EXPECT_EQ(StewLines(), 1);
}

TEST_F(ClashTest, TheCloseBoxKeepsTheProposedAnswer) {
    ModalTakeOver::Expect("WinImportReplace", [](WForm& form) {
        form.Control<WOptionButton>("optb_KeepOriginal")->SetChecked(true);
        form.Close();
    });
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(Text("select notes from Courses where name = 'stew'"), "hot");
}

// Cancel in the wait window, pressed while the question is open, ends the import at the next
// row with none of it kept.
TEST_F(ClashTest, ACancelledImportLeavesNoneOfIt) {
    const TableRows rows = Rows();
    ModalTakeOver::Expect("WinImportReplace", [](WForm& form) {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->windowTitle() == "Wait for task to complete...")
                if (auto* cancel = window->findChild<QAbstractButton*>("cb_Cancel")) cancel->click();
        form.Control<WOptionButton>("optb_KeepBoth")->SetChecked(true);
        form.Control<WCommandButton>("cb_Close")->Click();
    });
    EXPECT_FALSE(ImportFrom(dataFile()));
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(lastError, "");
}

TEST_F(ClashTest, PrefixAndSuffixGoAroundEveryNewName) {
    AnswerClash("optb_KeepBoth");
    Exec("insert into Courses( id, name ) values( 40, 'x-stew-y' )");
    ASSERT_TRUE(ImportFrom(dataFile(), ExchangedTables(), "x-", "-y")) << lastError;
    // The clashing stew becomes prefix + name + suffix, numbered since that is taken too.
    EXPECT_EQ(Text("select notes from Courses where name = 'x-stew-y_01'"), "hot");
    // Items of the same modified stamp stay as they are; the new names are only for new items.
    EXPECT_EQ(Count("Ingredients"), 4);
}

TEST_F(DBFileTest, PrefixAndSuffixNameTheItemsOfAnEmptyDatabase) {
    EmptyExchangedTables();
    ASSERT_TRUE(ImportFrom(dataFile(), ExchangedTables(), "x-", "-y")) << lastError;
    EXPECT_EQ(Count("Courses", "name = 'x-stew-y'"), 1);
    EXPECT_EQ(Count("Ingredients", "name like 'x-%-y'"), 4);
    EXPECT_EQ(Count("People", "name = 'x-Åsa-y'"), 1);
}

TEST_F(DBFileTest, TheCreditGoesIntoEveryImportedCatalogueRow) {
    EmptyExchangedTables();
    ASSERT_TRUE(ImportFrom(dataFile(), ExchangedTables(), "", "", "Camp Co.")) << lastError;
    for (const char* table : {"Ingredients", "Courses", "Meals"}) {
        EXPECT_GT(Count(table), 0) << table;
        EXPECT_EQ(Count(table, "licensor = 'Camp Co.'"), Count(table)) << table;
    }
}

TEST_F(DBFileTest, SameForRestAnswersEveryFurtherClashAndTheNextImportAsksAgain) {
    TouchCatalogue();
    AnswerClash("optb_KeepBoth", "cb_Same");
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    std::string proposed;
    AnswerClash("optb_KeepOriginal", "cb_Same", nullptr, &proposed);
    ASSERT_TRUE(ImportFrom(dataFile())) << lastError;
    EXPECT_EQ(proposed, "optb_KeepNew");
}

TEST_F(DBFileTest, AFoodImportPassesOverTheTripTables) {
    EmptyExchangedTables();
    ASSERT_TRUE(ImportFrom(dataFile(), {"Ingredients", "Courses", "Recipes", "CourseIngredients", "Meals", "MealCourses"}))
        << lastError;
    EXPECT_EQ(Rows()["CourseIngredients"], before["CourseIngredients"]);
    EXPECT_EQ(Count("Trips"), 0);
    EXPECT_EQ(Count("People"), 0);
}

// The row buffer starts from the column defaults at every row: a short row never keeps the
// values of the row before it.
TEST_F(DBFileTest, ARowWithFewerValuesTakesTheDefaultsNotThePreviousRow) {
    EmptyExchangedTables();
    WriteFileText(folder.File("people.kvo"),
                  "kvo_1_0:\r\nload_version: 103\r\ntable: People\r\nrows_start: id, name, notes, modified\r\n"
                  "row_start:\r\ncol_val_int: 3\r\ncol_val_str: Bo\r\ncol_val_long_str: \r\ncol_val_null: \r\n"
                  "col_val_double: 2.5\r\nrow_end:\r\n"
                  "row_start:\r\ncol_val_int: 4\r\ncol_val_str: Cy\r\ncol_val_long_str: \r\ncol_val_null: \r\n"
                  "row_end:\r\nrows_end:\r\nkvo_end:\r\n");
    ASSERT_TRUE(ImportFrom(folder.File("people.kvo"))) << lastError;
    EXPECT_EQ(Value("select appetite from People where name = 'Bo'").AsDouble(), 2.5);
    EXPECT_EQ(Value("select appetite from People where name = 'Cy'").AsDouble(), 1.0);
}

// Dates and stamps travel as text, so that equal stamps compare equal; a NULL number or date is
// marked as NULL (never 0, which the import would map onto the row that got id 0); a text with
// a line break is scrambled, never split across lines.
TEST_F(DBFileTest, TheFileCarriesDatesAsTextNullsAsNullAndLineBreaksScrambled) {
    const std::string file = ReadFileText(dataFile());
    EXPECT_NE(file.find("\r\ncol_val_str: 2026-07-01\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\ncol_val_str: 2026-01-02 03:04:05\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\ncol_val_null: \r\n"), std::string::npos);
    EXPECT_EQ(file.find("line\nbreak"), std::string::npos);
    EXPECT_EQ(file.find("col_val_long_str"), std::string::npos);   // always scrambled
    EXPECT_TRUE(file.starts_with("kvo_1_0:\r\nload_version: 103\r\ntable: Ingredients\r\n"
                                 "rows_start: id, name, def_measure, unit_measure, unit_measure_name, "
                                 "unit_measure_size, notes, modified, licensor\r\n"));
    EXPECT_TRUE(file.ends_with("rows_end:\r\nkvo_end:\r\n"));
}

TEST_F(DBFileTest, ALineWhoseMenuItemWasSkippedIsSkippedToo) {
    EmptyExchangedTables();
    WriteFileText(folder.File("lines.kvo"),
                  "kvo_1_0:\r\nload_version: 103\r\ntable: CourseIngredients\r\nrows_start: id\r\n"
                  "row_start:\r\ncol_val_int: 1\r\ncol_val_int: 77\r\ncol_val_int: 3\r\ncol_val_int: 14\r\n"
                  "col_val_double: 1.0\r\ncol_val_int: 0\r\nrow_end:\r\nrows_end:\r\nkvo_end:\r\n");
    ASSERT_TRUE(ImportFrom(folder.File("lines.kvo"))) << lastError;
    EXPECT_EQ(Count("CourseIngredients"), 0);
    const ColIDMapElt* entry = main.FindTableSchema("CourseIngredients")->idMap.Find(1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->newId, -1);
}

// Two ids that 32 bits cannot tell apart: the line that names the first must find the first.
TEST_F(DBFileTest, IdsBeyondThirtyTwoBitsKeepALineOnTheIngredientItNames) {
    EmptyExchangedTables();
    WriteFileText(folder.File("ids.kvo"),
                  "kvo_1_0:\r\nload_version: 103\r\ntable: Ingredients\r\nrows_start: id, name\r\n"
                  "row_start:\r\ncol_val_int: 99999999999\r\ncol_val_str: first\r\nrow_end:\r\n"
                  "row_start:\r\ncol_val_int: 99999999998\r\ncol_val_str: second\r\nrow_end:\r\nrows_end:\r\n"
                  "table: Courses\r\nrows_start: id, name\r\n"
                  "row_start:\r\ncol_val_int: 99999999997\r\ncol_val_str: stew\r\nrow_end:\r\nrows_end:\r\n"
                  "table: CourseIngredients\r\nrows_start: id, course, ingredient, measure, amount, unit_measure\r\n"
                  "row_start:\r\ncol_val_int: 99999999996\r\ncol_val_int: 99999999997\r\n"
                  "col_val_int: 99999999999\r\ncol_val_int: 14\r\ncol_val_double: 1.0\r\ncol_val_int: 0\r\n"
                  "row_end:\r\nrows_end:\r\nkvo_end:\r\n");
    ASSERT_TRUE(ImportFrom(folder.File("ids.kvo"))) << lastError;
    EXPECT_EQ(Rows()["CourseIngredients"], std::vector<std::string>{"stew|first|14|1.0|0"});
    EXPECT_EQ(Count("Ingredients"), 2);
}

TEST_F(DBFileTest, AnExportWritesIdsOfSixtyFourBits) {
    Exec("insert into Ingredients( id, name ) values( 99999999999, 'big' )");
    ASSERT_TRUE(ExportTo(folder.File("big.kvo"), {"Ingredients"})) << lastError;
    EXPECT_NE(ReadFileText(folder.File("big.kvo")).find("\r\ncol_val_int: 99999999999\r\ncol_val_str: big\r\n"),
              std::string::npos);
}

// What is stored is what the export writes again: a file and its own export give the same rows.
TEST_F(DBFileTest, ANameEndsAtAZeroBytePlainOrScrambledAndTravelsOnUnchanged) {
    EmptyExchangedTables();
    const std::string scrambledName = Scrambled(std::string("col_val_str: Pepper\0mill", 24));
    WriteFileText(folder.File("nul.kvo"),
                  std::string("kvo_1_0:\r\nload_version: 103\r\ntable: Ingredients\r\nrows_start: id, name\r\n"
                              "row_start:\r\ncol_val_int: 1\r\ncol_val_str: Salt\0y\r\nrow_end:\r\n",
                              130) +
                      "row_start:\r\ncol_val_int: 2\r\n" + scrambledName +
                      "\r\nrow_end:\r\nrows_end:\r\nkvo_end:\r\n");
    ASSERT_TRUE(ImportFrom(folder.File("nul.kvo"))) << lastError;
    EXPECT_EQ(SqliteRows(folder.File("Kestavo.db"), "select hex(name) from Ingredients order by name"),
              (std::vector<std::string>{"506570706572", "53616C74"}));
    const TableRows imported = Rows();
    ASSERT_TRUE(ExportTo(folder.File("again.kvo"))) << lastError;
    EmptyExchangedTables();
    ASSERT_TRUE(ImportFrom(folder.File("again.kvo"))) << lastError;
    EXPECT_EQ(Rows(), imported);
}

// The export checks what it wrote: a file cut off by a full disk is an error and is deleted.
TEST_F(DBFileTest, AnExportToAFullDiskFailsAndLeavesNoFile) {
    const fs::path link = folder.File("full.kvo");
    fs::create_symlink("/dev/full", link);
    EXPECT_FALSE(ExportTo(link));
    EXPECT_EQ(lastError.rfind("The file could not be written completely: " + link.string() + "\r\n", 0), 0u)
        << lastError;
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST_F(DBFileTest, AnExportIntoAMissingFolderFails) {
    const fs::path file = folder.File("missing/data.kvo");
    EXPECT_FALSE(ExportTo(file));
    EXPECT_EQ(lastError, "Could not open the file for saving: " + file.string());
}

TEST_F(DBFileTest, AnExportOfATableThatCannotBeReadDeletesTheFile) {
    EXPECT_FALSE(ExportTo(folder.File("bad.kvo"), {"Ingredients", "NoSuchTable"}));
    EXPECT_EQ(lastError, "Could not open query the table: NoSuchTable");
    EXPECT_FALSE(fs::exists(folder.File("bad.kvo")));
}

// A row that the database refuses, in any table, fails the whole import and leaves none of it
// (the main window then also puts the safety copy back).
class RefusedRowTest : public DBFileTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(RefusedRowTest, FailsTheImportAndLeavesNoneOfIt) {
    EmptyExchangedTables();
    RunSqlite("create trigger refuse before insert on " + GetParam() +
              " begin select raise(abort, 'refused here'); end;");
    const TableRows emptied = Rows();
    EXPECT_FALSE(ImportFrom(dataFile()));
    EXPECT_EQ(lastError.rfind("A row of the table '" + GetParam() + "' could not be stored:\r\n", 0), 0u) << lastError;
    EXPECT_NE(lastError.find("refused here"), std::string::npos) << lastError;
    EXPECT_TRUE(lastError.ends_with("\r\nNothing was imported.")) << lastError;
    EXPECT_EQ(Rows(), emptied);
}

INSTANTIATE_TEST_SUITE_P(EveryTable, RefusedRowTest, ::testing::ValuesIn(ExchangedTables()),
                         [](const auto& info) { return info.param; });

}  // namespace
