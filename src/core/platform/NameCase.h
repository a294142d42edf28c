// Whether a folder's medium tells letter case apart. USB sticks, cards (FAT,
// exFAT), many network shares and some FUSE mounts find "Song.mp3" under
// "song.mp3" too; there a new spelling of a file's own name is no collision,
// while a name another file holds in another spelling is one.
#pragma once

#include <QString>

namespace vantrel {

// True when the medium of folder finds entries regardless of letter case.
// Decided by looking sampleName (an entry of folder) up in swapped letter
// case; remembered per folder and mounted medium. A sample without letters
// that have a case, or one that is gone, decides nothing: then false.
bool folderIgnoresCase(const QString& folder, const QString& sampleName);

// True when target names path's own directory entry: the same path, or, in a
// folder whose medium ignores case, the same name in another spelling. Never
// decided by inode numbers, which some media hand out anew for each spelling.
bool isOwnEntry(const QString& path, const QString& target);

// True when folder holds an entry spelled exactly name (byte for byte), as
// listed by the medium; a lookup on a case-ignoring medium cannot tell this.
bool entryListed(const QString& folder, const QString& name);

namespace detail {
// Forgets what folderIgnoresCase found (tests that play another medium).
void forgetFolderCaseRules();
} // namespace detail

} // namespace vantrel
