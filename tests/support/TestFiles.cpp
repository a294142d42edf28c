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
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
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
    // "TAG", title, artist, album, year, comment, the v1.1 zero byte, track, genre.
    return "TAG" + padded(title, 30) + padded(artist, 30) + padded(album, 30) + padded(year, 4) +
           padded(comment, 28) + '\0' + char(track) + char(genre);
}

QString TempFiles::file(const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("f%1.mp3").arg(++counter));
    return writeFile(path, bytes) ? path : QString();
}

} // namespace vantrel::test
