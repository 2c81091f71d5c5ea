// The start-up of the main window: data source, version check, dated copies, options, trips.

#include "tests/startup/MainWindowFixture.h"

#include "shell/ApplicationClass.h"


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

TEST_F(MainWindowTest, OlderVersionIsKeptAsTheDatedCopyAndReplacedByTheTemplate) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "update DBVersion set version = 8; "
                          "insert into Trips( name, location ) values( 'Old trip', 'Lake' );");
    const std::string oldBytes = ReadFileText(Database());
    Start();
    EXPECT_TRUE(MessageShown("Bad database version", "not matched with this\r\nversion of 'Kestavo'"));
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(ReadFileText(program / "dbbackups" / Backups()[0]), oldBytes);
    EXPECT_EQ(window->grid_Trips->GetNumRows(), 0);
    WQuery version(window->transaction_KVO.get());
    version.SetSQL("select version from DBVersion");
    ASSERT_TRUE(version.Open());
    EXPECT_EQ(version.GetValue(0, 0).AsLong(), 9);
}

TEST_F(MainWindowTest, UnreadableVersionLeavesTheFileAlone) {
    SeedDatabase();
    RunSqliteOnFile(Database(), "drop table DBVersion;");
    const std::string oldBytes = ReadFileText(Database());
    Start();
    EXPECT_TRUE(MessageShown("Startup Error", "could not be setup"));
    EXPECT_FALSE(window->HasWindow());
    EXPECT_EQ(ReadFileText(Database()), oldBytes);
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

TEST_F(MainWindowTest, OptionsAreNotWrittenWhenTheStartupEndsEarly) {
    WriteFileText(current / "kvo.dat", "old options\r\n");
    Start();   // no database, and the question is cancelled
    EXPECT_FALSE(window->HasWindow());
    EXPECT_EQ(ReadFileText(current / "kvo.dat"), "old options\r\n");
}
