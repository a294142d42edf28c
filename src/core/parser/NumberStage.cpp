#include "parser/NumberStage.h"

#include "parser/ParserText.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cstdint>
#include <functional>

namespace vantrel::parser {
namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// The numbers of two, three and four digits (no leading zero) whose decimal
// text occurs in the name, each list ascending. Removing digits or replacing
// them by spaces and markers never makes a new number appear, so the lists
// taken once, before the first removal, hold every number a later loop over
// a range can find: the loop only visits those, and for every other n its
// replacement finds nothing. A listed number that an earlier step removed is
// visited too and finds nothing.
using Numbers = QVarLengthArray<int, 32>;

struct NumbersInName {
    Numbers byWidth[5]; // [2], [3] and [4] are used

    explicit NumbersInName(const QString& s)
    {
        const qsizetype n = s.size();
        const QChar* p = s.constData();
        for (qsizetype i = 0; i < n; ++i) {
            if (!isDigit(p[i]) || p[i].unicode() == u'0') continue;
            int v = p[i].unicode() - u'0';
            for (qsizetype w = 2; w <= 4 && i + w <= n && isDigit(p[i + w - 1]); ++w) {
                v = v * 10 + (p[i + w - 1].unicode() - u'0');
                byWidth[w].push_back(v);
            }
        }
        for (Numbers& list : byWidth) {
            std::sort(list.begin(), list.end());
            list.erase(std::unique(list.begin(), list.end()), list.end());
        }
    }

    // The listed numbers of the given width from lo to hi, ascending.
    Numbers in(int width, int lo, int hi) const
    {
        Numbers r;
        for (int v : byWidth[width])
            if (v >= lo && v <= hi) r.push_back(v);
        return r;
    }
};

// The four code units of the marker of year k: "%", k, k, "%".
struct YearMarker {
    char16_t units[4];
    explicit YearMarker(int k) : units{u'%', char16_t(k), char16_t(k), u'%'} {}
    QStringView view() const { return QStringView(units, 4); }
};

bool hasTwoDashes(const QString& s)
{
    const qsizetype first = findChar(s, u'-');
    return first >= 0 && findChar(s, u'-', first + 1) >= 0;
}

void removeNumbers(QString& s, qsizetype t, int (&years)[21], int& y)
{
    const NumbersInName numbers(s);
    // 4-digit numbers below 1900, anywhere.
    for (int n : numbers.in(4, 1000, 1899))
        replaceAll(s, Decimal(n).view(), u" ");

    // 100 to 299 near the start: only the first 7 characters are touched.
    for (int n : numbers.in(3, 100, 299)) {
        const Decimal d(n);
        const qsizetype at = findIn(s, d.view());
        const bool nearStart = at >= 0 && at < 6; // position 1 to 6; starting at 1 is included
        if (s.size() > 7 && nearStart) replaceInFirst(s, 7, d.view(), u" ");
    }

    // Years hide behind markers until restoreYears.
    for (int n : numbers.in(4, 1900, 2020)) {
        const Decimal d(n);
        if (!containsIn(s, d.view())) continue;
        if (y == 20) continue; // the table holds 20 years; further ones stay plain digits
        ++y;
        replaceAll(s, d.view(), YearMarker(y).view());
        years[y] = n;
    }

    // "0" + digit in the first two thirds. Every pattern holds a "0".
    if (hasChar(s, u'0')) {
        for (int i = 0; i <= 9; ++i) {
            const char16_t z[2] = {u'0', char16_t(u'0' + i)};
            const QStringView zv(z, 2);
            const qsizetype at = findIn(s, zv); // 0-based; position at + 1
            if (s.size() > 4 && ((at >= 0 && at + 1 <= t - 1) || QStringView(s).startsWith(zv)))
                replaceInFirst(s, t, zv, u" ");
        }
    }

    // 31 to 999, from the top: in the first two thirds when the name has two
    // dashes, and always in the first three characters.
    {
        Numbers big = numbers.in(2, 31, 99);
        const Numbers three = numbers.in(3, 100, 999);
        big.append(three.constData(), three.size());
        std::sort(big.begin(), big.end(), std::greater<int>());
        for (int n : big) {
            const Decimal d(n);
            if (hasTwoDashes(s)) replaceInFirst(s, t, d.view(), u" ");
            replaceInFirst(s, 3, d.view(), u" ");
        }
    }

    // 10 to 30 in the first two thirds.
    for (int n : numbers.in(2, 10, 30))
        replaceInFirst(s, t, Decimal(n).view(), u" ");

    // A single digit followed by a dot after a space, or at the very start.
    for (int i = 0; i <= 9; ++i) {
        const char16_t digit = char16_t(u'0' + i);
        if (!hasChar(s, digit)) continue; // both patterns hold the digit
        const char16_t pat[3] = {u' ', digit, u'.'};
        replaceAll(s, QStringView(pat, 3), u" ");
        if (s.size() >= 2 && s[0] == QChar(digit) && (s[1] == u' ' || s[1] == u'.')) s.remove(0, 2);
    }
}

void restoreYears(QString& s, const int (&years)[21])
{
    // Markers back to years. The marker of k holds code unit k: without it no
    // marker of k (not even one that was in the name itself) can be present.
    std::uint32_t present = 0;
    for (QChar c : s)
        if (c.unicode() <= 20) present |= std::uint32_t(1) << c.unicode();
    for (int k = 0; k <= 20 && present; ++k)
        if (present & (std::uint32_t(1) << k)) replaceAll(s, YearMarker(k).view(), Decimal(years[k]).view());
}

void removeTrackNumbersKeepingYears(QString& s, qsizetype t)
{
    int years[21] = {};
    int y = 0;
    bool digits = false, low = false;
    for (QChar c : s) {
        digits |= isDigit(c);
        low |= c.unicode() <= 20;
    }
    // Every pattern up to the markers holds a digit.
    if (digits) removeNumbers(s, t, years, y);
    // Only the markers bring code units 1 to 20 in: a name that had none of
    // them (nor U+0000) holds no marker unless a year was hidden.
    if (low || y > 0) restoreYears(s, years);
}

} // namespace

void numberStage(QString& s, bool removeTrackNumbers, bool removeAllNumbers)
{
    const qsizetype t = (2 * s.size()) / 3; // floor(L/2 + L/6), fixed for the whole stage
    if (removeAllNumbers) {
        s.removeIf([](QChar c) { return isDigit(c); });
        return;
    }
    if (!removeTrackNumbers) return;
    removeTrackNumbersKeepingYears(s, t);
}

} // namespace vantrel::parser
