// vantrel-cli simulate, run as a separate process on a folder made here: the
// plan as tab-separated lines and as JSON, the run options, vanished or
// missing paths, and bad usage. Nothing on disk may change.
#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using vantrel::test::id3v1Record;
using vantrel::test::mpegFrames;
using vantrel::test::writeFile;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VANTREL_CLI), QStringList{QStringLiteral("simulate")} + args);
    if (!p.waitForStarted(10000))
        return {};
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// A folder: a tagged file, an untagged one, a text file, a subfolder file.
class Music {
public:
    Music()
    {
        EXPECT_TRUE(writeFile(path("x_1.mp3"), mpegFrames(2) + id3v1Record("Song", "Artist", "Album")));
        EXPECT_TRUE(writeFile(path("some_name.mp3"), mpegFrames(2)));
        EXPECT_TRUE(writeFile(path("notes.txt"), "not audio"));
        EXPECT_TRUE(writeFile(path("sub/other_file.wma"), mpegFrames(1)));
    }
    QString root() const { return dir_.path(); }
    QString path(const char* rel) const { return dir_.path() + QLatin1Char('/') + QLatin1String(rel); }

    // Every file with its size, to prove that nothing changed.
    QStringList snapshot() const
    {
        QStringList s;
        QDirIterator it(root(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            s << it.filePath() + QLatin1Char(' ') + QString::number(it.fileInfo().size());
        }
        s.sort();
        return s;
    }

private:
    QTemporaryDir dir_;
};

} // namespace

TEST(CliSimulate, PrintsOneTabSeparatedLinePerFile)
{
    Music m;
    const QString root = m.root() + QLatin1Char('/');
    const QString sub = root + QStringLiteral("sub/");
    struct Case {
        const char* label;
        QStringList options;
        QStringList lines;
    } cases[] = {
        {"names from tags, with subfolders",
         {},
         {"some_name.mp3\tSome Name.mp3\t \t \t" + root, "x_1.mp3\tArtist - Song.mp3\tArtist\tSong\t" + root,
          "other_file.wma\tOther File.wma\t \t \t" + sub}},
        {"names from file names only",
         {"--mode", "file-names", "--no-subfolders"},
         {"some_name.mp3\tSome Name.mp3\t \t \t" + root, "x_1.mp3\tX 1.mp3\tArtist\tSong\t" + root}},
        {"title first, upper case",
         {"--scheme", "title-artist", "--all-upper", "--no-subfolders"},
         {"some_name.mp3\tSOME NAME.mp3\t \t \t" + root,
          "x_1.mp3\tSONG - ARTIST.mp3\tArtist\tSong\t" + root}},
        {"a pattern is cleaned before use",
         {"--scheme", "<ALBUM>: <artist> / <title>", "--no-subfolders"},
         {"some_name.mp3\tSome Name.mp3\t \t \t" + root,
          "x_1.mp3\tAlbum Artist Song.mp3\tArtist\tSong\t" + root}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QStringList before = m.snapshot();
        const CliRun r = runCli(c.options + QStringList{m.root()});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.err, QString());
        EXPECT_EQ(r.out, c.lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        EXPECT_EQ(m.snapshot(), before);
    }
}

TEST(CliSimulate, JsonHasTheFiveColumnsPerFile)
{
    Music m;
    const CliRun r = runCli({QStringLiteral("--json"), m.path("x_1.mp3"), m.path("some_name.mp3")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    const QJsonArray rows = doc.array();
    ASSERT_EQ(rows.size(), 2);
    const QJsonObject first = rows.at(0).toObject();
    EXPECT_EQ(first.keys(), (QStringList{"After", "Artist", "Before", "Location", "Title"}));
    EXPECT_EQ(first.value(QStringLiteral("Before")).toString(), QStringLiteral("x_1.mp3"));
    EXPECT_EQ(first.value(QStringLiteral("After")).toString(), QStringLiteral("Artist - Song.mp3"));
    EXPECT_EQ(first.value(QStringLiteral("Location")).toString(), m.root() + QLatin1Char('/'));
    EXPECT_EQ(rows.at(1).toObject().value(QStringLiteral("After")).toString(), QStringLiteral("Some Name.mp3"));
}

TEST(CliSimulate, TrackNumbersQuestionIsAnsweredYes)
{
    // The pattern wants the track while track numbers are removed by default:
    // the question is answered Yes, so the number stays.
    Music m;
    const CliRun r = runCli({QStringLiteral("--scheme"), QStringLiteral("<Track>. <Artist> - <Title>"),
                             m.path("x_1.mp3")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("x_1.mp3\t00. Artist - Song.mp3\t"))) << r.out.toStdString();
}

TEST(CliSimulate, BadUsageAndMissingPaths)
{
    Music m;
    struct Case {
        const char* label;
        QStringList args;
        int exitCode;
        const char* errStart;
    } cases[] = {
        {"no path", {}, 2, "vantrel-cli simulate: no PATH given"},
        {"unknown mode", {"--mode", "names", m.root()}, 2, "vantrel-cli simulate: --mode takes"},
        {"mode without value", {"--mode"}, 2, "vantrel-cli simulate: --mode needs a value"},
        {"unknown option", {"--fast", m.root()}, 2, "vantrel-cli simulate: unknown option '--fast'"},
        {"empty pattern", {"--scheme", "", m.root()}, 2, "vantrel-cli simulate: --scheme needs"},
        {"missing path", {m.path("nope"), m.root()}, 1, "vantrel-cli simulate: cannot read '"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.startsWith(QLatin1String(c.errStart))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}
