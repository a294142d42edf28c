#include "parser/FileNameCharacters.h"

#include "tags/Windows1252.h"

namespace vantrel {

namespace {

constexpr bool forbiddenCode(unsigned b)
{
    return b == '*' || (b >= 58 && b <= 64) || (b >= 91 && b <= 96) || (b >= 123 && b <= 126) || b == 128 ||
           (b >= 130 && b <= 137) || (b >= 139 && b <= 153) || b == 155 || (b >= 161 && b <= 191) ||
           b == 240 || b == 248;
}

} // namespace

bool isForbiddenInFileName(char16_t c)
{
    const int b = cp1252::byteOf(c);
    return b >= 0 && forbiddenCode(static_cast<unsigned>(b));
}

void cleanFileNameInPlace(QString& name)
{
    name.removeIf([](QChar c) { return isForbiddenInFileName(c.unicode()); });
    name.replace(QLatin1Char('"'), QLatin1Char('\''));
}

QString cleanFileName(const QString& name)
{
    QString out = name;
    cleanFileNameInPlace(out);
    return out;
}

} // namespace vantrel
