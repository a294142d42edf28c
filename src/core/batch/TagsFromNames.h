// "Fix files!" in the tag mode: artist and title taken from each file's
// cleaned name are written into its tags. No file is renamed and the lists
// stay as they are.
#pragma once

#include "batch/Progress.h"
#include "parser/FilenameParser.h"

#include <QList>
#include <QString>

namespace vantrel {

class FileList;
class Prompter;
class formTag;

// Artist and title of a parsed name (extension included): the text before
// the extension split at every "-"; the first piece is the artist and the
// last the title, pieces between are ignored. Without a dash the artist is
// empty. Both trimmed of spaces.
struct ArtistTitle {
    QString artist;
    QString title;
};
ArtistTitle splitArtistTitle(const QString& parsedName);

// The artist and title the tag run writes into each tag of one file.
struct TagsToWrite {
    ArtistTitle v1, v2;
};

// What the tag run writes for a file named fileName: the name cleaned by the
// parser with options (never upper-cased as a whole), split by
// splitArtistTitle. With overwrite both tags get those values. Otherwise a
// field counts as existing when either tag holds it (v1 and v2 as read): a
// tag keeps its own value, an empty field of the other tag takes that value,
// and only a field neither tag holds is taken from the name. The simulation
// shows overwrite's values; the run writes this exactly.
TagsToWrite tagsToWrite(const QString& fileName, const ParserOptions& options, bool overwrite,
                        const ArtistTitle& v1 = {}, const ArtistTitle& v2 = {});

struct TagsFromNamesOutcome {
    bool overwrite = false; // the answer to the "IMPORTANT!" question
    int written = 0;        // files whose tags were written
    int skipped = 0;        // files that could not be opened (skipped silently)
    struct Failure {
        int row;
        QString path;
        QString reason;
    };
    QList<Failure> failures; // files whose tags could not be written
    QList<Failure> skips;    // the files skipped, with the reason
    bool cancelled = false;
    bool quitRequested = false; // a fatal read error was answered "end the program"
};

// Asks whether existing tags are overwritten, then writes artist and title of
// every listed file as tagsToWrite says. (The parser always gives a title,
// so a file without an ID3v1 record always has a value to put into one.)
// Ends with the "Done" message and the account of the run; a cancelled run
// says after how many files it stopped. Every write is journaled for undo.
// A write failure that the record routine did not already report is shown.
TagsFromNamesOutcome fixlisttags(const FileList& list, const ParserOptions& options, Prompter& prompter,
                                 formTag& tags, const Progress& progress = {});

} // namespace vantrel
