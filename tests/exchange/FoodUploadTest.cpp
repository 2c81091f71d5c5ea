// The food data upload from File > "Upload your food database..." against pyftpdlib on a free
// port of 127.0.0.1: the file that arrives, the notice page as the private desktop's browser
// receives it, the FTP refusals, and the entries the form refuses.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "exchange/OnlineService.h"
#include "exchange/WinUpload.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WThread.h"
#include "platform/net/WNetStep.h"
#include "tests/catalogue/CatalogueTest.h"
#include "tests/platform/net/LocalServers.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/FileText.h"
#include "tests/support/StrictModalForms.h"

namespace fs = std::filesystem;

namespace {

// A desktop of the test's own whose browser (for pages and for http addresses) records the
// address it was given.
class RecordingBrowser {
public:
    explicit RecordingBrowser(const fs::path& root) : record_(root / "opened.txt") {
        const fs::path probe = root / "browser.sh";
        fs::create_directories(root / "data/applications");
        fs::create_directories(root / "config");
        std::ofstream(probe) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << record_.string() << ".part\"\nmv \""
                             << record_.string() << ".part\" \"" << record_.string() << "\"\n";
        fs::permissions(probe, fs::perms::owner_all);
        std::ofstream(root / "data/applications/kvo-browser.desktop")
            << "[Desktop Entry]\nType=Application\nName=Browser\nExec=" << probe.string() << " %u\n";
        std::ofstream(root / "config/mimeapps.list")
            << "[Default Applications]\ntext/html=kvo-browser.desktop\nx-scheme-handler/http=kvo-browser.desktop\n";
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root / "etc").c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        setenv("XDG_DATA_DIRS", "/usr/share", 1);
        unsetenv("XDG_CURRENT_DESKTOP");
    }
    // What the browser was given, once it has run; "" when it never ran.
    std::string Opened(std::chrono::milliseconds patience = std::chrono::seconds(5)) const {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!fs::exists(record_) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return ReadFileText(record_);
    }

private:
    fs::path record_;
};

class FoodUploadTest : public RunningMainWindowTest {
protected:
    void SetUp() override {
        RunningMainWindowTest::SetUp();
        prompter.Clear();
        browser = std::make_unique<RecordingBrowser>(root.Path() / "desktop");
        WQuery query(window->transaction_KVO.get());
        ASSERT_TRUE(query.Execute("insert into Ingredients( name, notes, modified ) values( 'Trail oats', "
                                  "'50% oats\nand % signs', '2004-03-01 10:00:00' )"));
        ASSERT_TRUE(query.Execute("insert into Courses( name, feeds ) values( 'Porridge', 2.5 )"));
    }
    void PointAt(int ftpPort, int webPort = 8080) {
        ASSERT_TRUE(WriteFileText(program / "kvo_online.conf",
                                  "ftp_host = 127.0.0.1\nftp_port = " + std::to_string(ftpPort) +
                                      "\nweb_host = 127.0.0.1\nweb_port = " + std::to_string(webPort) + "\n"));
    }
    // Opens the form from the File menu, fills it and presses Continue, then leaves it with
    // Cancel when it is still open.
    void Upload(const std::string& name, const std::string& email) {
        ModalTakeOver::Expect("WinUpload", [=, this](WForm& form) {
            shownName = form.Control<WTextBox>("textb_Name")->GetText();
            TypeOver(form, "textb_Name", name);
            TypeOver(form, "textb_EMail", email);
            Click(form, "cb_Continue");
            RunPostedEvents();
            stayedOpen = form.HasWindow() && form.GetWindow()->isVisible();
            if (stayedOpen) Click(form, "cb_Cancel");
        });
        window->menu_1->FindItem(1010)->Click();
    }
    std::vector<std::string> UploadFilesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const std::string& name : ListFolder(folder))
            if (name.rfind("kvoupdate_", 0) == 0) names.push_back(name);
        return names;
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const auto& message : prompter.Messages()) captions.push_back(message.caption);
        return captions;
    }

    StrictModalForms strictModalForms;
    TempFolder remote;
    std::unique_ptr<RecordingBrowser> browser;
    std::string shownName;
    bool stayedOpen = false;
};

