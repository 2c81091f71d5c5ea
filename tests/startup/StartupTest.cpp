// The start-up of the main window: data source, version check, dated copies, options, trips.

#include "tests/startup/MainWindowFixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <functional>
#include <regex>

#include "shell/ApplicationClass.h"
#include "tests/support/DamagedDatabase.h"


TEST_F(MainWindowTest, RunsOnTheTemplateAndWritesItsFiles) {
    SeedDatabase();
    Start();
    ASSERT_TRUE(window->HasWindow());
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_TRUE(window->transaction_KVO->IsConnected());
    EXPECT_EQ(Backups().size(), 1u);
    // A missing options file is no error: the defaults are written back.
    EXPECT_TRUE(fs::exists(current / "kvo.dat"));
    EXPECT_TRUE(window->cb_Delete->GetEnabled());
    EXPECT_EQ(window->grid_Trips->GetNumRows(), 0);
}

TEST_F(MainWindowTest, CommandsWaitForTheStartup) {
    SeedDatabase();
    window = new TestMainWindow(program.string() + "/");
    AppMainForm = window;
    WExeApplication::SetMainForm(window);
    ASSERT_TRUE(window->Create(nullptr));
    EXPECT_TRUE(window->IsStarting());
    EXPECT_FALSE(window->cb_Delete->GetEnabled());
    EXPECT_FALSE(window->menu_1->FindItem(1001)->GetItemEnabled());
    EXPECT_TRUE(window->menu_1->FindItem(1015)->GetItemEnabled());
    QElapsedTimer timer;
    timer.start();
    while (window->IsStarting() && timer.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(window->cb_Delete->GetEnabled());
    EXPECT_TRUE(window->menu_1->FindItem(1001)->GetItemEnabled());
}

std::string KeptLine(const fs::path& kept) {
    return "\r\nYour database was kept as '" + kept.string() + "'.";
}

// The old file was kept as this minute's dated copy: a second start in the same minute replaced
// it with a copy of the template, and the pruning took it after 20 starts.
TEST_F(MainWindowTest, OlderVersionIsKeptUnderANameOfItsOwnAndReplacedByTheTemplate) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "update DBVersion set version = 8; "
                          "insert into Trips( name, location ) values( 'Old trip', 'Lake' );");
    const std::string oldBytes = ReadFileText(Database());
    Start();
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_TRUE(std::regex_match(Backups()[0], std::regex(R"(Replaced_Kestavo_\d{8}_\d{4}\.db)")))
        << Backups()[0];
    const fs::path kept = program / "dbbackups" / Backups()[0];
    EXPECT_EQ(ReadFileText(kept), oldBytes);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Bad database version");
    EXPECT_EQ(prompter.Messages()[0].text,
              "The database you have specified is not matched with this\r\nversion of 'Kestavo'. "
              "The database could be from an older copy of\r\nthis program that is not "
              "compatible. You may be able to import\r\nan exported database file from that "
              "version, if you have one." + KeptLine(kept));
    EXPECT_EQ(window->grid_Trips->GetNumRows(), 0);
    WQuery version(window->transaction_KVO.get());
    version.SetSQL("select version from DBVersion");
    ASSERT_TRUE(version.Open());
    EXPECT_EQ(version.GetValue(0, 0).AsLong(), 9);
}

