#include "FolderLoader.h"

#include "platform/FileSystem.h"
#include "platform/Prompter.h"
#include "tags/AudioFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace vantrel {

FolderLoader::FolderLoader(FileList& list, Prompter& prompter) : list_(list), prompter_(prompter) {}

QString FolderLoader::AddSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString FolderLoader::noFilesText(bool browseHint)
{
    QString text = QStringLiteral("The folder you specified doesn't seem to contain any valid media files. "
                                  "Make sure the option 'Include subfolders' is checked.");
    if (browseHint) text += QStringLiteral("\r\n\r\nTO SELECT A DIFFERENT FOLDER, CLICK BROWSE");
    return text;
}

QString FolderLoader::otherFormatExtension(const QString& name)
{
    return vantrel::otherFormatExtension(name);
}

QString FolderLoader::nameAsMp3(const QString& name)
{
    const QString ext = otherFormatExtension(name);
    return ext.isEmpty() ? name : name.left(name.size() - ext.size()) + QStringLiteral(".mp3");
}

// ext1 and ext2 lower-cased, with their dot.
bool FolderLoader::isListedName(const QString& name, const QString& ext1, const QString& ext2) const
{
    return name.right(ext1.size()).toLower() == ext1 || name.right(ext2.size()).toLower() == ext2 ||
           (allFormats && !otherFormatExtension(name).isEmpty());
}

QString FolderLoader::noFilesTitle()
{
    return QStringLiteral("No files in folder");
}

// The duplicate check needs the listed paths as a set; other code edits the
// lists freely between loads, so the set is rebuilt when an operation starts.
void FolderLoader::rebuildIndex()
{
    listed_ = QSet<QString>(list_.lstAllfiles.cbegin(), list_.lstAllfiles.cend());
}

bool FolderLoader::appendIfNew(const QString& fullPath, const QString& shownName)
{
    if (listed_.contains(fullPath)) return false;
    listed_.insert(fullPath);
    list_.lstAllfiles.append(fullPath);
    list_.lstFiles.append(shownName);
    return true;
}

void FolderLoader::updateListStatus()
{
    listStatus = QStringLiteral("List count: %1 File: %2")
                     .arg(list_.lstFiles.size())
                     .arg(FileList::at(list_.lstAllfiles, 0));
}

bool FolderLoader::loadFresh(const QString& folder, bool includeSubfolders)
{
    list_.lstSim.clear();
    list_.clearRows();
    list_.lstArtist.clear();
    list_.lstTit.clear();
    list_.lstAllfiles.clear();
    list_.lstFiles.clear();
    loadfolder(folder, true, includeSubfolders);
    filterlist();
    return list_.count() > 0;
}

// Public operations may call each other (a drop loads folders); the set of
// listed paths is rebuilt once by the outermost call and kept up to date inside.
class FolderLoader::Session {
  public:
    explicit Session(FolderLoader& l) : l_(l)
    {
        if (l_.depth_++ == 0) l_.rebuildIndex();
    }
    ~Session() { --l_.depth_; }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

  private:
    FolderLoader& l_;
};

void FolderLoader::addDropped(const QStringList& paths, bool includeSubfolders)
{
    const Session session(*this);
    cancelled = false;
    for (const QString& p : paths) {
        if (!listed_.contains(p)) addfile(p, includeSubfolders);
        if (cancelled) break; // a stop asked for during one folder ends the whole drop
    }
    filterlist();
}

void FolderLoader::addfile(const QString& path, bool includeSubfolders)
{
    const Session session(*this);
    if (FolderExists(path)) {
        addfolder(path, includeSubfolders);
        return;
    }
    // Only files enter the list: a folder's own path could otherwise pass the
    // extension filter (a folder named "Hits.mp3").
    if (FileExists(path)) appendIfNew(path, FileList::nameOf(path));
}

void FolderLoader::addfolder(const QString& folder, bool includeSubfolders)
{
    loadfolder(folder, false, includeSubfolders);
}

void FolderLoader::loadfolder(const QString& folder, bool clear, bool includeSubfolders)
{
    const Session session(*this);
    if (onStatus) onStatus(QStringLiteral("Path: ") + folder);
    loadAborted = false;
    LogPath(folder, includeSubfolders);
    if (clear) {
        list_.lstFiles.clear();
        list_.lstAllfiles.clear();
        listed_.clear();
    }
    if (!loadAborted) {
        for (qsizetype i = 0; i < scanCount; ++i) {
            const QString& name = scanNames.at(i);
            if (!isListedName(name, QStringLiteral(".mp3"), QStringLiteral(".wma"))) continue;
            // The numbered name is temporary: filterlist rewrites lstFiles.
            appendIfNew(scanFolders.at(scanFolderIndex.at(i)) + name,
                        QString::number(i + 1) + QStringLiteral(". ") + name);
        }
    }
    updateListStatus();
}

