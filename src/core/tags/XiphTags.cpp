#include "tags/XiphTags.h"

#include "tags/TagLibText.h"

#include <algorithm>
#include <xiphcomment.h>

namespace vantrel {

namespace {

const char* const kTitle = "TITLE";
const char* const kArtist = "ARTIST";
const char* const kAlbum = "ALBUM";
const char* const kDate = "DATE";
const char* const kTrack = "TRACKNUMBER";
const char* const kGenre = "GENRE";
const char* const kComment = "COMMENT";
const char* const kDescription = "DESCRIPTION";

QString first(const TagLib::Ogg::XiphComment& c, const char* key)
{
    const auto& map = c.fieldListMap();
    const auto it = map.find(key);
    return it == map.end() || it->second.isEmpty() ? QString() : qs(it->second.front());
}

// Where the comment is kept: DESCRIPTION when only that holds one.
const char* commentKey(const TagLib::Ogg::XiphComment& c)
{
    return first(c, kComment).isEmpty() && !first(c, kDescription).isEmpty() ? kDescription : kComment;
}

} // namespace

ForeignTagFields XiphTags::read(TagLib::Ogg::XiphComment* comment, int pictures)
{
    ForeignTagFields f;
    for (int i = 0; i < pictures; ++i)
        f.otherItems << QStringLiteral("PICTURE");
    if (!comment) return f;
    const TagLib::Ogg::XiphComment& c = *comment;
    f.title = first(c, kTitle);
    f.artist = first(c, kArtist);
    f.album = first(c, kAlbum);
    f.year = first(c, kDate);
    f.track = first(c, kTrack);
    f.genre = first(c, kGenre);
    const char* const commentAt = commentKey(c);
    f.comment = first(c, commentAt);
    const auto known = {kTitle, kArtist, kAlbum, kDate, kTrack, kGenre, commentAt};
    for (const auto& [key, values] : c.fieldListMap()) {
        const QString name = qs(key);
        if (std::none_of(known.begin(), known.end(), [&](const char* k) { return name == QLatin1String(k); }))
            for (unsigned i = 0; i < values.size(); ++i)
                f.otherItems << name;
    }
    return f;
}

bool XiphTags::edit(TagLib::Ogg::XiphComment& comment, const ForeignTagEdit& edit)
{
    const ForeignTagFields now = read(&comment, 0);
    bool changed = false;
    const auto apply = [&](const std::optional<QString>& value, const QString& current, const char* key) {
        if (!value || *value == current) return;
        if (value->isEmpty())
            comment.removeFields(key);
        else
            comment.addField(key, tl(*value), true);
        changed = true;
    };
    apply(edit.title, now.title, kTitle);
    apply(edit.artist, now.artist, kArtist);
    apply(edit.album, now.album, kAlbum);
    apply(edit.year, now.year, kDate);
    apply(edit.track, now.track, kTrack);
    apply(edit.genre, now.genre, kGenre);
    apply(edit.comment, now.comment, commentKey(comment));
    return changed;
}

} // namespace vantrel
