#include "shell/DatabaseLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Close-on-exec: a program started from here (an editor) must not go on holding the lock.
int OpenLockFile(const std::string& path) {
    const int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file >= 0 || (errno != EACCES && errno != EROFS && errno != EPERM)) return file;
    // A lock file that this user may only read locks as well.
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace

DatabaseLock::~DatabaseLock() {
    if (file_ >= 0) ::close(file_);
}

bool DatabaseLock::Take(const std::string& lockPath) {
    if (file_ >= 0) return true;
    const int file = OpenLockFile(lockPath);
    if (file < 0) return true;
    int locked;
    do {
        locked = ::flock(file, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        file_ = file;
        return true;
    }
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(file);
    return !heldElsewhere;
}
