// Renaming a file without ever replacing another one. A plain rename on Linux
// silently drops a file that already has the target name; this one refuses.
#pragma once

#include <QString>

namespace vantrel {

enum class RenameError {
    None,          // renamed
    NameTaken,     // a file of the target name exists (also one that appeared at the last moment)
    AccessRefused, // the file, its folder or the medium refuses the change
    Other,         // anything else (missing file, name too long, another device, ...)
};

struct RenameResult {
    RenameError error = RenameError::None;
    int code = 0;        // errno of the failing call, 0 on success
    QString description; // the system's text for code

    bool ok() const { return error == RenameError::None; }
};

// Renames from to to, failing with NameTaken when to exists. Uses renameat2
// with RENAME_NOREPLACE; on media without it, a hard link to the new name
// followed by removing the old one; on media without hard links either, a
// lookup of the new name right before a plain rename. A rename to the same
// path is a success that does nothing. When to is from's own name in another
// letter case on a medium that ignores case, only the spelling is changed.
RenameResult safeRename(const QString& from, const QString& to);

// The kind an errno value belongs to.
RenameError classifyErrno(int code);

// True when path names an existing directory entry (a dangling link counts).
bool entryExists(const QString& path);

// True when both paths lead to the same file: same device and inode, or the
// same name in another spelling on a medium that ignores case.
bool sameFile(const QString& a, const QString& b);

namespace detail {
// The way for media without RENAME_NOREPLACE: link to the new name, then
// remove the old one (or, where links fail, look up and rename). Exposed so
// that it can be tested on any medium.
RenameResult renameByLink(const QString& from, const QString& to);
} // namespace detail

} // namespace vantrel
