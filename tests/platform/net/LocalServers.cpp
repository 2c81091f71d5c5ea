#include "tests/platform/net/LocalServers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

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

}  // namespace

int FreeLocalPort() {
    const int fd = BoundSocket(0);
    const int port = fd >= 0 ? PortOf(fd) : 0;
    if (fd >= 0) close(fd);
    return port;
}

void LocalServerProcess::Start(const std::vector<std::string>& argv, int port) {
    port_ = port;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        return;
    }
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

LocalServerProcess::~LocalServerProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

LocalHttpServer::LocalHttpServer(const std::filesystem::path& folder) {
    const int port = FreeLocalPort();
    Start({Python, "-m", "http.server", "-b", "127.0.0.1", std::to_string(port), "-d", folder.string()}, port);
}

LocalFtpServer::LocalFtpServer(const std::filesystem::path& folder, const std::string& user,
                               const std::string& password, bool writable) {
    const int port = FreeLocalPort();
    std::vector<std::string> argv = {Python, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(port),
                                     "-d", folder.string(), "-u", user, "-P", password};
    if (writable) argv.push_back("-w");
    Start(argv, port);
}

SlowHttpServer::SlowHttpServer(const std::filesystem::path& folder, int bytesPerTick) {
    const int port = FreeLocalPort();
    Start({Python, KVO_FOLDER_HTTP_SERVER, std::to_string(port), folder.string(), std::to_string(bytesPerTick)},
          port);
}

SilentServer::SilentServer() {
    socket_ = BoundSocket(0);
    if (socket_ >= 0 && listen(socket_, 16) == 0) port_ = PortOf(socket_);
}

SilentServer::~SilentServer() {
    if (socket_ >= 0) close(socket_);
}