TEST_F(MainWindowTest, AKeptOldDatabaseIsNeverReplacedByTheNextOne) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "update DBVersion set version = 8;");
    const std::string oldBytes = ReadFileText(Database());
    // Files kept by earlier starts of this minute and the next, whichever this start falls in.
    fs::create_directories(program / "dbbackups");
    const std::time_t now = std::time(nullptr);
    for (const std::time_t when : {now, now + 60}) {
        std::tm t{};
        localtime_r(&when, &t);
        char name[64];
        std::snprintf(name, sizeof name, "Replaced_Kestavo_%d%02d%02d_%02d%02d.db", t.tm_year + 1900,
                      t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
        WriteFileText(program / "dbbackups" / name, "kept earlier");
    }
    Start();
    const std::vector<std::string> kept = Backups();
    ASSERT_EQ(kept.size(), 3u);
    int earlier = 0;
    for (const std::string& name : kept) {
        if (std::regex_match(name, std::regex(R"(Replaced_Kestavo_\d{8}_\d{4}_01\.db)"))) {
            EXPECT_EQ(ReadFileText(program / "dbbackups" / name), oldBytes);
            EXPECT_TRUE(MessageShown("Bad database version", KeptLine(program / "dbbackups" / name)));
        } else {
            EXPECT_EQ(ReadFileText(program / "dbbackups" / name), "kept earlier") << name;
            ++earlier;
        }
    }
    EXPECT_EQ(earlier, 2);
}

// A start-up on a good database keeps its dated copy and prunes those to 19, but never takes a
// replaced database.
TEST_F(MainWindowTest, AKeptOldDatabaseIsNeverPruned) {
    SeedDatabase();
    fs::create_directories(program / "dbbackups");
    WriteFileText(program / "dbbackups" / "Replaced_Kestavo_20000101_0000.db", "kept");
    for (int day = 1; day <= 25; ++day) {
        char name[64];
        std::snprintf(name, sizeof name, "Kestavo_202001%02d_1200.db", day);
        WriteFileText(program / "dbbackups" / name, "x");
    }
    Start();
    EXPECT_EQ(Backups().size(), 21u);   // 19 old copies, this start's and the kept file
    EXPECT_EQ(ReadFileText(program / "dbbackups" / "Replaced_Kestavo_20000101_0000.db"), "kept");
}

// A backups folder that could not be made was reported as "No such file or directory", the
// reason of the copy into it, which says nothing of what went wrong.
TEST_F(MainWindowTest, ABackupFolderThatCannotBeMadeIsReportedWithItsOwnReason) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "update DBVersion set version = 8;");
    const std::string oldBytes = ReadFileText(Database());
    fs::create_directory_symlink(root.Path() / "gone" / "drive", program / "dbbackups");
    Start();
    ASSERT_EQ(prompter.Messages().size(), 2u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Bad database version");
    EXPECT_EQ(prompter.Messages()[0].text.find("kept as"), std::string::npos);
    EXPECT_EQ(prompter.Messages()[1].caption, "Database File Error");
    EXPECT_EQ(prompter.Messages()[1].text, "The database could not be copied to '" +
                                               (program / "dbbackups/").string() +
                                               "':\r\nFile exists");
    EXPECT_FALSE(window->HasWindow());
    EXPECT_EQ(ReadFileText(Database()), oldBytes);
}

TEST_F(MainWindowTest, ABackupFolderThatCannotBeMadeIsReportedAndTheGoodDatabaseRuns) {
    SeedDatabase();
    fs::create_directory_symlink(root.Path() / "gone" / "drive", program / "dbbackups");
    Start();
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "The database could not be copied to '" +
                                               (program / "dbbackups/").string() +
                                               "':\r\nFile exists");
    EXPECT_TRUE(window->HasWindow());
    EXPECT_TRUE(window->transaction_KVO->IsConnected());
}

// A file that holds no database, or none with a DBVersion, once locked the user out for good
// ("could not be setup" at every start). It is of another version: kept byte for byte as this
// start's dated copy, with the template in its place.
struct BrokenCase {
    const char* name;
    std::function<void(const fs::path&)> write;
    friend void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }
};

class BrokenDatabaseStartTest : public MainWindowTest,
                                public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenDatabaseStartTest, AnUnreadableDatabaseIsKeptAndReplacedByTheTemplate) {
    GetParam().write(Database());
    const std::string oldBytes = ReadFileText(Database());
    Start();
    ASSERT_TRUE(window->HasWindow());
    EXPECT_TRUE(MessageShown("Bad database version", "not matched with this\r\nversion of 'Kestavo'"));
    EXPECT_FALSE(MessageShown("Startup Error"));
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(ReadFileText(program / "dbbackups" / Backups()[0]), oldBytes);
    WQuery version(window->transaction_KVO.get());
    version.SetSQL("select version from DBVersion");
    ASSERT_TRUE(version.Open());
    EXPECT_EQ(version.GetValue(0, 0).AsLong(), 9);
}

