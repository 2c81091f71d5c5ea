#pragma once
// Held by the one copy of the program that uses a database: an advisory lock on a file beside
// it. The kernel drops the lock when the holder ends in any way, so a copy that was killed
// keeps nobody out.

#include <string>

class DatabaseLock {
public:
    DatabaseLock() = default;
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // False only when another process holds the lock of that file. A lock that cannot be had
    // for another reason (no lock file can be made) lets this copy run: the lock alone must
    // never keep the user from the data.
    bool Take(const std::string& lockPath);

private:
    int file_ = -1;
};
