// The filename parser: two passes over one ordered list of steps (runPass),
// the number stage and the capital stage in their own files.
//
// Each step gives exactly what its plain description gives, but does not do
// the work the long way. The shortcuts, each explained where it stands, are of
// four kinds:
//  - a replacement is skipped when a character its pattern needs is absent
//    (hasChar, or a set of what is present taken once when no replacement can
//    bring a new one in); the searches compare eight code units at a time;
//  - a loop over a fixed range (dash runs of 2 to 401 characters, the numbers
//    1000 to 1899, ...) is worked out in closed form on each run, or visits
//    only the values that occur in the name;
//  - several replacements that cannot feed each other are made in one sweep;
//  - the text is changed in place, and copied only when it grows.
//
// The plain transcription of the step list, with every loop over its full
// range, is tests/core/parser/LiteralParser.cpp. test_ParserDifferential
// compares the two on a hundred thousand generated names under every
// combination of the options. A change to a rule is made in both files; a
// shortcut whose reasoning the change breaks must go or be redone.
#include "parser/FilenameParser.h"

#include "parser/CapitalStage.h"
#include "parser/FileNameCharacters.h"
#include "parser/NumberStage.h"
#include "parser/ParserText.h"
#include "tags/Windows1252.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <iterator>

namespace vantrel {
namespace {

using namespace parser;

// The option values one call works with, prepared once.
struct CallOptions {
    bool removeTrackNumbers;
    bool capitalizeWords;
    bool collapseRepeats;
    bool removeAllNumbers;
    bool removeActive;    // "Remove string:" checked with a non-empty text
    QString removeLower;  // lower-cased trimmed removeText
    QString replaceLower; // lower-cased replaceWhat, empty when not active
};

// Each maximal run of c is shortened to f(length) characters (never more
// than it had), in place.
//
// Why rounds of replacements reduce to arithmetic: replacing every run of k
// copies of c by r copies (left to right, not rescanning what was put in)
// acts on each maximal run of c on its own. A run of m becomes
// (m / k) * r + m % k copies, whatever surrounds it, and runs of c never join,
// since what separates them is not touched. So any sequence of such rounds is
// a function of the run length alone, and f is that function worked out.
template <class F> void reshapeRuns(QString& s, char16_t c, F f)
{
    const qsizetype n = s.size();
    const QChar* p = s.constData();
    qsizetype i = findChar(s, c);
    while (i >= 0 && !(i + 1 < n && p[i + 1] == c))
        i = findChar(s, c, i + 2);
    if (i < 0) return; // no run of two or more
    QChar* d = s.data();
    qsizetype w = i;
    while (i < n) {
        if (d[i] != c) {
            d[w++] = d[i++];
            continue;
        }
        qsizetype m = 0;
        while (i < n && d[i] == c) {
            ++m;
            ++i;
        }
        for (qsizetype k = f(m); k > 0; --k)
            d[w++] = QChar(c);
    }
    s.truncate(w);
}

// Deleting every run of k dashes for k = 2 to 401: the first round takes all
// pairs out, so each run keeps its length mod 2 and the later rounds find nothing.
void deleteDashRuns(QString& s)
{
    reshapeRuns(s, u'-', [](qsizetype m) { return m % 2; });
}

// A leading or trailing dash with its spaces; each check once, in this order.
void trimEdgeDashes(QString& s)
{
    // at(k) is the k-th character from the start, from(k) the k-th from the end (1-based).
    const auto at = [&s](qsizetype k) { return k <= s.size() ? s.at(k - 1).unicode() : char16_t(0); };
    const auto from = [&s](qsizetype k) {
        return k <= s.size() ? s.at(s.size() - k).unicode() : char16_t(0);
    };
    if (at(1) == u'-') s.remove(0, 1);
    if (at(1) == u' ' && at(2) == u'-' && at(3) == u' ') s.remove(0, 3);
    if (at(1) == u'-' && at(2) == u' ') s.remove(0, 2);
    if (at(1) == u' ' && at(2) == u'-') s.remove(0, 2);
    if (from(1) == u'-') s.chop(1);
    if (from(3) == u' ' && from(2) == u'-' && from(1) == u' ') s.chop(3);
    if (from(2) == u' ' && from(1) == u'-') s.chop(2);
    if (from(2) == u'-' && from(1) == u' ') s.chop(2);
}

// Every bracket kind becomes a round bracket; empty brackets, "%20", "?" and
// character 1 go.
void removeBracketJunk(QString& s)
{
    // The four single-character swaps produce nothing the next swap looks
    // for, so each is made on its own, and each replacement below is skipped
    // when a character its pattern needs is absent (a replacement that can
    // bring one in says so).
    swapChar(s, u'[', u'(');
    swapChar(s, u']', u')');
    swapChar(s, u'<', u'(');
    swapChar(s, u'>', u')');
    replaceAll(s, u"%20", u" ");
    if (hasChar(s, u'\u0001')) replaceAll(s, QStringView(u"\u0001"), u"");
    if (hasChar(s, u'(')) {
        replaceAll(s, u"( )", u"");
        replaceAll(s, u"((", u"(");
    }
    if (hasChar(s, u')')) replaceAll(s, u"))", u")");
    if (hasChar(s, u'?')) replaceAll(s, u"?", u"");
    replaceAll(s, u"6 zan", u"6Zan");
}

void replaceSeparators(QString& s)
{
    if (hasChar(s, u'(')) { // both patterns need a "("
        replaceAll(s, u"()", u"");
        replaceAll(s, u"( )", u"");
    }
    replaceAll(s, u". ", u" ");
    swapChar(s, u'/', u'-');
    swapChar(s, u'\\', u'-');
    swapChar(s, u'%', u' ');
}

// "(01) Artist - Song" loses the brackets around its short leading part.
void unwrapLeadingShortBracket(QString& s)
{
    const qsizetype p = findChar(s, u')'); // Find(s, ")") - 1
    if (p <= 0) return;
    const QStringView t = trimmedView(s);
    if (!t.startsWith(u'(')) return;
    if (trimmedView(QStringView(s).mid(1, p - 1)).size() >= 3) // positions 2 to p
        return;
    s = t.mid(1).toString();
    if (p - 1 < s.size()) // the character at position p goes; beyond the end nothing does
        s.remove(p - 1, 1);
}

void replaceUnbalancedBrackets(QString& s)
{
    if (hasChar(s, u')') && !hasChar(s, u'(')) swapChar(s, u')', u'-');
    if (hasChar(s, u'(') && !hasChar(s, u')')) swapChar(s, u'(', u'-');
}

bool startsWithNoCase(const QString& s, QStringView lowerPrefix)
{
    if (s.size() < lowerPrefix.size()) return false;
    for (qsizetype i = 0; i < lowerPrefix.size(); ++i)
        if (lowerUnit(s.at(i).unicode()) != lowerPrefix[i].unicode()) return false;
    return true;
}

void dropVariousArtists(QString& s)
{
    trimSpaces(s);
    if (startsWithNoCase(s, u"va-")) s.remove(0, 3);
    if (startsWithNoCase(s, u"va -")) s.remove(0, 4);
}

void deleteUnderscoreRuns(QString& s)
{
    trimSpaces(s);
    // Rounds k = 3 to 22: the first takes every triple out, the rest find nothing.
    reshapeRuns(s, u'_', [](qsizetype m) { return m % 3; });
}

// Whether one of the dash-spacing patterns can occur: each holds a dash with
// another dash right after it, or with a space on its left and a space on its
// right followed by a space or a dash, or with two spaces on its left and one
// on its right.
bool mayNeedDashSpacing(QStringView s)
{
    const qsizetype n = s.size();
    for (qsizetype i = findChar(s, u'-'); i >= 0 && i < n; i = findChar(s, u'-', i + 1)) {
        const auto at = [&](qsizetype k) { return k >= 0 && k < n ? s[k].unicode() : char16_t(0); };
        if (at(i + 1) == u'-') return true;
        if (at(i + 1) == u' ' && at(i - 1) == u' ' &&
            (at(i + 2) == u' ' || at(i + 2) == u'-' || at(i - 2) == u' '))
            return true;
    }
    return false;
}

void tidyDashSpacing(QString& s)
{
    if (!mayNeedDashSpacing(s))
        return; // none of the patterns occurs, so none of the replacements does anything
    replaceAll(s, u"--", u"-");
    replaceAll(s, u" - - ", u"-");
    replaceAll(s, u" -  - ", u"-");
    replaceAll(s, u" -  -", u"-");
    replaceAll(s, u" -  ", u" - ");
    replaceAll(s, u"  - ", u" - ");
}

// Spaces around dashes and brackets, underscores to spaces, all lower case.
// The four replacements bring in nothing a later one looks for, so one sweep
// makes them together.
void spaceOutAndLower(QString& s)
{
    trimSpaces(s);
    const qsizetype n = s.size();
    QString r(3 * n, Qt::Uninitialized);
    const QChar* p = s.constData();
    char16_t* w = reinterpret_cast<char16_t*>(r.data());
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        switch (c) {
        case u'-':
            w[k++] = u' ';
            w[k++] = u'-';
            w[k++] = u' ';
            break;
        case u'(':
            w[k++] = u' ';
            w[k++] = u'(';
            break;
        case u')':
            w[k++] = u')';
            w[k++] = u' ';
            break;
        case u'_':
            w[k++] = u' ';
            break;
        default:
            w[k++] = lowerUnit(c);
        }
    }
    r.truncate(k);
    trimSpaces(r);
    s = std::move(r);
}

bool containsWwwIgnoringCase(const QString& s)
{
    // The code units that lower-case to "w", taken from the case mapping once
    // ("w" and "W"): a name with none of them is not read unit by unit.
    static const QVarLengthArray<char16_t, 4> lowerToW = [] {
        QVarLengthArray<char16_t, 4> r;
        for (char32_t c = 0; c < 0x10000; ++c)
            if (lowerUnit(char16_t(c)) == u'w') r.push_back(char16_t(c));
        return r;
    }();
    if (std::none_of(lowerToW.begin(), lowerToW.end(), [&s](char16_t w) { return hasChar(s, w); }))
        return false;
    int run = 0;
    for (QChar c : s) {
        run = lowerUnit(c.unicode()) == u'w' ? run + 1 : 0;
        if (run == 3) return true;
    }
    return false;
}

void cutWebAddresses(QString& s)
{
    // A round needs "http" or "www"; without either no round changes anything
    // and there is no "www" to delete.
    if (!containsIn(s, u"http") && !containsWwwIgnoringCase(s)) return;
    static constexpr QStringView endings[] = {u".com", u".net", u".org", u".se", u".ru", u".tk",
                                              u".pl",  u".de",  u".nu",  u".pl", u".eu"};
    for (int round = 0; round < 3; ++round) {
        qsizetype a = findIn(s, u"http") + 1;
        const QString low = lowered(s);
        if (a == 0) a = findIn(low, u"www") + 1;
        qsizetype b = 0;
        for (const QStringView e : endings) {
            b = findIn(low, e) + 1;
            if (b != 0) break;
        }
        if (a > 0 && b > 0) {
            // The pieces are joined as they are, even when the ending comes first.
            const qsizetype len = s.size();
            const qsizetype k = len - b - 2 > 0 ? 3 : 2;
            const qsizetype keep = std::max<qsizetype>(0, len - b - k);
            s = s.left(a - 1) + s.right(keep);
        }
    }
    replaceAll(s, u"www", u"");
}

// Runs of dots and of spaces become one character. The rounds go from
// Len - 1 down, so a run shorter than the name becomes one character at once;
// only a name that is all dots (or all spaces) goes through several rounds.
// shrink follows the rounds on one run: a round of k turns a run of m >= k
// into m / k + m % k, and rounds longer than the run find nothing.
void collapseDotsAndSpaces(QString& s)
{
    const qsizetype L = s.size();
    const auto shrink = [L](qsizetype m) {
        qsizetype k = std::min(m, L - 1);
        while (k >= 2 && m >= 2) {
            if (m >= k) m = m / k + m % k;
            k = std::min(k - 1, m);
        }
        return m;
    };
    reshapeRuns(s, u'.', shrink);
    reshapeRuns(s, u' ', shrink);
}

bool isByteCharacter(char16_t c)
{
    return c != 0 && cp1252::byteOf(c) >= 0;
}

// Runs of three or more equal byte characters (codes 1 to 255) become one.
// Collapsing one character's runs never removes a character kind, so runs of
// different characters do not meet; a run is shorter than the whole name
// unless the name is a single repeated character, which keeps two of it (or
// all three when it has three).
void collapseRepeatedCharacters(QString& s)
{
    const qsizetype L = s.size();
    if (L == 0) return;
    const QChar first = s.at(0);
    if (std::all_of(s.cbegin(), s.cend(), [first](QChar c) { return c == first; })) {
        if (L >= 4 && isByteCharacter(first.unicode())) s.truncate(2);
        return;
    }
    // Without a run of three nothing changes.
    qsizetype i = 2;
    while (i < L && !(s.at(i) == s.at(i - 1) && s.at(i) == s.at(i - 2)))
        ++i;
    if (i >= L) return;
    i -= 2;
    QChar* d = s.data();
    qsizetype w = i;
    while (i < L) {
        qsizetype j = i;
        while (j < L && d[j] == d[i])
            ++j;
        const qsizetype m = j - i;
        const qsizetype keep = m >= 3 && isByteCharacter(d[i].unicode()) ? 1 : m;
        const QChar c = d[i];
        for (qsizetype k = 0; k < keep; ++k)
            d[w++] = c;
        i = j;
    }
    s.truncate(w);
}

// Known ripper tags at the end of a name. Only the part after the first
// floor(9L/14) characters is searched, and it is lower-cased either way.
void removeRipperTags(QString& s)
{
    const qsizetype L = s.size();
    const qsizetype cut = (9 * L) / 14;
    // The tail is lower-cased whether or not a tag is found.
    {
        QChar* d = nullptr;
        for (qsizetype i = cut; i < L; ++i) {
            const char16_t c = s.at(i).unicode(), l = lowerUnit(c);
            if (l != c) {
                if (!d) d = s.data();
                d[i] = QChar(l);
            }
        }
    }
    static constexpr QStringView tags[] = {
        u"- qmi",      u"- rmi", u"- rns", u"- fnt",   u"- mod",    u"- jaffa", u"- mtc",   u"- syndikat",
        u"- rikskrim", u"- mip", u"- cmp", u"- jaffa", u"- owr",    u"- nbd",   u"- jrp",   u"- sds",
        u"- fmc",      u"- ffi", u"- bwa", u"- ffacc", u"- wly",    u"- mvp",   u"- mtc",   u"- amrc",
        u"- edf",      u"- fsp", u"- esk", u"- tn",    u"- whinar", u"- fst",   u"- hades", u"- sds",
        u"- int",      u"- mpx", u"- lzy", u"- gripp"};
    // When no tag occurs in the tail as it is, the first deletion finds
    // nothing, the tail stays as it is, and so does every later one.
    bool any = false;
    const QStringView v = QStringView(s).mid(cut);
    for (qsizetype i = findIn(v, u"- "); i >= 0 && !any; i = findIn(v, u"- ", i + 1)) {
        const QStringView rest = v.mid(i);
        any = std::any_of(std::begin(tags), std::end(tags), [rest](QStringView t) {
            return rest.size() >= t.size() && std::equal(t.begin() + 2, t.end(), rest.begin() + 2);
        });
    }
    if (!any) return;
    QString tail = s.mid(cut);
    for (const QStringView t : tags)
        replaceAll(tail, t, u"");
    s.truncate(cut);
    s.append(tail);
}

// Characters that have no place in a file name, and quotes.
void removeForbiddenCharacters(QString& s)
{
    cleanFileNameInPlace(s);
    trimSpaces(s);
}

void collapseSpaceRuns(QString& s)
{
    // Rounds k = 2 to 16, each replacing runs of k spaces by one.
    reshapeRuns(s, u' ', [](qsizetype m) {
        for (qsizetype k = 2; k <= 16 && m >= 2; ++k)
            if (m >= k) m = m / k + m % k;
        return m;
    });
}

void tightenBrackets(QString& s)
{
    // The patterns are "( ", " )" and " !".
    bool any = false;
    for (qsizetype i = 0; i + 1 < s.size() && !any; ++i) {
        const QChar a = s.at(i), b = s.at(i + 1);
        any = (a == u'(' && b == u' ') || (a == u' ' && (b == u')' || b == u'!'));
    }
    if (!any) return;
    replaceAll(s, u"( ", u"(");
    replaceAll(s, u" )", u")");
    replaceAll(s, u" !", u"!");
}

void runPass(QString& s, bool firstPass, const CallOptions& o)
{
    // The extension, lower-cased, kept aside on the stack.
    char16_t ext[4];
    const qsizetype extSize = std::min<qsizetype>(4, s.size());
    for (qsizetype i = 0; i < extSize; ++i)
        ext[i] = lowerUnit(s.at(s.size() - extSize + i).unicode());
    s.chop(extSize);

    if (hasChar(s, u'.')) { // both patterns start with a dot
        replaceAll(s, u".mp3", u"");
        replaceAll(s, u".wma", u"");
    }
    trimSpaces(s);
    swapChar(s, u'\t', u' ');
    if (o.removeActive) {
        lowerInPlace(s); // lower-cased even when the text is not found (or trims to nothing)
        replaceAll(s, o.removeLower, u"");
    }
    if (firstPass && !o.replaceLower.isEmpty()) {
        lowerInPlace(s);
        replaceAll(s, o.replaceLower, u"&repwith&");
    }
    removeBracketJunk(s);
    numberStage(s, o.removeTrackNumbers, o.removeAllNumbers);
    replaceSeparators(s);
    unwrapLeadingShortBracket(s);
    replaceUnbalancedBrackets(s);
    dropVariousArtists(s);
    deleteDashRuns(s);
    trimEdgeDashes(s);
    deleteUnderscoreRuns(s);
    tidyDashSpacing(s);
    spaceOutAndLower(s);
    if (s.isEmpty()) s = QStringLiteral("Unknown Artist - Unknown Title");
    cutWebAddresses(s);
    collapseDotsAndSpaces(s);
    if (o.collapseRepeats) collapseRepeatedCharacters(s);
    deleteDashRuns(s);
    trimEdgeDashes(s);
    removeRipperTags(s);
    capitalStage(s, o.removeTrackNumbers, o.capitalizeWords);
    removeForbiddenCharacters(s);
    trimEdgeDashes(s);
    collapseSpaceRuns(s);
    tightenBrackets(s);
    s.append(QStringView(ext, extSize));
}

} // namespace

