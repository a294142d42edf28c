// The ID3v1 record routines of the batch operations: one shared record
// (CurrentTag) that GetID3v1 fills and SetID3v1 writes, and a log of the files
// whose record could not be read (tagLog). Messages go through the Prompter.
// The routines share module state and are not re-entrant: call them from one
// thread, one file at a time.
#pragma once

#include <QString>

namespace vantrel {

class OpenFile;
class Prompter;

// A text that always holds exactly Width characters: an assigned value is cut
// to the width or padded with spaces. Zero characters are kept as they are.
template <int Width> class FixedText {
  public:
    FixedText() : text_(Width, QLatin1Char(' ')) {}
    FixedText(const QString& v) { *this = v; } // NOLINT: assignment-like on purpose
    FixedText& operator=(const QString& v)
    {
        text_ = v.left(Width);
        if (text_.size() < Width) text_.append(QString(Width - text_.size(), QLatin1Char(' ')));
        return *this;
    }
    const QString& text() const { return text_; }
    operator const QString&() const { return text_; } // NOLINT: reads like the text it holds
    bool operator==(const FixedText& o) const { return text_ == o.text_; }

  private:
    QString text_;
};

// The ID3v1 record after its "TAG" marker, 125 bytes, as the file holds it.
// Comment covers all 30 bytes (an ID3v1.1 zero byte and track number
// included), so a record read and written back keeps those bytes unchanged.
// A default record is all spaces with Genre 255 (no genre).
struct TagRecord {
    static constexpr int Size = 125;

    FixedText<30> Title;
    FixedText<30> Artist;
    FixedText<30> Album;
    FixedText<4> Year;
    FixedText<30> Comment;
    quint8 Genre = 255;

    // The 125 bytes, texts in Windows-1252 (a character it lacks becomes '?').
    QByteArray toBytes() const;
    // From 125 bytes; every byte becomes one character, zero bytes included.
    static TagRecord fromBytes(const char* bytes);
};

namespace modTag {

// The record the last GetID3v1 filled; callers change it and pass it to SetID3v1.
extern TagRecord CurrentTag;
// Problems found by GetID3v1, each line introduced by CR LF. It only grows
// (tests may clear it).
extern QString tagLog;

// True when fileName names a regular file that can be opened for reading
// (it is closed again at once). False for folders and missing files.
// Never raises, never shows a message.
bool FileReadable(const QString& fileName);

// What GetID3v1 finds in one file, without touching CurrentTag or tagLog
// and without asking anything, so that any thread may read a file's record.
// What the run must still be told about the read, kept apart from the
// record so that a long run can hold it for every file cheaply.
struct RecordNote {
    QString logLine; // what GetID3v1 adds to tagLog for this file, or empty
    // errno of a read that failed on the opened file, 0 otherwise: GetID3v1
    // then asks the "Fatal Error" question with this number and text.
    int error = 0;
    QString errorText;
};

struct RecordRead : RecordNote {
    TagRecord record; // a default record when the file has none
};

// The record of fileName (already without a leading "* ") from file, opened
// for reading by the caller; a file that is not open gets the "Unexpected
// error" line, as does one shorter than 128 bytes.
RecordRead readRecord(const QString& fileName, OpenFile& file);

// Hands what readRecord found over as GetID3v1 does: the log line goes into
// tagLog, and a failed read asks the "Fatal Error" question. False when the
// answer was to end the program.
bool reportRecord(const RecordNote& read, Prompter& prompter);

// Reads the record of fileName into CurrentTag.
// - CurrentTag is first reset to a default record (all spaces, Genre 255), so
//   a file without a record never inherits an earlier file's values.
// - An empty name or "*.mp3" returns at once; a name starting with "* " loses
//   those two characters, in the caller's variable too.
// - An unreadable file or one shorter than 128 bytes adds
//   CR LF + "Unexpected error in filename: " + name to tagLog; a file without
//   "TAG" 128 bytes before its end adds CR LF + "No ID3-Tag: " + name.
// - A read failure on a file that could be opened asks the "Fatal Error"
//   question; the result is false when the user answered Yes (end the
//   program), so the caller should stop and quit. Otherwise true.
bool GetID3v1(QString& fileName, Prompter& prompter);

// Writes tag as the record of fileName: over the existing record (the "TAG"
// bytes stay), or appended as 128 bytes when there is none. fileName is
// trimmed of a leading "* " as in GetID3v1; an empty name does nothing.
// A file that cannot be opened for writing is left unchanged and reported:
// "The file <name> is write-protected" (title "Error", exclamation) for a
// read-only file, "Error <errno>: <description>" (title "Error", critical)
// for anything else (a missing file is not created). A file whose content is
// another container, or that another writer kept locked (see FileLock), is
// left unchanged with "The file <name> was not written: <why>". The write
// holds the file's lock. A failed append is cut back. Returns whether the
// record was written.
bool SetID3v1(QString& fileName, const TagRecord& tag, Prompter& prompter);

} // namespace modTag
} // namespace vantrel
