#include "platform/OpenFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

OpenFile::~OpenFile()
{
    close();
}

bool OpenFile::fail(int err)
{
    error_ = err != 0 ? err : EIO;
    return false;
}

bool OpenFile::open(const QString& path, Mode mode)
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

void OpenFile::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    dropKept();
}

void OpenFile::dropKept()
{
    head_.clear();
    tail_.clear();
    tailWanted_ = 0;
}

bool OpenFile::keepEnds(qint64 head, qint64 tail)
{
    dropKept();
    if (fd_ < 0) return false; // keeps the error of the open
    const qint64 first = size_ <= head + tail ? size_ : head;
    head_.resize(first);
    const qint64 got = readDirect(0, head_.data(), first);
    if (got < 0) {
        head_.clear();
        return false;
    }
    head_.truncate(got);
    tailWanted_ = got == size_ ? 0 : std::min(tail, size_ - got);
    return true;
}

const char* OpenFile::kept(qint64 offset, qint64 n)
{
    if (offset < 0 || n < 0) return nullptr;
    if (offset + n <= head_.size()) return head_.constData() + offset;
    if (tailWanted_ > 0) {
        tail_.resize(tailWanted_);
        const qint64 got = readDirect(size_ - tailWanted_, tail_.data(), tailWanted_);
        tailWanted_ = 0;
        if (got != tail_.size()) tail_.clear();
    }
    const qint64 tailStart = size_ - tail_.size();
    if (!tail_.isEmpty() && offset >= tailStart && offset + n <= size_)
        return tail_.constData() + (offset - tailStart);
    return nullptr;
}

qint64 OpenFile::readUpTo(qint64 offset, char* data, qint64 n)
{
    if (offset >= 0 && n >= 0 && head_.size() == size_ && fd_ >= 0)
        n = std::min(n, std::max<qint64>(0, size_ - offset));
    if (const char* k = kept(offset, n)) {
        std::memcpy(data, k, size_t(n));
        return n;
    }
    return readDirect(offset, data, n);
}

qint64 OpenFile::readDirect(qint64 offset, char* data, qint64 n)
{
    if (fd_ < 0) return fail(EBADF), -1;
    if (offset < 0 || n < 0) return fail(EINVAL), -1;
    qint64 done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, data + done, static_cast<size_t>(n - done), offset + done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(errno), -1;
        if (got == 0) break; // the end of the file
        done += got;
    }
    return done;
}

bool OpenFile::readAt(qint64 offset, char* data, qint64 n)
{
    const qint64 got = readUpTo(offset, data, n);
    if (got < 0) return false;
    return got == n || fail(EIO); // the file ended early
}

bool OpenFile::writeAt(qint64 offset, const char* data, qint64 n)
{
    if (fd_ < 0) return fail(EBADF);
    if (offset < 0 || n < 0) return fail(EINVAL);
    dropKept();
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

bool OpenFile::truncate(qint64 length)
{
    if (fd_ < 0) return fail(EBADF);
    dropKept();
    if (::ftruncate(fd_, length) != 0) return fail(errno);
    size_ = length;
    return true;
}

bool OpenFile::sync()
{
    if (fd_ < 0) return fail(EBADF);
    return ::fsync(fd_) == 0 || fail(errno);
}

QString OpenFile::errorText() const
{
    return errorText(error_);
}

QString OpenFile::errorText(int err)
{
    return qt_error_string(err);
}

} // namespace vantrel
