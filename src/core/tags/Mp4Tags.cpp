#include "tags/Mp4Tags.h"

#include "tags/TagLibText.h"

#include <algorithm>
#include <mp4tag.h>

namespace vantrel {

namespace {

const char* const kTitle = "\251nam";
const char* const kArtist = "\251ART";
const char* const kAlbum = "\251alb";
const char* const kYear = "\251day";
const char* const kTrack = "trkn";
const char* const kGenre = "\251gen";
const char* const kComment = "\251cmt";

QString text(const TagLib::MP4::Tag& tag, const char* key)
{
    if (!tag.contains(key)) return {};
    const TagLib::StringList list = tag.item(key).toStringList();
    return list.isEmpty() ? QString() : qs(list.front());
}

QString trackText(const TagLib::MP4::Tag& tag)
{
    if (!tag.contains(kTrack)) return {};
    const TagLib::MP4::Item::IntPair p = tag.item(kTrack).toIntPair();
    if (p.first <= 0 && p.second <= 0) return {};
    return p.second > 0 ? QStringLiteral("%1/%2").arg(p.first).arg(p.second) : QString::number(p.first);
}

// "N" or "N/TOTAL", numbers from 0 to 65535 (the item keeps 16 bits each).
std::optional<std::pair<int, int>> parseTrack(const QString& value)
{
    const QStringList parts = value.trimmed().split(QLatin1Char('/'));
    if (parts.size() > 2) return std::nullopt;
    int n[2] = {0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const uint v = parts[i].trimmed().toUInt(&ok);
        if (!ok || v > 65535) return std::nullopt;
        n[i] = static_cast<int>(v);
    }
    return std::make_pair(n[0], n[1]);
}

} // namespace

ForeignTagFields Mp4Tags::read(const TagLib::MP4::Tag& tag)
{
    ForeignTagFields f;
    f.title = text(tag, kTitle);
    f.artist = text(tag, kArtist);
    f.album = text(tag, kAlbum);
    f.year = text(tag, kYear);
    f.track = trackText(tag);
    f.genre = text(tag, kGenre);
    f.comment = text(tag, kComment);
    const auto known = {kTitle, kArtist, kAlbum, kYear, kTrack, kGenre, kComment};
    for (const auto& item : tag.itemMap()) {
        const std::string key = item.first.to8Bit(false);
        if (std::none_of(known.begin(), known.end(), [&](const char* k) { return key == k; }))
            f.otherItems << qs(item.first);
    }
    return f;
}

bool Mp4Tags::edit(TagLib::MP4::Tag& tag, const ForeignTagEdit& edit, bool& changed, QString& error)
{
    changed = false;
    std::optional<std::pair<int, int>> track;
    if (edit.track && !edit.track->isEmpty()) {
        track = parseTrack(*edit.track);
        if (!track) {
            error =
                QStringLiteral("an MP4 track must be a number or NUMBER/TOTAL, not '%1'").arg(*edit.track);
            return false;
        }
    }
    const ForeignTagFields now = read(tag);
    const auto apply = [&](const std::optional<QString>& value, const QString& current, const char* key) {
        if (!value || *value == current) return;
        if (value->isEmpty())
            tag.removeItem(key);
        else if (track && key == kTrack)
            tag.setItem(key, TagLib::MP4::Item(track->first, track->second));
        else
            tag.setItem(key, TagLib::StringList(tl(*value)));
        changed = true;
    };
    apply(edit.title, now.title, kTitle);
    apply(edit.artist, now.artist, kArtist);
    apply(edit.album, now.album, kAlbum);
    apply(edit.year, now.year, kYear);
    apply(edit.track, now.track, kTrack);
    apply(edit.genre, now.genre, kGenre);
    apply(edit.comment, now.comment, kComment);
    return true;
}

} // namespace vantrel
