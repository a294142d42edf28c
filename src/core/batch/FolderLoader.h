// Turns folders and dropped paths into entries of the file list: a
// breadth-first scan of the folder tree, then a filter pass that keeps the
// audio files (".mp3", ".wma"; with allFormats also ".flac", ".ogg", ".oga",
// ".opus", ".m4a") in the order found.
//
// Usage, as the main window's "Load" does it (the command-line tool can do
// the same with its own prompter):
//
//     FolderLoader loader(list, prompter);
//     loader.onPercent = ...;                 // optional: progress bar 0..100
//     loader.progress = ...;                  // optional: (found, expected); false stops the scan
//     bool any = loader.loadFresh(folder, includeSubfolders);
//     if (!any)
//         prompter.tell(Question::NoFiles, FolderLoader::noFilesText(true), FolderLoader::noFilesTitle(),
//                       Icon::Information);
//     list.listviewthem();
//
// and as a drop does it:
//
//     loader.addDropped(paths, includeSubfolders);
//     list.listviewthem();
//
// The loader never rebuilds the table itself; the caller does that once at the end.
#pragma once

#include "batch/FileList.h"
#include "batch/Progress.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace vantrel {

class Prompter;

class FolderLoader {
  public:
    FolderLoader(FileList& list, Prompter& prompter);

    // Called after each scanned folder with (files found so far, files expected
    // by the pre-count); returning false stops the scan, keeping what was found.
    Progress progress;
    // The progress bar value: found / expected × 100 after each folder while
    // that is a valid percentage, 100 at the end of a scan.
    std::function<void(int percent)> onPercent;
    // The status line: "Path: " + folder at the start of each folder load.
    std::function<void(const QString& text)> onStatus;
    // "Also list FLAC, Ogg, Opus and M4A files": the extensions of
    // otherFormatExtension are listed beside ".mp3" and ".wma".
    bool allFormats = false;

    // The extension of a FLAC, Ogg Vorbis, Opus or M4A file name (".flac",
    // ".ogg", ".oga", ".opus", ".m4a"), lower-cased; empty for any other name.
    static QString otherFormatExtension(const QString& name);
    // The name such a file is parsed and renamed under: its own extension
    // replaced by ".mp3" ("Song.FLAC" -> "Song.mp3"); any other name as it is.
    static QString nameAsMp3(const QString& name);

    // Result of the last scan. scanFolders[0] is the folder asked for; every
    // entry ends with "/". scanNames holds every file found (any extension),
    // scanFolderIndex the index of its folder in scanFolders.
    QStringList scanFolders;
    QStringList scanNames;
    QList<qsizetype> scanFolderIndex;
    QStringList unreadableFolders; // of the last scan
    qsizetype scanCount = 0;
    qsizetype expectedTotal = 0; // the pre-count
    bool loadAborted = false;    // the folder asked for did not exist
    bool cancelled = false;      // progress asked to stop (kept until the next scan)
    int percent = 0;             // last progress bar value
    // "List count: N File: path" after loadfolder (the entry selected is the first).
    QString listStatus;

    // Load and Browse: empties all lists and the table rows, loads folder
    // (with its subfolders when asked) and keeps the audio files. Returns true
    // when the list holds files afterwards. Shows "Can't find folder!" when the
    // folder does not exist, and the unknown-character message per refused file.
    bool loadFresh(const QString& folder, bool includeSubfolders);

    // A drop: each path not yet in the list is added (a folder is loaded
    // without clearing), then the list is filtered to audio files. Files
    // already listed, entries that are not audio files and paths that vanished
    // add nothing.
    void addDropped(const QStringList& paths, bool includeSubfolders);

    // Scans folder and appends the audio files not yet listed to lstAllfiles,
    // with temporary numbered names in lstFiles (filterlist rewrites those).
    // clear empties lstAllfiles and lstFiles first.
    void loadfolder(const QString& folder, bool clear, bool includeSubfolders);

    // The scan alone: fills scanFolders, scanNames, scanFolderIndex, scanCount
    // breadth-first (the folder's files in name order, then those of each
    // subfolder level by level). A link back into a folder already visited is
    // not followed; folders that cannot be read are skipped, kept in
    // unreadableFolders and named in one message at the end.
    void LogPath(const QString& folder, bool includeSubfolders);

    // Keeps the entries of lstAllfiles whose names end in "." + typ1 or
    // "." + typ2 (any letter case), or with allFormats in one of the other
    // formats' extensions, in order, and rewrites lstFiles to the
    // plain names. Paths whose name bytes cannot be represented are refused
    // with a message each and left out.
    void filterlist(const QString& typ1 = QStringLiteral("mp3"), const QString& typ2 = QStringLiteral("wma"));

    // A dropped path: a folder is loaded (without clearing), a file appended.
    void addfile(const QString& path, bool includeSubfolders);
    void addfolder(const QString& folder, bool includeSubfolders);

    // path with "/" appended unless it already ends with one.
    static QString AddSlash(const QString& path);

    // The "No files in folder" message; Load adds the hint about Browse.
    static QString noFilesText(bool browseHint);
    static QString noFilesTitle();
    // The message naming the folders a scan could not read, with the reason.
    static QString unreadableFoldersText(const QStringList& folders);

  private:
    class Session;
    bool appendIfNew(const QString& fullPath, const QString& shownName);
    bool isListedName(const QString& name, const QString& ext1, const QString& ext2) const;
    void rebuildIndex();
    void updateListStatus();

    FileList& list_;
    Prompter& prompter_;
    QSet<QString> listed_; // the paths of lstAllfiles, for the duplicate check
    int depth_ = 0;        // nesting of public operations (see Session)
};

} // namespace vantrel
