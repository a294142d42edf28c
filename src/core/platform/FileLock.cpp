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
    busy_ = false;
    const QByteArray native = QFile::encodeName(path);
    constexpr int stepMs = 10;
    for (int waited = 0;;) {
        // O_NONBLOCK so that a pipe put in place of the file never blocks the open;
        // a lock needs no write access, so a read-only file can still be locked.
        const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        // Polled rather than blocking, so that the wait is bounded.
        int err = 0;
        for (;; waited += stepMs) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                err = 0;
                break;
            }
            err = errno;
            if (err == EINTR) continue;
            if (err != EWOULDBLOCK || waited >= waitMs) break;
            ::usleep(stepMs * 1000);
        }
        if (err != 0 && err != EWOULDBLOCK) {
            // The medium offers no locks (some FUSE and network mounts): go on
            // without one rather than refuse every write there.
            ::close(fd);
            return true;
        }
        if (err == EWOULDBLOCK) {
            ::close(fd);
            break;
        }
        // The holder before us may have replaced the file by a new one (a
        // rename over it): the lock then guards nothing, so take the new file's.
        struct stat held {
        }, now{};
        if (::fstat(fd, &held) == 0 && ::stat(native.constData(), &now) == 0 &&
            (held.st_ino != now.st_ino || held.st_dev != now.st_dev) && waited < waitMs) {
            // Counted as waiting, so that a medium whose inode numbers are not
            // stable cannot keep us here.
            ::close(fd);
            waited += stepMs;
            continue;
        }
        fd_ = fd;
        return true;
    }
    busy_ = true;
    if (error) *error = QStringLiteral("The file is being changed by another program");
    return false;
}

} // namespace vantrel
