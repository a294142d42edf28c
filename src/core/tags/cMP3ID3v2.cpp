#include "tags/cMP3ID3v2.h"

#include "tags/AudioFormat.h"
#include "tags/Genres.h"
#include "tags/Id3v2Format.h"
#include "tags/Id3v2Reader.h"
#include "tags/Id3v2Writer.h"
#include "tags/TagError.h"

#include <QUrl>

namespace vantrel {

using namespace id3v2;

namespace {

bool isUrlFrame(const QString& id)
{
    return id.startsWith(QLatin1Char('W')) && id != QLatin1String("WXXX");
}

bool isTextFrame(const QString& id)
{
    return id.startsWith(QLatin1Char('T')) && id != QLatin1String("TXXX");
}

// URLs are Latin-1 by the format; anything beyond it is percent-encoded.
QByteArray urlBytes(const QString& url)
{
    QByteArray out;
    for (QChar c : url) {
        if (c.unicode() <= 0xFF)
            out.append(static_cast<char>(c.unicode()));
        else
            out.append(QUrl::toPercentEncoding(QString(c)));
    }
    return out;
}

QString latin1UpToZero(const QByteArray& b)
{
    const qsizetype z = b.indexOf('\0');
    return QString::fromLatin1(z < 0 ? b : b.left(z));
}

QByteArray counterBytes(quint64 n)
{
    QByteArray out;
    const int len = n > 0xFFFFFFFFULL ? 8 : 4;
    for (int i = len - 1; i >= 0; --i)
        out.append(static_cast<char>((n >> (8 * i)) & 0xFF));
    return out;
}

// The text a field property sees in a frame's content.
QString frameText(const QString& id, const QByteArray& c)
{
    if (c.isEmpty())
        return {};
    if (id == QLatin1String("PCNT")) {
        const int n = int(std::min<qsizetype>(c.size(), 8));
        return QString::number(plain64(c.constData() + c.size() - n, n));
    }
    if (isUrlFrame(id)) {
        // Skip the zero bytes an older version of this program put in front.
        qsizetype i = 0;
        while (i < c.size() && c[i] == '\0')
            ++i;
        return latin1UpToZero(c.mid(i));
    }
    const auto enc = static_cast<unsigned char>(c[0]);
    const QByteArray rest = c.mid(1);
    QString text;
    if (isTextFrame(id)) {
        QStringList values;
        for (const QByteArray& part : splitStrings(enc, rest)) {
            const QString v = decodeString(enc, part);
            if (!v.isEmpty())
                values << v;
        }
        text = values.join(QLatin1Char('/'));
    } else if (id == QLatin1String("COMM") || id == QLatin1String("USLT")) {
        // Language, description, text. Without a terminator after the
        // description the frame is malformed; its rest is taken as the text.
        const QList<QByteArray> parts = splitStrings(enc, rest.mid(3), 2);
        if (!parts.isEmpty())
            text = decodeString(enc, parts.size() == 2 ? parts[1] : parts[0]);
    } else if (id == QLatin1String("TXXX")) {
        const QList<QByteArray> parts = splitStrings(enc, rest, 2);
        if (parts.size() == 2)
            text = decodeString(enc, parts[1]);
    } else if (id == QLatin1String("WXXX")) {
        const QList<QByteArray> parts = splitStrings(enc, rest, 2);
        if (parts.size() == 2)
            text = latin1UpToZero(parts[1]);
    }
    text.remove(QChar(0));
    return text;
}

// The occurrence AddTag makes of (id, text); see the header for the layouts.
cMP3ID3v2::Occurrence makeOccurrence(const QString& id, const QString& sTag)
{
    cMP3ID3v2::Occurrence occ;
    QByteArray& body = occ.body;
    auto splitAtZero = [](const QString& s) {
        const qsizetype z = s.indexOf(QChar(0));
        return z < 0 ? std::pair<QString, QString>{QString(), s} : std::pair{s.left(z), s.mid(z + 1)};
    };
    if (id == QLatin1String("COMM") || id == QLatin1String("USLT")) {
        QByteArray lang = sTag.left(3).toLatin1();
        lang.append(3 - lang.size(), ' ');
        const auto [desc, text] = splitAtZero(sTag.mid(3));
        const unsigned char enc = chooseEncoding({desc, text});
        body.append(char(enc));
        body.append(lang);
        body.append(encodeString(enc, desc, true));
        body.append(encodeString(enc, text, false));
        occ.text = text;
    } else if (id == QLatin1String("TXXX")) {
        const auto [desc, value] = splitAtZero(sTag);
        const unsigned char enc = chooseEncoding({desc, value});
        body.append(char(enc));
        body.append(encodeString(enc, desc, true));
        body.append(encodeString(enc, value, false));
        occ.text = value;
    } else if (id == QLatin1String("WXXX")) {
        const auto [desc, url] = splitAtZero(sTag);
        const unsigned char enc = chooseEncoding({desc});
        body.append(char(enc));
        body.append(encodeString(enc, desc, true));
        body.append(urlBytes(url));
        occ.text = url;
    } else if (isUrlFrame(id)) {
        body = urlBytes(sTag);
        occ.text = sTag;
    } else if (id == QLatin1String("PCNT")) {
        bool ok = false;
        const quint64 n = sTag.trimmed().toULongLong(&ok);
        body = counterBytes(ok ? n : 0);
        occ.text = QString::number(ok ? n : 0);
    } else {
        // Text frames, and whatever else is added by hand: encoding and text.
        const unsigned char enc = chooseEncoding({sTag});
        body.append(char(enc));
        body.append(encodeString(enc, sTag, false));
        occ.text = sTag;
    }
    return occ;
}

} // namespace

cMP3ID3v2::cMP3ID3v2()
{
    reset();
}

void cMP3ID3v2::reset()
{
    tagOffset_ = -1;
    tagArea_ = 0;
    version_ = 0;
    order_.clear();
    frames_.clear();
    for (QString* f : {&artistUrl_, &buyUrl_, &audioUrl_, &copyright_, &composer_, &originalArtist_, &linkTo_,
                       &playCounter_, &encodedBy_, &title_, &artist_, &album_, &year_, &comment_, &lyrics_,
                       &otherGenreName_, &track_})
        f->clear();
    genre_ = NoGenre;
    unread_.clear();
    carried_.clear();
    warnings_.clear();
    lastError_.clear();
}

void cMP3ID3v2::setMP3File(const QString& path)
{
    reset();
    path_ = path;
    FileSource src(path);
    if (!src.isOpen())
        throw TagFileError::fromErrno(src.error(), QStringLiteral("cMP3ID3v2"));

    TagRead tag = readTag(src);
    warnings_ = tag.warnings;
    if (tag.offset < 0)
        return;
    unread_ = tag.unread;
    if (!unread_.isEmpty())
        warnings_ << QStringLiteral("the ID3v2 tag could not be read completely (%1)").arg(unread_);
    tagOffset_ = tag.offset;
    tagArea_ = tag.area;
    version_ = tag.version;

    bool haveTyer = false;
    QString tdrcYear;
    for (const ReadFrame& rf : tag.frames) {
        const QString& id = rf.frame.id;
        if (!isValidFrameId(id))
            carried_.insert(id); // a non-standard id, written back as it came
        Occurrence occ;
        occ.body = rf.frame.body;
        occ.flags = rf.frame.flags;
        const auto content = content23(rf.frame, 1 << 20);
        if (content)
            occ.text = frameText(id, *content);
        if (!frames_.contains(id))
            order_.append(id);
        frames_[id].append(occ);
        if (!rf.fillsField || !content)
            continue; // too big, not shown for a 2.2 tag, or encrypted
        if (id == QLatin1String("TYER"))
            haveTyer = true;
        if (id == QLatin1String("TDRC"))
            tdrcYear = occ.text.left(4);
        applyField(id, occ.text);
    }
    if (!haveTyer && !tdrcYear.isEmpty())
        year_ = tdrcYear;
}

void cMP3ID3v2::applyField(const QString& id, const QString& text)
{
    static const QHash<QString, QString cMP3ID3v2::*> simple = {
        {"PCNT", &cMP3ID3v2::playCounter_}, {"TRCK", &cMP3ID3v2::track_},
        {"TENC", &cMP3ID3v2::encodedBy_},   {"WXXX", &cMP3ID3v2::linkTo_},
        {"TCOP", &cMP3ID3v2::copyright_},   {"TOPE", &cMP3ID3v2::originalArtist_},
        {"TCOM", &cMP3ID3v2::composer_},    {"TYER", &cMP3ID3v2::year_},
        {"TIT2", &cMP3ID3v2::title_},       {"TPE1", &cMP3ID3v2::artist_},
        {"TALB", &cMP3ID3v2::album_},       {"WOAF", &cMP3ID3v2::audioUrl_},
        {"WOAR", &cMP3ID3v2::artistUrl_},   {"WCOM", &cMP3ID3v2::buyUrl_},
        {"USLT", &cMP3ID3v2::lyrics_},
    };
    if (const auto it = simple.constFind(id); it != simple.constEnd()) {
        this->*(it.value()) = text;
    } else if (id == QLatin1String("COMM")) {
        if (comment_.isEmpty())
            comment_ = text;
        else
            comment_ += QChar(0) + QStringLiteral("\r\n") + text;
    } else if (id == QLatin1String("TCON")) {
        applyGenreText(text);
    }
}

void cMP3ID3v2::applyGenreText(const QString& text)
{
    const qsizetype open = text.indexOf(QLatin1Char('('));
    const qsizetype close = text.indexOf(QLatin1Char(')'));
    if (open >= 0 && close > open) {
        bool ok = false;
        const int n = text.mid(open + 1, close - open - 1).toInt(&ok);
        if (ok && n >= 0 && n <= 255) {
            genre_ = n;
            const QString after = text.mid(close + 1);
            otherGenreName_ = after.size() <= 1 ? GenreName(n) : after;
            return;
        }
    }
    // A bare number is how 2.4 gives a genre by number.
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok && n >= 0 && n <= 255 && !text.isEmpty() && text.size() <= 3 && text.front().isDigit()) {
        genre_ = n;
        otherGenreName_ = GenreName(n);
        return;
    }
    otherGenreName_ = text;
}

