// The Vorbis comment of a FLAC, Ogg (Vorbis, Opus, FLAC) file, as TagLib parsed
// it: TITLE, ARTIST, ALBUM, DATE, TRACKNUMBER, GENRE and COMMENT (or
// DESCRIPTION, where a writer put the comment there). A field with several
// values shows its first; every other field and every picture stays as it is.
#pragma once

#include "tags/ForeignTags.h"

namespace TagLib::Ogg {
class XiphComment;
}

namespace vantrel {

class XiphTags {
  public:
    // The fields of a comment; an absent comment (a FLAC file without one)
    // has none. pictures counts the pictures the file holds beside it.
    static ForeignTagFields read(TagLib::Ogg::XiphComment* comment, int pictures);

    // Applies the edit; returns whether anything changed. An empty text
    // removes the field (all its values).
    static bool edit(TagLib::Ogg::XiphComment& comment, const ForeignTagEdit& edit);
};

} // namespace vantrel
