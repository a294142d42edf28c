#include "tags/cMP3ID3v1.h"

#include "platform/OpenFile.h"
#include "platform/Prompter.h"
#include "tags/AudioFormat.h"
#include "tags/Genres.h"
#include "tags/TagError.h"
#include "tags/Windows1252.h"

namespace vantrel {

namespace {

constexpr qint64 kRecordSize = 128;

// A text field as read: every zero byte dropped wherever it stands, then the
// spaces at both ends removed (spaces only, not other white space).
QString cleanField(const char* bytes, int width)
{
    char raw[30]; // the widest field
    int e = 0;
    for (int i = 0; i < width && i < int(sizeof raw); ++i) {
        if (bytes[i] != '\0') raw[e++] = bytes[i];
    }
    int b = 0;
    while (b < e && raw[b] == ' ')
        ++b;
    while (e > b && raw[e - 1] == ' ')
        --e;
    return cp1252::decode(QByteArrayView(raw + b, e - b));
}

// A text field as written: cut to the width or padded with spaces.
QByteArray fixedField(const QString& text, int width)
{
    QByteArray out = cp1252::encode(text).left(width);
    out.append(width - out.size(), ' ');
    return out;
}

} // namespace

void cMP3ID3v1::reset()
{
    hasTag_ = false;
    isV11_ = false;
    title_.clear();
    artist_.clear();
    album_.clear();
    year_.clear();
    comment_.clear();
    track_ = 0;
    genre_ = 255;
}

QString cMP3ID3v1::GenreName(quint8 genre)
{
    return vantrel::GenreName(genre);
}

void cMP3ID3v1::setMP3File(const QString& path)
{
    OpenFile file(path, OpenFile::Mode::Read);
    setMP3File(path, file);
}

void cMP3ID3v1::setMP3File(const QString& path, OpenFile& file)
{
    mp3File_ = path;
    reset();
    if (!file.isOpen()) throw TagFileError::fromErrno(file.error(), QStringLiteral("cMP3ID3v1"));
    const qint64 length = file.size();
    if (length <= kRecordSize) return;
    char r[kRecordSize];
    if (!file.readAt(length - kRecordSize, r, kRecordSize) || r[0] != 'T' || r[1] != 'A' || r[2] != 'G')
        return;
    hasTag_ = true;
    title_ = cleanField(r + 3, 30);
    artist_ = cleanField(r + 33, 30);
    album_ = cleanField(r + 63, 30);
    year_ = cleanField(r + 93, 4);
    // A record without the zero byte before the track is ID3v1.0: its last
    // two comment bytes are text, not a track number.
    isV11_ = r[125] == '\0';
    comment_ = cleanField(r + 97, isV11_ ? 28 : 30);
    track_ = isV11_ ? static_cast<quint8>(r[126]) : 0;
    genre_ = static_cast<quint8>(r[127]);
}

bool cMP3ID3v1::Update()
{
    lastError_.clear();
    OpenFile file;
    auto failed = [&](const QString& why) {
        lastError_ = why;
        return false;
    };
    if (!file.open(mp3File_, OpenFile::Mode::ReadWrite)) return failed(file.errorText());
    // The content decides: no ID3 record goes into another container.
    if (const AudioFormat format = detectAudioFormat(file); !takesId3(format, mp3File_))
        return failed(notMp3Reason(format));
    const qint64 length = file.size();
    if (length == 0) {
        file.close();
        lastError_ = QStringLiteral("the file is empty");
        if (prompter_) {
            prompter_->tell(Question::TagNotWritten,
                            mp3File_ +
                                QStringLiteral(" is not a valid MP3 file. The file might be damaged or "
                                               "corrupt. ID3-Tag cannot be saved."),
                            QStringLiteral("Vantrel"), Icon::Critical);
        }
        return false;
    }
    if (length <= kRecordSize) return failed(QStringLiteral("the file is too short for an ID3v1 tag"));

    char marker[3];
    if (!file.readAt(length - kRecordSize, marker, 3)) return failed(file.errorText());
    const bool inPlace = marker[0] == 'T' && marker[1] == 'A' && marker[2] == 'G';

    QByteArray record = "TAG";
    record += fixedField(title_, 30);
    record += fixedField(artist_, 30);
    record += fixedField(album_, 30);
    record += fixedField(year_, 4);
    // An ID3v1.0 record keeps its 30-character comment unless a track number
    // is to be stored, which needs the 1.1 layout.
    if (hasTag_ && !isV11_ && track_ == 0) {
        record += fixedField(comment_, 30);
    } else {
        record += fixedField(comment_, 28);
        record += '\0';
        record += static_cast<char>(track_);
    }
    record += static_cast<char>(genre_);

    if (inPlace) {
        if (!file.writeAt(length - kRecordSize + 3, record.constData() + 3, kRecordSize - 3))
            return failed(file.errorText());
        return true;
    }
    if (file.writeAt(length, record.constData(), kRecordSize)) return true;
    const QString why = file.errorText();
    file.truncate(length); // leave no partial record behind
    return failed(why);
}

} // namespace vantrel
