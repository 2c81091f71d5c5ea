// The care of the database file: pruning, dated copies, save and restore with their dialogs.

#include <sys/stat.h>

#include <ctime>
#include <functional>
#include <map>
#include <regex>

#include "tests/startup/MainWindowFixture.h"
#include "tests/support/DamagedDatabase.h"

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

namespace {

std::string MinuteName(std::time_t when) {
    std::tm t{};
    localtime_r(&when, &t);
    char name[64];
    std::snprintf(name, sizeof name, "Kestavo_%d%02d%02d_%02d%02d.db", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
    return name;
}

bool IsSafetyCopyName(const std::string& name) {
    return std::regex_match(name, std::regex(R"(Kestavo_\d{8}_\d{4}_\d{2}\.db)"));
}

}  // namespace

// The restore's safety copy took this minute's name and overwrote the copy the user had picked,
// which was then "restored": the copy was gone and nothing was restored.
TEST_F(FileCareTest, RestoringThisMinutesCopyNeitherOverwritesItNorAnyOtherCopy) {
    const std::time_t now = std::time(nullptr);
    const fs::path thisMinute = program / "dbbackups" / MinuteName(now);
    const fs::path nextMinute = program / "dbbackups" / MinuteName(now + 60);
    fs::copy_file(Database(), thisMinute);
    fs::copy_file(Database(), nextMinute);   // should the minute turn during the test
    const std::string picked = ReadFileText(thisMinute);
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'By mistake' )"));
    prompter.AnswerFile(thisMinute.string());
    window->menu_1->FindItem(1003)->Click();
    EXPECT_EQ(TripCount(), 0);
    EXPECT_EQ(ReadFileText(thisMinute), picked);
    EXPECT_EQ(ReadFileText(nextMinute), picked);
    const std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 3u);
    const auto safety = std::find_if(names.begin(), names.end(), IsSafetyCopyName);
    ASSERT_NE(safety, names.end());
    EXPECT_EQ(safety->substr(0, 21), MinuteName(now).substr(0, 21));   // this minute's number
    // The safety copy holds the database as it was before the restore.
    prompter.AnswerFile((program / "dbbackups" / *safety).string());
    window->menu_1->FindItem(1003)->Click();
    EXPECT_EQ(TripCount(), 1);
}

TEST_F(FileCareTest, SafetyCopiesOfOneMinuteTakeTheNextFreeNumber) {
    const fs::path chosen = SavedFile("other.db", "");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(window->RestoreDatabase(chosen.string(), true));
    std::vector<std::string> safety;
    for (const std::string& name : Backups())
        if (IsSafetyCopyName(name)) safety.push_back(name);
    ASSERT_EQ(safety.size(), 3u);
    // Within a minute (the restores may straddle two) the numbers count up from 01.
    std::map<std::string, std::vector<std::string>> byMinute;
    for (const std::string& name : safety) byMinute[name.substr(0, 21)].push_back(name.substr(22, 2));
    for (const auto& [minute, numbers] : byMinute)
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            char expected[8];
            std::snprintf(expected, sizeof expected, "%02zu", i + 1);
            EXPECT_EQ(numbers[i], expected) << minute;
        }
}

TEST_F(FileCareTest, PruningSortsNumberedCopiesAfterTheirMinuteAndBeforeTheNext) {
    std::vector<std::string> names;
    for (int minute = 0; minute < 18; ++minute) {
        char name[64];
        std::snprintf(name, sizeof name, "Kestavo_20200101_12%02d.db", minute);
        names.push_back(name);
    }
    names.push_back("Kestavo_20200101_1200_01.db");
    names.push_back("Kestavo_20200101_1200_02.db");
    names.push_back("Kestavo_20200101_1201_01.db");
    for (const std::string& name : names) WriteFileText(program / "dbbackups" / name, "x");
    window->PruneBackups();
    const std::vector<std::string> left = Backups();
    ASSERT_EQ(left.size(), 19u);
    EXPECT_EQ(left[0], "Kestavo_20200101_1200_02.db");
    EXPECT_EQ(left[1], "Kestavo_20200101_1201.db");
    EXPECT_EQ(left[2], "Kestavo_20200101_1201_01.db");
    EXPECT_EQ(left[3], "Kestavo_20200101_1202.db");
}

// The pruning before the safety copy deleted the oldest copy, also when it was the very one
// being restored.
TEST_F(FileCareTest, PruningNeverDeletesTheCopyBeingRestored) {
    const fs::path oldest = SavedFile("oldest.db", "insert into Trips( name ) values( 'Oldest' );");
    fs::rename(oldest, program / "dbbackups" / "Kestavo_20000101_0000.db");
    for (int day = 1; day <= 19; ++day) {
        char name[64];
        std::snprintf(name, sizeof name, "Kestavo_202001%02d_1200.db", day);
        WriteFileText(program / "dbbackups" / name, "x");
    }
    EXPECT_TRUE(window->RestoreDatabase((program / "dbbackups" / "Kestavo_20000101_0000.db").string(), true));
    EXPECT_EQ(TripCount(), 1);
    const std::vector<std::string> left = Backups();
    EXPECT_EQ(left.size(), 20u);   // 19 after the pruning, and the safety copy
    EXPECT_EQ(left.front(), "Kestavo_20000101_0000.db");
    EXPECT_EQ(std::count(left.begin(), left.end(), "Kestavo_20200101_1200.db"), 0);
}

