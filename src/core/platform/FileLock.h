// An advisory lock (flock) on one file, held from reading its tags to the end
// of writing them, so that two writers of the same file (two windows, a window
// and the command-line tool, two batch runs) never lose each other's changes.
#pragma once

#include <QString>

namespace vantrel {

class FileLock {
  public:
    // How long acquire() waits for another writer before it gives up.
    static constexpr int DefaultWaitMs = 10000;

    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Takes the exclusive lock of the file at path, waiting at most waitMs for
    // another holder. True when the lock is held, and also when the medium
    // does not support locks at all (then held() is false and the write goes
    // on unlocked, as every other program on that medium does). False when the
    // file cannot be opened or another writer kept it for the whole wait;
    // error then says why ("The file is being changed by another program").
    // When the holder before replaced the file by a new one, the new file is
    // locked instead, so that the lock always guards what the path names.
    bool acquire(const QString& path, QString* error = nullptr, int waitMs = DefaultWaitMs);
    // Whether a lock is held now.
    bool held() const { return fd_ >= 0; }
    // Whether the last acquire() failed because another writer kept the lock
    // (rather than because the file could not be opened).
    bool busy() const { return busy_; }
    void release();

  private:
    int fd_ = -1;
    bool busy_ = false;
};

} // namespace vantrel
