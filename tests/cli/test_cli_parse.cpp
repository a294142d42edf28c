// vantrel-cli parse, run as a separate process: names from arguments and from
// standard input, the parser options, and bad usage.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(QStringLiteral(VANTREL_CLI), QStringList{QStringLiteral("parse")} + args);
    if (!p.waitForStarted(10000))
        return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(CliParse, Names)
{
    struct Case {
        QStringList args;
        QByteArray input;
        QString out;
    };
    const Case cases[] = {
        {{"01_-_some_artist_-_some_song_[rip].mp3", "ARTIST - SONG NAME.MP3"},
         {},
         "Some Artist - Some Song (Rip).mp3\nArtist - Song Name.mp3\n"},
        {{}, "07 - Artist - Song.mp3\r\nartist - song.WMA\n", "Artist - Song.mp3\nArtist - Song.wma\n"},
        {{}, "\xc3\xa9t\xc3\xa9 - caf\xc3\xa9.mp3\n", QString::fromUtf8("\xc3\x89t\xc3\xa9 - Caf\xc3\xa9.mp3\n")},
        {{"--keep-track-numbers", "01 - Artist - Title.mp3"}, {}, "01 - Artist - Title.mp3\n"},
        {{"--no-word-capitals", "some artist - some song.mp3"}, {}, "Some Artist - Some song.mp3\n"},
        {{"--remove", "Various Artists", "various artists - xyz.mp3"}, {}, "Xyz.mp3\n"},
        {{"--remove=various artists", "various artists - xyz.mp3"}, {}, "Xyz.mp3\n"},
        {{"--collapse-repeats", "Artist - Sooooong.mp3"}, {}, "Artist - Song.mp3\n"},
        {{"--replace", "abc", "--with", "The ABC", "abc - xyz.mp3"}, {}, "The ABC - Xyz.mp3\n"},
        {{"--remove-all-numbers", "Artist 2 - Song 45.mp3"}, {}, "Artist - Song.mp3\n"},
        {{"--all-upper", "artist - song.mp3"}, {}, "ARTIST - SONG.mp3\n"},
        {{"--", "--keep-track-numbers.mp3"}, {}, "Keep - Track - Numbers.mp3\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(c.args, c.input);
        EXPECT_EQ(r.exitCode, 0) << c.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out.toStdString(), c.out.toStdString()) << c.args.join(' ').toStdString();
    }
}

TEST(CliParse, BadUsage)
{
    const QStringList cases[] = {{"--bogus"},
                                 {"--remove"},
                                 {"--replace", "x", "a.mp3"},
                                 {"--with", "x", "a.mp3"},
                                 {"a.mp3", "-x"}};
    for (const QStringList& args : cases) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("vantrel-cli parse:"))) << r.err.toStdString();
    }
}

TEST(CliParse, Help)
{
    const CliRun r = runCli({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* option : {"--keep-track-numbers", "--no-word-capitals", "--remove TEXT", "--collapse-repeats",
                               "--replace WHAT --with TEXT", "--remove-all-numbers", "--all-upper"})
        EXPECT_TRUE(r.out.contains(QLatin1String(option))) << option;
}
