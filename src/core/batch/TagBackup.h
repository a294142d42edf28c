// What is needed to put a file's tags back after they were written: the bytes
// of the areas that hold tags (the ID3v2 area at the start and the ID3v1
// record at the end of an MP3, the header object of a WMA, the metadata blocks
// of a FLAC file, the whole file for any other container), and the size and a hash of everything else (the
// audio), so that a restore can check that the audio is still the same.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace vantrel {

struct TagBackup {
    struct Region {
        qint64 offset = 0; // in the file as it was
        QByteArray bytes;
    };
    QString path;
    qint64 size = 0;       // the whole file as it was
    QList<Region> regions; // in file order, not overlapping
    qint64 restSize = 0;   // bytes outside the regions
    QByteArray restHash;   // BLAKE2b-256 of those bytes, in file order

    QJsonObject toJson() const;
    // Nothing when the object is not a complete, consistent backup.
    static std::optional<TagBackup> fromJson(const QJsonObject& o);
};

// Reads the tag areas of the file at path. Nothing (and a reason) when the
// file cannot be read or the areas are too large to keep.
std::optional<TagBackup> backupTags(const QString& path, QString* error = nullptr);

enum class TagRestore {
    Restored,     // the file is again byte for byte what it was
    AlreadyThere, // it already was (the write never happened, or an undo ran)
    Refused,      // the audio or the file changed; reason says how; file untouched
    Failed,       // the file could not be read or replaced; reason says why
};
// Puts the tag areas back, under the file's lock, through an atomic replace.
TagRestore restoreTags(const TagBackup& backup, QString* reason = nullptr);

} // namespace vantrel
