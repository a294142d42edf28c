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

// The numbers from lo to hi whose decimal text (width digits, no leading zero)
// occurs in s, ascending. Removing digits or replacing them by spaces and
// markers never makes a new number appear, so a loop over lo..hi only needs to
// visit these: for every other n its replacement finds nothing.
using Numbers = QVarLengthArray<int, 32>;

Numbers numbersIn(const QString& s, int width, int lo, int hi)
{
    Numbers found;
    const qsizetype n = s.size();
    const QChar* p = s.constData();
    for (qsizetype i = 0; i + width <= n; ++i) {
        if (p[i].unicode() == u'0' || !isDigit(p[i])) continue;
        int v = 0;
        qsizetype j = 0;
        for (; j < width && isDigit(p[i + j]); ++j)
            v = v * 10 + (p[i + j].unicode() - u'0');
        if (j == width && v >= lo && v <= hi) found.push_back(v);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

QString yearMarker(int k)
{
    const char16_t c = static_cast<char16_t>(k);
    const char16_t marker[4] = {u'%', c, c, u'%'};
    return QStringView(marker, 4).toString();
}

bool hasTwoDashes(const QString& s)
{
    const qsizetype first = findChar(s, u'-');
    return first >= 0 && findChar(s, u'-', first + 1) >= 0;
}

void removeNumbers(QString& s, qsizetype t, int (&years)[21], int& y)
{
    // 4-digit numbers below 1900, anywhere.
    for (int n : numbersIn(s, 4, 1000, 1899))
        replaceAll(s, Decimal(n).view(), u" ");

    // 100 to 299 near the start: only the first 7 characters are touched.
    for (int n : numbersIn(s, 3, 100, 299)) {
        const Decimal d(n);
        const qsizetype at = findIn(s, d.view());
        const bool nearStart = at >= 0 && at < 6; // position 1 to 6; starting at 1 is included
        if (s.size() > 7 && nearStart) replaceInFirst(s, 7, d.view(), u" ");
    }

    // Years hide behind markers until restoreYears.
    for (int n : numbersIn(s, 4, 1900, 2020)) {
        const Decimal d(n);
        if (!containsIn(s, d.view())) continue;
        if (y == 20) continue; // the table holds 20 years; further ones stay plain digits
        ++y;
        replaceAll(s, d.view(), yearMarker(y));
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
        Numbers big = numbersIn(s, 2, 31, 99);
        const Numbers three = numbersIn(s, 3, 100, 999);
        big.append(three.constData(), three.size());
        std::sort(big.begin(), big.end(), std::greater<int>());
        for (int n : big) {
            const Decimal d(n);
            if (hasTwoDashes(s)) replaceInFirst(s, t, d.view(), u" ");
            replaceInFirst(s, 3, d.view(), u" ");
        }
    }

    // 10 to 30 in the first two thirds.
    for (int n : numbersIn(s, 2, 10, 30))
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
        if (present & (std::uint32_t(1) << k)) replaceAll(s, yearMarker(k), Decimal(years[k]).view());
}

void removeTrackNumbersKeepingYears(QString& s, qsizetype t)
{
    int years[21] = {};
    int y = 0;
    // Every pattern up to the markers holds a digit.
    if (std::any_of(s.cbegin(), s.cend(), isDigit)) removeNumbers(s, t, years, y);
    restoreYears(s, years);
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
