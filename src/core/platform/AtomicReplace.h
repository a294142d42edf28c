// Replaces the content of an existing file without ever leaving it half
// written, and without the file losing anything that is not its content.
//
// The new content first goes into a temporary file in the same folder
// (".<name>.XXXXXX"), written and flushed to disk. Then one of two ways:
// - Replace: the temporary file is given the original's mode, owner, group
//   and extended attributes (ACLs are stored among them) and renamed over the
//   original in one step. Taken when the file has a single link and all of
//   that could be reproduced.
// - Rewrite: otherwise (a second hard link, an owner or an attribute this
//   process cannot give a new file) the original's own inode receives the new
//   content, so that links, owner and attributes stay by construction:
//     1. a complete copy of the original is written under a temporary name,
//        flushed, and renamed to "<name>.vantrel-backup" (that name never
//        holds a partial copy);
//     2. the original is grown to its new length first (a full disk fails
//        here, before a byte of it changed), then overwritten with the new
//        content, cut to length and flushed;
//     3. the backup and the temporary file are removed.
//   A kill before 1 ends leaves the original untouched; during 2 the complete
//   backup stands beside it. A failure in 2 copies the backup back.
// Every successful replacement also removes a "<name>.vantrel-backup" that an
// interrupted earlier write left behind. On failure nothing but the original
// remains, unchanged, and the error says why in the system's words ("No space
// left on device").
#pragma once

#include <QFile>
#include <QString>
#include <functional>

namespace vantrel {

// Fills the temporary file; returns false (with a reason in error) to give up.
// The file is unbuffered: a failed write sets its errorString from the system.
using ContentWriter = std::function<bool(QFile& out, QString& error)>;

// Whether path is an existing regular file that may be written: it opens for
// writing and carries a write permission bit (so that a read-only file stays
// read-only also for the administrator). On false, error says why.
bool fileIsWritable(const QString& path, QString* error = nullptr);

// Replaces the file at path by what write produces (see above). The file must
// exist and be writable (a read-only file is refused and stays as it is). A
// symbolic link is followed and the file it points to is replaced. Returns
// whether the file was replaced; on false error (when given) says why.
bool replaceFileAtomically(const QString& path, const ContentWriter& write, QString* error = nullptr);

// The name of the backup copy a rewrite keeps beside the file at path.
QString backupPathOf(const QString& path);

// Writes all n bytes to fd (at its current position when offset < 0). False
// with errno set when the system refused. Content writers use it so that
// their writes share the failure seam below.
bool writeFully(int fd, const char* data, qint64 n, qint64 offset = -1);

namespace testing {
// Makes writeFully fail with err, once, when `after` more bytes have been
// written (err 0 switches it off; a negative err ends the process there, as a kill
// would). For tests of a full disk and of an interrupted write.
void failWritesAfter(qint64 after, int err);
} // namespace testing

} // namespace vantrel