BrokenCase Broken(const char* name, BrokenDatabase kind) {
    return {name, [kind](const fs::path& path) { WriteBrokenDatabase(kind, path); }};
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenDatabaseStartTest,
    ::testing::Values(
        Broken("ZeroBytes", BrokenDatabase::ZeroBytes), Broken("TextFile", BrokenDatabase::TextFile),
        Broken("BadHeader", BrokenDatabase::BadHeader),
        Broken("TruncatedToHalf", BrokenDatabase::TruncatedToHalf),
        Broken("VersionPageDamaged", BrokenDatabase::VersionPageDamaged),
        BrokenCase{"NoDBVersionTable",
                   [](const fs::path& path) {
                       fs::copy_file(TemplateDatabasePath(), path);
                       RunSqliteOnFile(path, "drop table DBVersion;");
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

// A database that cannot be read just now is the user's data behind a passing fault: it is
// reported with the reason and left as it is, and the program ends.
TEST_F(MainWindowTest, ALockedDatabaseIsReportedAndLeftAsItIs) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "insert into Trips( name ) values( 'Mine' );");
    const std::string oldBytes = ReadFileText(Database());
    SetDriverBusyTimeout("Kestavo", 100);
    {
        ExclusiveLock lock(Database());
        ASSERT_TRUE(lock.Held());
        Start();
    }
    EXPECT_TRUE(MessageShown("Startup Error", "The Kestavo database '" + Database().string() +
                                                  "' could not be opened:\r\ndatabase is locked\r\n"
                                                  "It has been left as it is."));
    EXPECT_EQ(prompter.Messages().back().icon, WMessageIcon::Stop);
    EXPECT_EQ(prompter.Messages().back().buttons, WMessageButtons::OK);
    EXPECT_FALSE(window->HasWindow());
    EXPECT_EQ(ReadFileText(Database()), oldBytes);
    EXPECT_TRUE(Backups().empty());
}

TEST_F(MainWindowTest, AFolderInPlaceOfTheDatabaseIsReportedWithTheSystemsReason) {
    fs::create_directory(Database());
    WriteFileText(Database() / "inside.txt", "kept");
    Start();
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Startup Error");
    EXPECT_EQ(prompter.Messages()[0].text, "The Kestavo database '" + Database().string() +
                                               "' could not be opened:\r\nIs a directory\r\n"
                                               "It has been left as it is.");
    EXPECT_FALSE(window->HasWindow());
    EXPECT_EQ(ReadFileText(Database() / "inside.txt"), "kept");
    EXPECT_TRUE(Backups().empty());
}

TEST_F(MainWindowTest, MissingTemplateNeverCostsTheOldDatabase) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "update DBVersion set version = 8;");
    const std::string oldBytes = ReadFileText(Database());
    fs::remove(program / "KestavoEmpty.db");
    Start();
    EXPECT_TRUE(MessageShown("Startup Error", "could not be setup"));
    EXPECT_EQ(ReadFileText(Database()), oldBytes);
}

TEST_F(MainWindowTest, DataSourceThatCannotBeWrittenEndsTheStartup) {
    SeedDatabase();
    WriteFileText(root.Path() / "blocker", "x");
    setenv("ODBCINI", (root.Path() / "blocker" / "odbc.ini").c_str(), 1);
    const std::string oldBytes = ReadFileText(Database());
    Start();
    EXPECT_TRUE(MessageShown("Startup Error",
                             "The Kestavo database could not be setup.\r\nThe most likely cause is "
                             "a corrupt installation.\r\nUninstall, and reinstall the program."));
    EXPECT_FALSE(window->HasWindow());
    EXPECT_EQ(ReadFileText(Database()), oldBytes);
}

