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

struct TagsFromNamesOutcome {
    bool overwrite = false;  // the answer to the "IMPORTANT!" question
    int written = 0;         // files whose tags were written
    int skipped = 0;         // files that could not be opened (skipped silently)
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
// every listed file: over the existing values, or only where a field is empty.
// Ends with the "Done" message and the account of the run; a cancelled run
// says after how many files it stopped. Every write is journaled for undo.
// A write failure that the record routine did not already report is shown.
TagsFromNamesOutcome fixlisttags(const FileList& list, const ParserOptions& options, Prompter& prompter,
                                 formTag& tags, const Progress& progress = {});

} // namespace vantrel
