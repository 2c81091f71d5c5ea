#include "tests/platform/net/LocalServers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr const char* Python = "/usr/bin/python3";

sockaddr_in LocalAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int BoundSocket(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = LocalAddress(port);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) close(fd);
        return -1;
    }
    return fd;
}

int PortOf(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

bool Accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = LocalAddress(port);
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

// A "kvo-*" folder right in the temporary folder, as TempFolder makes: the only kind a reaper
// may remove.
bool IsTestFolder(const std::filesystem::path& folder) {
    std::error_code error;
    const auto parent = std::filesystem::weakly_canonical(folder.parent_path(), error);
    return !error && parent == std::filesystem::weakly_canonical(std::filesystem::temp_directory_path(), error) &&
           !error && folder.filename().string().rfind("kvo-", 0) == 0;
}

// Runs the program (argv[0] a path) in a child that the kernel sends deathSignal when the test
// process dies, its output going nowhere; -1 when it cannot start. SIGKILL ends a server at
// once; any other signal is blocked, to stay pending until the program waits for it.
pid_t SpawnTiedToTest(const std::vector<std::string>& argv, int deathSignal) {
    if (gettid() != getpid()) {
        std::fprintf(stderr, "%s: start test servers on the main thread\n", argv[0].c_str());
        return -1;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    sigset_t mask;
    sigemptyset(&mask);
    if (deathSignal != SIGKILL) sigaddset(&mask, deathSignal);
    const pid_t test = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // The child: only calls that are safe after a fork of a process with threads, until exec.
    // A test that died before prctl took effect sends no signal: a server then ends itself (the
    // reaper finds its parent gone on its own).
    if (sigprocmask(SIG_SETMASK, &mask, nullptr) != 0 || prctl(PR_SET_PDEATHSIG, deathSignal) != 0 ||
        (deathSignal == SIGKILL && getppid() != test))
        _exit(127);
    const int nothing = open("/dev/null", O_WRONLY);
    if (nothing < 0 || dup2(nothing, STDOUT_FILENO) < 0 || dup2(nothing, STDERR_FILENO) < 0) _exit(127);
    execv(args[0], args.data());
    _exit(127);
}

void Stop(pid_t& pid, int signal) {
    if (pid <= 0) return;
    kill(pid, signal);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

}  // namespace

int FreeLocalPort() {
    const int fd = BoundSocket(0);
    const int port = fd >= 0 ? PortOf(fd) : 0;
    if (fd >= 0) close(fd);
    return port;
}

void LocalServerProcess::Start(const std::vector<std::string>& argv, int port, const std::filesystem::path& folder) {
    port_ = port;
    if (!IsTestFolder(folder)) {
        std::fprintf(stderr, "%s: a test server serves only a TempFolder\n", folder.c_str());
        return;
    }
    // The reaper first, so that the folder is covered from the moment the server runs.
    reaper_ = SpawnTiedToTest({Python, KVO_FOLDER_REAPER, std::to_string(getpid()), folder.string()}, SIGTERM);
    if (reaper_ < 0) return;
    pid_ = SpawnTiedToTest(argv, SIGKILL);
    if (pid_ < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Accepts(port)) {
            running_ = true;
            return;
        }
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::vector<pid_t> LocalServerProcess::Processes() const {
    std::vector<pid_t> processes;
    for (pid_t pid : {pid_, reaper_})
        if (pid > 0) processes.push_back(pid);
    return processes;
}

// A test that ends normally removes its folder itself: the reaper is killed before it would.
LocalServerProcess::~LocalServerProcess() {
    Stop(pid_, SIGTERM);
    Stop(reaper_, SIGKILL);
}

LocalHttpServer::LocalHttpServer(const std::filesystem::path& folder) {
    const int port = FreeLocalPort();
    Start({Python, "-m", "http.server", "-b", "127.0.0.1", std::to_string(port), "-d", folder.string()}, port,
          folder);
}

LocalFtpServer::LocalFtpServer(const std::filesystem::path& folder, const std::string& user,
                               const std::string& password, bool writable) {
    const int port = FreeLocalPort();
    std::vector<std::string> argv = {Python, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(port),
                                     "-d", folder.string(), "-u", user, "-P", password};
    if (writable) argv.push_back("-w");
    Start(argv, port, folder);
}

SlowHttpServer::SlowHttpServer(const std::filesystem::path& folder, int bytesPerTick) {
    const int port = FreeLocalPort();
    Start({Python, KVO_FOLDER_HTTP_SERVER, std::to_string(port), folder.string(), std::to_string(bytesPerTick)},
          port, folder);
}

SilentServer::SilentServer() {
    socket_ = BoundSocket(0);
    if (socket_ >= 0 && listen(socket_, 16) == 0) port_ = PortOf(socket_);
}

SilentServer::~SilentServer() {
    if (socket_ >= 0) close(socket_);
}
