// The generated corpus of file names that the parser tests share: names built
// from the pieces that make the parser's steps act. Deterministic: the same
// names on every platform and run.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vantrel::test {

// splitmix64: the same sequence on every platform and standard library.
struct Random {
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % std::uint64_t(n)); }
    bool chance(int percent) { return below(100) < percent; }
};

inline const QStringList& pieces()
{
    static const QStringList all = [] {
        // Words, numbers and years, separators and runs, brackets and junk, web
        // addresses, and file-name endings inside the name.
        QStringList p =
            QString::fromUtf8(
                "artist|song|The|a|x|AB|some artist|Some Song|remix|Radio Edit|LIVE|intro|sooooong|aaaa|zzz|"
                "!!!|ok|it|ivy|Ivory|don'S|o'S|mr.brown|a.b.c.|u.s.a|feat|Feat |FEAT.|ft|fT |vs|Vs.|vol|VOL |"
                "dj|Dj |DJ|soft|defeat| ii| iii | iv| Iv | xvi| Xvi |II|6 zan|6 ZAN|va-|va - |VA -|"
                "various artists|Various Artists|&repwith&|&dot&|unknown|"
                // the sweeps that stand for several replacements: words, numerals, quotes, "www"
                "VoL |feat feat |sft | iii iii | Iii| xv|''S|dDj |wWw.|- - qmimod")
                .split(u'|');
        p << QStringList{"0",    "1",    "2",     "7",     "9",    "00",   "01",   "07",   "09",   "10",
                         "12",   "20",   "30",    "31",    "45",   "99",   "100",  "105",  "199",  "200",
                         "299",  "300",  "999",   "1000",  "1500", "1899", "1900", "1999", "2000", "2005",
                         "2020", "2021", "12345", "19999", "0199", "1 ",   " 3.",  "05. ", "01 - "};
        p << QStringList{" - ", "-",    "--",     "---", "----", "-----", " -- ", "_",      "__",
                         "___", "____", "______", "_-_", " ",    "  ",    "   ",  "      ", ".",
                         "..",  "...",  ". ",     " .",  ".-.",  "\t",    "- ",   " -"};
        p << QStringList{"[",  "]",  "(",   ")",     "<",    ">",      "{",   "}",  "( )", "()",
                         "((", "))", "(((", "[rip]", "(01)", "(Live)", "%20", "%",  "%%",  "?",
                         "*",  "\"", "'",   "`",     ":",    ";",      "|",   "\\", "/",   "=",
                         "@",  "^",  "~",   "!",     " !",   ",",      "&"};
        p << QStringList{"www.",        "WWW.", "http://", "https://www.", "example", "site",
                         ".com",        ".net", ".org",    ".se",          ".ru",     ".tk",
                         ".pl",         ".de",  ".nu",     ".eu",          ".COM",    "www.example.com",
                         "http://x.se "};
        p << QStringList{".mp3", ".wma", ".MP3"};
        // ripper tags, some as the start of a longer word
        for (const char* t :
             {"qmi", "rmi", "rns", "fnt", "mod",    "jaffa", "mtc",   "syndikat", "rikskrim", "mip", "cmp",
              "owr", "nbd", "jrp", "sds", "fmc",    "ffi",   "bwa",   "ffacc",    "wly",      "mvp", "amrc",
              "edf", "fsp", "esk", "tn",  "whinar", "fst",   "hades", "int",      "mpx",      "lzy", "gripp"})
            p << QStringLiteral("- %1").arg(QLatin1String(t));
        p << "- intro"
          << "- tnt"
          << "-qmi";
        return p;
    }();
    return all;
}

inline QString randomPiece(Random& r)
{
    const int kind = r.below(100);
    if (kind < 80) return pieces()[r.below(int(pieces().size()))];
    if (kind < 86) { // byte characters 128 to 255, and the raw code units of that range
        const char16_t cp1252[] = {0x20AC, 0x201A, 0x0192, 0x2026, 0x2020, 0x0160, 0x0161, 0x2039,
                                   0x203A, 0x0152, 0x0153, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D,
                                   0x2013, 0x2014, 0x2122, 0x0178, 0x008D, 0x0081, 0x009D};
        if (r.chance(50)) return QString(QChar(cp1252[r.below(int(std::size(cp1252)))]));
        return QString(QChar(char16_t(0x80 + r.below(128))));
    }
    if (kind < 89)                                    // control characters, the year markers' range included
        return QString(QChar(char16_t(r.below(32)))); // U+0000 included
    if (kind < 92) {                                  // a run of one repeated character
        const char16_t c = QStringLiteral("ao-_. e1%")[r.below(9)].unicode();
        return QString(2 + r.below(8), QChar(c));
    }
    if (kind < 95) { // digits
        QString d;
        for (int i = 0, n = 1 + r.below(6); i < n; ++i)
            d += QChar(char16_t(u'0' + r.below(10)));
        return d;
    }
    if (kind < 97) { // other scripts and case oddities
        static const char16_t* const odd[] = {u"\u0130", u"\u00df", u"\u00e9t\u00e9", u"\u0391\u03b2",
                                              u"\u212a", u"\u017f", u"\U0001F3B5",    u"\u0149",
                                              u"\u01c5", u"\uFB00"};
        return QString::fromUtf16(odd[r.below(int(std::size(odd)))]);
    }
    QString w; // random ASCII letters
    for (int i = 0, n = 1 + r.below(10); i < n; ++i)
        w += QChar(char16_t((r.chance(50) ? u'a' : u'A') + r.below(26)));
    return w;
}

// Long names (up to about 250 characters) only come without the collapse of
// repeated characters, whose transcription grows with the square of the length.
inline QString randomName(Random& r, bool allowLong)
{
    QString name;
    const int shape = r.below(100);
    const int count = shape < 3                    ? 0
                      : shape < 10                 ? 1
                      : (shape < 97 || !allowLong) ? 2 + r.below(10)
                                                   : 20 + r.below(25);
    for (int i = 0; i < count; ++i) {
        name += randomPiece(r);
        if (r.chance(30)) name += QLatin1Char(' ');
    }
    static const char* const endings[] = {".mp3", ".mp3", ".mp3", ".mp3", ".MP3",  ".wma", ".WMA",
                                          ".Mp3", "",     "mp3",  ".m",   " .mp3", ".mp "};
    name += QLatin1String(endings[r.below(int(std::size(endings)))]);
    return name;
}

} // namespace vantrel::test