TEST_F(FoodUploadTest, TheExportArrivesByteForByteAndTheNoticePageOpensWithEncodedValues) {
    LocalFtpServer server(remote.Path(), "kvoupload", "pinetor", true);
    ASSERT_TRUE(server.Running());
    PointAt(server.Port());
    Upload("  A&B Outfitters ", " dana@example.com  ");
    EXPECT_TRUE(Captions().empty()) << Captions().front();
    EXPECT_FALSE(stayedOpen);
    const std::vector<std::string> arrived = UploadFilesIn(remote.Path());
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_TRUE(UploadFilesIn(current).empty());   // the local copy is gone
    ASSERT_TRUE(window->ExportDatabase((current / "check.kvo").string()));
    EXPECT_TRUE(ReadFileText(remote.Path() / arrived[0]) == ReadFileText(current / "check.kvo"));
    EXPECT_EQ(browser->Opened(), "http://127.0.0.1:8080/KVOUpdate_post.php3?user_name=A%26B%20Outfitters"
                                 "&user_email=dana%40example.com&mail_file=" + arrived[0] + "&version=3.02\n");
    EXPECT_EQ(TheOptions->userName, "A&B Outfitters");
    EXPECT_EQ(TheOptions->userEmail, "dana@example.com");
}

TEST_F(FoodUploadTest, TheUploadFileIsNamedAfterTheTime) {
    const std::string name = WinUpload::MakeUploadFileName();
    int y, mo, d, h, mi, s, ms;
    char end[8] = "";
    ASSERT_EQ(std::sscanf(name.c_str(), "kvoupdate_%4d%2d%2d_%2d%2d%2d_%d%7s", &y, &mo, &d, &h, &mi, &s, &ms, end), 8)
        << name;
    EXPECT_STREQ(end, ".kvo");
    EXPECT_GE(y, 2024);
}

struct RefusalCase {
    const char* label;
    const char* password;
    bool writable;
    bool failOpen;
    const char* caption;
    const char* textStart;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.label; }

class FtpRefusalTest : public FoodUploadTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(FtpRefusalTest, ShowsItsMessageAndKeepsTheFormAndTheOptions) {
    LocalFtpServer server(remote.Path(), "kvoupload", GetParam().password, GetParam().writable);
    ASSERT_TRUE(server.Running());
    PointAt(server.Port());
    TheOptions->userName = "Earlier";
    TheOptions->userEmail = "earlier@example.com";
    if (GetParam().failOpen) InjectOpenFailures(1);
    Upload("Dana", "dana@example.com");
    EXPECT_EQ(shownName, "Earlier");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Captions(), std::vector<std::string>{GetParam().caption});
    const std::string text = prompter.Messages().empty() ? "" : prompter.Messages()[0].text;
    EXPECT_EQ(text.rfind(GetParam().textStart, 0), 0u) << text;
    EXPECT_NE(text.find("Try again later, or contact Velmora is this problem persists:\r\n" +
                        std::string(SupportAddress)),
              std::string::npos);
    EXPECT_TRUE(UploadFilesIn(remote.Path()).empty());
    EXPECT_TRUE(UploadFilesIn(current).empty());
    EXPECT_EQ(TheOptions->userName, "Earlier");
    EXPECT_EQ(TheOptions->userEmail, "earlier@example.com");
    EXPECT_EQ(browser->Opened(std::chrono::milliseconds(200)), "");
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, FtpRefusalTest,
    testing::Values(RefusalCase{"WrongPassword", "another", true, false, "FTP connection error",
                                "Could not connect to the Velmora FTP server to upload your data\r\n"},
                    RefusalCase{"NotWritable", "pinetor", false, false, "FTP Upload error",
                                "The exported food data file could not be loaded up to the\r\nthe Velmora FTP server.\r\n"},
                    RefusalCase{"ClientCannotOpen", "pinetor", true, true, "FTP open error",
                                "Could not open the Velmora FTP server to upload your data\r\n"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.label); });

// The worker never ran: its result stays a failure, and no page opens.
TEST_F(FoodUploadTest, AnUploadWhoseThreadCannotStartOpensNoPage) {
    LocalFtpServer server(remote.Path(), "kvoupload", "pinetor", true);
    PointAt(server.Port());
    WThread::RefuseNextStart();
    Upload("Dana", "dana@example.com");
    EXPECT_EQ(Captions(), std::vector<std::string>{"FTP open error"});
    EXPECT_TRUE(UploadFilesIn(remote.Path()).empty());
    EXPECT_TRUE(UploadFilesIn(current).empty());
    EXPECT_EQ(browser->Opened(std::chrono::milliseconds(200)), "");
}

