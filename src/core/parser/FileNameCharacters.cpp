#include "parser/FileNameCharacters.h"

#include "tags/Windows1252.h"

#include <algorithm>
#include <array>

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
    // The ASCII part of the set as a table made from the set itself: most
    // names lose nothing here and are only read, never copied.
    static const std::array<bool, 128> asciiGoes = [] {
        std::array<bool, 128> m{};
        for (char16_t c = 0; c < 128; ++c)
            m[c] = isForbiddenInFileName(c);
        return m;
    }();
    const auto goes = [](QChar c) {
        const char16_t u = c.unicode();
        return u < 128 ? asciiGoes[u] : isForbiddenInFileName(u);
    };
    if (std::any_of(name.cbegin(), name.cend(), goes)) name.removeIf(goes);
    if (name.contains(QLatin1Char('"'))) name.replace(QLatin1Char('"'), QLatin1Char('\''));
}

QString cleanFileName(const QString& name)
{
    QString out = name;
    cleanFileNameInPlace(out);
    return out;
}

} // namespace vantrel
