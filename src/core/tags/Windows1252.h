// Windows-1252 ("ANSI"), the program's one copy of the code page: the
// single-byte text of the ID3v1 record, the byte characters of the file-name
// parser and the characters a file name may not hold are all read from here.
// Bytes to and from the program's 16-bit strings: Every byte decodes to exactly one
// character and encodes back to the same byte, so a record read and written
// back keeps its bytes (zero bytes and the five unassigned codes included).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vantrel::cp1252 {

// Bytes 0x80 to 0x9F. The five codes the code page leaves unassigned map to
// the C1 control with the same number, as the system's own conversion does.
inline constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The character byte value b stands for.
constexpr char16_t toUnicode(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
}

// The byte that stands for c, or -1 when no byte does.
constexpr int byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    if (c > 0x2122) return -1; // the highest character of the table
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    return -1;
}

// One character per byte; a zero byte becomes U+0000.
QString decode(QByteArrayView bytes);

// One byte per character; a character the code page lacks becomes '?'
// (a surrogate pair counts as one character).
QByteArray encode(QStringView text);

} // namespace vantrel::cp1252
