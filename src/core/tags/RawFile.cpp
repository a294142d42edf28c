#include "tags/RawFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

RawFile::~RawFile()
{
    close();
}

bool RawFile::fail(int err)
{
    error_ = err != 0 ? err : EIO;
    return false;
}

bool RawFile::open(const QString& path, Mode mode)
{
    close();
    error_ = 0;
    if (path.isEmpty()) return fail(ENOENT);
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that a pipe under an audio file's name cannot hang us;
    // it is refused below, and regular files ignore the flag.
    const int flags = (mode == Mode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    int fd;
    do {
        fd = ::open(name.constData(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return fail(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    // A file without any write permission bit stays read-only also for the
    // administrator, who could otherwise open it for writing.
    if (mode == Mode::ReadWrite && (st.st_mode & 0222) == 0) {
        ::close(fd);
        return fail(EACCES);
    }
    fd_ = fd;
    size_ = st.st_size;
    return true;
}

void RawFile::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

bool RawFile::readAt(qint64 offset, char* data, qint64 n)
{
    if (fd_ < 0) return fail(EBADF);
    if (offset < 0 || n < 0) return fail(EINVAL);
    while (n > 0) {
        const ssize_t got = ::pread(fd_, data, static_cast<size_t>(n), offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(errno);
        if (got == 0) return fail(EIO); // the file ended early
        data += got;
        offset += got;
        n -= got;
    }
    return true;
}

bool RawFile::writeAt(qint64 offset, const char* data, qint64 n)
{
    if (fd_ < 0) return fail(EBADF);
    if (offset < 0 || n < 0) return fail(EINVAL);
    while (n > 0) {
        const ssize_t put = ::pwrite(fd_, data, static_cast<size_t>(n), offset);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return fail(put < 0 ? errno : EIO);
        data += put;
        offset += put;
        n -= put;
        if (offset > size_) size_ = offset;
    }
    return true;
}

bool RawFile::truncate(qint64 length)
{
    if (fd_ < 0) return fail(EBADF);
    if (::ftruncate(fd_, length) != 0) return fail(errno);
    size_ = length;
    return true;
}

QString RawFile::errorText() const
{
    return qt_error_string(error_);
}

} // namespace vantrel
