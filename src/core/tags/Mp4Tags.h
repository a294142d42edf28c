// The items of an MP4 (M4A) file, as TagLib parsed them: ©nam, ©ART, ©alb,
// ©day, trkn (number and total), ©gen and ©cmt. Every other item, the cover
// art and freeform ("----") items included, stays as it is.
#pragma once

#include "tags/ForeignTags.h"

namespace TagLib::MP4 {
class Tag;
}

namespace vantrel {

class Mp4Tags {
  public:
    static ForeignTagFields read(const TagLib::MP4::Tag& tag);

    // Applies the edit; false (and error set, tag unchanged) when a value
    // cannot be stored, such as a track that is not "N" or "N/TOTAL".
    // changed tells whether anything changed.
    static bool edit(TagLib::MP4::Tag& tag, const ForeignTagEdit& edit, bool& changed, QString& error);
};

} // namespace vantrel
