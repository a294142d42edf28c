// Writes an ID3v2.3 tag at the start of a file: in place when a valid tag
// starts at offset 0 and the new one fits in its area, otherwise by putting a
// new, larger area in front of the audio through replaceFileAtomically (which
// keeps links, owner, mode and extended attributes). The audio bytes are
// never changed. A tag at offset 0 that the reader could not account for
// completely is never overwritten.
#pragma once

#include "tags/Id3v2Format.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantrel::id3v2 {

// One frame with its 10-byte 2.3 header (plain size, flags as given).
QByteArray frameBytes(const Frame23& f);
// The 10-byte 2.3 header of a tag area of `area` bytes (header included):
// "ID3", 3, 0, 0 and the synchsafe size area - 10.
QByteArray tagHeader23(qint64 area);
// The area a new tag of t bytes (header, frames and four zero bytes) is given
// when the file grows: the next multiple of 2048 above t, so that later
// writes usually fit in place.
qint64 grownArea(qint64 t);

// "the existing ID3v2 tag could not be read completely (<why>)", the
// reason a write over such a tag is refused.
QString unreadTagError(const QString& why);

// Puts a 2.3 tag with the given frame bytes into the file. Returns false with
// the reason in error when the file could not be written; it is then unchanged.
bool writeTag(const QString& path, const QByteArray& frames, QString& error);

} // namespace vantrel::id3v2