QString cMP3ID3v2::Frame(int index) const
{
    return index >= 1 && index <= order_.size() ? order_[index - 1] : QString();
}

int cMP3ID3v2::TagsInFrame(const QString& frame) const
{
    const auto it = frames_.constFind(frame);
    return it == frames_.constEnd() ? 0 : int(it->size());
}

const cMP3ID3v2::Occurrence* cMP3ID3v2::occurrence(const QString& frame, int index) const
{
    const auto it = frames_.constFind(frame);
    if (it == frames_.constEnd() || index < 1 || index > it->size())
        return nullptr;
    return &(*it)[index - 1];
}

QString cMP3ID3v2::tagText(const QString& frame, int index) const
{
    const Occurrence* o = occurrence(frame, index);
    return o ? o->text : QString();
}

void cMP3ID3v2::AddTag(const QString& sFrame, const QString& sTag)
{
    if (!frames_.contains(sFrame))
        order_.append(sFrame);
    frames_[sFrame].append(makeOccurrence(sFrame, sTag));
}

bool cMP3ID3v2::RemoveFrame(const QString& frame)
{
    if (!frames_.contains(frame))
        return false;
    frames_.remove(frame);
    order_.removeAll(frame);
    return true;
}

bool cMP3ID3v2::RemoveTag(const QString& sFrame, int tagIndex)
{
    const auto it = frames_.find(sFrame);
    if (it == frames_.end() || tagIndex < 1 || tagIndex > it->size())
        return false;
    it->removeAt(tagIndex - 1);
    if (it->isEmpty())
        RemoveFrame(sFrame);
    return true;
}

