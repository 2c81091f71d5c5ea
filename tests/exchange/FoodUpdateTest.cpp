// The food update from File > "Download database update..." against real web servers on free
// ports of 127.0.0.1: the information file, the version check, the names an update may have,
// the download window with its progress and Cancel, the archive unpacked apart from the program
// folder, and the servers that answer badly or not at all.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/OnlineService.h"
#include "exchange/WinDownloadFile.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WThread.h"
#include "tests/companion/ZipBuilder.h"
#include "tests/platform/net/LocalServers.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/FileText.h"
#include "tests/support/LeaveForm.h"
#include "tests/support/StrictModalForms.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* GoodInfo = "version: 302\r\nfood_2004\r\n";

std::string FoodRows() {
    return "kvo_1_0:\r\nload_version: 103\r\ntable: Ingredients\r\n"
           "rows_start: id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size, notes, "
           "modified, licensor\r\n"
           "row_start:\r\ncol_val_int: 0\r\ncol_val_str: Trail oats\r\ncol_val_int: 14\r\ncol_val_int: 0\r\n"
           "col_val_str: \r\ncol_val_double: 1.0000\r\ncol_val_str: \r\ncol_val_str: 2004-03-01 10:00:00\r\n"
           "col_val_str: \r\nrow_end:\r\n"
           "row_start:\r\ncol_val_int: 1\r\ncol_val_str: Dried apricots\r\ncol_val_int: 14\r\ncol_val_int: 0\r\n"
           "col_val_str: \r\ncol_val_double: 1.0000\r\ncol_val_str: \r\ncol_val_str: 2004-03-01 10:00:00\r\n"
           "col_val_str: \r\nrow_end:\r\nrows_end:\r\nkvo_end:\r\n";
}

// Bytes that do not compress, so that an archive is as long as its data.
std::string NoiseBytes(std::size_t size) {
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char& c : bytes) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

// Waits, serving events, until the condition holds or the deadline has passed.
template <class Condition>
bool WaitFor(Condition condition, int milliseconds = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

class FoodUpdateTest : public RunningMainWindowTest {
protected:
    void SetUp() override {
        RunningMainWindowTest::SetUp();
        prompter.Clear();
        fs::create_directories(site.File("KVOUpdate"));
    }
    fs::path Program(const std::string& name) const { return program / name; }
    fs::path Remote(const std::string& name) const { return site.File("KVOUpdate/" + name); }
    void PointAt(int port, const std::string& more = "stall_seconds = 5\n") {
        ASSERT_TRUE(WriteFileText(Program("kvo_online.conf"),
                                  "web_host = 127.0.0.1\nweb_port = " + std::to_string(port) + "\n" + more));
    }
    std::string SiteText(int port) const { return "127.0.0.1:" + std::to_string(port); }
    void WriteInfo(const std::string& text) { ASSERT_TRUE(WriteFileText(Remote("kvoupdate_info.txt"), text)); }
    void WriteArchive(const std::vector<ZipEntrySpec>& entries) {
        ASSERT_TRUE(WriteZip(Remote("kvoupdate.zip").string(), entries));
    }
    void WriteGoodUpdate() {
        WriteInfo(GoodInfo);
        WriteArchive({{"food_2004.kvo", FoodRows()}});
    }
    // Answers the first question with OK, the rest from answers, and runs the update.
    void RunUpdate(const std::vector<WMessageAnswer>& answers = {}) {
        prompter.Answer(WMessageAnswer::OK);
        for (WMessageAnswer answer : answers) prompter.Answer(answer);
        window->DownloadFoodUpdate();
    }
    // The download window as it shows, left to run to its end.
    void ExpectDownloadWindow() {
        ModalTakeOver::Expect("WinDownloadFile", [this](WForm& window) {
            shown = {window.FindControl("label_WebSite")->GetText(), window.FindControl("label_InFile")->GetText(),
                     window.FindControl("label_OutFile")->GetText()};
        });
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const auto& message : prompter.Messages()) captions.push_back(message.caption);
        return captions;
    }
    std::string LastText() const { return prompter.Messages().empty() ? "" : prompter.Messages().back().text; }
    bool UnpackFolderLeft() const {
        for (const std::string& name : ListFolder(program))
            if (name.rfind(".kvo_update_", 0) == 0) return true;
        return false;
    }

    long Count(const std::string& sql) {
        WQuery query(window->transaction_KVO.get());
        query.SetSQL(sql);
        EXPECT_TRUE(query.Open()) << sql;
        return static_cast<long>(query.GetValue(0, 0).AsLong());
    }

    StrictModalForms strictModalForms;
    TempFolder site;
    std::vector<std::string> shown;
};

