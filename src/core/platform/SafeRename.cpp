#include "SafeRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

RenameError classifyErrno(int code)
{
    switch (code) {
    case 0:
        return RenameError::None;
    case EEXIST:
    case ENOTEMPTY:
        return RenameError::NameTaken;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
        return RenameError::AccessRefused;
    default:
        return RenameError::Other;
    }
}

static RenameResult failure(int code)
{
    return RenameResult{classifyErrno(code), code, qt_error_string(code)};
}

bool entryExists(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Both names lead to one file and differ only in letter case: the medium
// ignores case and the rename only changes the spelling.
static bool sameFileOtherSpelling(const QByteArray& from, const QByteArray& to)
{
    struct stat a {}, b {};
    if (::lstat(from.constData(), &a) != 0 || ::lstat(to.constData(), &b) != 0)
        return false;
    if (a.st_dev != b.st_dev || a.st_ino != b.st_ino)
        return false;
    return QString::fromLocal8Bit(from).compare(QString::fromLocal8Bit(to), Qt::CaseInsensitive) == 0;
}

// For file systems that do not know RENAME_NOREPLACE: the link fails when the
// name is taken, so no file is ever replaced. A kill between the two steps
// leaves the file under both names, never under none.
static RenameResult linkThenUnlink(const QByteArray& from, const QByteArray& to)
{
    if (::link(from.constData(), to.constData()) != 0)
        return failure(errno);
    if (::unlink(from.constData()) != 0) {
        const int e = errno;
        ::unlink(to.constData()); // undo the second name; the file stays where it was
        return failure(e);
    }
    return {};
}

RenameResult safeRename(const QString& from, const QString& to)
{
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    if (f.isEmpty() || t.isEmpty())
        return failure(ENOENT);
    if (f == t) {
        if (!entryExists(from))
            return failure(ENOENT);
        return {};
    }
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return {};
    const int e = errno;
    if (e == EEXIST && sameFileOtherSpelling(f, t)) {
        if (::rename(f.constData(), t.constData()) == 0)
            return {};
        return failure(errno);
    }
    if (e == EINVAL || e == ENOSYS || e == EOPNOTSUPP)
        return linkThenUnlink(f, t);
    return failure(e);
}

namespace detail {
RenameResult renameByLink(const QString& from, const QString& to)
{
    return linkThenUnlink(QFile::encodeName(from), QFile::encodeName(to));
}
} // namespace detail

} // namespace vantrel
