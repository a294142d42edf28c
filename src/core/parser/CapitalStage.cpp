#include "parser/CapitalStage.h"

#include "parser/ParserText.h"

#include <algorithm>

namespace vantrel::parser {
namespace {

// Positions are 1-based as in the step descriptions; outside the name they
// change nothing.
void upperAt(QString& s, qsizetype q)
{
    if (q < 1 || q > s.size()) return;
    const char16_t c = s.at(q - 1).unicode(), u = upperUnit(c);
    if (u != c) s[q - 1] = QChar(u);
}

void lowerAt(QString& s, qsizetype q)
{
    if (q < 1 || q > s.size()) return;
    const char16_t c = s.at(q - 1).unicode(), l = lowerUnit(c);
    if (l != c) s[q - 1] = QChar(l);
}

// Capitals after every space and opening bracket among the first `end`
// characters (0-based positions below end). A capital is never a space or a
// bracket, so the one put in does not change what the next step sees.
void upperAfterOpeners(QString& s, qsizetype end)
{
    end = std::min(end, s.size() - 1);
    const QChar* r = s.constData();
    QChar* w = nullptr; // detached on the first change only
    for (qsizetype j = 0; j < end; ++j) {
        const char16_t c = r[j].unicode();
        if (c != u' ' && c != u'(') continue;
        const char16_t x = r[j + 1].unicode(), u = upperUnit(x);
        if (u == x) continue;
        if (!w) r = w = s.data();
        w[j + 1] = QChar(u);
    }
}

QChar charAt(const QString& s, qsizetype p)
{
    return (p >= 1 && p <= s.size()) ? s.at(p - 1) : QChar();
}

// Roman numerals II, III, IV and XVI as words or at the start of a word.
void romanNumerals(QString& s)
{
    // Every pattern starts with a space and one of six two-letter beginnings.
    // A replacement only puts capitals where lower case was, and no pattern
    // begins with the capitals it puts in, so a beginning that is not in the
    // name now cannot appear later: its patterns are skipped.
    enum : unsigned { ii = 1, iv = 2, xv = 4, Ii = 8, Iv = 16, Xv = 32 };
    unsigned present = 0;
    for (qsizetype i = findChar(s, u' '); i >= 0 && i + 2 < s.size(); i = findChar(s, u' ', i + 1)) {
        const char16_t a = s.at(i + 1).unicode(), b = s.at(i + 2).unicode();
        if (a == u'i' && (b == u'i' || b == u'v')) present |= b == u'i' ? ii : iv;
        if (a == u'I' && (b == u'i' || b == u'v')) present |= b == u'i' ? Ii : Iv;
        if (a == u'x' && b == u'v') present |= xv;
        if (a == u'X' && b == u'v') present |= Xv;
    }
    if (!present) return;
    static constexpr struct {
        unsigned beginning;
        QStringView from, to;
    } pairs[] = {{ii, u" iii ", u" III "}, {ii, u" iii", u" III"},   {ii, u" ii ", u" II "},
                 {iv, u" iv ", u" IV "},   {iv, u" iv", u" IV"},     {xv, u" xvi ", u" XVI "},
                 {xv, u" xvi", u" XVI"},   {Ii, u" Iii ", u" III "}, {Ii, u" Iii", u" III"},
                 {Ii, u" Ii ", u" II "},   {Iv, u" Iv ", u" IV "},   {Iv, u" Iv", u" IV"},
                 {Xv, u" Xvi ", u" XVI "}, {Xv, u" Xvi", u" XVI"}};
    for (const auto& p : pairs)
        if (present & p.beginning) replaceAll(s, p.from, p.to);
}

// "a.b.c" keeps its dots and gets capitals; a dot inside a word becomes a space.
void abbreviationDots(QString& s)
{
    const qsizetype n = s.size();
    for (qsizetype i = 1; i <= n; ++i) {
        if (charAt(s, i) != u'.') continue;
        const bool atEnd = i + 2 > s.size(); // beyond the end, not a U+0000 in the name
        const QChar c = charAt(s, i + 2);
        if (atEnd || c == u'.' || c == u' ' || c == u')') {
            upperAt(s, i + 1);
            upperAt(s, i - 1);
        } else {
            s[i - 1] = u' ';
        }
    }
}

// "feat", "ft", "vs" and "vol" get their dot, whatever their case; "DJ" is spelled in capitals.
void wordForms(QString& s)
{
    // The first eight replacements ("Feat " and "feat " by "feat. ", then "ft ",
    // "vs " and "vol " the same way) compare ignoring case. Each match ends at a
    // space and holds no other, so matches never overlap, and what is put in
    // ends in ". ", which no pattern holds: every match is in the name from the
    // start. One sweep over the spaces finds them all, and one copy puts the
    // lower-case word and its dot in.
    static constexpr QStringView words[] = {u"feat", u"ft", u"vs", u"vol"};
    const auto wordBefore = [&s](qsizetype space) -> qsizetype {
        for (const QStringView w : words) {
            if (space < w.size()) continue;
            qsizetype j = 0;
            while (j < w.size() && lowerUnit(s.at(space - w.size() + j).unicode()) == w[j].unicode())
                ++j;
            if (j == w.size()) return w.size();
        }
        return 0;
    };
    qsizetype first = -1, count = 0;
    const auto mayEndWord = [&s](qsizetype space) { // every word ends in t, s or l
        const char16_t e = lowerUnit(s.at(space - 1).unicode());
        return e == u't' || e == u's' || e == u'l';
    };
    for (qsizetype i = findChar(s, u' ', 2); i >= 0; i = findChar(s, u' ', i + 1))
        if (mayEndWord(i) && wordBefore(i)) {
            if (first < 0) first = i;
            ++count;
        }
    if (count) {
        QString r(s.size() + count, Qt::Uninitialized);
        QChar* w = r.data();
        const QChar* p = s.constData();
        std::copy(p, p + first, w);
        qsizetype k = first;
        for (qsizetype i = first; i < s.size(); ++i) {
            if (p[i] == u' ' && mayEndWord(i)) {
                if (const qsizetype n = wordBefore(i)) {
                    for (qsizetype j = k - n; j < k; ++j)
                        w[j] = QChar(lowerUnit(w[j].unicode())); // the word's letters, ASCII once lowered
                    w[k++] = u'.';
                }
            }
            w[k++] = p[i];
        }
        s = std::move(r);
    }
    // "'S" becomes "'s"; "Dj " and then "dj " become "DJ ". All keep the length
    // and put in nothing another pattern looks for.
    for (qsizetype i = findChar(s, u'\''); i >= 0 && i + 1 < s.size(); i = findChar(s, u'\'', i + 1))
        if (s.at(i + 1) == u'S') s[i + 1] = u's';
    for (qsizetype i = findChar(s, u'j', 1); i >= 0 && i + 1 < s.size(); i = findChar(s, u'j', i + 1))
        if (s.at(i + 1) == u' ' && (s.at(i - 1) == u'D' || s.at(i - 1) == u'd')) {
            s[i - 1] = u'D';
            s[i] = u'J';
        }
}

} // namespace

void capitalStage(QString& s, bool removeTrackNumbers, bool capitalizeWords)
{
    // A single character is taken as the title of an unknown artist.
    if (s.size() == 1) {
        QString c = s;
        upperInPlace(c);
        s = QStringLiteral("Unknown Artist - ") + c;
    }
    upperAt(s, 1);

    // Artist words: capitals after spaces and brackets up to the first dash.
    const qsizetype d = findChar(s, u'-') + 1; // 0 without a dash
    upperAfterOpeners(s, d);
    // First letter of the title (two after the dash; the second character
    // when there is no dash). Beyond the end nothing changes.
    upperAt(s, d + 2);
    if (s.size() > 1) lowerAt(s, 2);

    // A letter after "- " is the start of a new part.
    for (qsizetype i = findChar(s, u'-'); i >= 0 && i + 1 < s.size(); i = findChar(s, u'-', i + 1))
        if (s.at(i + 1) == u' ') upperAt(s, i + 3);

    romanNumerals(s);
    trimSpaces(s);

    // Loose punctuation at the ends.
    if (!s.isEmpty()) {
        const QChar c = s.back();
        if (c == u',' || c == u'.' || c == u'-' || c == u'(') s.chop(1);
    }
    if (!s.isEmpty()) {
        const QChar c = s.front();
        if (c == u',' || c == u'.' || c == u'-' || c == u')') s.remove(0, 1);
    }
    if (containsIn(s, u"- - ")) // found by its dash, far rarer than the space it starts with
        replaceAll(s, u" - - ", u" - ");
    if (hasChar(s, u'\u0003')) s.remove(QChar(u'\u0003'));

    // A single-digit track number left in front of " - ".
    if (removeTrackNumbers) {
        for (char16_t digit = u'0'; digit <= u'9'; ++digit)
            if (s.size() >= 4 && s.at(0) == digit && s.at(1) == u' ' && s.at(2) == u'-' && s.at(3) == u' ')
                s.remove(0, 4);
    }
    trimSpaces(s);

    if (capitalizeWords) upperAfterOpeners(s, s.size());
    if (hasChar(s, u'.')) // the loop only acts on dots
        abbreviationDots(s);
    wordForms(s);
}

} // namespace vantrel::parser
