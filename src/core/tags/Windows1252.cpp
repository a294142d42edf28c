#include "tags/Windows1252.h"

#include <algorithm>
#include <iterator>

namespace vantrel::cp1252 {

static_assert(*std::max_element(std::begin(kHigh), std::end(kHigh)) == 0x2122, "byteOf's early exit");

QString decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = QChar(toUnicode(b));
    }
    return out;
}

static char encodeOne(char16_t c)
{
    const int b = byteOf(c);
    return b < 0 ? '?' : static_cast<char>(b);
}

QByteArray encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        out.append(encodeOne(c.unicode()));
    }
    return out;
}

} // namespace vantrel::cp1252
