// The tags of audio files that are not MP3: WMA (ASF), FLAC, Ogg Vorbis,
// Opus and M4A (MP4) files keep tags of their own and never get ID3. The
// common fields are read and written here, in the container's own format,
// through TagLib; the format is told from the content, never from the name.
// Each container has its reader/editor beside this (AsfTags, XiphTags,
// Mp4Tags). An ASF file is worked on its header object alone; the others are
// rewritten whole from a copy in memory, TagLib keeping every block, page,
// atom and item it does not change.
#pragma once

#include "tags/AudioFormat.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

class OpenFile;

// The fields every caller knows, as texts (a track may be "3/12").
struct ForeignTagFields {
    QString title, artist, album, year, track, genre, comment;
    // The container's own names of every other item it holds, for display.
    QStringList otherItems;
};

// What a write changes: a field left empty (nullopt) stays as the file has
// it. An empty text clears the field.
struct ForeignTagEdit {
    std::optional<QString> title, artist, album, year, track, genre, comment;
};

struct ForeignTagResult {
    bool ok = false;
    QString error; // why it failed, empty on success
};

class ForeignTags {
  public:
    // Whether files of this content keep their own tags (and are read and
    // written here rather than with ID3).
    static bool handles(AudioFormat format);
    // The format's short name as the command line shows it ("asf", "flac",
    // "ogg", "mp4").
    static QString formatKey(AudioFormat format);

    // Reads the fields of the file at path. No result (and error set) when the
    // file cannot be read or its content is not a format handled here.
    static std::optional<ForeignTagFields> read(const QString& path, QString* error = nullptr);
    // The same on a file the caller opened for reading.
    static std::optional<ForeignTagFields> read(OpenFile& file, QString* error = nullptr);

    // Sets the given fields and keeps everything else of the file: every
    // other item (pictures, unknown attributes), the stream objects and the
    // audio. A field that already holds the value is not touched; nothing to
    // change leaves the file as it is. The file is locked against other
    // writers from reading to the end of the write, and replaced in one step
    // by a complete new copy (mode and owner kept), so a failure or a crash
    // leaves the original intact.
    static ForeignTagResult write(const QString& path, const ForeignTagEdit& edit);
};

} // namespace vantrel
