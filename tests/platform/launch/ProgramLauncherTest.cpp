#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/launch/ProgramLauncher.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A private desktop: its own config and data folders, a MIME type of its own and the test's
// probe program registered through mimeapps.list and a desktop entry. Every test runs in a
// process of its own, so the environment is set before anything reads it.
class ProgramLauncherTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("kvo-launch-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root_ / "etc").c_str(), 1);
        setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
        setenv("XDG_DATA_DIRS", "/usr/share", 1);   // the system's MIME types, e.g. for .rtf
        unsetenv("XDG_CURRENT_DESKTOP");
        WriteFile(root_ / "data/mime/packages/kvo-test.xml", R"(<?xml version="1.0"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/x-kvo-unregistered"><glob pattern="*.kvonone"/></mime-type>
</mime-info>
)");
        record_ = root_ / "record.txt";
        static int argc = 1;
        static char name[] = "test_platform_launch";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    }
    void TearDown() override { fs::remove_all(root_); }

    void InstallEntry(const std::string& id, const std::string& body) {
        WriteFile(root_ / "data/applications" / id, "[Desktop Entry]\nType=Application\n" + body);
    }
    void InstallProbe(const std::string& id = "kvo-probe.desktop") {
        InstallEntry(id, "Name=Probe\nExec=\"" KVO_LAUNCH_PROBE "\" \"" + record_.string() +
                             "\" --open %f\n");
    }
    void WriteMimeApps(const std::string& text) { WriteFile(root_ / "config/mimeapps.list", text); }

    // The probe's arguments after the record path, one per line.
    std::string Received() const { return fs::exists(record_) ? ReadFile(record_) : "<none>"; }

    bool WaitForRecord() const {
        for (int i = 0; i < 200 && !fs::exists(record_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return fs::exists(record_);
    }

    fs::path root_, record_;
};

TEST_F(ProgramLauncherTest, RegisteredProgramReceivesTheFileAndTheWaitReturnsAfterIt) {
    InstallProbe();
    WriteMimeApps("[Default Applications]\napplication/rtf=kvo-probe.desktop\n");
    // Blanks, quotes and shell characters stay inside the one argument.
    const fs::path file = root_ / "work folder/tmp_recipe \"1\" $(touch x); rm.rtf";
    WriteFile(file, "{\\rtf1 }");

    EXPECT_EQ(LaunchProgramForFileType(".rtf", file.string(), true), LaunchProblem::None);

    // Returned only after the probe had written its record, which it does just before it ends.
    EXPECT_EQ(Received(), "--open\n" + file.string() + "\n");
    EXPECT_FALSE(fs::exists(root_ / "x"));
}

TEST_F(ProgramLauncherTest, WithoutWaitingTheProgramRunsOnItsOwn) {
    InstallProbe();
    WriteMimeApps("[Default Applications]\napplication/rtf=kvo-probe.desktop\n");
    EXPECT_EQ(LaunchProgramForFileType(".rtf", "/tmp/a.rtf", false), LaunchProblem::None);
    EXPECT_EQ(Received(), "<none>");   // the probe waits a moment before it writes
    ASSERT_TRUE(WaitForRecord());
    EXPECT_EQ(Received(), "--open\n/tmp/a.rtf\n");
}

TEST_F(ProgramLauncherTest, WebAddressGoesToTheProgramOfItsScheme) {
    InstallProbe("kvo-browser.desktop");
    InstallEntry("other.desktop", "Exec=/nonexistent/other %u\n");
    WriteMimeApps("[Default Applications]\nx-scheme-handler/http=kvo-browser.desktop\n"
                  "text/html=other.desktop\n");
    const std::string address = "http://127.0.0.1:9/KVOUpdate_post.php3?user_name=A B&version=302";
    EXPECT_EQ(LaunchProgramForFileType(".html", address, true), LaunchProblem::None);
    EXPECT_EQ(Received(), "--open\n" + address + "\n");
}

TEST_F(ProgramLauncherTest, LocalPageGoesToTheProgramOfItsFileType) {
    InstallProbe();
    WriteMimeApps("[Default Applications]\nx-scheme-handler/http=missing.desktop\n"
                  "text/html=kvo-probe.desktop\n");
    EXPECT_EQ(LaunchProgramForFileType(".html", "/opt/Kestavo/food_data_license.html", true),
              LaunchProblem::None);
    EXPECT_EQ(Received(), "--open\n/opt/Kestavo/food_data_license.html\n");
}

TEST_F(ProgramLauncherTest, AddedAssociationServesWhenThereIsNoDefault) {
    InstallProbe();
    InstallEntry("removed.desktop", "Exec=/nonexistent/removed %f\n");
    WriteMimeApps("[Added Associations]\napplication/rtf=removed.desktop;kvo-probe.desktop;\n"
                  "[Removed Associations]\napplication/rtf=removed.desktop\n");
    EXPECT_EQ(LaunchProgramForFileType("rtf", "/tmp/a.rtf", true), LaunchProblem::None);
    EXPECT_EQ(Received(), "--open\n/tmp/a.rtf\n");
}

struct ProblemCase {
    const char* name;
    const char* key;
    const char* mimeApps;
    const char* entry;   // the body of "broken.desktop", or nullptr
    LaunchProblem problem;
};

class LaunchProblems : public ProgramLauncherTest,
                       public testing::WithParamInterface<ProblemCase> {};

TEST_P(LaunchProblems, AnswerWhyNothingStarted) {
    const ProblemCase& c = GetParam();
    WriteMimeApps(c.mimeApps);
    if (c.entry) InstallEntry("broken.desktop", c.entry);
    EXPECT_EQ(LaunchProgramForFileType(c.key, "/tmp/a", true), c.problem);
}

INSTANTIATE_TEST_SUITE_P(Registrations, LaunchProblems, testing::Values(
    ProblemCase{"unknownFileType", ".kvo-no-such-type", "", nullptr, LaunchProblem::NoFileType},
    ProblemCase{"emptyKey", "", "", nullptr, LaunchProblem::NoFileType},
    ProblemCase{"noProgramForType", ".kvonone", "", nullptr, LaunchProblem::NoRegisteredProgram},
    ProblemCase{"entryNotInstalled", ".kvonone",
                "[Default Applications]\napplication/x-kvo-unregistered=gone.desktop\n", nullptr,
                LaunchProblem::NoRegisteredProgram},
    ProblemCase{"hiddenEntry", ".kvonone",
                "[Default Applications]\napplication/x-kvo-unregistered=broken.desktop\n",
                "Hidden=true\nExec=/bin/true %f\n", LaunchProblem::NoRegisteredProgram},
    ProblemCase{"entryWithoutExec", ".kvonone",
                "[Default Applications]\napplication/x-kvo-unregistered=broken.desktop\n",
                "Name=No command\n", LaunchProblem::NoOpenCommand},
    ProblemCase{"execWithOpenQuote", ".kvonone",
                "[Default Applications]\napplication/x-kvo-unregistered=broken.desktop\n",
                "Exec=\"/bin/true %f\n", LaunchProblem::NoOpenCommand},
    // A registered program that cannot be started is a failure, not a success.
    ProblemCase{"programMissing", ".kvonone",
                "[Default Applications]\napplication/x-kvo-unregistered=broken.desktop\n",
                "Exec=/nonexistent/editor %f\n", LaunchProblem::NotStarted},
    ProblemCase{"programNotExecutable", ".kvonone",
                "[Default Applications]\napplication/x-kvo-unregistered=broken.desktop\n",
                "Exec=/etc/hostname %f\n", LaunchProblem::NotStarted}),
    [](const testing::TestParamInfo<ProblemCase>& info) { return info.param.name; });

TEST_F(ProgramLauncherTest, StartProgramFindsNamesOnThePath) {
    EXPECT_TRUE(StartProgram({"true"}, true));
    EXPECT_TRUE(StartProgram({"true"}, false));
}

TEST_F(ProgramLauncherTest, StartProgramAnswersFalseWhenNothingStarted) {
    EXPECT_FALSE(StartProgram({}, true));
    EXPECT_FALSE(StartProgram({""}, false));
    EXPECT_FALSE(StartProgram({"kvo-no-such-program-anywhere"}, true));
    EXPECT_FALSE(StartProgram({"/nonexistent/editor", "/tmp/a"}, false));
}

TEST_F(ProgramLauncherTest, StartProgramWaitsForTheEnd) {
    EXPECT_TRUE(
        StartProgram({KVO_LAUNCH_PROBE, record_.string(), "notepad", "/tmp/a b.txt"}, true));
    EXPECT_EQ(Received(), "notepad\n/tmp/a b.txt\n");
}

}  // namespace
