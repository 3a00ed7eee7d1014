#pragma once
// An advisory lock (flock) on a lock file, held for the lifetime of the object. Processes that
// take the lock on the same file wait for each other; the lock file itself stays in place.
#include <QString>

class FileLock {
public:
    enum Mode { Shared, Exclusive };

    // Blocks until the lock is granted; Locked() is false when the lock file cannot be opened.
    FileLock(const QString& path, Mode mode);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Locked() const { return FFd >= 0; }

private:
    int FFd = -1;
};