TEST_F(MainWindowTest, CancelAtTheMissingDatabaseEndsWithExitCodeZero) {
    WriteFileText(current / "kvo.dat", "old options\r\n");
    ApplicationClass application;
    int argc = 1;
    char name[] = "Kestavo";
    char* argv[] = {name, nullptr};
    // The test program's own folder holds no Kestavo.db, so the question comes up.
    ASSERT_FALSE(fs::exists(ProgramFolderOf(fs::read_symlink("/proc/self/exe").parent_path().string()) +
                            "Kestavo.db"));
    EXPECT_EQ(application.Run(argc, argv), 0);
    EXPECT_TRUE(MessageShown("Startup Error", "The required camping food database 'Kestavo.db' could "
                                              "not be found."));
    EXPECT_EQ(ReadFileText(current / "kvo.dat"), "old options\r\n");
}

TEST_F(MainWindowTest, MissingDatabaseIsRestoredFromTheChosenFile) {
    const fs::path chosen = root.Path() / "saved.db";
    fs::copy_file(program / "KestavoEmpty.db", chosen);
    RunSqliteOnFile(chosen, "insert into Trips( name ) values( 'Kept' );");
    prompter.Answer(WMessageAnswer::OK);
    prompter.AnswerFile(chosen.string());
    Start();
    ASSERT_TRUE(window->HasWindow());
    ASSERT_EQ(window->grid_Trips->GetNumRows(), 1);
    EXPECT_EQ(window->grid_Trips->GetCellText(0, 0), "Kept");
}

// The start-up's restore once copied any picked file in unchecked, and a text file named
// notes.db then locked the user out. Such a file is refused and the question comes again.
TEST_F(MainWindowTest, APickedFileThatIsNoDatabaseIsRefusedAndTheQuestionComesAgain) {
    const fs::path notes = root.Path() / "notes.db";
    WriteBrokenDatabase(BrokenDatabase::TextFile, notes);
    const fs::path chosen = root.Path() / "saved.db";
    fs::copy_file(program / "KestavoEmpty.db", chosen);
    RunSqliteOnFile(chosen, "insert into Trips( name ) values( 'Kept' );");
    prompter.Answer(WMessageAnswer::OK);
    prompter.AnswerFile(notes.string());
    prompter.Answer(WMessageAnswer::OK);
    prompter.AnswerFile(chosen.string());
    Start();
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].caption, "Startup Error");
    EXPECT_EQ(shown[1].text, "The file '" + notes.string() + "' is not a Kestavo database.");
    EXPECT_EQ(shown[1].icon, WMessageIcon::Stop);
    EXPECT_EQ(shown[1].buttons, WMessageButtons::OK);
    EXPECT_EQ(shown[2].text.rfind("The required camping food database 'Kestavo.db'", 0), 0u);
    ASSERT_TRUE(window->HasWindow());
    ASSERT_EQ(window->grid_Trips->GetNumRows(), 1);
    EXPECT_EQ(window->grid_Trips->GetCellText(0, 0), "Kept");
    EXPECT_EQ(ReadFileText(notes), "Trip notes: bring the stove.\r\n");
}

TEST_F(MainWindowTest, CancelAfterARefusedFileLeavesNoDatabaseBehind) {
    const fs::path damaged = root.Path() / "damaged.db";
    WriteBrokenDatabase(BrokenDatabase::TruncatedToHalf, damaged);
    prompter.Answer(WMessageAnswer::OK);
    prompter.AnswerFile(damaged.string());
    prompter.Answer(WMessageAnswer::Cancel);
    Start();
    EXPECT_TRUE(MessageShown("Startup Error", "is not a Kestavo database."));
    EXPECT_FALSE(window->HasWindow());
    EXPECT_FALSE(fs::exists(Database()));
}