QString trimfilename(const QString& name, bool removeTrackNumbers, bool capitalizeWords,
                     const QString& removeText, bool removeEnabled, bool collapseRepeats,
                     const QString& replaceWhat, const QString& replaceWith, bool removeAllNumbers)
{
    CallOptions o{removeTrackNumbers,
                  capitalizeWords,
                  collapseRepeats,
                  removeAllNumbers,
                  removeEnabled && !removeText.isEmpty(),
                  {},
                  {}};
    if (o.removeActive) o.removeLower = lowered(trimmedSpaces(removeText));
    if (!replaceWhat.isEmpty()) o.replaceLower = lowered(replaceWhat);

    QString s = name;
    runPass(s, true, o);
    runPass(s, false, o);
    replaceAll(s, u"&repwith&", replaceWith);
    trimSpaces(s);
    return s;
}

QString trimfilename(const QString& name, const ParserOptions& options)
{
    static const QString none;
    return trimfilename(name, options.removeTrackNumbers, options.capitalizeWords, options.removeText,
                        options.removeEnabled, options.collapseRepeats,
                        options.replaceEnabled ? options.replaceWhat : none,
                        options.replaceEnabled ? options.replaceWith : none, options.removeAllNumbers);
}

QString allUpperCase(const QString& name)
{
    if (name.size() <= 4) return name;
    QString head = name.left(name.size() - 4);
    upperInPlace(head);
    head.append(QStringView(name).last(4));
    return head;
}

} // namespace vantrel
