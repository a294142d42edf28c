#include "SafeRename.h"

#include "platform/MediumOps.h"
#include "platform/NameCase.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

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

static RenameResult outcome(int code)
{
    return code == 0 ? RenameResult{} : failure(code);
}

bool entryExists(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool sameFile(const QString& a, const QString& b)
{
    // Asked first: some case-ignoring media number each spelling of a name anew.
    if (isOwnEntry(a, b)) return detail::mediumOps().lookup(QFile::encodeName(a).constData()) == 0;
    struct stat sa {
    }, sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

const detail::MediumOps& ops()
{
    return detail::mediumOps();
}

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// For media with neither RENAME_NOREPLACE nor hard links (exFAT and FAT
// through FUSE, some network shares): look for the name right before the
// rename. On a case-ignoring medium the lookup also finds the name in any
// other spelling. What is left is the moment between the lookup and the
// rename: a file another program creates under exactly that name in that
// moment would be replaced. No call on such media closes it; it is kept to
// two system calls in a row, with nothing in between.
int renameAfterLookup(const QByteArray& from, const QByteArray& to)
{
    const int e = ops().lookup(to.constData());
    if (e == 0) return EEXIST;
    if (e != ENOENT) return e;
    return ops().rename(from.constData(), to.constData());
}

// For media without RENAME_NOREPLACE: the link fails when the name is taken,
// so no file is ever replaced. A kill between the two steps leaves the file
// under both names, never under none. Media that cannot link either fall back
// to the lookup.
int renameWithoutNoReplace(const QByteArray& from, const QByteArray& to)
{
    const int e = ops().link(from.constData(), to.constData());
    if (e == EPERM || e == EOPNOTSUPP || e == ENOSYS || e == EMLINK) return renameAfterLookup(from, to);
    if (e != 0) return e;
    const int u = ops().unlink(from.constData());
    if (u != 0) ops().unlink(to.constData()); // undo the second name; the file stays where it was
    return u;
}

// A name for the halfway step of a case change, free in the folder; it keeps
// the extension, so that a file left there by a kill is still seen as music.
QString stepName(const QString& folder, const QString& name)
{
    for (int n = 0; n < 1000; ++n) {
        const QString candidate = folder + QStringLiteral("~vantrel-") +
                                  (n ? QString::number(n) + QLatin1Char('-') : QString()) + name;
        if (ops().lookup(QFile::encodeName(candidate).constData()) == ENOENT) return candidate;
    }
    return {};
}

// Changes only the spelling of a name on a medium that ignores case. Some
// media keep the old spelling on a direct rename (or refuse it): the file then
// goes through a temporary name.
RenameResult changeSpelling(const QString& from, const QString& to)
{
    const QString folder = folderOf(to);
    // A second entry spelled exactly like the target is another file (the
    // medium's idea of case differs from ours): never replaced.
    if (entryListed(folder, nameOf(to))) return failure(EEXIST);
    const QByteArray f = QFile::encodeName(from), t = QFile::encodeName(to);
    if (ops().rename(f.constData(), t.constData()) == 0 && entryListed(folder, nameOf(to))) return {};
    const QByteArray step = QFile::encodeName(stepName(folder, nameOf(to)));
    if (step.isEmpty()) return failure(EEXIST);
    // The direct rename did nothing; the file is still under from.
    if (const int e = ops().rename(f.constData(), step.constData())) return failure(e);
    if (const int e = renameAfterLookup(step, t)) {
        ops().rename(step.constData(), f.constData()); // back to where it was
        return failure(e);
    }
    return {};
}

} // namespace

RenameResult safeRename(const QString& from, const QString& to)
{
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    if (f.isEmpty() || t.isEmpty()) return failure(ENOENT);
    if (f == t) {
        if (!entryExists(from)) return failure(ENOENT);
        return {};
    }
    if (isOwnEntry(from, to)) return changeSpelling(from, to);
    const int e = ops().renameNoReplace(f.constData(), t.constData());
    if (e == EINVAL || e == ENOSYS || e == EOPNOTSUPP) return outcome(renameWithoutNoReplace(f, t));
    return outcome(e);
}

namespace detail {
RenameResult renameByLink(const QString& from, const QString& to)
{
    return outcome(renameWithoutNoReplace(QFile::encodeName(from), QFile::encodeName(to)));
}
} // namespace detail

} // namespace vantrel