TEST_F(FoodUpdateTest, AGoodUpdateIsDownloadedUnpackedAndImported) {
    LocalHttpServer server(site.Path());
    ASSERT_TRUE(server.Running());
    PointAt(server.Port());
    WriteGoodUpdate();
    ExpectDownloadWindow();
    RunUpdate();
    EXPECT_EQ(shown, (std::vector<std::string>{SiteText(server.Port()), "/KVOUpdate/kvoupdate.zip",
                                               Program("jnk.zip").string()}));
    EXPECT_EQ(Count("select count(*) from Ingredients where name in ('Trail oats', 'Dried apricots')"), 2);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Food update successful"}));
    EXPECT_EQ(prompter.Messages()[0].icon, WMessageIcon::Question);
    EXPECT_EQ(prompter.Messages()[0].buttons, WMessageButtons::OKCancel);
    EXPECT_EQ(prompter.Messages()[1].icon, WMessageIcon::Information);
    EXPECT_NE(LastText().find("food items in the import file:\r\n" + Program("food_2004.kvo").string() + "\r\n"),
              std::string::npos);
    // The update file stays as the mark of a downloaded update; the archive goes.
    EXPECT_EQ(ReadFileText(Program("food_2004.kvo")), FoodRows());
    EXPECT_FALSE(fs::exists(Program("jnk.zip")));
    EXPECT_FALSE(UnpackFolderLeft());
}

TEST_F(FoodUpdateTest, CancelInTheFirstQuestionFetchesNothing) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteGoodUpdate();
    prompter.Answer(WMessageAnswer::Cancel);
    ASSERT_TRUE(window->menu_1->FindItem(1009)->GetItemEnabled());
    window->menu_1->FindItem(1009)->Click();
    EXPECT_EQ(Captions(), std::vector<std::string>{"Download food update"});
    EXPECT_FALSE(fs::exists(Program("food_2004.kvo")));
}

TEST_F(FoodUpdateTest, AVersionAboveOursIsRefusedBeforeAnyDownload) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteInfo("version: 303\r\nfood_2004\r\n");
    WriteArchive({{"food_2004.kvo", FoodRows()}});
    RunUpdate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Product version too old"}));
    EXPECT_EQ(LastText(), std::string("This update requires a newer version of this program.\r\nPlease visit our web "
                                      "site at '") + MakerWebSite + "' to download and\r\ninstall the latest product update.");
    EXPECT_FALSE(fs::exists(Program("food_2004.kvo")));
}

TEST_F(FoodUpdateTest, ANotFoundInformationFileIsAnErrorNeverData) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    RunUpdate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Update download failed"}));
    EXPECT_EQ(LastText(), "The server answered 404 File not found.");
}

TEST_F(FoodUpdateTest, AnInformationFileOfMoreThanAMegabyteIsNotRead) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteInfo("version: 302\r\nfood_2004\r\n" + std::string(1100000, 'x'));
    RunUpdate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Update download failed"}));
    EXPECT_EQ(LastText(), "Could not read the file: KVOUpdate/kvoupdate_info.txt");
}

TEST_F(FoodUpdateTest, NoServerIsAConnectionError) {
    const int port = FreeLocalPort();
    PointAt(port);
    RunUpdate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Update download failed"}));
    EXPECT_EQ(LastText(), "Could not connect to the web site: " + SiteText(port));
}

// With the built-in stall time: a server that accepts and never answers cannot hold the program.
TEST_F(FoodUpdateTest, AServerThatNeverAnswersEndsInAnErrorWithinThirtySeconds) {
    SilentServer server;
    PointAt(server.Port(), "");
    const auto start = std::chrono::steady_clock::now();
    RunUpdate();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Update download failed"}));
    EXPECT_EQ(LastText(), "Could not send the request to the file: KVOUpdate/kvoupdate_info.txt");
}

TEST_F(FoodUpdateTest, AMissingArchiveIsTheNotFoundMessage) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteInfo(GoodInfo);
    ExpectDownloadWindow();
    RunUpdate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Connection error", "Database File Error"}));
    EXPECT_EQ(prompter.Messages()[1].text, "The file '/KVOUpdate/kvoupdate.zip' does not exist on the remote server '" +
                              SiteText(server.Port()) +
                              "'.\r\nTry downloading a few more times in case it is a sporadic\r\nInternet error.\r\n"
                              "Contact Velmora Technologies if the error persists:\r\n" + SupportAddress);
    EXPECT_FALSE(fs::exists(Program("jnk.zip")));
}

struct BadArchiveCase {
    const char* label;
    const char* status;   // "" for 200
    const char* body;
    const char* caption;
    const char* textStart;
};
void PrintTo(const BadArchiveCase& c, std::ostream* os) { *os << c.label; }

