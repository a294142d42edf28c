// Text operations the parser steps are written in: exact left-to-right
// replacement without rescanning, prefix-limited replacement, space-only
// trimming and one-code-unit case mapping.
#pragma once

#include <QString>
#include <QStringView>
#include <bit>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantrel::parser {

// Simple (one code unit to one code unit) case mapping.
char16_t lowerUnitTable(char16_t c);
char16_t upperUnitTable(char16_t c);
inline char16_t lowerUnit(char16_t c)
{
    if (c < 128) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return lowerUnitTable(c);
}
inline char16_t upperUnit(char16_t c)
{
    if (c < 128) return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    return upperUnitTable(c);
}
void lowerInPlace(QString& s);
void upperInPlace(QString& s);
QString lowered(QStringView s);

// Position (0-based) of the first c in s at or after from, -1 when none.
// Eight code units are compared at a time: the parser asks "is there any X"
// many times per name, and these scans were the bulk of its time.
inline qsizetype findChar(QStringView s, char16_t c, qsizetype from = 0)
{
    const char16_t* p = s.utf16();
    const qsizetype n = s.size();
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi16(static_cast<short>(c));
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, needle)));
        if (mask) return i + std::countr_zero(mask) / 2;
    }
    if (i < n && n >= 8) {
        // The last few: the eight units that end the text, without the ones
        // before i (already compared).
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 8));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, needle))) >> (2 * (i - (n - 8)));
        return mask ? i + std::countr_zero(mask) / 2 : -1;
    }
#endif
    for (; i < n; ++i)
        if (p[i] == c) return i;
    return -1;
}

// Position (0-based) of the first a in s at or after from, -1 when none.
// Finds the pattern's first character with findChar and compares the rest:
// the names are short, and this beats a general substring search here.
inline qsizetype findIn(QStringView s, QStringView a, qsizetype from = 0)
{
    const qsizetype n = a.size(), last = s.size() - n;
    if (n == 0) return from <= s.size() ? from : -1;
    const QChar* p = s.data();
    const QChar* q = a.data();
    const char16_t first = q[0].unicode();
    for (qsizetype i = findChar(s, first, from); i >= 0 && i <= last; i = findChar(s, first, i + 1)) {
        qsizetype j = 1;
        while (j < n && p[i + j] == q[j])
            ++j;
        if (j == n) return i;
    }
    return -1;
}

inline bool containsIn(QStringView s, QStringView a)
{
    return findIn(s, a) >= 0;
}
inline bool hasChar(QStringView s, char16_t c)
{
    return findChar(s, c) >= 0;
}
// Every a becomes b (single code units), detaching only when one is found.
inline void swapChar(QString& s, char16_t a, char16_t b)
{
    qsizetype i = findChar(s, a);
    if (i < 0) return;
    QChar* d = s.data();
    for (; i < s.size(); ++i)
        if (d[i].unicode() == a) d[i] = QChar(b);
}

// Every occurrence of a, scanning left to right, not overlapping one already
// replaced, is replaced by b; the text put in is not scanned again. An empty a
// changes nothing. Returns whether anything was replaced.
bool replaceAll(QString& s, QStringView a, QStringView b);
// s = Replace(First(s, n), a, b) + Last(s, Len(s) - n), counts below zero taking nothing.
void replaceInFirst(QString& s, qsizetype n, QStringView a, QStringView b);

// Removes leading and trailing U+0020 only.
void trimSpaces(QString& s);
QString trimmedSpaces(QStringView s);
// The same as a view on s.
inline QStringView trimmedView(QStringView s)
{
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == u' ')
        ++a;
    while (b > a && s[b - 1] == u' ')
        --b;
    return s.mid(a, b - a);
}

// The decimal text of n (no sign, no leading zeros) as a view on a small buffer.
struct Decimal {
    char16_t buf[12];
    qsizetype len = 0;
    explicit Decimal(int n);
    QStringView view() const { return QStringView(buf, len); }
};

} // namespace vantrel::parser
