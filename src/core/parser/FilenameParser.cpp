#include "parser/FilenameParser.h"

#include "parser/CapitalStage.h"
#include "parser/FileNameCharacters.h"
#include "parser/NumberStage.h"
#include "parser/ParserText.h"
#include "tags/Windows1252.h"

#include <algorithm>

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
template <class F> void reshapeRuns(QString& s, char16_t c, F f)
{
    const qsizetype n = s.size();
    const QChar* p = s.constData();
    qsizetype i = 0;
    while (i < n && !(p[i] == c && i + 1 < n && p[i + 1] == c))
        ++i;
    if (i == n) return; // no run of two or more
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
    // for, so one sweep makes them all.
    CharMask m;
    QChar* w = nullptr;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        char16_t to = c;
        if (c == u'[' || c == u'<')
            to = u'(';
        else if (c == u']' || c == u'>')
            to = u')';
        if (to != c) {
            if (!w) w = s.data();
            w[i] = QChar(to);
        }
        m.add(to);
    }
    // m holds every character present (and some that were): a replacement
    // whose pattern needs an absent character finds nothing and is skipped.
    if (m.has(u'%') && replaceAll(s, u"%20", u" ")) m.add(u' ');
    if (m.has(u'\u0001')) replaceAll(s, QStringView(u"\u0001"), u"");
    if (m.has(u'(')) {
        replaceAll(s, u"( )", u"");
        replaceAll(s, u"((", u"(");
    }
    if (m.has(u')')) replaceAll(s, u"))", u")");
    if (m.has(u'?')) replaceAll(s, u"?", u"");
    if (m.has(u'6')) replaceAll(s, u"6 zan", u"6Zan");
}

void replaceSeparators(QString& s)
{
    const CharMask m = CharMask::of(s); // a pattern with an absent character is skipped
    if (m.has(u'(')) {
        replaceAll(s, u"()", u"");
        replaceAll(s, u"( )", u"");
    }
    if (m.has(u'.')) replaceAll(s, u". ", u" ");
    if (m.has(u'/') || m.has(u'\\') || m.has(u'%')) {
        for (QChar& c : s) {
            if (c == u'/' || c == u'\\')
                c = u'-';
            else if (c == u'%')
                c = u' ';
        }
    }
}

// "(01) Artist - Song" loses the brackets around its short leading part.
void unwrapLeadingShortBracket(QString& s)
{
    const qsizetype p = findChar(s, u')'); // Find(s, ")") - 1
    if (p <= 0) return;
    const QString t = trimmedSpaces(s);
    if (!t.startsWith(u'(')) return;
    if (trimmedSpaces(QStringView(s).mid(1, p - 1)).size() >= 3) // positions 2 to p
        return;
    s = t.mid(1);
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
    static const char16_t* const endings[] = {u".com", u".net", u".org", u".se", u".ru", u".tk",
                                              u".pl",  u".de",  u".nu",  u".pl", u".eu"};
    for (int round = 0; round < 3; ++round) {
        qsizetype a = findIn(s, u"http") + 1;
        const QString low = lowered(s);
        if (a == 0) a = findIn(low, u"www") + 1;
        qsizetype b = 0;
        for (const char16_t* e : endings) {
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
    static const char16_t* const tags[] = {
        u"- qmi",      u"- rmi", u"- rns", u"- fnt",   u"- mod",    u"- jaffa", u"- mtc",   u"- syndikat",
        u"- rikskrim", u"- mip", u"- cmp", u"- jaffa", u"- owr",    u"- nbd",   u"- jrp",   u"- sds",
        u"- fmc",      u"- ffi", u"- bwa", u"- ffacc", u"- wly",    u"- mvp",   u"- mtc",   u"- amrc",
        u"- edf",      u"- fsp", u"- esk", u"- tn",    u"- whinar", u"- fst",   u"- hades", u"- sds",
        u"- int",      u"- mpx", u"- lzy", u"- gripp"};
    // When no tag occurs in the tail as it is, the first deletion finds
    // nothing, the tail stays as it is, and so does every later one.
    bool any = false;
    const QStringView v = QStringView(s).mid(cut);
    for (qsizetype i = findIn(v, u"- "); i >= 0 && !any; i = findIn(v, u"- ", i + 1))
        for (const char16_t* t : tags)
            if (v.mid(i).startsWith(QStringView(t))) {
                any = true;
                break;
            }
    if (!any) return;
    QString tail = s.mid(cut);
    for (const char16_t* t : tags)
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
    const QString ext = lowered(QStringView(s).last(std::min<qsizetype>(4, s.size())));
    s.truncate(std::max<qsizetype>(0, s.size() - 4));

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
    s.append(ext);
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
