// The file-system questions the program asks: does a file or folder exist,
// what does a folder hold (in a stable order), where does the program live.
// Everything here answers from the disk and never shows a message.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

// True when path names a regular file (a link to one counts) that can be
// opened for reading; the file is closed again at once. False for folders,
// missing paths, and special files such as pipes (opening those could block).
bool FileExists(const QString& path);

// Same answer as FileExists; the name the tag routines use.
bool FileReadable(const QString& path);

// True when path names a folder (a link to one counts).
bool FolderExists(const QString& path);

// True when anything at all sits at path: file, folder, special file or a
// link, even a dangling one. Renaming onto such a path would replace or fail,
// so collision checks ask this rather than FileExists.
bool PathTaken(const QString& path);

// True when path, encoded back for the file system, still names what is on
// disk. A path decoded from invalid bytes carries replacement characters and
// no longer finds its file; such paths are refused at loading.
bool pathRepresentable(const QString& path);

// What one folder holds: regular files and subfolders (links are judged by
// what they point to; dangling links and special files are left out), each
// list in name order ignoring case. Names only, without the folder.
struct FolderEntries {
    QStringList files;
    QStringList folders;
};

// Reads folder; false (and empty lists) when it cannot be read.
bool readFolder(const QString& folder, FolderEntries& out);

// Identity of a folder on disk (device and inode, links followed): two paths
// with the same identity are the same folder, which is how scans notice a
// link that leads back into a folder they have already visited.
struct FolderId {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FolderId&, const FolderId&) = default;
};
std::optional<FolderId> folderIdentity(const QString& path);

inline size_t qHash(const FolderId& id, size_t seed = 0)
{
    return ::qHash(id.device, seed) ^ ::qHash(id.inode, seed + 1);
}

// Folder contents already read, keyed by folder path ending in "/"; a scan
// that follows a count takes them from here instead of reading the disk again.
using FolderCache = QHash<QString, FolderEntries>;

// Counts the regular files of folder and all its subfolders. Subfolders whose
// names begin with "." are not counted, and no folder is counted twice (links
// back into the tree are ignored). With keep, the contents of every folder
// read are stored there as readFolder would give them.
qsizetype countTree(const QString& folder, FolderCache* keep = nullptr);

// readFolder, answered from cache when it holds folder (the entry is taken out).
bool readFolder(const QString& folder, FolderEntries& out, FolderCache& cache);

// The folder the running program's executable lies in, without a trailing
// "/" (except for "/" itself).
QString programFolder();

} // namespace vantrel
