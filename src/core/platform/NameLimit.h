// How long a file name a folder takes: the limit of the file system the
// folder lies on, counted in the bytes the name is stored as.
#pragma once

#include <QString>

namespace vantrel {

// The longest name, in bytes, a new entry of folder may have (the file
// system's own limit); NAME_MAX (255) when the folder cannot be asked, for
// example because it does not exist.
qsizetype nameLimitBytes(const QString& folder);

// The length of name in the bytes the file system stores it as.
qsizetype nameBytes(const QString& name);

} // namespace vantrel
