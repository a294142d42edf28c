// Builders for ID3v2 test tags: frames of each version, headers with the
// synchsafe size or with the plain size older versions of this program wrote.
#pragma once

#include <QByteArray>
#include <QString>

namespace vantrel::test {

// A literal's bytes, embedded zeros included ("a\0b" is three bytes).
template <qsizetype N> QByteArray bytes(const char (&s)[N])
{
    return QByteArray(s, N - 1);
}

QByteArray be32(quint32 v);
QByteArray synchsafe(quint32 v);

// Frames: id, size (3 bytes for 2.2, plain for 2.3, synchsafe for 2.4), flags, body.
QByteArray frame22(const char* id, const QByteArray& body);
QByteArray frame23(const char* id, const QByteArray& body, quint16 flags = 0);
QByteArray frame24(const char* id, const QByteArray& body, quint16 flags = 0);

// A tag of the given major version: header with the synchsafe size of frames
// plus padding zero bytes.
QByteArray id3v2Tag(int major, const QByteArray& frames, int padding = 0, quint8 flags = 0);
// A 2.3 tag as older versions of this program wrote it: the size field holds
// the whole area (header included) as a plain number; zeros fill the area.
QByteArray plainSizeTag(const QByteArray& frames, quint32 area);

// A text frame body in Latin-1: the encoding byte 0, then the text.
QByteArray latin1Text(const QByteArray& text);

// Text in UTF-16 with a little-endian byte order mark, and in UTF-16BE.
QByteArray utf16(const QString& s);
QByteArray utf16be(const QString& s);

} // namespace vantrel::test