struct EntryCase {
    const char* label;
    const char* name;
    const char* email;
    const char* caption;
};
void PrintTo(const EntryCase& c, std::ostream* os) { *os << c.label; }

class MissingEntryTest : public FoodUploadTest, public testing::WithParamInterface<EntryCase> {};

TEST_P(MissingEntryTest, IsRefusedBeforeAnythingIsExported) {
    Upload(GetParam().name, GetParam().email);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Captions(), std::vector<std::string>{GetParam().caption});
    EXPECT_EQ(prompter.Messages()[0].icon, WMessageIcon::Stop);
    EXPECT_TRUE(UploadFilesIn(current).empty());
}

INSTANTIATE_TEST_SUITE_P(Entries, MissingEntryTest,
                         testing::Values(EntryCase{"NoName", "", "dana@example.com", "Name not provided"},
                                         EntryCase{"BlankName", "   ", "dana@example.com", "Name not provided"},
                                         EntryCase{"BlankEmail", "Dana", " \t ", "E-Mail not provided"}),
                         [](const testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.label); });

TEST_F(FoodUploadTest, AnExportThatCannotBeWrittenIsInternalError4521) {
    LocalFtpServer server(remote.Path(), "kvoupload", "pinetor", true);
    PointAt(server.Port());
    const fs::path gone = root.Path() / "gone";
    fs::create_directories(gone);
    fs::current_path(gone);
    fs::remove(gone);
    Upload("Dana", "dana@example.com");
    EXPECT_TRUE(stayedOpen);
    ASSERT_FALSE(Captions().empty());
    EXPECT_EQ(Captions().back(), "Internal Error #4521");
    EXPECT_EQ(prompter.Messages().back().text,
              std::string("Could not export data for upload. Contact Velmora Technologies:\r\n") + SupportAddress);
    EXPECT_TRUE(UploadFilesIn(remote.Path()).empty());
}

TEST_F(FoodUploadTest, EnterInTheFormIsCancel) {
    LocalFtpServer server(remote.Path(), "kvoupload", "pinetor", true);
    PointAt(server.Port());
    bool closed = false;
    ModalTakeOver::Expect("WinUpload", [&](WForm& form) {
        TypeOver(form, "textb_Name", "Dana");
        TypeOver(form, "textb_EMail", "dana@example.com");
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(form.Control<WTextBox>("textb_EMail")->GetWidget(), &enter);
        RunPostedEvents();
        closed = !form.HasWindow() || !form.GetWindow()->isVisible();
        if (!closed) Click(form, "cb_Cancel");
    });
    EXPECT_FALSE(window->winUpload->Open(window));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(Captions().empty());
    EXPECT_TRUE(UploadFilesIn(remote.Path()).empty());
}

TEST_F(FoodUploadTest, LicenseOpensThePageBesideTheProgram) {
    ModalTakeOver::Expect("WinUpload", [](WForm& form) {
        Click(form, "cb_Agreement");
        Click(form, "cb_Cancel");
    });
    EXPECT_FALSE(window->winUpload->Open(window));
    EXPECT_EQ(browser->Opened(), window->programFolder + "food_data_license.html\n");
}

}  // namespace

namespace {

TEST_F(FoodUploadTest, ANameLongerThan500CharactersCannotBeTyped) {
    std::size_t length = 0;
    ModalTakeOver::Expect("WinUpload", [&](WForm& form) {
        TypeOver(form, "textb_Name", std::string(600, 'n'));
        length = form.Control<WTextBox>("textb_Name")->GetText().size();
        Click(form, "cb_Cancel");
    });
    window->winUpload->Open(window);
    EXPECT_EQ(length, 500u);
}

}  // namespace

namespace {

TEST_F(FoodUploadTest, F1ShowsTheUploadingPageOfTheHelp) {
    ModalTakeOver::Expect("WinUpload", [](WForm& form) {
        form.Raise(HelpEvent);
        Click(form, "cb_Cancel");
    });
    window->winUpload->Open(window);
    ASSERT_EQ(prompter.HelpRequests().size(), 1u);
    EXPECT_EQ(prompter.HelpRequests()[0], window->helpPath + "::/idh_uploading_data.htm#IDH_UPLOADING_DATA");
}

}  // namespace
