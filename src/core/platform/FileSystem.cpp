#include "FileSystem.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

bool statPath(const QString& path, struct stat& st)
{
    if (path.isEmpty()) return false;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

// Name order ignoring case; names that differ only in case keep a fixed order.
bool lessIgnoringCase(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

// Closes a directory stream on every way out.
struct DirCloser {
    DIR* d;
    ~DirCloser()
    {
        if (d) ::closedir(d);
    }
};

enum class Kind { File, Folder, Other };

// Kind of one entry of an open folder; links and file systems without type
// information fall back to stat (which follows links).
Kind kindOf(int dirFd, const struct dirent* e)
{
#ifdef _DIRENT_HAVE_D_TYPE
    if (e->d_type == DT_REG) return Kind::File;
    if (e->d_type == DT_DIR) return Kind::Folder;
    if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) return Kind::Other;
#endif
    struct stat st;
    if (::fstatat(dirFd, e->d_name, &st, 0) != 0) return Kind::Other; // dangling link or vanished entry
    if (S_ISREG(st.st_mode)) return Kind::File;
    if (S_ISDIR(st.st_mode)) return Kind::Folder;
    return Kind::Other;
}

bool isDotOrDotDot(const char* n)
{
    return n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

} // namespace

bool FileExists(const QString& path)
{
    struct stat st;
    if (!statPath(path, st) || !S_ISREG(st.st_mode)) return false;
    // Non-blocking, so that a path swapped for a pipe since the stat cannot hang us.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool FileReadable(const QString& path)
{
    return FileExists(path);
}

bool FolderExists(const QString& path)
{
    struct stat st;
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

bool PathTaken(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool pathRepresentable(const QString& path)
{
    // Valid names decode without replacement characters; one that really
    // contains U+FFFD is still fine as long as it finds itself on disk.
    if (!path.contains(QChar::ReplacementCharacter)) return true;
    return PathTaken(path);
}

bool readFolder(const QString& folder, FolderEntries& out)
{
    out.files.clear();
    out.folders.clear();
    if (folder.isEmpty()) return false;
    DirCloser dir{::opendir(QFile::encodeName(folder).constData())};
    if (!dir.d) return false;
    const int fd = ::dirfd(dir.d);
    while (const struct dirent* e = ::readdir(dir.d)) {
        if (isDotOrDotDot(e->d_name)) continue;
        switch (kindOf(fd, e)) {
        case Kind::File:
            out.files.append(QFile::decodeName(e->d_name));
            break;
        case Kind::Folder:
            out.folders.append(QFile::decodeName(e->d_name));
            break;
        case Kind::Other:
            break;
        }
    }
    std::sort(out.files.begin(), out.files.end(), lessIgnoringCase);
    std::sort(out.folders.begin(), out.folders.end(), lessIgnoringCase);
    return true;
}

std::optional<FolderId> folderIdentity(const QString& path)
{
    struct stat st;
    if (!statPath(path, st) || !S_ISDIR(st.st_mode)) return std::nullopt;
    return FolderId{static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

bool readFolder(const QString& folder, FolderEntries& out, FolderCache& cache)
{
    const auto it = cache.find(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
    if (it == cache.end()) return readFolder(folder, out);
    out = std::move(it.value());
    cache.erase(it);
    return true;
}

qsizetype countTree(const QString& folder, FolderCache* keep)
{
    const auto root = folderIdentity(folder);
    if (!root) return 0;
    QSet<FolderId> seen{*root};
    QList<QByteArray> pending{QFile::encodeName(folder)};
    qsizetype count = 0;
    FolderEntries entries;
    while (!pending.isEmpty()) {
        QByteArray dirPath = pending.takeLast();
        DirCloser dir{::opendir(dirPath.constData())};
        if (!dir.d) continue; // unreadable folders count nothing
        if (!dirPath.endsWith('/')) dirPath += '/';
        entries.files.clear();
        entries.folders.clear();
        const int fd = ::dirfd(dir.d);
        while (const struct dirent* e = ::readdir(dir.d)) {
            if (isDotOrDotDot(e->d_name)) continue;
            const Kind k = kindOf(fd, e);
            if (k == Kind::File) {
                ++count;
                if (keep) entries.files.append(QFile::decodeName(e->d_name));
            } else if (k == Kind::Folder) {
                if (keep) entries.folders.append(QFile::decodeName(e->d_name));
                if (e->d_name[0] == '.') continue;
                struct stat st;
                if (::fstatat(fd, e->d_name, &st, 0) != 0) continue;
                const FolderId id{static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
                if (seen.contains(id)) continue;
                seen.insert(id);
                pending.append(dirPath + e->d_name);
            }
        }
        if (keep) {
            std::sort(entries.files.begin(), entries.files.end(), lessIgnoringCase);
            std::sort(entries.folders.begin(), entries.folders.end(), lessIgnoringCase);
            keep->insert(QFile::decodeName(dirPath), std::move(entries));
            entries = {};
        }
    }
    return count;
}

static QByteArray ownExecutable()
{
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? QByteArray(buf, n) : QByteArray();
}

QString programFolder()
{
    const QString exe = QFile::decodeName(ownExecutable());
    const qsizetype slash = exe.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : exe.left(slash);
}

} // namespace vantrel
