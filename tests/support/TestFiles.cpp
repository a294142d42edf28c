#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantrel::test {

QByteArray mpegFrames(int frames)
{
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF); // sync
    frame[1] = char(0xFB); // MPEG-1, Layer III, no CRC
    frame[2] = char(0x90); // 128 kbit/s, 44.1 kHz, no padding
    frame[3] = char(0x64); // joint stereo
    QByteArray out;
    out.reserve(frame.size() * frames);
    for (int i = 0; i < frames; ++i)
        out += frame;
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

static QByteArray padded(const QByteArray& s, int n)
{
    QByteArray out = s.left(n);
    out.append(n - out.size(), '\0');
    return out;
}

QByteArray id3v1Record(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                       const QByteArray& year, const QByteArray& comment, int track, int genre)
{
    QByteArray r = "TAG";
    r += padded(title, 30);
    r += padded(artist, 30);
    r += padded(album, 30);
    r += padded(year, 4);
    r += padded(comment, 28);
    r += '\0';
    r += char(track);
    r += char(genre);
    return r;
}

} // namespace vantrel::test
