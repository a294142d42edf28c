// The account at the end of a run: what happened to how many files, in one
// line for the status line, the closing message and the command-line summary.
#pragma once

#include <QString>

namespace vantrel {

struct RenameOutcome;
struct TagsFromNamesOutcome;

// "Fix: 3 renamed, 1 unchanged, 0 skipped, 1 failed." (rows: the files listed);
// a run that ended early starts with "Stopped after N of M files: ".
QString renameAccount(const RenameOutcome& o, int rows);

// "3 file(s) written, 1 skipped, 0 failed."; a cancelled run: "Stopped after
// N of M files: ..." (total: the files listed).
QString tagAccount(const TagsFromNamesOutcome& o, int total);

// Why a listed file cannot be read: "File no longer exists!" when it is gone,
// otherwise what the system says ("Permission denied"). Never opens a pipe.
QString unreadableReason(const QString& path);
// The same from the errno of a failed OpenFile::open (EISDIR or EINVAL for
// what is no regular file), for callers whose one open of the file failed.
QString unreadableReason(int openError);

} // namespace vantrel