void cMP3ID3v2::replaceFrame(const QString& id, const QString& sTag)
{
    RemoveFrame(id);
    AddTag(id, sTag);
}

// The setters: store the value, then replace the frame of the field.
void cMP3ID3v2::setArtistURL(const QString& v)
{
    artistUrl_ = v;
    replaceFrame(QStringLiteral("WOAR"), v);
}

void cMP3ID3v2::setBuyURL(const QString& v)
{
    buyUrl_ = v;
    replaceFrame(QStringLiteral("WCOM"), v);
}

void cMP3ID3v2::setAudioURL(const QString& v)
{
    audioUrl_ = v;
    replaceFrame(QStringLiteral("WOAF"), v);
}

void cMP3ID3v2::setCopyright(const QString& v)
{
    copyright_ = v;
    replaceFrame(QStringLiteral("TCOP"), v);
}

void cMP3ID3v2::setComposer(const QString& v)
{
    composer_ = v;
    replaceFrame(QStringLiteral("TCOM"), v);
}

void cMP3ID3v2::setOriginalArtist(const QString& v)
{
    originalArtist_ = v;
    replaceFrame(QStringLiteral("TOPE"), v);
}

void cMP3ID3v2::setLinkTo(const QString& v)
{
    linkTo_ = v;
    replaceFrame(QStringLiteral("WXXX"), QChar(0) + v); // empty description
}

