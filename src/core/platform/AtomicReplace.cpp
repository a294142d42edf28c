#include "platform/AtomicReplace.h"

#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace vantrel {

namespace {

QString errnoText(int e)
{
    return QString::fromLocal8Bit(std::strerror(e));
}

std::atomic<qint64> failAfter{0};
std::atomic<int> failErrno{0};

// A file descriptor closed, and a file name removed unless kept, at the end.
struct TempGuard {
    QByteArray name;
    int fd = -1;
    bool keep = false;
    ~TempGuard()
    {
        if (fd >= 0) ::close(fd);
        if (!keep && !name.isEmpty()) ::unlink(name.constData());
    }
};

struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0) ::close(fd);
    }
};

// A new hidden file ".<name>.XXXXXX" beside target; false with errno set.
bool makeTemp(const QString& dir, const QString& fileName, TempGuard& tmp)
{
    tmp.name = QFile::encodeName(dir + QLatin1String("/.") + fileName + QLatin1String(".XXXXXX"));
    tmp.fd = ::mkostemp(tmp.name.data(), O_CLOEXEC);
    if (tmp.fd < 0) {
        tmp.name.clear();
        return false;
    }
    return true;
}

void syncDir(const QString& dir)
{
    const int dfd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

// Copies the first n bytes of from into to, from offset 0; errno on false.
bool copyContent(int from, int to, qint64 n)
{
    QByteArray buf(1 << 16, Qt::Uninitialized);
    for (qint64 pos = 0; pos < n;) {
        const ssize_t got =
            ::pread(from, buf.data(), size_t(std::min<qint64>(buf.size(), n - pos)), off_t(pos));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got == 0) errno = EIO; // the file ended early
            return false;
        }
        if (!writeFully(to, buf.constData(), got, pos)) return false;
        pos += got;
    }
    return true;
}

// Gives the temporary file the original's owner, group, mode and extended
// attributes. False when any of them could not be reproduced.
bool copyMetadata(int from, const struct stat& st, int to)
{
    struct stat tst {};
    if (::fstat(to, &tst) != 0) return false;
    if ((tst.st_uid != st.st_uid || tst.st_gid != st.st_gid) && ::fchown(to, st.st_uid, st.st_gid) != 0)
        return false;
    if (::fchmod(to, st.st_mode & 07777) != 0) return false;
    const ssize_t len = ::flistxattr(from, nullptr, 0);
    if (len < 0) return errno == ENOTSUP;
    QByteArray names(len, '\0');
    const ssize_t got = ::flistxattr(from, names.data(), size_t(names.size()));
    if (got < 0) return false;
    for (const QByteArray& name : names.left(got).split('\0')) {
        if (name.isEmpty()) continue;
        const ssize_t vlen = ::fgetxattr(from, name.constData(), nullptr, 0);
        if (vlen < 0) return false;
        QByteArray value(vlen, '\0');
        const ssize_t vgot = ::fgetxattr(from, name.constData(), value.data(), size_t(value.size()));
        if (vgot < 0 || ::fsetxattr(to, name.constData(), value.constData(), size_t(vgot), 0) != 0)
            return false;
    }
    return true;
}

// The rewrite through the original's inode (see the header). tmpFd holds the
// new content of newSize bytes.
bool rewriteInPlace(const QByteArray& target, const QString& dir, const QString& fileName, int tmpFd,
                    qint64 newSize, QString& err)
{
    Fd orig;
    orig.fd = ::open(target.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (orig.fd < 0 || ::fstat(orig.fd, &st) != 0) {
        err = errnoText(errno);
        return false;
    }
    const qint64 oldSize = st.st_size;

    // 1. The complete backup copy, named only once it is complete.
    const QByteArray backupName = QFile::encodeName(backupPathOf(QString::fromLocal8Bit(target)));
    {
        TempGuard bak;
        if (!makeTemp(dir, fileName, bak) || !copyContent(orig.fd, bak.fd, oldSize) || ::fsync(bak.fd) != 0 ||
            ::rename(bak.name.constData(), backupName.constData()) != 0) {
            err = errnoText(errno);
            return false;
        }
        bak.keep = true;
        syncDir(dir);
    }
    struct BackupGuard {
        const QByteArray& name;
        bool keep = false;
        ~BackupGuard()
        {
            if (!keep) ::unlink(name.constData());
        }
    } backup{backupName};

    // 2. Room first, so that a full disk fails before the original changed.
    if (newSize > oldSize) {
        const int e = ::posix_fallocate(orig.fd, 0, off_t(newSize));
        if (e != 0) {
            [[maybe_unused]] const int ignored = ::ftruncate(orig.fd, off_t(oldSize));
            err = errnoText(e);
            return false;
        }
    }
    if (copyContent(tmpFd, orig.fd, newSize) && ::ftruncate(orig.fd, off_t(newSize)) == 0 &&
        ::fsync(orig.fd) == 0)
        return true;
    err = errnoText(errno);

    // Put the old content back; keep the backup if even that fails.
    Fd bak;
    bak.fd = ::open(backupName.constData(), O_RDONLY | O_CLOEXEC);
    if (bak.fd < 0 || !copyContent(bak.fd, orig.fd, oldSize) || ::ftruncate(orig.fd, off_t(oldSize)) != 0 ||
        ::fsync(orig.fd) != 0) {
        backup.keep = true;
        err += QStringLiteral("; the original content is kept in ") + QString::fromLocal8Bit(backupName);
    }
    return false;
}

} // namespace

