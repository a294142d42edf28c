// Decided results of the filename parser. Agreement with the plain step-list
// transcription over the generated corpus is test_ParserDifferential's; these
// rows pin what both must give, and cover what the corpus cannot reach.
#include "LiteralParser.h"
#include "parser/FilenameParser.h"

#include <QStringList>
#include <gtest/gtest.h>

using vantrel::ParserOptions;

// One row per kind of step; the switch for the replacement is not modelled by
// the step list, which only sees the texts.
TEST(FilenameParser, DecidedResults)
{
    ParserOptions replace;
    replace.replaceWhat = u"abc"_qs;
    replace.replaceWith = u"The ABC"_qs;
    ParserOptions replaceOn = replace;
    replaceOn.replaceEnabled = true;
    const struct {
        const char16_t* name;
        const char16_t* expected;
        ParserOptions options = {};
    } cases[] = {
        {u"abc - xyz.mp3", u"The ABC - Xyz.mp3", replaceOn},
        {u"abc - xyz.mp3", u"Abc - Xyz.mp3", replace},
        {u"01_-_some_artist_-_some_song_[rip].mp3", u"Some Artist - Some Song (Rip).mp3"},
        {u"artist - the song - intro.mp3", u"Artist - The Song Ro.mp3"}, // "- int" goes from "- intro"
        {u"dj someone feat other - part iv.mp3", u"DJ Someone feat. Other - Part IV.mp3"},
        // Windows-1252: the euro sign, the dagger and "«" go; "é" and "ß" stay.
        {u"Caf\u00e9 \u20ac\u2020\u00ab - \u00dfong.mp3", u"Caf\u00e9 - \u00dfong.mp3"},
        {u".mp3", u"Unknown Artist - Unknown Title.mp3"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf16(c.name);
        EXPECT_EQ(vantrel::trimfilename(name, c.options), QString::fromUtf16(c.expected))
            << name.toStdString();
    }
}

// 21 different years, more than the corpus makes: the first 20 are protected,
// the 21st is left to the rules for any number.
TEST(FilenameParser, TwentyYearsAreProtected)
{
    QString name = QStringLiteral("Artist - Song");
    for (int year = 1980; year <= 2000; ++year)
        name += QLatin1Char(' ') + QString::number(year);
    name += QStringLiteral(".mp3");
    const QString out = vantrel::trimfilename(name, ParserOptions());
    EXPECT_EQ(out,
              vantrel::literal::trimfilename(name, true, true, {}, false, false, {}, {}, false)); // defaults
    for (int year = 1980; year <= 1999; ++year)
        EXPECT_TRUE(out.contains(QString::number(year))) << year;
}