// The start-up's restore checks only that the file opens as a database: an older one goes in
// and the version check puts the template in its place, the old file kept as the dated copy.
TEST_F(MainWindowTest, APickedOlderDatabaseGoesInAndMakesWayForTheTemplate) {
    const fs::path old = root.Path() / "old.db";
    fs::copy_file(program / "KestavoEmpty.db", old);
    RunSqliteOnFile(old, "update DBVersion set version = 8;");
    prompter.Answer(WMessageAnswer::OK);
    prompter.AnswerFile(old.string());
    Start();
    ASSERT_TRUE(window->HasWindow());
    EXPECT_TRUE(MessageShown("Bad database version"));
    EXPECT_FALSE(MessageShown("Startup Error", "is not a Kestavo database."));
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(ReadFileText(program / "dbbackups" / Backups()[0]), ReadFileText(old));
}

// A failed copy ended the program without a word.
TEST_F(MainWindowTest, AFailedCopyInTheStartupRestoreIsReportedAndTheQuestionComesAgain) {
    const fs::path unreadable = root.Path() / "folder.db";
    fs::create_directory(unreadable);
    prompter.Answer(WMessageAnswer::OK);
    prompter.AnswerFile(unreadable.string());
    prompter.Answer(WMessageAnswer::Cancel);
    Start();
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].caption, "Database File Error");
    EXPECT_EQ(shown[1].text,
              "The database could not be copied to '" + Database().string() + "':\r\nIs a directory");
    EXPECT_EQ(shown[1].icon, WMessageIcon::Stop);
    EXPECT_EQ(shown[1].buttons, WMessageButtons::OK);
    EXPECT_EQ(shown[2].caption, "Startup Error");
    EXPECT_FALSE(window->HasWindow());
    EXPECT_FALSE(fs::exists(Database()));
    EXPECT_EQ(ListFolder(program), (std::vector<std::string>{"Kestavo.lock", "KestavoEmpty.db"}));
}

// "Restore from startup backup" of the old file that a start on an old version kept: the old
// file's safety copy name was this minute's, so the restore overwrote the kept file first.
TEST_F(MainWindowTest, TheKeptOldDatabaseSurvivesARestoreOfIt) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "update DBVersion set version = 8; "
                                "insert into Trips( name ) values( 'Old trip' );");
    const std::string oldBytes = ReadFileText(Database());
    Start();
    ASSERT_EQ(Backups().size(), 1u);
    const fs::path kept = program / "dbbackups" / Backups()[0];
    prompter.Clear();
    prompter.AnswerFile(kept.string());
    window->menu_1->FindItem(1003)->Click();
    EXPECT_EQ(prompter.FileRequests()[0].title, "Restore database from backup");
    EXPECT_TRUE(MessageShown("Bad database version"));
    EXPECT_EQ(ReadFileText(kept), oldBytes);
    EXPECT_EQ(Backups().size(), 2u);
}

TEST_F(MainWindowTest, TripsShowSortedWithFormattedDatesAndKeepTheSelection) {
    SeedDatabase();
    RunSqliteOnFile(Database(),
              "insert into Trips( id, name, location, trip_date ) values"
              "( 7, 'Zion', 'Utah', '2002-03-05' ), ( 8, 'alps', 'Tirol', '2003-12-31' ),"
              "( 9, 'Moors', '', '2010-07-09' );");
    Start();
    WGrid* grid = window->grid_Trips;
    ASSERT_EQ(grid->GetNumRows(), 3);
    EXPECT_EQ(grid->GetCellText(0, 0), "alps");
    EXPECT_EQ(grid->GetCellText(0, 2), "Dec. 31, 2003");
    EXPECT_EQ(grid->GetCellText(2, 2), "Mar. 05, 2002");
    EXPECT_EQ(grid->GetCurrentRow(), 0);
    EXPECT_TRUE(grid->IsColumnHidden(3));
    EXPECT_TRUE(window->ExecSQL("update Trips set name = 'Aardvark' where id = 7"));
    window->RefreshTrips(7);
    EXPECT_EQ(grid->GetCurrentRow(), 0);
    EXPECT_EQ(grid->GetCellText(0, 3), "7");
    window->RefreshTrips(12345);   // no such row: the re-read's current row stays
    EXPECT_EQ(grid->GetNumRows(), 3);
}