QString FolderLoader::unreadableFoldersText(const QStringList& folders)
{
    QString text =
        QStringLiteral("%1 folder(s) could not be read; their files are not listed:").arg(folders.size());
    for (const QString& f : folders)
        text += QStringLiteral("\r\n") + f + QStringLiteral(" (") +
                (QFileInfo(f).isReadable() ? QStringLiteral("could not be read")
                                           : QStringLiteral("Permission denied")) +
                QLatin1Char(')');
    return text;
}

void FolderLoader::LogPath(const QString& folder, bool includeSubfolders)
{
    scanFolders.clear();
    scanNames.clear();
    scanFolderIndex.clear();
    scanCount = 0;
    cancelled = false;
    unreadableFolders.clear();
    if (!FolderExists(folder)) {
        prompter_.tell(Question::FolderNotFound, QStringLiteral("Can't find folder!"),
                       QStringLiteral("Error"), Icon::Critical);
        loadAborted = true;
        return;
    }
    // A typed path may carry doubled or trailing slashes, or be relative;
    // all spellings of one folder must give the same entries.
    scanFolders.append(AddSlash(QDir::cleanPath(QFileInfo(folder).absoluteFilePath())));
    // The pre-count reads the folders the scan is about to visit; it hands
    // their contents on so the disk is read once.
    FolderCache cache;
    expectedTotal = countTree(scanFolders.first(), &cache);
    QSet<FolderId> visited;
    if (const auto id = folderIdentity(scanFolders.first())) visited.insert(*id);

    FolderEntries entries;
    for (qsizetype cur = 0; cur < scanFolders.size(); ++cur) {
        const QString here = scanFolders.at(cur);
        if (readFolder(here, entries, cache)) {
            if (includeSubfolders) {
                for (const QString& sub : std::as_const(entries.folders)) {
                    const QString path = here + sub + QLatin1Char('/');
                    const auto id = folderIdentity(path);
                    if (!id || visited.contains(*id))
                        continue; // a link back into the tree, or gone meanwhile
                    visited.insert(*id);
                    scanFolders.append(path);
                }
            }
            for (const QString& f : std::as_const(entries.files)) {
                scanNames.append(f);
                scanFolderIndex.append(cur);
            }
            scanCount = scanNames.size();
        } else {
            unreadableFolders.append(here);
        }
        if (expectedTotal > 0) {
            const double value = static_cast<double>(scanCount) / static_cast<double>(expectedTotal) * 100.0;
            if (value <= 100.0 && static_cast<int>(value) != percent) {
                percent = static_cast<int>(value);
                if (onPercent) onPercent(percent);
            }
        }
        if (!report(progress, scanCount, expectedTotal)) {
            cancelled = true;
            break;
        }
    }
    percent = 100;
    if (onPercent) onPercent(percent);
    if (!unreadableFolders.isEmpty())
        prompter_.tell(Question::FoldersUnreadable, unreadableFoldersText(unreadableFolders),
                       QStringLiteral("Error"), Icon::Exclamation);
}

void FolderLoader::filterlist(const QString& typ1, const QString& typ2)
{
    const QString ext1 = QLatin1Char('.') + typ1.toLower();
    const QString ext2 = QLatin1Char('.') + typ2.toLower();
    list_.lstDump.clear();
    for (const QString& p : std::as_const(list_.lstAllfiles)) {
        if (!isListedName(FileList::nameOf(p), ext1, ext2)) continue;
        if (!pathRepresentable(p)) {
            prompter_.tell(Question::FileNotLoadable,
                           QStringLiteral("The file '") + p +
                               QStringLiteral("' contains an unknown character and cannot be loaded. Rename "
                                              "the file manually and try again."),
                           QStringLiteral("Error"), Icon::Information);
            continue;
        }
        list_.lstDump.append(p);
    }
    list_.lstAllfiles.clear();
    list_.lstFiles.clear();
    list_.lstAllfiles.reserve(list_.lstDump.size());
    list_.lstFiles.reserve(list_.lstDump.size());
    for (const QString& p : std::as_const(list_.lstDump)) {
        list_.lstAllfiles.append(p);
        list_.lstFiles.append(FileList::nameOf(p));
    }
    updateListStatus();
}

} // namespace vantrel
