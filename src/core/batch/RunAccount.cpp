#include "RunAccount.h"

#include "batch/Renamer.h"
#include "batch/TagsFromNames.h"
#include "platform/OpenFile.h"

#include <cerrno>

namespace vantrel {

namespace {

QString stoppedAfter(qsizetype reached, int total)
{
    return QStringLiteral("Stopped after %1 of %2 files: ").arg(reached).arg(total);
}

} // namespace

QString renameAccount(const RenameOutcome& o, int rows)
{
    const qsizetype failed = o.failures.size();
    const qsizetype reached = o.renamed + o.unchanged + failed + o.skipped;
    const bool early = o.stopped || o.aborted || o.cancelled || o.refusedToStart;
    // Files the run never reached count as skipped.
    const qsizetype skipped = std::max<qsizetype>(0, rows - o.renamed - o.unchanged - failed);
    QString s = early ? stoppedAfter(reached, rows) : QStringLiteral("Fix: ");
    return s + QStringLiteral("%1 renamed, %2 unchanged, %3 skipped, %4 failed.")
                   .arg(o.renamed)
                   .arg(o.unchanged)
                   .arg(skipped)
                   .arg(failed);
}

QString tagAccount(const TagsFromNamesOutcome& o, int total)
{
    const qsizetype failed = o.failures.size();
    const QString counts = QStringLiteral("%1 file(s) written, %2 skipped, %3 failed.")
                               .arg(o.written)
                               .arg(o.skipped)
                               .arg(failed);
    if (o.cancelled || o.quitRequested) return stoppedAfter(o.written + o.skipped + failed, total) + counts;
    return counts;
}

QString unreadableReason(const QString& path)
{
    const OpenFile file(path, OpenFile::Mode::Read);
    return file.isOpen() ? QStringLiteral("File could not be read") // it could a moment ago
                         : unreadableReason(file.error());
}

QString unreadableReason(int openError)
{
    switch (openError) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return QStringLiteral("File no longer exists!");
    case EISDIR:
    case EINVAL:
        return QStringLiteral("Not a regular file");
    default:
        return OpenFile::errorText(openError); // "Permission denied", ...
    }
}

} // namespace vantrel