TEST_F(MainWindowTest, DeleteTripRemovesItAfterTheQuestion) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "insert into Trips( id, name ) values( 3, 'Coast' ), ( 4, 'Desert' );"
                          "insert into TripDays( id, trip, day_num ) values( 1, 3, 1 );");
    Start();
    window->SelectRow(window->grid_Trips, 0);
    prompter.Answer(WMessageAnswer::Cancel);
    window->cb_Delete->Click();
    EXPECT_EQ(window->grid_Trips->GetNumRows(), 2);
    prompter.Answer(WMessageAnswer::OK);
    window->cb_Delete->Click();
    EXPECT_TRUE(MessageShown("Remove Trip?", "Are you sure you want to delete the 'Coast' trip?\r\n"
                                             "This will delete all the trip stops"));
    ASSERT_EQ(window->grid_Trips->GetNumRows(), 1);
    EXPECT_EQ(window->grid_Trips->GetCellText(0, 0), "Desert");
    WQuery days(window->transaction_KVO.get());
    days.SetSQL("select count(*) from TripDays");
    ASSERT_TRUE(days.Open());
    EXPECT_EQ(days.GetValue(0, 0).AsLong(), 0);
}

TEST_F(MainWindowTest, DeleteWithNoTripsShowsTheSelectionMessage) {
    SeedDatabase();
    Start();
    window->cb_Delete->Click();
    EXPECT_TRUE(MessageShown("Selection error",
                             "You must create and select a trip before you can complete this task."));
}

