// Replaces the content of an existing file without ever leaving it half
// written: the new content goes into a temporary file in the same folder,
// is flushed to disk and then renamed over the original in one step.
#pragma once

#include <QFile>
#include <QString>

#include <functional>

namespace vantrel {

// Fills the temporary file; returns false (with a reason in error) to give up.
using ContentWriter = std::function<bool(QFile& out, QString& error)>;

// Whether path is an existing regular file that may be written: it opens for
// writing and carries a write permission bit (so that a read-only file stays
// read-only also for the administrator). On false, error says why.
bool fileIsWritable(const QString& path, QString* error = nullptr);

// Replaces the file at path by what write produces. The file must exist and
// be writable (a read-only file is refused and stays as it is). Its
// permission bits, and its owner where the system allows, are kept; a
// symbolic link is followed and the file it points to is replaced. On any
// failure the original is untouched, the temporary file is removed, and
// error (when given) says why. Returns whether the file was replaced.
bool replaceFileAtomically(const QString& path, const ContentWriter& write, QString* error = nullptr);

} // namespace vantrel
