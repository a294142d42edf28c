// Names composed from tag fields by the renaming scheme, and the clean-up of
// custom patterns.
#include "TestFiles.h"
#include "parser/RenamingScheme.h"

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

struct SchemeCase {
    SchemeChoice choice;
    const char16_t* pattern;
    SchemeFields fields;
    bool removeTrackNumbers;
    bool allUpper;
    const char16_t* expected;
};

SchemeFields tag(const char16_t* title = u"Song", const char16_t* album = u"Album",
                 const char16_t* track = u"03", const char16_t* artist = u"Artist")
{
    return {QString::fromUtf16(artist), QString::fromUtf16(title), QString::fromUtf16(album),
            QString::fromUtf16(track)};
}

} // namespace

TEST(RenamingScheme, ComposesAndCleans)
{
    const char16_t* const custom = u"<Track>. <Artist> - <Album> - <Title>";
    const SchemeChoice AT = SchemeChoice::ArtistTitle, TA = SchemeChoice::TitleArtist,
                       C = SchemeChoice::Custom;
    const SchemeCase cases[] = {
        {AT, u"", tag(), true, false, u"Artist - Song.mp3"},
        {TA, u"", tag(), true, false, u"Song - Artist.mp3"},
        // The track number goes as a track number; the space before the artist
        // stays for the simulation's own trimming.
        {C, custom, tag(), true, false, u" Artist - Album - Song.mp3"},
        {C, custom, tag(), false, false, u"03. Artist - Album - Song.mp3"},
        {C, custom, tag(u"Song", u"  ", u"00"), false, false, u"00. Artist - Unknown Album - Song.mp3"},
        {C, custom, tag(u"Song (Artist)", u"Album 2", u"07"), false, false,
         u"07. Artist - Album 2 - Song.mp3"},
        {AT, u"", tag(u"Song - Artist"), true, false, u"Artist - Song - Artist.mp3"},
        {AT, u"", tag(u"Song -Artist"), true, false, u"Artist - Song.mp3"},
        {AT, u"", tag(u"\u00e9t\u00e9 \u00e0"), true, true, u"ARTIST - \u00c9T\u00c9 \u00c0.mp3"},
        {C, custom, tag(u"Song", u"Best 12 Hits"), true, false, u" Artist - Best Hits - Song.mp3"},
        // An empty track leaves ". " in front, which goes.
        {C, custom, tag(u"Song", u"Album", u""), false, false, u" Artist - Album - Song.mp3"},
        // Placeholders are case-sensitive; a wrong spelling stays as text in brackets.
        {C, u"<artist> - <Title>", tag(), true, false, u"(Artist) - Song.mp3"},
        // Dots of the pattern survive the parser, which turns other inner dots into spaces.
        {C, u"<Artist>.<Title>", tag(u"So.ng"), true, false, u"Artist.so Ng.mp3"},
    };
    for (const SchemeCase& c : cases) {
        ParserOptions o;
        o.removeTrackNumbers = c.removeTrackNumbers;
        o.allUpper = c.allUpper;
        const QString out =
            composeSchemeName(c.choice, QString::fromUtf16(c.pattern), c.fields, u".mp3"_qs, o);
        EXPECT_EQ(out, QString::fromUtf16(c.expected)) << c.fields.title.toStdString();
    }
}

TEST(RenamingScheme, NormalizeScheme)
{
    const struct {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u"<ARTIST> / <title>: \"live\"", u"<Artist>  <Title> live"},
        {u"My Music <ARTIST>", u"my music <Artist>"},
        {u"a\\b*c?d|e<TRACK>", u"abcde<Track>"},
        {u"<Artist", u"<artist"}, // no closing bracket: not a placeholder
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeScheme(QString::fromUtf16(c.in)), QString::fromUtf16(c.out));
}
