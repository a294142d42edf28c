#include "Id3v2Bytes.h"

namespace vantrel::test {

QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 3; i >= 0; --i, v >>= 8)
        b[i] = char(v & 0xFF);
    return b;
}

QByteArray synchsafe(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 3; i >= 0; --i, v >>= 7)
        b[i] = char(v & 0x7F);
    return b;
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
    QByteArray t("ID3");
    t += char(major);
    t += '\0';
    t += char(flags);
    t += synchsafe(quint32(frames.size() + padding));
    t += frames;
    t += QByteArray(padding, '\0');
    return t;
}

QByteArray plainSizeTag(const QByteArray& frames, quint32 area)
{
    QByteArray t = QByteArray("ID3\x03\x00\x00", 6) + be32(area) + frames;
    t += QByteArray(qsizetype(area) - t.size(), '\0');
    return t;
}

QByteArray latin1Text(const QByteArray& text)
{
    return QByteArray(1, '\0') + text;
}

QByteArray utf16(const QString& s)
{
    QByteArray b("\xFF\xFE");
    for (QChar c : s) {
        b += char(c.unicode() & 0xFF);
        b += char(c.unicode() >> 8);
    }
    return b;
}

QByteArray utf16be(const QString& s)
{
    QByteArray b;
    for (QChar c : s) {
        b += char(c.unicode() >> 8);
        b += char(c.unicode() & 0xFF);
    }
    return b;
}

} // namespace vantrel::test
