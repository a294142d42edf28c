// Worked examples for the filename parser, each checked on the production
// parser and on the plain step-list transcription.
#include "LiteralParser.h"
#include "parser/FilenameParser.h"
#include "parser/ParserText.h"

#include <QStringList>
#include <gtest/gtest.h>

using vantrel::ParserOptions;

namespace {

struct Case {
    const char16_t* name;
    const char16_t* expected;
    ParserOptions options = {};
};

ParserOptions opts(void (*change)(ParserOptions&))
{
    ParserOptions o;
    change(o);
    return o;
}

QString literalParse(const QString& name, const ParserOptions& o)
{
    return vantrel::literal::trimfilename(name, o.removeTrackNumbers, o.capitalizeWords, o.removeText,
                                          o.removeEnabled, o.collapseRepeats,
                                          o.replaceEnabled ? o.replaceWhat : QString(),
                                          o.replaceEnabled ? o.replaceWith : QString(), o.removeAllNumbers);
}

void checkAll(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        const QString name = QString::fromUtf16(c.name);
        const std::string expected = QString::fromUtf16(c.expected).toStdString();
        EXPECT_EQ(vantrel::trimfilename(name, c.options).toStdString(), expected)
            << "production: " << name.toStdString();
        EXPECT_EQ(literalParse(name, c.options).toStdString(), expected) << "literal: " << name.toStdString();
    }
}

const ParserOptions keepNumbers = opts([](ParserOptions& o) { o.removeTrackNumbers = false; });
const ParserOptions noWordCaps = opts([](ParserOptions& o) { o.capitalizeWords = false; });
const ParserOptions collapse = opts([](ParserOptions& o) { o.collapseRepeats = true; });
const ParserOptions allNumbers = opts([](ParserOptions& o) { o.removeAllNumbers = true; });

} // namespace

TEST(FilenameParser, Cleanup)
{
    checkAll({
        {u"01_-_some_artist_-_some_song_[rip].mp3", u"Some Artist - Some Song (Rip).mp3"},
        {u"Artist%20-%20Song.mp3", u"Artist - Song.mp3"},
        {u"Artist -- Song.mp3", u"Artist Song.mp3"},
        {u"va - artist - song.mp3", u"Artist - Song.mp3"},
        {u"artist - the song - intro.mp3", u"Artist - The Song Ro.mp3"}, // "- int" goes from "- intro"
        {u"the artist - song www.example.com.mp3", u"The Artist - Song.mp3"},
        {u"Artist - Song [www.example.nu] extra.mp3", u"Artist - Song - Extra.mp3"},
        {u"artist - song (remix.mp3", u"Artist - Song - Remix.mp3"},
        {u"Artist - Song.mp3.mp3", u"Artist - Song.mp3"},
        {u"Artist - Song.MP3.mp3",
         u"Artist - Song Mp3.mp3"}, // ".MP3" survives the deletion, its dot does not
        {u"6 zan - changes.mp3", u"6zan - Changes.mp3"},
        {u"(Live) Artist - Song.mp3", u"(Live) Artist - Song.mp3"},
        {u"Artist - Sooooong.mp3", u"Artist - Song.mp3", collapse},
        // Byte characters 128-255 as Windows-1252: the euro sign, the dagger and
        // "«" go; "é" and "ß" stay.
        {u"Caf\u00e9 \u20ac\u2020\u00ab - \u00dfong.mp3", u"Caf\u00e9 - \u00dfong.mp3"},
    });
}

TEST(FilenameParser, TextOptions)
{
    const auto replacing = [](bool on, const char* what, const char* with) {
        ParserOptions o;
        o.replaceEnabled = on;
        o.replaceWhat = QString::fromLatin1(what);
        o.replaceWith = QString::fromLatin1(with);
        return o;
    };
    const ParserOptions replace = replacing(true, "abc", "The ABC"),
                        replaceOff = replacing(false, "abc", "The ABC");
    const ParserOptions regexLike = replacing(true, ".*", "$1 &repwith&");
    ParserOptions remove;
    remove.removeEnabled = true;
    remove.removeText = QStringLiteral("  Various Artists ");
    checkAll({
        {u"abc - xyz.mp3", u"The ABC - Xyz.mp3", replace},
        {u"abc - xyz.mp3", u"Abc - Xyz.mp3", replaceOff},
        {u"various artists - xyz.mp3", u"Xyz.mp3", remove},
        {u"a.* - b.mp3", u"A$1 &repwith& - B.mp3", regexLike}, // no pattern syntax, no rescan
    });
}