// A copy into a folder that cannot be written looked exactly like success.
TEST_F(FileCareTest, ASaveThatCannotBeWrittenIsReportedAndChangesNothing) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'Mine' )"));
    const std::string before = ReadFileText(Database());
    const std::string lastCopy = window->lastSavedCopy;
    WriteFileText(root.Path() / "blocker", "a file where a folder should be");
    const fs::path target = root.Path() / "blocker" / "mine.db";
    prompter.AnswerFile(target.string());
    window->menu_1->FindItem(1001)->Click();
    ASSERT_EQ(prompter.Messages().size(), 1u);
    const auto shown = prompter.Messages()[0];
    EXPECT_EQ(shown.caption, "Database File Error");
    EXPECT_EQ(shown.text, "The database could not be copied to '" + target.string() +
                              "':\r\nNot a directory");
    EXPECT_EQ(shown.icon, WMessageIcon::Stop);
    EXPECT_EQ(shown.buttons, WMessageButtons::OK);
    EXPECT_EQ(window->lastSavedCopy, lastCopy);
    EXPECT_TRUE(window->transaction_KVO->IsConnected());
    EXPECT_EQ(TripCount(), 1);
    EXPECT_EQ(ReadFileText(Database()), before);
}

struct UnreadableSource {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* reason;
    friend void PrintTo(const UnreadableSource& c, std::ostream* os) { *os << c.name; }
};

class FailedRestoreCopyTest : public FileCareTest,
                              public ::testing::WithParamInterface<UnreadableSource> {};

TEST_P(FailedRestoreCopyTest, IsReportedAndKeepsTheDatabase) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'Mine' )"));
    const fs::path source = root.Path() / "picked.db";
    GetParam().make(source);
    EXPECT_FALSE(window->RestoreDatabase(source.string(), true));
    EXPECT_TRUE(MessageShown("Database File Error", "The database could not be copied to '" +
                                                        Database().string() + "':\r\n" +
                                                        GetParam().reason));
    EXPECT_TRUE(window->transaction_KVO->IsConnected());
    EXPECT_EQ(TripCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, FailedRestoreCopyTest,
    ::testing::Values(
        UnreadableSource{"Folder", [](const fs::path& path) { fs::create_directory(path); },
                         "Is a directory"},
        UnreadableSource{"Missing", [](const fs::path&) {}, "No such file or directory"},
        // A pipe never ends: the copy must not wait for it.
        UnreadableSource{"Pipe", [](const fs::path& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
                         "Operation not supported"}),
    [](const auto& info) { return std::string(info.param.name); });

// The File menu's restore treats a file that holds no database as a database of another version:
// the message, and the current database back in place.
class RestoreBrokenFileTest : public FileCareTest,
                              public ::testing::WithParamInterface<BrokenDatabase> {};

TEST_P(RestoreBrokenFileTest, ShowsTheVersionMessageAndBringsTheDatabaseBack) {
    ASSERT_TRUE(window->ExecSQL("insert into Trips( name ) values( 'Mine' )"));
    const fs::path broken = root.Path() / "broken.db";
    WriteBrokenDatabase(GetParam(), broken);
    const std::string brokenBytes = ReadFileText(broken);
    prompter.AnswerFile(broken.string());
    window->menu_1->FindItem(1002)->Click();
    EXPECT_TRUE(MessageShown("Bad database version"));
    EXPECT_TRUE(window->transaction_KVO->IsConnected());
    EXPECT_EQ(TripCount(), 1);
    ASSERT_EQ(window->grid_Trips->GetNumRows(), 1);
    EXPECT_EQ(window->grid_Trips->GetCellText(0, 0), "Mine");
    EXPECT_EQ(ReadFileText(broken), brokenBytes);
}

INSTANTIATE_TEST_SUITE_P(Files, RestoreBrokenFileTest,
                         ::testing::Values(BrokenDatabase::ZeroBytes, BrokenDatabase::TextFile,
                                           BrokenDatabase::TruncatedToHalf,
                                           BrokenDatabase::VersionPageDamaged),
                         [](const auto& info) {
                             switch (info.param) {
                             case BrokenDatabase::ZeroBytes: return std::string("ZeroBytes");
                             case BrokenDatabase::TextFile: return std::string("TextFile");
                             case BrokenDatabase::TruncatedToHalf: return std::string("TruncatedToHalf");
                             default: return std::string("VersionPageDamaged");
                             }
                         });