class BadArchiveTest : public FoodUpdateTest, public testing::WithParamInterface<BadArchiveCase> {};

TEST_P(BadArchiveTest, ShowsTheDownloadWindowsMessage) {
    SlowHttpServer server(site.Path(), 100000);
    ASSERT_TRUE(server.Running());
    PointAt(server.Port());
    WriteInfo(GoodInfo);
    ASSERT_TRUE(WriteFileText(Remote("kvoupdate.zip"), GetParam().body));
    if (*GetParam().status) ASSERT_TRUE(WriteFileText(Remote("kvoupdate.zip.status"), GetParam().status));
    ExpectDownloadWindow();
    RunUpdate();
    EXPECT_EQ(Captions(),
              (std::vector<std::string>{"Download food update", GetParam().caption, "Database File Error"}));
    EXPECT_EQ(prompter.Messages()[1].text.rfind(GetParam().textStart, 0), 0u) << prompter.Messages()[1].text;
    EXPECT_FALSE(fs::exists(Program("food_2004.kvo")));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, BadArchiveTest,
    testing::Values(BadArchiveCase{"ServiceUnavailable", "503 Service Unavailable", "busy", "Connection error",
                                   "Could not connect to the web site to retrieve the database.\r\n"},
                    BadArchiveCase{"NotFoundPageAsOK", "", "<html><h1>404 NOT Found</h1></html>", "Connection error",
                                   "The file '/KVOUpdate/kvoupdate.zip' does not exist"}),
    [](const testing::TestParamInfo<BadArchiveCase>& info) { return std::string(info.param.label); });

class BadNameTest : public FoodUpdateTest, public testing::WithParamInterface<const char*> {};

TEST_P(BadNameTest, IsInvalidDownloadInformation) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteInfo(GetParam());
    RunUpdate();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Invalid download information"}));
    EXPECT_EQ(LastText(), "The downloaded information was not properly formatted. Please try again.");
}

INSTANTIATE_TEST_SUITE_P(Names, BadNameTest,
                         testing::Values("version: 302\r\n../Kestavo\r\n", "version: 302\r\n\r\n",
                                         "version: 302\r\nfood_2004", "version: 302   \r\nfood_2004\r\n",
                                         "version: 302\r\n/etc/passwd\r\n", "no colon here\r\nfood_2004\r\n"));

TEST_F(FoodUpdateTest, ANameThatClimbsOutOfTheProgramFolderDeletesNothingThere) {
    const fs::path victim = program.parent_path() / (program.filename().string() + "_victim.kvo");
    ASSERT_TRUE(WriteFileText(victim, "kept"));
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteInfo("version: 302\r\n../" + program.filename().string() + "_victim\r\n");
    WriteArchive({{"food_2004.kvo", FoodRows()}});
    RunUpdate({WMessageAnswer::OK});
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Invalid download information"}));
    EXPECT_EQ(ReadFileText(victim), "kept");
    fs::remove(victim);
}

TEST_F(FoodUpdateTest, CancelToTheUpdateAlreadyThereLeavesItUntouched) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteGoodUpdate();
    ASSERT_TRUE(WriteFileText(Program("food_2004.kvo"), "earlier update"));
    RunUpdate({WMessageAnswer::Cancel});
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Update already exists"}));
    EXPECT_EQ(prompter.Messages()[1].text.rfind("You have already downloaded the update 'food_2004.kvo'\r\n", 0), 0u);
    EXPECT_EQ(ReadFileText(Program("food_2004.kvo")), "earlier update");
}

TEST_F(FoodUpdateTest, OKToTheUpdateAlreadyThereDownloadsItAgain) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteGoodUpdate();
    ASSERT_TRUE(WriteFileText(Program("food_2004.kvo"), "earlier update"));
    ExpectDownloadWindow();
    RunUpdate({WMessageAnswer::OK});
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Update already exists",
                                                    "Food update successful"}));
    EXPECT_EQ(ReadFileText(Program("food_2004.kvo")), FoodRows());
}

// Whatever else the archive holds stays in the private unpack folder and goes with it.
TEST_F(FoodUpdateTest, AnArchiveCannotReplaceTheDatabaseOrTheProgramsFiles) {
    LocalHttpServer server(site.Path());
    PointAt(server.Port());
    WriteInfo(GoodInfo);
    WriteArchive({{"Kestavo.db", "not a database"},
                  {"KestavoEmpty.db", "not a template"},
                  {"lib/libQuorvel1.so", "not a library"},
                  {"food_2004.kvo", FoodRows()},
                  {"../outside", "not a program"}});
    const std::string emptyTemplate = ReadFileText(Program("KestavoEmpty.db"));
    std::vector<std::string> before = ListFolder(program);
    ExpectDownloadWindow();
    RunUpdate();
    EXPECT_EQ(Captions().back(), "Food update successful");
    EXPECT_EQ(Count("select count(*) from Ingredients where name = 'Trail oats'"), 1);
    EXPECT_NE(ReadFileText(Program("Kestavo.db")), "not a database");
    EXPECT_TRUE(ReadFileText(Program("KestavoEmpty.db")) == emptyTemplate);
    before.push_back("food_2004.kvo");
    before.push_back("tmp.db");   // the import's safety copy
    std::sort(before.begin(), before.end());
    EXPECT_EQ(ListFolder(program), before);
    EXPECT_FALSE(fs::exists(program.parent_path() / "outside"));
}

