// Test data made in code: temporary folders, files with given bytes, and
// minimal valid MPEG audio so that tag code has real audio around it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <ostream>

QT_BEGIN_NAMESPACE
// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace vantrel::test {

// `frames` MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each,
// header FF FB 90 64) of silence.
QByteArray mpegFrames(int frames = 4);

// Writes bytes to path (creating folders); returns false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// A 128-byte ID3v1.1 record.
QByteArray id3v1Record(const QByteArray& title, const QByteArray& artist, const QByteArray& album = {},
                       const QByteArray& year = {}, const QByteArray& comment = {}, int track = 0,
                       int genre = 255);

// Numbered .mp3 files with given bytes in a folder that lives as long as this
// (an empty path when the file cannot be written).
struct TempFiles {
    QTemporaryDir dir;
    int counter = 0;
    QString file(const QByteArray& bytes);
};

} // namespace vantrel::test