TEST(FilenameParser, Numbers)
{
    checkAll({
        {u"01 - Artist - Title.mp3", u"Artist - Title.mp3"},
        {u"105 artist - song.mp3", u"Artist - Song.mp3"},
        {u"Artist - 2005 - Song.mp3", u"Artist - 2005 - Song.mp3"},
        {u"1999 - Artist - 1999.mp3", u"Artist - 1999.mp3"},
        {u"Artist - Song 1500 remix.mp3", u"Artist - Song Remix.mp3"},
        {u"Artist - Song 100%.mp3", u"Artist - Song 100.mp3"}, // "%" becomes a space after the years are back
        {u"Artist 2 - Song 45.mp3", u"Artist - Song.mp3", allNumbers},
        {u"Artist - Song 1999.mp3", u"Artist - Song.mp3", allNumbers}, // no year protection here
    });
}

TEST(FilenameParser, Capitals)
{
    checkAll({
        {u"some artist - some song.mp3", u"Some Artist - Some Song.mp3"},
        {u"some artist - some song.mp3", u"Some Artist - Some song.mp3", noWordCaps},
        {u"a.b.c. - some song.mp3", u"A.B.C - Some Song.mp3"},
        {u"artist - part iv theme.mp3", u"Artist - Part IV Theme.mp3"},
        {u"Artist - the best of ii - song.mp3", u"Artist - The Best Of II - Song.mp3"},
        {u"artist - poison ivy.mp3", u"Artist - Poison IVy.mp3"},
        {u"dj someone feat other - song.mp3", u"DJ Someone feat. Other - Song.mp3"},
        {u"artist - soft song.mp3", u"Artist - Soft. Song.mp3"},
    });
}

// Names where a step would need a negative count, an empty name or more than
// 20 years: the decided results, identical in both implementations.
TEST(FilenameParser, DecidedLimits)
{
    checkAll({
        {u"ab.mp3", u"Ab.mp3"},
        {u".mp3", u"Unknown Artist - Unknown Title.mp3"},
        {u"", u"Unknown Artist - Unknown Title"},
        {u"mp3", u"Unknown Artist - Unknown Titlemp3"}, // shorter than an extension: all extension
        {u"www.example.com.mp3", u"Unknown Artist - Unknown Title.mp3"},
        {u"Song .com www.x.mp3",
         u"Song Com .X.mp3"}, // the ending before the address: pieces joined as they are
        {u"ab.c.mp3", u"AB.C.mp3", keepNumbers},
    });
    // A U+0000 two places after a dot is a character, not the end of the name:
    // the dot inside the word becomes a space.
    const QString withNul = QStringLiteral("ab.c") + QChar(0) + QStringLiteral("d.mp3");
    const QString nulOut = QStringLiteral("Ab C") + QChar(0) + QStringLiteral("d.mp3");
    EXPECT_EQ(vantrel::trimfilename(withNul, keepNumbers), nulOut);
    EXPECT_EQ(literalParse(withNul, keepNumbers), nulOut);
    // 21 different years: the first 20 are protected, the 21st loses digits like any number.
    QString name = QStringLiteral("Artist - Song");
    for (int year = 1980; year <= 2000; ++year)
        name += QLatin1Char(' ') + QString::number(year);
    name += QStringLiteral(".mp3");
    const QString out = vantrel::trimfilename(name, ParserOptions());
    EXPECT_EQ(out, literalParse(name, ParserOptions()));
    for (int year = 1980; year <= 1999; ++year)
        EXPECT_TRUE(out.contains(QString::number(year))) << year;
    EXPECT_TRUE(out.endsWith(QStringLiteral(".mp3")));
}

TEST(FilenameParser, AllUpperCase)
{
    // The extension keeps its case; names without one stay as they are.
    EXPECT_EQ(vantrel::allUpperCase(QStringLiteral("\u00e9t\u00e9 - \u00e0 x.MP3")),
              QStringLiteral("\u00c9T\u00c9 - \u00c0 X.MP3"));
    EXPECT_EQ(vantrel::allUpperCase(QStringLiteral("ab")), QStringLiteral("ab"));
}

// The parser lower-cases the ripper-tag tail once where the step list does it
// for every tag; that is only the same if lower-casing twice changes nothing.
TEST(FilenameParser, LowerCaseIsStable)
{
    int unstable = 0;
    for (char32_t c = 0; c < 0x10000; ++c) {
        const char16_t l = vantrel::parser::lowerUnit(char16_t(c));
        if (vantrel::parser::lowerUnit(l) != l) ++unstable;
    }
    EXPECT_EQ(unstable, 0);
}
