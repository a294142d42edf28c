#include "Id3v2Bytes.h"

#include <QStringEncoder>

namespace vantrel::test {

QByteArray be32(quint32 v)
{
    const char b[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(b, 4);
}
QByteArray synchsafe(quint32 v)
{
    // Seven bits a byte, the top bit of each zero.
    return be32((v & 0x7F) | (v << 1 & 0x7F00) | (v << 2 & 0x7F0000) | (v << 3 & 0x7F000000));
}

QByteArray frame22(const char* id, const QByteArray& body)
{
    return QByteArray(id, 3) + be32(quint32(body.size())).mid(1) + body;
}

QByteArray frame23(const char* id, const QByteArray& body, quint16 flags)
{
    return QByteArray(id, 4) + be32(quint32(body.size())) + char(flags >> 8) + char(flags & 0xFF) + body;
}

QByteArray frame24(const char* id, const QByteArray& body, quint16 flags)
{
    return QByteArray(id, 4) + synchsafe(quint32(body.size())) + char(flags >> 8) + char(flags & 0xFF) + body;
}

QByteArray id3v2Tag(int major, const QByteArray& frames, int padding, quint8 flags)
{
    // "ID3", version major.0, flags, synchsafe size of what follows the header.
    return "ID3" + QByteArray(1, char(major)) + '\0' + char(flags) +
           synchsafe(quint32(frames.size() + padding)) + frames + QByteArray(padding, '\0');
}

QByteArray plainSizeTag(const QByteArray& frames, quint32 area)
{
    QByteArray t = QByteArray("ID3\x03\x00\x00", 6) + be32(area) + frames;
    return t + QByteArray(qsizetype(area) - t.size(), '\0');
}

QByteArray latin1Text(const QByteArray& text)
{
    return QByteArray(1, '\0') + text;
}

QByteArray utf16(const QString& s)
{
    return "\xFF\xFE" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(s));
}
QByteArray utf16be(const QString& s)
{
    return QStringEncoder(QStringEncoder::Utf16BE).encode(s);
}

} // namespace vantrel::test
