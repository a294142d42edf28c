#include "tags/AudioFormat.h"

#include "platform/OpenFile.h"
#include "tags/Id3v2Format.h"

#include <algorithm>
#include <cstring>

namespace vantrel {
namespace {

// The ASF header object's GUID, 75B22630-668E-11CF-A6D9-00AA0062CE6C, as stored.
constexpr unsigned char kAsfHeaderGuid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                              0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

AudioFormat containerAt(const unsigned char* b, qint64 n)
{
    if (n >= 16 && std::memcmp(b, kAsfHeaderGuid, 16) == 0) return AudioFormat::Asf;
    if (n >= 4 && std::memcmp(b, "fLaC", 4) == 0) return AudioFormat::Flac;
    if (n >= 4 && std::memcmp(b, "OggS", 4) == 0) return AudioFormat::Ogg;
    if (n >= 12 && std::memcmp(b, "RIFF", 4) == 0) return AudioFormat::Riff;
    if (n >= 8 && std::memcmp(b + 4, "ftyp", 4) == 0) return AudioFormat::Mp4;
    // An MPEG audio frame: 11 sync bits, then a layer other than "reserved".
    if (n >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && (b[1] & 0x06) != 0) return AudioFormat::Mpeg;
    return AudioFormat::Unknown;
}

} // namespace

AudioFormat detectAudioFormat(const QString& path)
{
    OpenFile f(path, OpenFile::Mode::Read);
    return detectAudioFormat(f);
}

AudioFormat detectAudioFormat(OpenFile& f)
{
    if (!f.isOpen()) return AudioFormat::Unknown;
    unsigned char head[16] = {};
    const qint64 n = std::min<qint64>(f.size(), sizeof head);
    if (n <= 0 || !f.readAt(0, reinterpret_cast<char*>(head), n)) return AudioFormat::Unknown;
    if (n < 10 || std::memcmp(head, "ID3", 3) != 0) return containerAt(head, n);

    // Behind an ID3v2 tag, where its header says it ends (the top bit of
    // each size byte ignored).
    const quint32 size = (quint32(head[6] & 0x7F) << 21) | (quint32(head[7] & 0x7F) << 14) |
                         (quint32(head[8] & 0x7F) << 7) | quint32(head[9] & 0x7F);
    const qint64 end = id3v2::announcedArea(head[3], head[5], size);
    unsigned char behind[16] = {};
    const qint64 m = std::min<qint64>(f.size() - end, sizeof behind);
    if (m <= 0 || !f.readAt(end, reinterpret_cast<char*>(behind), m)) return AudioFormat::Mpeg;
    const AudioFormat inner = containerAt(behind, m);
    // Whatever follows a tag that is not another container counts as MPEG audio.
    return inner == AudioFormat::Unknown ? AudioFormat::Mpeg : inner;
}

bool takesId3(AudioFormat f, const QString& path)
{
    return f == AudioFormat::Mpeg || (f == AudioFormat::Unknown && otherFormatExtension(path).isEmpty());
}

QString otherFormatExtension(const QString& name)
{
    static const QLatin1String kOther[] = {QLatin1String(".flac"), QLatin1String(".ogg"),
                                           QLatin1String(".oga"), QLatin1String(".opus"),
                                           QLatin1String(".m4a")};
    for (const QLatin1String& ext : kOther)
        if (name.endsWith(ext, Qt::CaseInsensitive)) return QString(ext);
    return {};
}

QString notMp3Reason(AudioFormat f)
{
    const char* kind = "unknown";
    switch (f) {
    case AudioFormat::Asf:
        kind = "ASF";
        break;
    case AudioFormat::Flac:
        kind = "FLAC";
        break;
    case AudioFormat::Ogg:
        kind = "Ogg";
        break;
    case AudioFormat::Riff:
        kind = "RIFF/WAVE";
        break;
    case AudioFormat::Mp4:
        kind = "MP4";
        break;
    case AudioFormat::Mpeg:
    case AudioFormat::Unknown:
        break;
    }
    return QStringLiteral("not an MP3 file (%1)").arg(QLatin1String(kind));
}

} // namespace vantrel
