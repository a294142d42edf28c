#include "platform/AtomicReplace.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

QString errnoText(int e)
{
    return QString::fromLocal8Bit(std::strerror(e));
}

// Removes the temporary file unless it was handed over.
struct TempGuard {
    QByteArray name;
    int fd = -1;
    bool keep = false;
    ~TempGuard()
    {
        if (fd >= 0)
            ::close(fd);
        if (!keep && !name.isEmpty())
            ::unlink(name.constData());
    }
};

} // namespace

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
    if (!fileIsWritable(target, &err))
        return false;
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        err = errnoText(errno);
        return false;
    }

    const QString dir = QFileInfo(target).absolutePath();
    TempGuard tmp;
    tmp.name = QFile::encodeName(dir + QLatin1String("/.") + QFileInfo(target).fileName() + QLatin1String(".XXXXXX"));
    tmp.fd = ::mkstemp(tmp.name.data());
    if (tmp.fd < 0) {
        err = errnoText(errno);
        tmp.name.clear();
        return false;
    }
    ::fcntl(tmp.fd, F_SETFD, FD_CLOEXEC);

    {
        QFile out;
        if (!out.open(tmp.fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            err = out.errorString();
            return false;
        }
        if (!write(out, err)) {
            if (err.isEmpty())
                err = QStringLiteral("writing the new content failed");
            return false;
        }
        if (!out.flush()) {
            err = out.errorString();
            return false;
        }
    }
    // Permissions and owner of the original; the owner only where allowed.
    // Media without permission bits (FAT, exFAT, some network and FUSE
    // mounts) refuse the change or do not offer it: their mount decides the
    // bits, so the write goes on there.
    if (::fchmod(tmp.fd, st.st_mode & 07777) != 0 && errno != EPERM && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
        err = errnoText(errno);
        return false;
    }
    if (::fchown(tmp.fd, st.st_uid, st.st_gid) != 0) {
        // Not the owner: keep the group at least, where possible.
        [[maybe_unused]] const int ignored = ::fchown(tmp.fd, uid_t(-1), st.st_gid);
    }
    if (::fsync(tmp.fd) != 0) {
        err = errnoText(errno);
        return false;
    }
    if (::close(tmp.fd) != 0) {
        tmp.fd = -1;
        err = errnoText(errno);
        return false;
    }
    tmp.fd = -1;

    if (::rename(tmp.name.constData(), native.constData()) != 0) {
        err = errnoText(errno);
        return false;
    }
    tmp.keep = true;

    // Make the rename itself durable.
    const int dfd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

} // namespace vantrel
