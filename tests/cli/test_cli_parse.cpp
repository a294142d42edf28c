// vantrel-cli parse: names from arguments and from standard input, the parser
// options, and bad usage.
#include "CliRun.h"

#include <gtest/gtest.h>

using namespace vantrel::test;

TEST(CliParse, NamesAndBadUsage)
{
    const struct {
        QStringList args;
        QByteArray input;
        QString out;
        int exitCode = 0;
    } cases[] = {
        {{"01_-_some_artist_-_some_song_[rip].mp3", "ARTIST - SONG NAME.MP3"},
         {},
         "Some Artist - Some Song (Rip).mp3\nArtist - Song Name.mp3\n"},
        {{}, "07 - Artist - Song.mp3\r\nartist - song.WMA\n", "Artist - Song.mp3\nArtist - Song.wma\n"},
        {{}, "\xc3\xa9t\xc3\xa9 - caf\xc3\xa9.mp3\n", u("\xc3\x89t\xc3\xa9 - Caf\xc3\xa9.mp3\n")},
        // Each option reaches the parser; the rules themselves are tested there.
        {{"--keep-track-numbers", "--no-word-capitals", "--collapse-repeats",
          "01 - some artist - some sooooong.mp3"},
         {},
         "01 - Some artist - Some song.mp3\n"},
        {{"--remove", "Various Artists", "--replace", "abc", "--with", "The ABC",
          "various artists - abc.mp3"},
         {},
         "The ABC.mp3\n"},
        {{"--remove-all-numbers", "--all-upper", "Artist 2 - Song 45.mp3"}, {}, "ARTIST - SONG.mp3\n"},
        {{"--bogus"}, {}, {}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = runCli(QStringList{"parse"} + c.args, c.input);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err.contains(u("vantrel-cli parse:")), c.exitCode == 2) << r.err.toStdString();
    }
}
