// The tag of an ASF (WMA) file through TagLib, worked on the header object
// alone: the tag lives in the header, and the data object (the audio) behind
// it is never read or rewritten here.
//   Title, Author, Description (comment): the content description object;
//   WM/AlbumTitle, WM/Year, WM/TrackNumber (else WM/Track, 0-based),
//   WM/Genre: attributes.
#pragma once

#include "tags/ForeignTags.h"

#include <QByteArray>

namespace vantrel {

class AsfTags {
  public:
    // Size of the header object from the first 24 bytes of a file: 0 when
    // they do not start an ASF header or its size is impossible.
    static qint64 headerSize(const QByteArray& first24, qint64 fileSize);

    // The fields of a header object; false (and error set) when TagLib
    // cannot read it.
    static bool read(const QByteArray& header, ForeignTagFields& fields, QString& error);

    // Applies the edit to a header object. newHeader is the header to write
    // (equal to header when nothing changes); every object and attribute the
    // edit does not name is carried over.
    static bool edit(const QByteArray& header, const ForeignTagEdit& edit, QByteArray& newHeader,
                     QString& error);
};

} // namespace vantrel
