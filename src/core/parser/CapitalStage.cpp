#include "parser/CapitalStage.h"

#include "parser/ParserText.h"

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

QChar charAt(const QString& s, qsizetype p)
{
    return (p >= 1 && p <= s.size()) ? s.at(p - 1) : QChar();
}

// Roman numerals II, III, IV and XVI as words or at the start of a word.
void romanNumerals(QString& s)
{
    // Every pattern starts with " ii", " iv", " Ii", " Iv", " xv" or " Xv".
    bool any = false;
    for (qsizetype i = 0; i + 2 < s.size() && !any; ++i) {
        if (s.at(i) != u' ') continue;
        const char16_t a = s.at(i + 1).unicode(), b = s.at(i + 2).unicode();
        any =
            ((a == u'i' || a == u'I') && (b == u'i' || b == u'v')) || ((a == u'x' || a == u'X') && b == u'v');
    }
    if (!any) return;
    static const char16_t* const pairs[][2] = {
        {u" iii ", u" III "}, {u" iii", u" III"},   {u" ii ", u" II "}, {u" iv ", u" IV "},
        {u" iv", u" IV"},     {u" xvi ", u" XVI "}, {u" xvi", u" XVI"}, {u" Iii ", u" III "},
        {u" Iii", u" III"},   {u" Ii ", u" II "},   {u" Iv ", u" IV "}, {u" Iv", u" IV"},
        {u" Xvi ", u" XVI "}, {u" Xvi", u" XVI"}};
    for (const auto& p : pairs)
        replaceAll(s, p[0], p[1]);
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
    // The first eight patterns are "feat ", "ft ", "vs " and "vol " in two
    // spellings each, all compared ignoring case: look for one of the four
    // words before a space.
    bool any = false;
    for (qsizetype i = 2; i < s.size() && !any; ++i) {
        if (s.at(i) != u' ') continue;
        const auto endsWord = [&](QStringView w) {
            if (i < w.size()) return false;
            for (qsizetype j = 0; j < w.size(); ++j)
                if (lowerUnit(s.at(i - w.size() + j).unicode()) != w[j].unicode()) return false;
            return true;
        };
        any = endsWord(u"feat") || endsWord(u"ft") || endsWord(u"vs") || endsWord(u"vol");
    }
    if (any) {
        static const char16_t* const pairs[][2] = {
            {u"Feat ", u"feat. "}, {u"feat ", u"feat. "}, {u"Ft ", u"ft. "},   {u"ft ", u"ft. "},
            {u"Vs ", u"vs. "},     {u"vs ", u"vs. "},     {u"Vol ", u"vol. "}, {u"vol ", u"vol. "}};
        for (const auto& p : pairs)
            replaceAllNoCase(s, p[0], p[1]);
    }
    replaceAll(s, u"'S", u"'s");
    if (hasChar(s, u'j')) { // "Dj " and "dj " both hold a lower-case j
        replaceAll(s, u"Dj ", u"DJ ");
        replaceAll(s, u"dj ", u"DJ ");
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
    for (qsizetype i = 1; i <= d; ++i) {
        const QChar c = s.at(i - 1);
        if (c == u' ' || c == u'(') upperAt(s, i + 1);
    }
    // First letter of the title (two after the dash; the second character
    // when there is no dash). Beyond the end nothing changes.
    upperAt(s, d + 2);
    if (s.size() > 1) lowerAt(s, 2);

    // A letter after "- " is the start of a new part.
    const qsizetype n7 = s.size() - 1;
    for (qsizetype i = 1; i <= n7; ++i)
        if (s.at(i - 1) == u'-' && s.at(i) == u' ') upperAt(s, i + 2);

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
    replaceAll(s, u" - - ", u" - ");
    if (hasChar(s, u'\u0003')) s.remove(QChar(u'\u0003'));

    // A single-digit track number left in front of " - ".
    if (removeTrackNumbers) {
        for (char16_t digit = u'0'; digit <= u'9'; ++digit)
            if (s.size() >= 4 && s.at(0) == digit && s.at(1) == u' ' && s.at(2) == u'-' && s.at(3) == u' ')
                s.remove(0, 4);
    }
    trimSpaces(s);

    if (capitalizeWords) {
        const qsizetype n = s.size() - 1;
        for (qsizetype i = 1; i <= n; ++i) {
            const QChar c = s.at(i - 1);
            if (c == u' ' || c == u'(') upperAt(s, i + 1);
        }
    }
    if (hasChar(s, u'.')) // the loop only acts on dots
        abbreviationDots(s);
    wordForms(s);
}

} // namespace vantrel::parser