TEST_F(MainWindowTest, OptionsFileIsReadAppliedAndWrittenAtClose) {
    SeedDatabase();
    WriteFileText(current / "kvo.dat",
               "kvo_v_10:\r\nproduct_version: 0\r\nuser_name: Ann\r\nuser_email: \r\n"
               "ingredient_units: 0\r\nreport_type: 1\r\nstartup_help: 0\r\ncooking_measure: 2\r\n"
               "startup_convert: 0\r\npreview_mag: 0\r\nsafe_edits: 0\r\nkvo_end:\r\n");
    Start();
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_EQ(window->options.userName, "Ann");
    WQuery measures(window->transaction_KVO.get());
    measures.SetSQL("select max( metric ), min( imperial ) from Measures where cooking_measure = 1");
    ASSERT_TRUE(measures.Open());
    EXPECT_EQ(measures.GetValue(0, 0).AsLong(), 0);
    EXPECT_EQ(measures.GetValue(0, 1).AsLong(), 1);
    measures.Close();

    window->options.userName = "Bea";
    window->Close();
    RunPostedEvents();
    EXPECT_FALSE(window->HasWindow());
    EXPECT_FALSE(window->transaction_KVO);   // the connection ended with the window
    EXPECT_NE(ReadFileText(current / "kvo.dat").find("user_name: Bea\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, InvalidOptionsFileIsReportedAndReplacedByTheDefaults) {
    SeedDatabase();
    WriteFileText(current / "kvo.dat", "not an options file\r\n");
    Start();
    ASSERT_TRUE(window->HasWindow());
    EXPECT_TRUE(MessageShown("Startup Error", "The default startup options file is not valid. "
                                              "The error was:\n"));
    EXPECT_EQ(ReadFileText(current / "kvo.dat").rfind("kvo_v_10:\r\n", 0), 0u);
}

// A folder by that name is a file that cannot be opened, not one without a header.
TEST_F(MainWindowTest, AnOptionsFileThatIsAFolderIsReportedAsOneThatCannotBeOpened) {
    SeedDatabase();
    fs::create_directory(current / "kvo.dat");
    Start();
    ASSERT_TRUE(window->HasWindow());
    EXPECT_TRUE(MessageShown("Startup Error", "The default startup options file is not valid. The error was:\n"
                                              "Could not open file 'kvo.dat'\nThe initial program defaults will be used."));
    EXPECT_TRUE(fs::is_directory(current / "kvo.dat"));
}

TEST_F(MainWindowTest, OptionsAreNotWrittenWhenTheStartupEndsEarly) {
    WriteFileText(current / "kvo.dat", "old options\r\n");
    Start();   // no database, and the question is cancelled
    EXPECT_FALSE(window->HasWindow());
    EXPECT_EQ(ReadFileText(current / "kvo.dat"), "old options\r\n");
}

// One copy of the program on a database: a second one overwrote the first one's edits with what
// its own forms held.
namespace {

// An open lock file that holds the lock (or -1 when another holds it).
int TakeLock(const fs::path& path) {
    const int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) return -1;
    if (::flock(file, LOCK_EX | LOCK_NB) == 0) return file;
    ::close(file);
    return -1;
}

}  // namespace

TEST_F(MainWindowTest, AnotherCopyOnTheDatabaseShutsThisOneOutBeforeItTouchesAnything) {
    SeedDatabase();
    WriteFileText(current / "kvo.dat", "old options\r\n");
    const std::string oldBytes = ReadFileText(Database());
    const int other = TakeLock(program / "Kestavo.lock");
    ASSERT_GE(other, 0);
    Start();
    ::close(other);
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Startup Error");
    EXPECT_EQ(prompter.Messages()[0].text, "Kestavo is already running with the database\r\n'" +
                                               Database().string() +
                                               "'.\r\nOnly one copy of the program can use it at a time.");
    EXPECT_EQ(prompter.Messages()[0].icon, WMessageIcon::Stop);
    EXPECT_EQ(prompter.Messages()[0].buttons, WMessageButtons::OK);
    EXPECT_FALSE(window->HasWindow());
    EXPECT_TRUE(window->ShutOutByAnotherCopy());
    EXPECT_EQ(ReadFileText(Database()), oldBytes);
    EXPECT_FALSE(fs::exists(program / "dbbackups"));
    EXPECT_FALSE(fs::exists(root.Path() / "odbc.ini"));
    EXPECT_EQ(ReadFileText(current / "kvo.dat"), "old options\r\n");
}

TEST_F(MainWindowTest, TheRunningCopyHoldsItsLockUntilItsWindowIsGone) {
    SeedDatabase();
    Start();
    ASSERT_TRUE(window->HasWindow());
    EXPECT_FALSE(window->ShutOutByAnotherCopy());
    EXPECT_LT(TakeLock(program / "Kestavo.lock"), 0);
    window->DestroyDataObjects();
    delete window;
    window = nullptr;
    const int next = TakeLock(program / "Kestavo.lock");
    EXPECT_GE(next, 0);
    ::close(next);
}

TEST_F(MainWindowTest, ACopyThatWasKilledKeepsNobodyOut) {
    SeedDatabase();
    const fs::path lockFile = program / "Kestavo.lock";   // made before the fork: no allocation after it
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t copy = ::fork();
    ASSERT_GE(copy, 0);
    if (copy == 0) {   // the other copy: takes the lock, says so, and waits to be killed
        const int file = TakeLock(lockFile);
        const char held = file >= 0 ? 'y' : 'n';
        (void)!::write(ready[1], &held, 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(held, 'y');
    ::kill(copy, SIGKILL);
    ::waitpid(copy, nullptr, 0);
    Start();
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_TRUE(window->HasWindow());
    EXPECT_TRUE(window->transaction_KVO->IsConnected());
}

// The lock guards the data; a lock that cannot be had at all must not keep the user from it.
TEST_F(MainWindowTest, ALockFileThatCannotBeMadeNeverKeepsTheUserOut) {
    SeedDatabase();
    fs::create_directory(program / "Kestavo.lock");
    Start();
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_TRUE(window->HasWindow());
    EXPECT_FALSE(window->ShutOutByAnotherCopy());
}