class CancelDownloadTest : public FoodUpdateTest, public testing::WithParamInterface<Leave> {};

TEST_P(CancelDownloadTest, StopsTheTransferAndDeletesThePartialArchive) {
    SlowHttpServer server(site.Path(), 20000);
    ASSERT_TRUE(server.Running());
    PointAt(server.Port());
    WriteInfo(GoodInfo);
    WriteArchive({{"food_2004.kvo", FoodRows()}, {"noise.bin", NoiseBytes(600000), 0x56cf7000, true}});
    bool progressed = false;
    ModalTakeOver::Expect("WinDownloadFile", [&](WForm& window) {
        WWindow* progress = window.FindControl("label_Progress");
        progressed = WaitFor([&] { return progress->GetText() != "0 K"; });
        LeaveForm(window, GetParam());
    });
    const auto start = std::chrono::steady_clock::now();
    RunUpdate();
    EXPECT_TRUE(progressed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    // No message of the window; the import that follows fails on the missing update file.
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Download food update", "Database File Error"}));
    EXPECT_FALSE(fs::exists(Program("jnk.zip")));
    EXPECT_FALSE(fs::exists(Program("food_2004.kvo")));
    EXPECT_FALSE(UnpackFolderLeft());
}

INSTANTIATE_TEST_SUITE_P(Ways, CancelDownloadTest,
                         testing::Values(Leave::CancelButton, Leave::EscapeKey, Leave::CloseBox),
                         [](const testing::TestParamInfo<Leave>& info) { return std::string(ToString(info.param)); });

// The download window alone, with what it shows at every report of its worker.
class WatchedDownload : public WinDownloadFile {
public:
    std::vector<std::string> progressShown;

protected:
    bool OnDownloadEvent(WEventData& event) override {
        const bool handled = WinDownloadFile::OnDownloadEvent(event);
        if (event.code == Progress) progressShown.push_back(label_Progress->GetText());
        return handled;
    }
};

TEST_F(FoodUpdateTest, ProgressIsShownAfterEachFullBlockOnly) {
    SlowHttpServer server(site.Path(), 25000);
    ASSERT_TRUE(server.Running());
    PointAt(server.Port());
    ASSERT_TRUE(WriteFileText(Remote("kvoupdate.zip"), NoiseBytes(250000)));
    ModalTakeOver::Expect("WinDownloadFile", [](WForm&) {});
    WatchedDownload window;
    EXPECT_TRUE(window.Open(nullptr, SiteText(server.Port()), "/KVOUpdate/kvoupdate.zip", Program("jnk.zip").string()));
    EXPECT_EQ(window.progressShown, (std::vector<std::string>{"97 K", "195 K"}));
    EXPECT_EQ(ReadFileText(Program("jnk.zip")).size(), 250000u);
}

TEST_F(FoodUpdateTest, ALocalFileThatCannotBeMadeIsAFileError) {
    LocalHttpServer server(site.Path());
    WriteGoodUpdate();
    ModalTakeOver::Expect("WinDownloadFile", [](WForm&) {});
    WinDownloadFile window;
    const std::string local = Program("no such folder/jnk.zip").string();
    EXPECT_FALSE(window.Open(nullptr, SiteText(server.Port()), "/KVOUpdate/kvoupdate.zip", local));
    EXPECT_EQ(Captions(), std::vector<std::string>{"File error"});
    EXPECT_EQ(LastText(), "Could not create the output file:\r\n" + local);
}

}  // namespace

namespace {

TEST_F(FoodUpdateTest, AWorkerThatCannotStartClosesTheWindowWithTheConnectionError) {
    LocalHttpServer server(site.Path());
    WriteGoodUpdate();
    ModalTakeOver::Expect("WinDownloadFile", [](WForm&) {});
    WThread::RefuseNextStart();
    WinDownloadFile window;
    EXPECT_FALSE(window.Open(nullptr, SiteText(server.Port()), "/KVOUpdate/kvoupdate.zip", Program("jnk.zip").string()));
    EXPECT_EQ(Captions(), std::vector<std::string>{"Connection error"});
}

}  // namespace
