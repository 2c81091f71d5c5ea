// The test servers end with the test process however it ends: a child test process starts every
// kind of server over folders of its own and dies as ThreadSanitizer, a time-out or a crash ends
// a test; its servers, their reapers and its folders must all be gone soon after.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/net/LocalServers.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

struct Death {
    const char* name;
    void (*die)();
    bool (*diedSo)(int status);
};

void PrintTo(const Death& death, std::ostream* out) { *out << death.name; }

// What the child test process started, as it wrote it down before it died.
struct Started {
    bool running = true;
    std::vector<pid_t> processes;
    std::vector<fs::path> folders;
};

void WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written <= 0) _exit(1);
        done += static_cast<std::size_t>(written);
    }
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

// In the child: starts each kind of server over a folder of its own, writes down what runs, dies.
[[noreturn]] void StartServersAndDie(int report, void (*die)()) {
    TempFolder web, slow, ftp;
    const LocalHttpServer http(web.Path());
    const SlowHttpServer slowHttp(slow.Path(), 1000);
    const LocalFtpServer ftpServer(ftp.Path(), "tester", "secret", true);
    std::ostringstream text;
    for (const LocalServerProcess* server : {static_cast<const LocalServerProcess*>(&http),
                                             static_cast<const LocalServerProcess*>(&slowHttp),
                                             static_cast<const LocalServerProcess*>(&ftpServer)}) {
        text << "running " << server->Running() << "\n";
        for (pid_t pid : server->Processes()) text << "process " << pid << "\n";
    }
    for (const TempFolder* folder : {&web, &slow, &ftp}) text << "folder " << folder->Path().string() << "\n";
    WriteAll(report, text.str());
    close(report);
    die();
    _exit(1);
}

Started ParseStarted(const std::string& text) {
    Started started;
    std::istringstream lines(text);
    for (std::string word; lines >> word;) {
        if (word == "running") {
            bool running = false;
            lines >> running;
            started.running = started.running && running;
        } else if (word == "process") {
            pid_t pid = 0;
            lines >> pid;
            started.processes.push_back(pid);
        } else if (word == "folder") {
            std::string path;
            lines >> path;
            started.folders.push_back(path);
        }
    }
    return started;
}

// Orphans come to this process (a child subreaper) once the child test process has died, so
// that each one's end is seen here, and none stays a zombie.
bool Ended(pid_t pid) {
    const pid_t result = waitpid(pid, nullptr, WNOHANG);
    return result == pid || (result < 0 && errno == ECHILD && kill(pid, 0) != 0);
}

template <class Condition>
bool WaitFor(Condition condition, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return condition();
}

std::size_t ThreadCount() {
    std::size_t threads = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/task")) ++threads;
    return threads;
}

class ServersEndWithTheTestTest : public ::testing::TestWithParam<Death> {};

TEST_P(ServersEndWithTheTestTest, ServersAndTheirFoldersEndWithAKilledTestProcess) {
    ASSERT_EQ(ThreadCount(), 1u) << "the child test process is forked: this one must have no other thread";
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int report[2];
    ASSERT_EQ(pipe2(report, O_CLOEXEC), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(report[0]);
        StartServersAndDie(report[1], GetParam().die);
    }
    close(report[1]);
    const Started started = ParseStarted(ReadAll(report[0]));
    close(report[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(GetParam().diedSo(status)) << "status " << status;

    EXPECT_TRUE(started.running);
    ASSERT_EQ(started.processes.size(), 6u);   // three servers, three reapers
    ASSERT_EQ(started.folders.size(), 3u);
    for (pid_t pid : started.processes) EXPECT_TRUE(WaitFor([pid] { return Ended(pid); })) << "process " << pid;
    for (const fs::path& folder : started.folders)
        EXPECT_TRUE(WaitFor([&folder] { return !fs::exists(folder); })) << folder;
}

bool ExitedWith66(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 66; }
bool KilledBy(int status, int signal) { return WIFSIGNALED(status) && WTERMSIG(status) == signal; }

INSTANTIATE_TEST_SUITE_P(
    Deaths, ServersEndWithTheTestTest,
    ::testing::Values(Death{"ThreadSanitizersHalt", [] { _exit(66); }, ExitedWith66},
                      Death{"TimeOutsSigkill", [] { raise(SIGKILL); },
                            [](int status) { return KilledBy(status, SIGKILL); }},
                      Death{"Crash", [] { std::abort(); }, [](int status) { return KilledBy(status, SIGABRT); }}),
    [](const ::testing::TestParamInfo<Death>& info) { return std::string(info.param.name); });

TEST(LocalServersTest, AStoppedServerLeavesItsFolderToTheTest) {
    TempFolder folder;
    std::vector<pid_t> processes;
    {
        const LocalHttpServer server(folder.Path());
        ASSERT_TRUE(server.Running());
        processes = server.Processes();
        ASSERT_EQ(processes.size(), 2u);
    }
    for (pid_t pid : processes) EXPECT_NE(kill(pid, 0), 0) << "process " << pid << " still runs";
    EXPECT_TRUE(fs::is_directory(folder.Path()));
}

TEST(LocalServersTest, AFolderThatIsNoTempFolderIsNeverServed) {
    const LocalHttpServer server(fs::current_path());
    EXPECT_FALSE(server.Running());
    EXPECT_TRUE(server.Processes().empty());
}

}  // namespace
