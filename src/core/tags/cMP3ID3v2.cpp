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

// The largest decompressed frame content read into a field.
constexpr int kMaxContent = 16 << 20;

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
    if (c.isEmpty()) return {};
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
            if (!v.isEmpty()) values << v;
        }
        text = values.join(QLatin1Char('/'));
    } else if (id == QLatin1String("COMM") || id == QLatin1String("USLT")) {
        // Language, description, text. Without a terminator after the
        // description the frame is malformed; its rest is taken as the text.
        const QList<QByteArray> parts = splitStrings(enc, rest.mid(3), 2);
        if (!parts.isEmpty()) text = decodeString(enc, parts.size() == 2 ? parts[1] : parts[0]);
    } else if (id == QLatin1String("TXXX")) {
        const QList<QByteArray> parts = splitStrings(enc, rest, 2);
        if (parts.size() == 2) text = decodeString(enc, parts[1]);
    } else if (id == QLatin1String("WXXX")) {
        const QList<QByteArray> parts = splitStrings(enc, rest, 2);
        if (parts.size() == 2) text = latin1UpToZero(parts[1]);
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
    OpenFile file(path, OpenFile::Mode::Read);
    setMP3File(path, file);
}

void cMP3ID3v2::setMP3File(const QString& path, OpenFile& file)
{
    reset();
    path_ = path;
    if (!file.isOpen()) throw TagFileError::fromErrno(file.error(), QStringLiteral("cMP3ID3v2"));
    const FileSource src(file);

    TagRead tag = readTag(src);
    warnings_ = tag.warnings;
    if (tag.offset < 0) return;
    unread_ = tag.unread;
    if (!unread_.isEmpty())
        warnings_ << QStringLiteral("the ID3v2 tag could not be read completely (%1)").arg(unread_);
    tagOffset_ = tag.offset;
    tagArea_ = tag.area;
    version_ = tag.version;

    bool haveTyer = false;
    QString tdrcYear;
    QList<Frame23> read; // what the 2.3 equivalents are made from
    read.reserve(tag.frames.size());
    for (const ReadFrame& rf : tag.frames) {
        const QString& id = rf.frame.id;
        if (!isValidFrameId(id)) carried_.insert(id); // a non-standard id, written back as it came
        const Occurrence* occ = storeReadFrame(rf.frame, rf.fillsField);
        read << rf.frame;
        if (!occ) continue; // not shown for a 2.2 tag, or encrypted
        if (id == QLatin1String("TYER")) haveTyer = true;
        if (id == QLatin1String("TDRC")) tdrcYear = occ->text.left(4);
    }
    if (!haveTyer && !tdrcYear.isEmpty()) year_ = tdrcYear;
    // The tag is written as 2.3: give its readers the facts of the 2.4-only
    // frames too (also those a 2.3 tag holds, as older versions of this
    // program wrote them).
    if (version_ >= 3) {
        for (const Frame23& f : v23Equivalents(read))
            storeReadFrame(f, true);
    }
}

const cMP3ID3v2::Occurrence* cMP3ID3v2::storeReadFrame(const Frame23& frame, bool fillsField)
{
    const QString& id = frame.id;
    Occurrence occ;
    occ.body = frame.body;
    occ.flags = frame.flags;
    const auto content = content23(frame, kMaxContent);
    if (content) occ.text = frameText(id, *content);
    if (!frames_.contains(id)) order_.append(id);
    frames_[id].append(occ);
    if (!fillsField || !content) return nullptr;
    applyField(id, occ.text);
    return &frames_[id].back();
}

// The one table of frame ids and the text fields they fill and write. TCON
// fills the genre number and name (applyGenreText); frames not listed stay
// in the store only.
const QList<cMP3ID3v2::FieldFrame>& cMP3ID3v2::fieldFrames()
{
    static const QList<FieldFrame> table = {
        {"WOAR", &cMP3ID3v2::artistUrl_}, {"WCOM", &cMP3ID3v2::buyUrl_},
        {"WOAF", &cMP3ID3v2::audioUrl_},  {"TCOP", &cMP3ID3v2::copyright_},
        {"TCOM", &cMP3ID3v2::composer_},  {"TOPE", &cMP3ID3v2::originalArtist_},
        {"WXXX", &cMP3ID3v2::linkTo_},    {"PCNT", &cMP3ID3v2::playCounter_},
        {"TENC", &cMP3ID3v2::encodedBy_}, {"TIT2", &cMP3ID3v2::title_},
        {"TPE1", &cMP3ID3v2::artist_},    {"TALB", &cMP3ID3v2::album_},
        {"TYER", &cMP3ID3v2::year_},      {"COMM", &cMP3ID3v2::comment_},
        {"USLT", &cMP3ID3v2::lyrics_},    {"TRCK", &cMP3ID3v2::track_},
    };
    return table;
}

