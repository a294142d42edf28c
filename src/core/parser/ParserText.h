// Text operations the parser steps are written in: exact left-to-right
// replacement without rescanning, prefix-limited replacement, space-only
// trimming and one-code-unit case mapping.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

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

// Position (0-based) of the first a in s at or after from, -1 when none.
// A plain loop: the names are short, and this beats a general search here.
inline qsizetype findIn(QStringView s, QStringView a, qsizetype from = 0)
{
    const qsizetype n = a.size(), last = s.size() - n;
    if (n == 0) return from <= s.size() ? from : -1;
    const QChar* p = s.data();
    const QChar* q = a.data();
    const QChar first = q[0];
    for (qsizetype i = from; i <= last; ++i) {
        if (p[i] != first) continue;
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
inline qsizetype findChar(QStringView s, char16_t c, qsizetype from = 0)
{
    const QChar* p = s.data();
    for (qsizetype i = from; i < s.size(); ++i)
        if (p[i].unicode() == c) return i;
    return -1;
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
// The same, comparing each code unit after lower-casing it.
bool replaceAllNoCase(QString& s, QStringView a, QStringView b);
// s = Replace(First(s, n), a, b) + Last(s, Len(s) - n), counts below zero taking nothing.
void replaceInFirst(QString& s, qsizetype n, QStringView a, QStringView b);

// Removes leading and trailing U+0020 only.
void trimSpaces(QString& s);
QString trimmedSpaces(QStringView s);

// The decimal text of n (no sign, no leading zeros) as a view on a small buffer.
struct Decimal {
    char16_t buf[12];
    qsizetype len = 0;
    explicit Decimal(int n);
    QStringView view() const { return QStringView(buf, len); }
};

// Which ASCII characters a text may contain: a superset kept up to date by
// adding the characters a replacement brings in. A step whose pattern needs an
// absent character cannot change anything and is skipped.
struct CharMask {
    std::uint64_t bits[2] = {0, 0};
    static CharMask of(QStringView s);
    void add(char16_t c)
    {
        if (c < 128) bits[c >> 6] |= std::uint64_t(1) << (c & 63);
    }
    void add(QStringView s)
    {
        for (QChar c : s)
            add(c.unicode());
    }
    bool has(char16_t c) const { return c < 128 && (bits[c >> 6] >> (c & 63)) & 1; }
};

} // namespace vantrel::parser