QString backupPathOf(const QString& path)
{
    return path + QLatin1String(".vantrel-backup");
}

bool writeFully(int fd, const char* data, qint64 n, qint64 offset)
{
    while (n > 0) {
        qint64 chunk = n;
        if (const int e = failErrno.load()) {
            const qint64 left = failAfter.load();
            if (left <= 0) {
                if (e < 0) ::_exit(9); // a kill at this moment
                failErrno = 0;         // once, as a disk that fills up for one write
                errno = e;
                return false;
            }
            chunk = std::min(chunk, left);
        }
        const ssize_t put =
            offset < 0 ? ::write(fd, data, size_t(chunk)) : ::pwrite(fd, data, size_t(chunk), off_t(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            if (put == 0) errno = EIO;
            return false;
        }
        if (failErrno.load()) failAfter -= put;
        data += put;
        n -= put;
        if (offset >= 0) offset += put;
    }
    return true;
}

void testing::failWritesAfter(qint64 after, int err)
{
    failAfter = after;
    failErrno = err;
}

bool fileIsWritable(const QString& path, QString* error)
{
    QString dummy;
    QString& err = error ? *error : dummy;
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking: a pipe without a reader fails at once instead of hanging.
    const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        err = errnoText(errno);
        return false;
    }
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0;
    const int e = errno;
    ::close(fd);
    if (!ok) {
        err = errnoText(e);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        err = QStringLiteral("not a regular file");
        return false;
    }
    if ((st.st_mode & 0222) == 0) {
        err = errnoText(EACCES);
        return false;
    }
    return true;
}

bool replaceFileAtomically(const QString& path, const ContentWriter& write, QString* error)
{
    QString dummy;
    QString& err = error ? *error : dummy;
    err.clear();

    // Follow a symbolic link so that the link stays a link.
    QFileInfo info(path);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (target.isEmpty()) {
        err = errnoText(ENOENT);
        return false;
    }
    const QByteArray native = QFile::encodeName(target);

    // The original must exist and be writable: a read-only file stays as it is.
    if (!fileIsWritable(target, &err)) return false;
    Fd orig;
    orig.fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (orig.fd < 0 || ::fstat(orig.fd, &st) != 0) {
        err = errnoText(errno);
        return false;
    }

    const QString dir = QFileInfo(target).absolutePath();
    const QString fileName = QFileInfo(target).fileName();
    TempGuard tmp;
    if (!makeTemp(dir, fileName, tmp)) {
        err = errnoText(errno);
        return false;
    }
    {
        QFile out;
        if (!out.open(tmp.fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)) {
            err = out.errorString();
            return false;
        }
        if (!write(out, err)) {
            if (err.isEmpty()) err = QStringLiteral("writing the new content failed");
            return false;
        }
    }
    struct stat tst {};
    if (::fstat(tmp.fd, &tst) != 0) {
        err = errnoText(errno);
        return false;
    }
    if (st.st_nlink == 1 && copyMetadata(orig.fd, st, tmp.fd)) {
        if (::fsync(tmp.fd) != 0 || ::rename(tmp.name.constData(), native.constData()) != 0) {
            err = errnoText(errno);
            return false;
        }
        tmp.keep = true;
    } else if (::fsync(tmp.fd) != 0) {
        err = errnoText(errno);
        return false;
    } else if (!rewriteInPlace(native, dir, fileName, tmp.fd, tst.st_size, err)) {
        return false;
    }
    // A backup an interrupted earlier write left behind is out of date now.
    ::unlink(QFile::encodeName(backupPathOf(target)).constData());
    syncDir(dir);
    return true;
}

} // namespace vantrel
