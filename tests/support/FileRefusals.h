#pragma once
// What makes the file system refuse a write, as a user meets it: a file or folder without write
// permission, and a disk that is full.

#include <sys/resource.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <utility>

// Read-only to the calling thread even when the test runs as root: takes the thread's power to
// write past the permissions (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) while the object lives.
// The database must be opened on that thread after the object is made.
class ObeyFilePermissions {
public:
    ObeyFilePermissions();
    ~ObeyFilePermissions();
    ObeyFilePermissions(const ObeyFilePermissions&) = delete;
    ObeyFilePermissions& operator=(const ObeyFilePermissions&) = delete;

private:
    bool dropped_ = false;
    std::array<std::uint32_t, 2> effective_{};
};

// Takes the write permission from a file or folder while the object lives.
class ReadOnlyPath {
public:
    explicit ReadOnlyPath(std::filesystem::path path);
    ~ReadOnlyPath();
    ReadOnlyPath(const ReadOnlyPath&) = delete;
    ReadOnlyPath& operator=(const ReadOnlyPath&) = delete;

private:
    std::filesystem::path path_;
    std::filesystem::perms previous_;
};

// A file or folder read-only to the calling thread, as to a user without root's powers.
struct ReadOnlyToThisThread {
    explicit ReadOnlyToThisThread(const std::filesystem::path& path) : readOnly(path) {}
    ReadOnlyPath readOnly;
    ObeyFilePermissions obey;
};

// A full disk for this process: no file it writes may grow past bytes (RLIMIT_FSIZE; the signal
// that would end the process is ignored, so the write fails with EFBIG).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

// Keeps one of the objects above alive, whatever its kind, for tables of test cases.
template <class Held, class... Args>
std::shared_ptr<void> Hold(Args&&... args) {
    return std::make_shared<Held>(std::forward<Args>(args)...);
}
