// The hidden tag window through which the batch operations read and write
// both tags of a file. It is never shown, so it is a plain object: its
// "controls" are the public fields below, which the callers read after
// tagFile and fill before SetTags.
//
// Contract for the batch code:
// - tagFile(path) loads every field from the file (ID3v1 fields into txtArtist
//   ... cboGenre, ID3v2 fields into txtArtistV2 ... txtLinkTo). A file that
//   cannot be opened shows "Could not load file '<path>'" + CR LF CR LF + the
//   reason (information icon) and returns false; the fields keep what they
//   held before.
// - SetTags() writes the fields into the file named in txtMp3File: it re-reads
//   both tags, sets the fields listed below, and calls Update on each tag.
//   Both comments become the stamp "Edited by: Vantrel <major>.<minor>"
//   (txtComment and txtCommentV2 are not written, unless commentsAsTyped);
//   the ID3v1 track is kept.
//   Every ID3v2 frame the window does not set is written back unchanged.
//   Returns true when both tags were written; lastError() then is empty,
//   otherwise it says which tag failed and why. Nothing is shown, except the
//   ID3v1 message for an empty file. The file's lock (FileLock) is held from
//   the re-read to the end of the writes; when another writer keeps it past
//   the wait, nothing is written and lastError() says so.
// - The genre pickers: a picker text that the caller left as tagFile set it
//   (same file) keeps the file's genre exactly as it is. A changed text is
//   resolved to the entry with that name in any letter case, else the first
//   entry whose name contains it, else the empty entry (genre 255); for ID3v2 an
//   unmatched text is kept as the genre's name.
// - A file whose content has a tag of its own (ASF, see ForeignTags) never
//   gets ID3: tagFile fills the version-2 fields from that tag and leaves the
//   version-1 fields empty; SetTags writes Title, Artist, Album, Year, Track,
//   Genre and the stamp as comment into it and ignores the version-1 fields.
#pragma once

#include "tags/GenrePicker.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

class OpenFile;
class Prompter;

class formTag {
  public:
    // Creates both tag objects and fills both genre pickers; loads no file.
    explicit formTag(Prompter& prompter);

    // The rest of the window's load step: the first file name of the command
    // line (see firstCommandLineFile) is loaded with tagFile. An empty command
    // line, an empty first name or an unclosed quote loads nothing.
    void Load(const QString& commandLine);

    bool tagFile(const QString& sFile);
    // tagFile on a file the caller opened for reading: every field comes from
    // that one open (a file that is not open is reported as tagFile reports it).
    bool tagFile(const QString& sFile, OpenFile& file);
    bool SetTags();
    const QString& lastError() const { return lastError_; }
    // Whether the file of the last tagFile has a tag of its own (WMA) rather than ID3.
    bool loadedOwnTag() const { return ownTag_; }

    // "Edited by: Vantrel " + major + "." + minor.
    static QString commentStamp();
    // A typed comment as it is written: the stamp when it holds nothing but
    // "nt" pairs (or nothing), otherwise unchanged.
    static QString commentToWrite(const QString& typed);

    // The details window sets this: SetTags then writes txtComment and
    // txtCommentV2 through commentToWrite instead of stamping both.
    bool commentsAsTyped = false;

    // The first file name of a command line: a double quote opens a quoted
    // name or, when one is open, closes it and ends the scan; a space ends the
    // scan unless a quoted name is open; anything else belongs to the name.
    // No result when the line ends inside an open quote.
    static std::optional<QString> firstCommandLineFile(const QString& commandLine);

    // Removes every encoding-1 byte order mark sequence (U+0001 U+00FF U+00FE)
    // from a text; any other text, also one starting with "ÿþ", is unchanged.
    static QString withoutMarker(QString text);

    const cMP3ID3v1& id3v1() const { return v1_; }
    const cMP3ID3v2& id3v2() const { return v2_; }

    QString Caption = QStringLiteral("Form1");
    QString txtMp3File;

    // ID3v1 fields.
    QString txtArtist, txtTitle, txtAlbum, txtYear, txtComment;
    GenrePicker cboGenre;

    // ID3v2 fields.
    QString txtArtistV2, txtTitleV2, txtAlbumV2, txtYearV2, txtCommentV2, txtTrack;
    GenrePicker cboGenreV2;
    QString txtOriginalArtist, txtComposer, txtCopyright, txtEncodedBy, txtLinkTo;

  private:
    bool tagForeignFile(const QString& sFile, OpenFile& file);
    bool setForeignTags(bool keepGenreV2);

    Prompter& prompter_;
    cMP3ID3v1 v1_;
    cMP3ID3v2 v2_;
    QString lastError_;
    bool ownTag_ = false;

    // What tagFile put into the pickers, to tell whether a caller changed them.
    QString loadedFile_;
    QString loadedGenreText_, loadedGenreTextV2_;
};

} // namespace vantrel
