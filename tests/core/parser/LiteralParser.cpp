#include "LiteralParser.h"

#include <QChar>
#include <cmath>
#include <vector>

// The parser this is the reference of is src/core/parser/FilenameParser.cpp
// (with NumberStage.cpp and CapitalStage.cpp there), which does the same work
// with shortcuts. A change to a rule is made in both, in the same commit;
// test_ParserDifferential then tells whether the shortcuts still hold.

// Conventions of the reference: positions count from 1; a count below zero
// takes nothing (First/Last give ""), a position outside the text gives ""
// from Char. These are the choices the production parser documents too.

namespace vantrel::literal {
namespace {

using Str = QString;

int Len(const Str& s)
{
    return int(s.size());
}

Str First(const Str& s, int n)
{
    if (n <= 0) return Str();
    return n >= Len(s) ? s : s.left(n);
}

Str Last(const Str& s, int n)
{
    if (n <= 0) return Str();
    return n >= Len(s) ? s : s.right(n);
}

Str From(const Str& s, int p)
{
    if (p < 1) p = 1;
    return p > Len(s) ? Str() : s.mid(p - 1);
}

Str Char(const Str& s, int p)
{
    if (p < 1 || p > Len(s)) return Str();
    return s.mid(p - 1, 1);
}

int Find(const Str& s, const Str& t, int p = 1)
{
    for (int i = p; i + Len(t) - 1 <= Len(s); ++i) {
        bool same = true;
        for (int j = 0; j < Len(t) && same; ++j)
            same = s[i - 1 + j] == t[j];
        if (same) return i;
    }
    return 0;
}

char16_t lowerUnit(char16_t c)
{
    const char32_t m = QChar::toLower(char32_t(c));
    return m > 0xFFFF ? c : char16_t(m);
}

char16_t upperUnit(char16_t c)
{
    const char32_t m = QChar::toUpper(char32_t(c));
    return m > 0xFFFF ? c : char16_t(m);
}

Str Lower(const Str& s)
{
    Str r(Len(s), QChar());
    for (int i = 0; i < Len(s); ++i)
        r[i] = QChar(lowerUnit(s[i].unicode()));
    return r;
}

Str Upper(const Str& s)
{
    Str r(Len(s), QChar());
    for (int i = 0; i < Len(s); ++i)
        r[i] = QChar(upperUnit(s[i].unicode()));
    return r;
}

bool sameAt(const Str& s, int i, const Str& a, bool ignoreCase)
{
    if (i + Len(a) - 1 > Len(s)) return false;
    for (int j = 0; j < Len(a); ++j) {
        char16_t x = s[i - 1 + j].unicode(), y = a[j].unicode();
        if (ignoreCase) {
            x = lowerUnit(x);
            y = lowerUnit(y);
        }
        if (x != y) return false;
    }
    return true;
}

Str ReplaceImpl(const Str& s, const Str& a, const Str& b, bool ignoreCase)
{
    if (a.isEmpty()) return s;
    // Nothing to do unless a occurs somewhere (this only saves building a copy).
    int i = 1;
    if (!ignoreCase) {
        const qsizetype at = QStringView(s).indexOf(QStringView(a));
        i = at < 0 ? Len(s) + 1 : int(at) + 1;
    } else {
        while (i <= Len(s) && !sameAt(s, i, a, ignoreCase))
            ++i;
    }
    if (i > Len(s)) return s;
    Str r = s.left(i - 1);
    while (i <= Len(s)) {
        if (sameAt(s, i, a, ignoreCase)) {
            r += b;
            i += Len(a);
        } else {
            r += s[i - 1];
            ++i;
        }
    }
    return r;
}

Str Replace(const Str& s, const Str& a, const Str& b)
{
    return ReplaceImpl(s, a, b, false);
}
Str ReplaceNoCase(const Str& s, const Str& a, const Str& b)
{
    return ReplaceImpl(s, a, b, true);
}

Str Trim(const Str& s)
{
    int a = 1, b = Len(s);
    while (a <= b && s[a - 1] == u' ')
        ++a;
    while (b >= a && s[b - 1] == u' ')
        --b;
    return s.mid(a - 1, b - a + 1);
}

// Character n: bytes 128 to 255 as Windows-1252 reads them.
Str Chr(int n)
{
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 128-135
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 136-143
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 144-151
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 152-159
    };
    const char16_t c = (n >= 128 && n < 160) ? high[n - 128] : char16_t(n);
    return Str(QChar(c));
}

// The decimal text of n (made once per number; this only saves time).
Str Digits(int n)
{
    static const std::vector<Str> texts = [] {
        std::vector<Str> t;
        for (int i = 0; i <= 2020; ++i)
            t.push_back(Str::number(i));
        return t;
    }();
    return n >= 0 && n <= 2020 ? texts[size_t(n)] : Str::number(n);
}

Str Repeat(const Str& t, int n)
{
    return n <= 0 ? Str() : t.repeated(n);
}

Str UpperAt(const Str& s, int q)
{
    return First(s, q - 1) + Upper(Char(s, q)) + Last(s, Len(s) - q);
}
Str LowerAt(const Str& s, int q)
{
    return First(s, q - 1) + Lower(Char(s, q)) + Last(s, Len(s) - q);
}

Str Marker(int k)
{
    return "%" + Chr(k) + Chr(k) + "%";
}

Str DashRuns(Str s)
{
    for (int k = 2; k <= 401; ++k)
        s = Replace(s, Repeat("-", k), "");
    return s;
}

Str EdgeDashTrim(Str s)
{
    if (First(s, 1) == "-") s = From(s, 2);
    if (First(s, 3) == " - ") s = From(s, 4);
    if (First(s, 2) == "- ") s = From(s, 3);
    if (First(s, 2) == " -") s = From(s, 3);
    if (Last(s, 1) == "-") s = First(s, Len(s) - 1);
    if (Last(s, 3) == " - ") s = First(s, Len(s) - 3);
    if (Last(s, 2) == " -") s = First(s, Len(s) - 2);
    if (Last(s, 2) == "- ") s = First(s, Len(s) - 2);
    return s;
}

Str NumberStage(Str s, bool removeTrackNumbers, bool removeAllNumbers)
{
    const int L = Len(s);
    const int t = int(std::floor(L / 2.0 + L / 6.0));
    if (removeAllNumbers) {
        for (int i = 0; i <= 9; ++i)
            s = Replace(s, Digits(i), "");
        return s;
    }
    if (!removeTrackNumbers) return s;

    int yearTable[21] = {};
    int y = 0;

    for (int n = 1000; n <= 1899; ++n) // T1
        s = Replace(s, Digits(n), " ");

    for (int n = 100; n <= 299; ++n) { // T2
        const int f = Find(s, Digits(n));
        if (Len(s) > 7 && ((f >= 1 && f <= 6) || First(s, 3) == Digits(n)))
            s = Replace(First(s, 7), Digits(n), " ") + Last(s, Len(s) - 7);
    }

    for (int n = 1900; n <= 2020; ++n) { // T3
        if (Find(s, Digits(n)) > 0) {
            if (y == 20) continue; // the table is full: later years stay unprotected
            y = y + 1;
            s = Replace(s, Digits(n), Marker(y));
            yearTable[y] = n;
        }
    }

    for (int i = 0; i <= 9; ++i) { // T4
        const Str z = "0" + Digits(i);
        const int f = Find(s, z);
        if (Len(s) > 4 && ((f >= 1 && f <= t - 1) || First(s, 2) == z))
            s = Replace(First(s, t), z, " ") + Last(s, Len(s) - t);
    }

    for (int n = 999; n >= 31; --n) { // T5
        const int first = Find(s, "-");
        if (first > 0 && Find(s, "-", first + 1) > 0)
            s = Replace(First(s, t), Digits(n), " ") + Last(s, Len(s) - t);
        s = Replace(First(s, 3), Digits(n), " ") + Last(s, Len(s) - 3);
    }

    for (int n = 10; n <= 30; ++n) // T6
        s = Replace(First(s, t), Digits(n), " ") + Last(s, Len(s) - t);

    for (int i = 0; i <= 9; ++i) { // T7
        s = Replace(s, " " + Digits(i) + ".", " ");
        if (First(s, 2) == Digits(i) + " " || First(s, 2) == Digits(i) + ".") s = From(s, 3);
    }

    for (int k = 0; k <= 20; ++k) // T8
        s = Replace(s, Marker(k), Digits(yearTable[k]));
    return s;
}

Str CapitalStage(Str s, bool removeTrackNumbers, bool capitalizeWords)
{
    if (Len(s) == 1) // C1
        s = "Unknown Artist - " + Upper(s);
    s = UpperAt(s, 1);          // C2
    const int d = Find(s, "-"); // C3
    const int r = Len(s) - d;
    for (int i = 1; i <= d; ++i) // C4
        if (Char(s, i) == " " || Char(s, i) == "(") s = UpperAt(s, i + 1);
    s = First(s, d + 1) + Upper(Char(s, d + 2)) + Last(s, r - 2); // C5
    if (Len(s) > 1)                                               // C6
        s = LowerAt(s, 2);
    const int c7 = Len(s) - 1; // C7
    for (int i = 1; i <= c7; ++i)
        if (Char(s, i) + Char(s, i + 1) == "- ") s = UpperAt(s, i + 2);
    static const char* const roman[][2] = {
        // C8
        {" iii ", " III "}, {" iii", " III"}, {" ii ", " II "},   {" iv ", " IV "}, {" iv", " IV"},
        {" xvi ", " XVI "}, {" xvi", " XVI"}, {" Iii ", " III "}, {" Iii", " III"}, {" Ii ", " II "},
        {" Iv ", " IV "},   {" Iv", " IV"},   {" Xvi ", " XVI "}, {" Xvi", " XVI"}};
    for (const auto& p : roman)
        s = Replace(s, p[0], p[1]);
    s = Trim(s);                                      // C9
    const Str endChars = ",.-(", startChars = ",.-)"; // C10
    if (Len(s) > 0 && endChars.contains(Last(s, 1))) s = First(s, Len(s) - 1);
    if (Len(s) > 0 && startChars.contains(First(s, 1))) s = From(s, 2);
    s = Replace(s, " - - ", " - "); // C11
    s = Replace(s, Chr(3), "");
    if (removeTrackNumbers) // C12
        for (int i = 0; i <= 9; ++i)
            if (First(s, 4) == Digits(i) + " - ") s = From(s, 5);
    s = Trim(s);           // C13
    if (capitalizeWords) { // C14
        const int n = Len(s) - 1;
        for (int i = 1; i <= n; ++i)
            if (Char(s, i) == " " || Char(s, i) == "(") s = UpperAt(s, i + 1);
    }
    const int n15 = Len(s); // C15
    for (int i = 1; i <= n15; ++i) {
        if (Char(s, i) == ".") {
            const Str c = Char(s, i + 2);
            if (c == "." || c == " " || c == ")" || c.isEmpty()) {
                s = UpperAt(s, i + 1);
                s = UpperAt(s, i - 1);
            } else {
                s = First(s, i - 1) + " " + Last(s, Len(s) - i);
            }
        }
    }
    static const char* const words[][2] = {{"Feat ", "feat. "}, {"feat ", "feat. "}, {"Ft ", "ft. "},
                                           {"ft ", "ft. "},     {"Vs ", "vs. "},     {"vs ", "vs. "},
                                           {"Vol ", "vol. "},   {"vol ", "vol. "}};
    for (const auto& w : words) // C16
        s = ReplaceNoCase(s, w[0], w[1]);
    s = Replace(s, "'S", "'s");
    s = Replace(s, "Dj ", "DJ ");
    s = Replace(s, "dj ", "DJ ");
    return s;
}

Str WebAddresses(Str s)
{
    static const char* const endings[] = {".com", ".net", ".org", ".se", ".ru", ".tk",
                                          ".pl",  ".de",  ".nu",  ".pl", ".eu"};
    for (int round = 0; round < 3; ++round) {
        int a = 0, b = 0;
        a = Find(s, "http");
        if (a == 0) a = Find(Lower(s), "www");
        for (const char* e : endings) {
            if (b != 0) break;
            b = Find(Lower(s), e);
        }
        if (a > 0 && b > 0) {
            const int k = Len(s) - b - 2 > 0 ? 3 : 2;
            s = First(s, a - 1) + Last(s, Len(s) - b - k);
        }
    }
    return Replace(s, "www", "");
}

Str Pass(Str s, bool firstPass, bool removeTrackNumbers, bool capitalizeWords, const Str& removeText,
         bool removeEnabled, bool collapseRepeats, const Str& replaceWhat, bool removeAllNumbers)
{
    const Str ext = Lower(Last(s, 4)); // 1
    s = First(s, Len(s) - 4);
    s = Replace(s, ".mp3", ""); // 2
    s = Replace(s, ".wma", "");
    s = Trim(s); // 3
    s = Replace(s, "\t", " ");
    if (removeEnabled && !removeText.isEmpty()) // 4
        s = Replace(Lower(s), Lower(Trim(removeText)), "");
    if (firstPass && !replaceWhat.isEmpty()) // 5
        s = Replace(Lower(s), Lower(replaceWhat), "&repwith&");
    s = Replace(s, "[", "("); // 6
    s = Replace(s, "]", ")");
    s = Replace(s, "<", "(");
    s = Replace(s, ">", ")");
    s = Replace(s, "%20", " ");
    s = Replace(s, Chr(1), "");
    s = Replace(s, "( )", "");
    s = Replace(s, "((", "(");
    s = Replace(s, "))", ")");
    s = Replace(s, "?", "");
    s = Replace(s, "6 zan", "6Zan");
    s = NumberStage(s, removeTrackNumbers, removeAllNumbers); // 7
    s = Replace(s, "()", "");                                 // 8
    s = Replace(s, "( )", "");
    s = Replace(s, ". ", " ");
    s = Replace(s, "/", "-");
    s = Replace(s, "\\", "-");
    s = Replace(s, "%", " ");
    const int p = Find(s, ")") - 1; // 9
    if (p > 0 && First(Trim(s), 1) == "(" && Len(Trim(First(From(s, 2), p - 1))) < 3) {
        s = From(Trim(s), 2);
        s = First(s, p - 1) + Last(s, Len(s) - p);
    }
    if (Find(s, ")") > 0 && Find(s, "(") == 0) // 10
        s = Replace(s, ")", "-");
    if (Find(s, "(") > 0 && Find(s, ")") == 0) s = Replace(s, "(", "-");
    s = Trim(s); // 11
    if (Lower(First(s, 3)) == "va-") s = From(s, 4);
    if (Lower(First(s, 4)) == "va -") s = From(s, 5);
    s = DashRuns(s);     // 12
    s = EdgeDashTrim(s); // 13
    s = Trim(s);         // 14
    for (int k = 3; k <= 22; ++k)
        s = Replace(s, Repeat("_", k), "");
    s = Replace(s, "--", "-"); // 15
    s = Replace(s, " - - ", "-");
    s = Replace(s, " -  - ", "-");
    s = Replace(s, " -  -", "-");
    s = Replace(s, " -  ", " - ");
    s = Replace(s, "  - ", " - ");
    s = Trim(s); // 16
    s = Replace(s, "-", " - ");
    s = Replace(s, "(", " (");
    s = Replace(s, ")", ") ");
    s = Replace(s, "_", " ");
    s = Trim(Lower(s));
    if (s.isEmpty()) // 17
        s = "Unknown Artist - Unknown Title";
    s = WebAddresses(s);    // 18
    const int L19 = Len(s); // 19
    for (int i = 1; i <= L19; ++i) {
        s = Replace(s, Repeat(".", L19 - i), ".");
        s = Replace(s, Repeat(" ", L19 - i), " ");
    }
    if (collapseRepeats) { // 20
        for (int c = 1; c <= 255; ++c) {
            const int L = Len(s);
            const Str R = Repeat(Chr(c), L);
            for (int i = 1; i <= L - 3; ++i)
                s = Replace(s, First(R, L - i), Chr(c));
        }
    }
    s = DashRuns(s); // 21
    s = EdgeDashTrim(s);
    static const char* const tags[] = {
        "- qmi", "- rmi",    "- rns",   "- fnt",   "- mod", "- jaffa", "- mtc", "- syndikat", "- rikskrim",
        "- mip", "- cmp",    "- jaffa", "- owr",   "- nbd", "- jrp",   "- sds", "- fmc",      "- ffi",
        "- bwa", "- ffacc",  "- wly",   "- mvp",   "- mtc", "- amrc",  "- edf", "- fsp",      "- esk",
        "- tn",  "- whinar", "- fst",   "- hades", "- sds", "- int",   "- mpx", "- lzy",      "- gripp"};
    const int L22 = Len(s); // 22
    const int cut = int(std::floor(L22 / 2.0 + L22 / 7.0));
    for (const char* tag : tags)
        s = First(s, cut) + Replace(Lower(Last(s, Len(s) - cut)), tag, "");
    s = CapitalStage(s, removeTrackNumbers, capitalizeWords);     // 23
    const auto del = [&s](int c) { s = Replace(s, Chr(c), ""); }; // 24
    for (int c = 58; c <= 64; ++c)
        del(c);
    for (int c = 91; c <= 96; ++c)
        del(c);
    for (int c = 123; c <= 126; ++c)
        del(c);
    del(128);
    for (int c = 130; c <= 137; ++c)
        del(c);
    for (int c = 139; c <= 153; ++c)
        del(c);
    del(155);
    for (int c = 161; c <= 191; ++c)
        del(c);
    del(155);
    del(240);
    del(248);
    s = Replace(s, Chr(34), "'"); // 25
    s = Replace(s, "*", "");
    s = Trim(s);
    s = EdgeDashTrim(s);          // 26
    for (int k = 2; k <= 16; ++k) // 27
        s = Replace(s, Repeat(" ", k), " ");
    s = Replace(s, "( ", "("); // 28
    s = Replace(s, " )", ")");
    s = Replace(s, " !", "!");
    return s + ext; // 29
}

} // namespace

QString trimfilename(const QString& name, bool removeTrackNumbers, bool capitalizeWords,
                     const QString& removeText, bool removeEnabled, bool collapseRepeats,
                     const QString& replaceWhat, const QString& replaceWith, bool removeAllNumbers)
{
    const Str remove = removeEnabled ? removeText : Str();
    Str s = Pass(name, true, removeTrackNumbers, capitalizeWords, remove, removeEnabled, collapseRepeats,
                 replaceWhat, removeAllNumbers);
    s = Pass(s, false, removeTrackNumbers, capitalizeWords, remove, removeEnabled, collapseRepeats,
             replaceWhat, removeAllNumbers);
    s = Replace(s, "&repwith&", replaceWith);
    return Trim(s);
}

} // namespace vantrel::literal
