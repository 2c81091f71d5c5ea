// The care of the database file: pruning, dated copies, save and restore with their dialogs.

#include "tests/startup/MainWindowFixture.h"

namespace {

class FileCareTest : public RunningMainWindowTest {
protected:
    void SetUp() override {
        RunningMainWindowTest::SetUp();
        fs::remove_all(program / "dbbackups");
        fs::create_directories(program / "dbbackups");
    }

    long TripCount() {
        WQuery count(window->transaction_KVO.get());
        count.SetSQL("select count(*) from Trips");
        return count.Open() ? count.GetValue(0, 0).AsLong() : -1;
    }

    fs::path SavedFile(const std::string& name, const std::string& sql) {
        const fs::path file = root.Path() / name;
        fs::copy_file(program / "KestavoEmpty.db", file);
        RunSqliteOnFile(file, sql);
        return file;
    }
};

}  // namespace

TEST_F(FileCareTest, PruningKeepsTheNineteenNewestByName) {
    for (int day = 1; day <= 25; ++day) {
        char name[64];
        std::snprintf(name, sizeof name, "Kestavo_202001%02d_1200.db", day);
        WriteFileText(program / "dbbackups" / name, "x");
    }
    WriteFileText(program / "dbbackups" / "notes.txt", "not a copy");
    window->PruneBackups();
    std::vector<std::string> left = Backups();
    ASSERT_EQ(left.size(), 20u);   // 19 copies and the other file
    EXPECT_EQ(left.front(), "Kestavo_20200107_1200.db");
    window->SaveDatabaseCopy(window->BackupFolder(), std::nullopt);
    EXPECT_EQ(Backups().size(), 21u);
    window->PruneBackups();
    EXPECT_EQ(Backups().size(), 20u);
}

TEST_F(FileCareTest, TwoCopiesInOneMinuteGiveOneFile) {
    const auto first = window->SaveDatabaseCopy(window->BackupFolder(), std::nullopt);
    const auto second = window->SaveDatabaseCopy(window->BackupFolder(), std::nullopt);
    ASSERT_TRUE(first && second);
    // The names carry the minute: the same name means the second replaced the first.
    EXPECT_EQ(Backups().size(), *first == *second ? 1u : 2u);
    EXPECT_EQ(window->lastSavedCopy, *second);
    EXPECT_TRUE(window->transaction_KVO->IsConnected());
}

TEST_F(FileCareTest, SaveDialogProposesTheDatedNameAndCopiesThere) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'Saved trip' )"));
    const fs::path target = root.Path() / "elsewhere" / "mine.db";
    fs::create_directories(target.parent_path());
    prompter.AnswerFile(target.string());
    const auto saved = window->SaveDatabaseCopy(std::nullopt, std::nullopt);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, target.string());
    ASSERT_EQ(prompter.FileRequests().size(), 1u);
    const WFileRequest request = prompter.FileRequests()[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Save Database To File");
    EXPECT_EQ(request.file.rfind("Kestavo_", 0), 0u);
    EXPECT_EQ(request.folder, program.string() + "/");
    EXPECT_EQ(window->lastDatabaseFolder, target.parent_path().string() + "/");
    EXPECT_EQ(ReadFileText(target), ReadFileText(Database()));
}

TEST_F(FileCareTest, CancelledSaveChangesNothing) {
    EXPECT_FALSE(window->SaveDatabaseCopy(std::nullopt, std::nullopt));
    EXPECT_TRUE(window->transaction_KVO->IsConnected());
    EXPECT_TRUE(Backups().empty());
}

TEST_F(FileCareTest, TheDatabaseItselfIsNeverItsOwnSaveOrRestore) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'Precious' )"));
    prompter.AnswerFile(Database().string());
    EXPECT_FALSE(window->SaveDatabaseCopy(std::nullopt, std::nullopt));
    prompter.AnswerFile(Database().string());
    EXPECT_FALSE(window->RestoreDatabase(std::nullopt, true));
    EXPECT_EQ(TripCount(), 1);
    EXPECT_TRUE(fs::exists(Database()));
}

TEST_F(FileCareTest, RestoreReplacesTheDatabaseAndKeepsASafetyCopy) {
    const fs::path chosen = SavedFile("other.db", "insert into Trips( name ) values( 'A' ), ( 'B' );");
    prompter.AnswerFile(chosen.string());
    EXPECT_TRUE(window->RestoreDatabase(std::nullopt, true));
    EXPECT_EQ(TripCount(), 2);
    EXPECT_EQ(window->grid_Trips->GetNumRows(), 2);
    EXPECT_EQ(Backups().size(), 1u);
    EXPECT_EQ(prompter.FileRequests()[0].title, "Restore Database From File");
}

TEST_F(FileCareTest, WrongVersionRestoreShowsTheMessageAndPutsTheOldDatabaseBack) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'Mine' )"));
    const fs::path old = SavedFile("old.db", "update DBVersion set version = 8; "
                                              "insert into Trips( name ) values( 'X' ), ( 'Y' );");
    EXPECT_TRUE(window->RestoreDatabase(old.string(), true));
    EXPECT_TRUE(MessageShown("Bad database version"));
    EXPECT_EQ(TripCount(), 1);
    ASSERT_EQ(window->grid_Trips->GetNumRows(), 1);
    EXPECT_EQ(window->grid_Trips->GetCellText(0, 0), "Mine");
}

TEST_F(FileCareTest, RestoreOfAMissingFileLeavesTheDatabase) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'Mine' )"));
    EXPECT_FALSE(window->RestoreDatabase((root.Path() / "gone.db").string(), true));
    EXPECT_EQ(TripCount(), 1);
}

TEST_F(FileCareTest, RestoreAppliesTheCookingMeasureOption) {
    window->options.cookingMeasure = 2;
    const fs::path chosen = SavedFile("other.db", "");
    EXPECT_TRUE(window->RestoreDatabase(chosen.string(), false));
    WQuery measures(window->transaction_KVO.get());
    measures.SetSQL("select min( metric ), max( imperial ) from Measures where cooking_measure = 1");
    ASSERT_TRUE(measures.Open());
    EXPECT_EQ(measures.GetValue(0, 0).AsLong(), 0);
    EXPECT_EQ(measures.GetValue(0, 1).AsLong(), 1);
}

struct FolderCase {
    const char* name;
    const char* executableFolder;
    const char* programFolder;
};
inline void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.executableFolder; }

class ProgramFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderTest, CutsOneWholeLastFolderName) {
    EXPECT_EQ(ProgramFolderOf(GetParam().executableFolder), GetParam().programFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProgramFolderTest,
    ::testing::Values(FolderCase{"plain", "/opt/kestavo", "/opt/kestavo/"},
                      FolderCase{"release", "/opt/kestavo/Release/", "/opt/kestavo/"},
                      FolderCase{"debug", "/opt/kestavo/DEBUG", "/opt/kestavo/"},
                      FolderCase{"onlyOne", "/x/release/debug/", "/x/release/"},
                      FolderCase{"partOfAName", "/x/myrelease/", "/x/myrelease/"},
                      FolderCase{"partOfADebugName", "/x/notdebug", "/x/notdebug/"}),
    [](const auto& info) { return std::string(info.param.name); });
