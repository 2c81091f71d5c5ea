#pragma once
// Real servers on free ports of 127.0.0.1 for tests of the internet parts, each stopped by its
// pid (or closed) when the object goes: Python's http.server over a folder, pyftpdlib with one
// account, a web server of our own that sends slowly
// (or with another status), and a socket that accepts
// connections and never answers.
//
// A server process ends with the test process however that ends (ThreadSanitizer's _exit, a
// time-out's SIGKILL, a crash), and so does the folder it serves, a test's TempFolder: a reaper
// beside the server removes it once the test process has died. Start servers on the main thread,
// which lasts as long as the test process (the kernel signals a child when the thread that
// forked it ends).

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// A port on 127.0.0.1 that nothing listens on just now.
int FreeLocalPort();

class LocalServerProcess {
public:
    LocalServerProcess() = default;
    ~LocalServerProcess();
    LocalServerProcess(const LocalServerProcess&) = delete;
    LocalServerProcess& operator=(const LocalServerProcess&) = delete;

    int Port() const { return port_; }
    // True once the server accepts connections.
    bool Running() const { return running_; }
    // The processes it started and has not yet stopped: the server and its folder's reaper.
    std::vector<pid_t> Processes() const;

protected:
    // Starts the program (argv[0] a path) over the folder, which must be a TempFolder of the
    // test, and waits until the port accepts a connection.
    void Start(const std::vector<std::string>& argv, int port, const std::filesystem::path& folder);

private:
    pid_t pid_ = -1;
    pid_t reaper_ = -1;
    int port_ = 0;
    bool running_ = false;
};

// python3 -m http.server over the folder.
class LocalHttpServer : public LocalServerProcess {
public:
    explicit LocalHttpServer(const std::filesystem::path& folder);
};

// pyftpdlib over the folder with one account, which may write when writable is set.
class LocalFtpServer : public LocalServerProcess {
public:
    LocalFtpServer(const std::filesystem::path& folder, const std::string& user,
                   const std::string& password, bool writable);
};

// Answers a GET with the file of that path in the folder, one piece of bytesPerTick every tenth
// of a second; a file "<name>.status" beside it holds another status to answer ("503 Busy").
class SlowHttpServer : public LocalServerProcess {
public:
    SlowHttpServer(const std::filesystem::path& folder, int bytesPerTick);
};

// Listens and never accepts: the system completes each connection, and no byte ever comes.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int Port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};
