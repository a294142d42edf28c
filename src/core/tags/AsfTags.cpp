#include "tags/AsfTags.h"

#include "tags/TagLibText.h"

#include <algorithm>
#include <asffile.h>
#include <asftag.h>
#include <cstring>
#include <tbytevectorstream.h>

namespace vantrel {

namespace {

// 75B22630-668E-11CF-A6D9-00AA0062CE6C as stored: the header object.
constexpr unsigned char kHeaderGuid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                           0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

const char* const kAlbum = "WM/AlbumTitle";
const char* const kYear = "WM/Year";
const char* const kTrack = "WM/TrackNumber";
const char* const kTrackZeroBased = "WM/Track";
const char* const kGenre = "WM/Genre";
// Some writers repeat title and artist as attributes of these names.
const char* const kTitleCopy = "Title";
const char* const kAuthorCopy = "Author";

// The first value of an attribute as text; numbers in decimal, byte arrays
// and GUIDs (no text of their own) empty.
QString attributeText(const TagLib::ASF::Tag& tag, const char* name)
{
    // attribute() of an absent name would add an empty entry.
    if (!tag.contains(name)) return {};
    const TagLib::ASF::AttributeList list = tag.attribute(name);
    if (list.isEmpty()) return {};
    const TagLib::ASF::Attribute& a = list.front();
    switch (a.type()) {
    case TagLib::ASF::Attribute::UnicodeType:
        return qs(a.toString());
    case TagLib::ASF::Attribute::DWordType:
        return QString::number(a.toUInt());
    case TagLib::ASF::Attribute::QWordType:
        return QString::number(a.toULongLong());
    case TagLib::ASF::Attribute::WordType:
        return QString::number(a.toUShort());
    case TagLib::ASF::Attribute::BoolType:
        return QString::number(a.toBool());
    case TagLib::ASF::Attribute::BytesType:
    case TagLib::ASF::Attribute::GuidType:
        break;
    }
    return {};
}

ForeignTagFields fieldsOf(const TagLib::ASF::Tag& tag)
{
    ForeignTagFields f;
    f.title = tag.title().isEmpty() ? attributeText(tag, kTitleCopy) : qs(tag.title());
    f.artist = tag.artist().isEmpty() ? attributeText(tag, kAuthorCopy) : qs(tag.artist());
    f.comment = qs(tag.comment());
    f.album = attributeText(tag, kAlbum);
    f.year = attributeText(tag, kYear);
    f.genre = attributeText(tag, kGenre);
    f.track = attributeText(tag, kTrack);
    if (f.track.isEmpty() && tag.contains(kTrackZeroBased)) {
        // Older writers count from 0 here.
        bool number = false;
        const uint t = attributeText(tag, kTrackZeroBased).toUInt(&number);
        if (number) f.track = QString::number(t + 1);
    }
    for (const auto& item : tag.attributeListMap()) {
        const QString name = qs(item.first);
        const auto known = {kAlbum, kYear, kTrack, kGenre};
        if (std::none_of(known.begin(), known.end(), [&](const char* k) { return name == QLatin1String(k); }))
            f.otherItems << name;
    }
    return f;
}

// Sets an attribute to one text value; an empty text removes it. A number
// that was stored as a number stays one.
void setAttributeText(TagLib::ASF::Tag& tag, const char* name, const QString& value)
{
    if (value.isEmpty()) {
        tag.removeItem(name);
        return;
    }
    bool number = false;
    const uint n = value.toUInt(&number);
    if (number && tag.contains(name) && !tag.attribute(name).isEmpty() &&
        tag.attribute(name).front().type() == TagLib::ASF::Attribute::DWordType) {
        tag.setAttribute(name, TagLib::ASF::Attribute(n));
        return;
    }
    tag.setAttribute(name, TagLib::ASF::Attribute(tl(value)));
}

} // namespace

qint64 AsfTags::headerSize(const QByteArray& first24, qint64 fileSize)
{
    if (first24.size() < 24 || std::memcmp(first24.constData(), kHeaderGuid, 16) != 0) return 0;
    quint64 size = 0;
    for (int i = 7; i >= 0; --i)
        size = (size << 8) | static_cast<unsigned char>(first24.at(16 + i));
    // The header object's own fields take 30 bytes.
    if (size < 30 || size > static_cast<quint64>(fileSize)) return 0;
    return static_cast<qint64>(size);
}

bool AsfTags::read(const QByteArray& header, ForeignTagFields& fields, QString& error)
{
    TagLib::ByteVectorStream stream(bytesOf(header));
    TagLib::ASF::File file(&stream, false);
    if (!file.isValid() || !file.tag()) {
        error = QStringLiteral("the ASF header could not be read");
        return false;
    }
    fields = fieldsOf(*file.tag());
    return true;
}

bool AsfTags::edit(const QByteArray& header, const ForeignTagEdit& edit, QByteArray& newHeader,
                   QString& error)
{
    TagLib::ByteVectorStream stream(bytesOf(header));
    TagLib::ASF::File file(&stream, false);
    TagLib::ASF::Tag* tag = file.tag();
    if (!file.isValid() || !tag) {
        error = QStringLiteral("the ASF header could not be read");
        return false;
    }
    const ForeignTagFields now = fieldsOf(*tag);
    bool changed = false;
    auto apply = [&](const std::optional<QString>& value, const QString& current, auto set) {
        if (value && *value != current) {
            set(*value);
            changed = true;
        }
    };
    // A repeated title or artist is kept equal to the real one, so that no
    // reader finds the old value there.
    apply(edit.title, now.title, [&](const QString& v) {
        tag->setTitle(tl(v));
        if (tag->contains(kTitleCopy)) setAttributeText(*tag, kTitleCopy, v);
    });
    apply(edit.artist, now.artist, [&](const QString& v) {
        tag->setArtist(tl(v));
        if (tag->contains(kAuthorCopy)) setAttributeText(*tag, kAuthorCopy, v);
    });
    apply(edit.comment, now.comment, [&](const QString& v) { tag->setComment(tl(v)); });
    apply(edit.album, now.album, [&](const QString& v) { setAttributeText(*tag, kAlbum, v); });
    apply(edit.year, now.year, [&](const QString& v) { setAttributeText(*tag, kYear, v); });
    apply(edit.genre, now.genre, [&](const QString& v) { setAttributeText(*tag, kGenre, v); });
    apply(edit.track, now.track, [&](const QString& v) {
        setAttributeText(*tag, kTrack, v);
        // The 0-based form would otherwise still say the old number.
        tag->removeItem(kTrackZeroBased);
    });
    if (!changed) {
        newHeader = header;
        return true;
    }
    if (!file.save()) {
        error = QStringLiteral("the ASF header could not be written");
        return false;
    }
    const TagLib::ByteVector* out = stream.data();
    newHeader = QByteArray(out->data(), static_cast<qsizetype>(out->size()));
    return true;
}

} // namespace vantrel