QString cMP3ID3v2::*cMP3ID3v2::fieldOf(const QString& id)
{
    for (const FieldFrame& f : fieldFrames()) {
        if (id == QLatin1String(f.id)) return f.field;
    }
    return id == QLatin1String("TCON") ? &cMP3ID3v2::otherGenreName_ : nullptr;
}

void cMP3ID3v2::applyField(const QString& id, const QString& text)
{
    QString cMP3ID3v2::*field = fieldOf(id);
    if (field == nullptr) return;
    if (id == QLatin1String("TCON")) {
        applyGenreText(text);
    } else if (id == QLatin1String("COMM") && !comment_.isEmpty()) {
        comment_ += QChar(0) + QStringLiteral("\r\n") + text;
    } else {
        this->*field = text; // a later occurrence replaces an earlier one
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
    if (it == frames_.constEnd() || index < 1 || index > it->size()) return nullptr;
    return &(*it)[index - 1];
}

QString cMP3ID3v2::tagText(const QString& frame, int index) const
{
    const Occurrence* o = occurrence(frame, index);
    return o ? o->text : QString();
}

void cMP3ID3v2::AddTag(const QString& sFrame, const QString& sTag)
{
    if (!frames_.contains(sFrame)) order_.append(sFrame);
    frames_[sFrame].append(makeOccurrence(sFrame, sTag));
}

bool cMP3ID3v2::RemoveFrame(const QString& frame)
{
    if (!frames_.contains(frame)) return false;
    frames_.remove(frame);
    order_.removeAll(frame);
    return true;
}

bool cMP3ID3v2::RemoveTag(const QString& sFrame, int tagIndex)
{
    const auto it = frames_.find(sFrame);
    if (it == frames_.end() || tagIndex < 1 || tagIndex > it->size()) return false;
    it->removeAt(tagIndex - 1);
    if (it->isEmpty()) RemoveFrame(sFrame);
    return true;
}

void cMP3ID3v2::replaceFrame(const QString& id, const QString& sTag)
{
    RemoveFrame(id);
    AddTag(id, sTag);
}

void cMP3ID3v2::replaceOccurrence(const QString& id, int index, const Occurrence& occ)
{
    frames_[id][index] = occ;
    order_.removeAll(id);
    order_.append(id);
}

namespace {

// Index of the occurrence of COMM the Comment field writes: a comment
// without description, in English or with no real language (as this program
// and most writers make it) before one in another language; -1 for none.
int mainComment(const QList<cMP3ID3v2::Occurrence>& list)
{
    static const QList<QByteArray> plain = {"eng", QByteArray("\0nt", 3), "XXX", "xxx",
                                            "und", QByteArray(3, '\0'),   "   "};
    int first = -1;
    for (int i = 0; i < list.size(); ++i) {
        const auto c = content23(Frame23{QStringLiteral("COMM"), list[i].flags, list[i].body}, kMaxContent);
        if (!c || c->size() < 4) continue;
        const auto enc = static_cast<unsigned char>(c->at(0));
        if (!decodeString(enc, splitStrings(enc, c->mid(4), 2).value(0)).isEmpty()) continue;
        if (plain.contains(c->mid(1, 3))) return i;
        if (first < 0) first = i;
    }
    return first;
}

} // namespace

void cMP3ID3v2::setField(QString cMP3ID3v2::*field, const QString& v)
{
    QString id;
    for (const FieldFrame& f : fieldFrames()) {
        if (f.field == field) id = QString::fromLatin1(f.id);
    }
    // Written back as it was read: the frame stays as it is, byte for byte.
    if (this->*field == v && frames_.contains(id)) return;
    this->*field = v;
    QList<Occurrence>* list = frames_.contains(id) ? &frames_[id] : nullptr;
    auto contentOf = [&](int i) {
        return content23(Frame23{id, (*list)[i].flags, (*list)[i].body}, kMaxContent).value_or(QByteArray());
    };
    if (id == QLatin1String("COMM")) {
        // Only the comment without description; the others are the user's or other programs'.
        const int i = list ? mainComment(*list) : -1;
        if (i < 0) {
            AddTag(id, QChar(0) + QStringLiteral("nt") + QChar(0) + v); // language field 00 "nt"
            order_.removeAll(id);
            order_.append(id);
        } else if ((*list)[i].text != v) {
            const QString language = QString::fromLatin1(contentOf(i).mid(1, 3));
            replaceOccurrence(id, i, makeOccurrence(id, language + QChar(0) + v));
        }
    } else if (id == QLatin1String("WXXX") && list && !contentOf(int(list->size()) - 1).isEmpty()) {
        // The field reads the last occurrence; its description stays as it was.
        const int i = int(list->size()) - 1;
        const QByteArray c = contentOf(i);
        const auto enc = static_cast<unsigned char>(c[0]);
        Occurrence occ;
        occ.body = c.left(1 + terminatedLength(enc, c.constData() + 1, int(c.size()) - 1)) + urlBytes(v);
        occ.text = v;
        replaceOccurrence(id, i, occ);
    } else if (id == QLatin1String("WXXX")) {
        replaceFrame(id, QChar(0) + v); // empty description
    } else if (id == QLatin1String("USLT") && list) {
        // The last occurrence, keeping its language and description.
        const int i = int(list->size()) - 1;
        const QByteArray c = contentOf(i);
        const unsigned char enc = c.isEmpty() ? 0 : static_cast<unsigned char>(c[0]);
        const QString description = decodeString(enc, splitStrings(enc, c.mid(4), 2).value(0));
        const QString language = c.size() >= 4 ? QString::fromLatin1(c.mid(1, 3)) : QStringLiteral("XXX");
        replaceOccurrence(id, i, makeOccurrence(id, language + description + QChar(0) + v));
    } else if (id == QLatin1String("USLT")) {
        replaceFrame(id, QStringLiteral("XXX") + QChar(0) + v); // language unknown, empty description
    } else {
        replaceFrame(id, v);
    }
    // TYER and TDRC must never disagree.
    if (id == QLatin1String("TYER")) RemoveFrame(QStringLiteral("TDRC"));
}

// The setters: store the value, then replace the frame of the field.
void cMP3ID3v2::setArtistURL(const QString& v)
{
    setField(&cMP3ID3v2::artistUrl_, v);
}
void cMP3ID3v2::setBuyURL(const QString& v)
{
    setField(&cMP3ID3v2::buyUrl_, v);
}
void cMP3ID3v2::setAudioURL(const QString& v)
{
    setField(&cMP3ID3v2::audioUrl_, v);
}
void cMP3ID3v2::setCopyright(const QString& v)
{
    setField(&cMP3ID3v2::copyright_, v);
}
void cMP3ID3v2::setComposer(const QString& v)
{
    setField(&cMP3ID3v2::composer_, v);
}
void cMP3ID3v2::setOriginalArtist(const QString& v)
{
    setField(&cMP3ID3v2::originalArtist_, v);
}
void cMP3ID3v2::setLinkTo(const QString& v)
{
    setField(&cMP3ID3v2::linkTo_, v);
}
void cMP3ID3v2::setPlayCounter(const QString& v)
{
    setField(&cMP3ID3v2::playCounter_, v);
}
void cMP3ID3v2::setEncodedBy(const QString& v)
{
    setField(&cMP3ID3v2::encodedBy_, v);
}
void cMP3ID3v2::setTitle(const QString& v)
{
    setField(&cMP3ID3v2::title_, v);
}
void cMP3ID3v2::setArtist(const QString& v)
{
    setField(&cMP3ID3v2::artist_, v);
}
void cMP3ID3v2::setAlbum(const QString& v)
{
    setField(&cMP3ID3v2::album_, v);
}
void cMP3ID3v2::setYear(const QString& v)
{
    setField(&cMP3ID3v2::year_, v);
}
void cMP3ID3v2::setComment(const QString& v)
{
    setField(&cMP3ID3v2::comment_, v);
}
void cMP3ID3v2::setLyrics(const QString& v)
{
    setField(&cMP3ID3v2::lyrics_, v);
}
void cMP3ID3v2::setTrack(const QString& v)
{
    setField(&cMP3ID3v2::track_, v);
}

void cMP3ID3v2::setGenre(int v)
{
    const int n = (v >= 0 && v <= 255) ? v : NoGenre;
    if (n == genre_ && frames_.contains(QStringLiteral("TCON"))) return;
    genre_ = n;
    replaceFrame(QStringLiteral("TCON"), QStringLiteral("(%1)").arg(genre_) + otherGenreName_);
}

void cMP3ID3v2::setOtherGenreName(const QString& v)
{
    if (v == otherGenreName_ && frames_.contains(QStringLiteral("TCON"))) return;
    otherGenreName_ = v;
    replaceFrame(QStringLiteral("TCON"), QStringLiteral("(%1)").arg(genre_) + v);
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
    if (const AudioFormat format = detectAudioFormat(path_); !takesId3(format, path_)) {
        lastError_ = notMp3Reason(format);
        return false;
    }
    QByteArray frames;
    for (const QString& id : std::as_const(order_)) {
        if (id.contains(QLatin1String("ID3"))) continue;
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
