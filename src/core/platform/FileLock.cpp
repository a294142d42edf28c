#include "platform/FileLock.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vantrel {

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileLock::~FileLock()
{
    release();
}

void FileLock::release()
{
    if (fd_ < 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool FileLock::acquire(const QString& path, QString* error, int waitMs)
{
    release();
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK so that a pipe put in place of the file never blocks the open;
    // a lock needs no write access, so a read-only file can still be locked.
    int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Polled rather than blocking, so that the wait is bounded.
    constexpr int stepMs = 10;
    for (int waited = 0;; waited += stepMs) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // A writer that replaces the file by a new one (rename) may have
            // done so while we waited: the lock then guards the old file, so
            // take the lock of the file the path names now.
            struct stat locked {};
            struct stat now {};
            if (::fstat(fd, &locked) == 0 && ::stat(native.constData(), &now) == 0 &&
                (locked.st_dev != now.st_dev || locked.st_ino != now.st_ino)) {
                ::close(fd);
                fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
                if (fd < 0) {
                    if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
                    return false;
                }
                if (waited >= waitMs) break;
                continue;
            }
            fd_ = fd;
            return true;
        }
        const int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK) {
            // The medium offers no locks (some FUSE and network mounts): go on
            // without one rather than refuse every write there.
            ::close(fd);
            return true;
        }
        if (waited >= waitMs) break;
        ::usleep(stepMs * 1000);
    }
    ::close(fd);
    if (error) *error = QStringLiteral("The file is being changed by another program");
    return false;
}

} // namespace vantrel