void cMP3ID3v2::setPlayCounter(const QString& v)
{
    playCounter_ = v;
    replaceFrame(QStringLiteral("PCNT"), v);
}

void cMP3ID3v2::setEncodedBy(const QString& v)
{
    encodedBy_ = v;
    replaceFrame(QStringLiteral("TENC"), v);
}

void cMP3ID3v2::setTitle(const QString& v)
{
    title_ = v;
    replaceFrame(QStringLiteral("TIT2"), v);
}

void cMP3ID3v2::setArtist(const QString& v)
{
    artist_ = v;
    replaceFrame(QStringLiteral("TPE1"), v);
}

void cMP3ID3v2::setAlbum(const QString& v)
{
    album_ = v;
    replaceFrame(QStringLiteral("TALB"), v);
}

void cMP3ID3v2::setYear(const QString& v)
{
    year_ = v;
    replaceFrame(QStringLiteral("TYER"), v);
    RemoveFrame(QStringLiteral("TDRC"));
}

void cMP3ID3v2::setComment(const QString& v)
{
    comment_ = v;
    // Language field 00 "nt", empty description, then the text.
    replaceFrame(QStringLiteral("COMM"), QChar(0) + QStringLiteral("nt") + QChar(0) + v);
}

void cMP3ID3v2::setLyrics(const QString& v)
{
    lyrics_ = v;
    // Language unknown ("XXX"), empty description, then the lyrics.
    replaceFrame(QStringLiteral("USLT"), QStringLiteral("XXX") + QChar(0) + v);
}

void cMP3ID3v2::setGenre(int v)
{
    genre_ = (v >= 0 && v <= 255) ? v : NoGenre;
    replaceFrame(QStringLiteral("TCON"), QStringLiteral("(%1)").arg(genre_) + otherGenreName_);
}

void cMP3ID3v2::setOtherGenreName(const QString& v)
{
    otherGenreName_ = v;
    replaceFrame(QStringLiteral("TCON"), QStringLiteral("(%1)").arg(genre_) + v);
}

void cMP3ID3v2::setTrack(const QString& v)
{
    track_ = v;
    replaceFrame(QStringLiteral("TRCK"), v);
}

QString cMP3ID3v2::GenreName(int genre)
{
    return vantrel::GenreName(genre);
}

bool cMP3ID3v2::Update()
{
    lastError_.clear();
    if (path_.isEmpty()) {
        lastError_ = QStringLiteral("no file");
        return false;
    }
    if (!unread_.isEmpty()) {
        lastError_ = unreadTagError(unread_);
        return false;
    }
    // The content decides: no ID3 tag goes into another container.
    if (const AudioFormat format = detectAudioFormat(path_); !takesId3(format)) {
        lastError_ = notMp3Reason(format);
        return false;
    }
    QByteArray frames;
    for (const QString& id : std::as_const(order_)) {
        if (id.contains(QLatin1String("ID3")))
            continue;
        if (!isValidFrameId(id) && !carried_.contains(id)) {
            lastError_ = QStringLiteral("invalid frame id \"%1\"").arg(id);
            return false;
        }
        for (const Occurrence& occ : frames_.value(id))
            frames += frameBytes(Frame23{id, occ.flags, occ.body});
    }
    return writeTag(path_, frames, lastError_);
}

} // namespace vantrel
