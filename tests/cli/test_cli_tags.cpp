#include "TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel::test;

namespace {

struct CliRun {
    int exitCode;
    QString out;
    QString err;
};

CliRun cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VANTREL_CLI), args);
    if (!p.waitForFinished(30000)) return {-1, {}, QStringLiteral("did not finish")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray be32(quint32 n)
{
    QByteArray b;
    for (int s = 24; s >= 0; s -= 8)
        b += static_cast<char>((n >> s) & 0xFF);
    return b;
}

QByteArray synchsafe(quint32 n)
{
    QByteArray b;
    for (int s = 21; s >= 0; s -= 7)
        b += static_cast<char>((n >> s) & 0x7F);
    return b;
}

// ID3v2.3 tag: TIT2 "Song", TPE1 "Band", TCON "(17)", then padding.
QByteArray tag23()
{
    QByteArray frames;
    for (auto [id, text] : {std::pair{"TIT2", "Song"}, {"TPE1", "Band"}, {"TCON", "(17)"}}) {
        const QByteArray body = '\0' + QByteArray(text);
        frames += QByteArray(id) + be32(quint32(body.size())) + QByteArray(2, '\0') + body;
    }
    frames += QByteArray(32, '\0');
    return QByteArray("ID3\x03\x00\x00", 6) + synchsafe(quint32(frames.size())) + frames;
}

// ID3v2.2 tag: TT2 "Song" and CRM, a frame that has no ID3v2.3 equivalent.
QByteArray tag22WithUnmappableFrame()
{
    auto frame = [](const char* id, const QByteArray& body) {
        const auto n = static_cast<quint32>(body.size());
        return QByteArray(id, 3) + static_cast<char>(n >> 16) + static_cast<char>(n >> 8) +
               static_cast<char>(n) + body;
    };
    const QByteArray frames = frame("TT2", QByteArray("\0Song", 5)) +
                              frame("CRM", QByteArray("own\0x\0\x01\x02", 9)) + QByteArray(16, '\0');
    return QByteArray("ID3\x02\x00\x00", 6) + synchsafe(quint32(frames.size())) + frames;
}

const QByteArray audio = mpegFrames(3);

class CliTags : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        both = dir.filePath(QStringLiteral("both tags.mp3"));
        ASSERT_TRUE(writeFile(both, tag23() + audio + id3v1Record("T1", "A1", "Al1", "1999", "C1", 4, 13)));
        bare = dir.filePath(QStringLiteral("bare.mp3"));
        ASSERT_TRUE(writeFile(bare, audio));
    }
    QTemporaryDir dir;
    QString both, bare;
};

TEST_F(CliTags, JsonHasBothTagsKeyedByProperty)
{
    const CliRun r = cli({QStringLiteral("tags"), QStringLiteral("--json"), both, bare});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(first[QStringLiteral("file")].toString(), both);
    const QJsonObject v1 = first[QStringLiteral("id3v1")].toObject();
    const QJsonObject v2 = first[QStringLiteral("id3v2")].toObject();
    EXPECT_TRUE(v1[QStringLiteral("HasID3v1Tag")].toBool());
    EXPECT_EQ(v1[QStringLiteral("Title")].toString(), QStringLiteral("T1"));
    EXPECT_EQ(v1[QStringLiteral("Track")].toInt(), 4);
    EXPECT_EQ(v1[QStringLiteral("Genre")].toInt(), 13);
    EXPECT_TRUE(v2[QStringLiteral("HasID3v2Tag")].toBool());
    EXPECT_EQ(v2[QStringLiteral("ID3v2TagVersion")].toInt(), 3);
    EXPECT_EQ(v2[QStringLiteral("Title")].toString(), QStringLiteral("Song"));
    EXPECT_EQ(v2[QStringLiteral("Genre")].toInt(), 17);
    EXPECT_EQ(v2[QStringLiteral("OtherGenreName")].toString(), QStringLiteral("Rock"));
    EXPECT_EQ(v2[QStringLiteral("Frames")].toArray(),
              QJsonArray({QStringLiteral("TIT2"), QStringLiteral("TPE1"), QStringLiteral("TCON")}));
    for (const char* key :
         {"Composer", "Copyright", "OriginalArtist", "EncodedBy", "LinkTo", "Lyrics", "PlayCounter",
          "AudioURL", "BuyURL", "ArtistURL", "Track", "Year", "Comment", "Album"})
        EXPECT_TRUE(v2.contains(QLatin1String(key))) << key;

    const QJsonObject second = QJsonDocument::fromJson(lines[1].toUtf8()).object();
    EXPECT_FALSE(second[QStringLiteral("id3v1")].toObject()[QStringLiteral("HasID3v1Tag")].toBool());
    EXPECT_FALSE(second[QStringLiteral("id3v2")].toObject()[QStringLiteral("HasID3v2Tag")].toBool());
    EXPECT_EQ(second[QStringLiteral("id3v1")].toObject()[QStringLiteral("Genre")].toInt(), 255);
}

TEST_F(CliTags, BadUsageAndUnreadableFiles)
{
    const QString missing = dir.filePath(QStringLiteral("missing.mp3"));
    const struct {
        QStringList args;
        int exitCode;
        const char* errContains;
    } cases[] = {
        {{QStringLiteral("tags")}, 2, "Usage"},
        {{QStringLiteral("tags"), QStringLiteral("--xml"), both}, 2, "--xml"},
        {{QStringLiteral("tags"), missing, both}, 1, "No such file or directory"},
        {{QStringLiteral("tags"), dir.path()}, 1, "Is a directory"},
        {{QStringLiteral("tag")}, 2, "no FILE"},
        {{QStringLiteral("tag"), both, QStringLiteral("--v3"), QStringLiteral("Title=x")}, 2, "--v3"},
        {{QStringLiteral("tag"), both, QStringLiteral("--v1"), QStringLiteral("Colour=x")}, 2, "Colour"},
        {{QStringLiteral("tag"), both, QStringLiteral("--v1"), QStringLiteral("Genre=256")}, 2, "256"},
        {{QStringLiteral("tag"), both, QStringLiteral("--v1"), QStringLiteral("Track=x")}, 2, "'x'"},
        {{QStringLiteral("tag"), both, QStringLiteral("--v2"), QStringLiteral("Title")}, 2, "FIELD=VALUE"},
        {{QStringLiteral("tag"), both, QStringLiteral("--v2")}, 2, "FIELD=VALUE"},
        {{QStringLiteral("tag"), both, bare}, 2, "one FILE"},
        {{QStringLiteral("tag"), missing, QStringLiteral("--v1"), QStringLiteral("Title=x")},
         1,
         "No such file or directory"},
    };
    const QByteArray before = readFile(both);
    for (const auto& c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.errContains))) << r.err.toStdString();
    }
    EXPECT_EQ(readFile(both), before);
    EXPECT_FALSE(QFile::exists(missing));
}

// Each tag given a field is written, the other one is not created; the audio stays.
TEST_F(CliTags, TagWritesOnlyTheTagsGivenFields)
{
    const struct {
        const char* sets;
        bool v1, v2;
    } cases[] = {
        {"--v1 title=Neu --v1 Genre=17 --v2 Title=Ünïcode_Ω --v2 Genre=80", true, true},
        {"--v1 Title=Neu --v1 Genre=17", true, false},
        {"--v2 Title=Ünïcode_Ω --v2 Genre=80", false, true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(bare, audio));
        const CliRun r = cli(QStringList{QStringLiteral("tag"), bare} + QString::fromUtf8(c.sets).split(' '));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(readFile(bare).contains(audio));

        const CliRun t = cli({QStringLiteral("tags"), QStringLiteral("--json"), bare});
        const QJsonObject o = QJsonDocument::fromJson(t.out.toUtf8()).object();
        const QJsonObject v1 = o[QStringLiteral("id3v1")].toObject();
        const QJsonObject v2 = o[QStringLiteral("id3v2")].toObject();
        EXPECT_EQ(v1[QStringLiteral("HasID3v1Tag")].toBool(), c.v1) << c.sets;
        EXPECT_EQ(v2[QStringLiteral("HasID3v2Tag")].toBool(), c.v2) << c.sets;
        EXPECT_EQ(v1[QStringLiteral("Title")].toString(), c.v1 ? QStringLiteral("Neu") : QString());
        EXPECT_EQ(v1[QStringLiteral("Genre")].toInt(), c.v1 ? 17 : 255);
        EXPECT_EQ(v2[QStringLiteral("Title")].toString(), c.v2 ? QString::fromUtf8("Ünïcode_Ω") : QString());
        EXPECT_EQ(v2[QStringLiteral("Genre")].toInt(), c.v2 ? 80 : 255);
    }
}

TEST_F(CliTags, ReaderWarningsGoToStandardError)
{
    const QString old = dir.filePath(QStringLiteral("v22.mp3"));
    ASSERT_TRUE(writeFile(old, tag22WithUnmappableFrame() + audio));
    const CliRun r = cli({QStringLiteral("tag"), old, QStringLiteral("--v2"), QStringLiteral("Artist=A")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QLatin1String("CRM"))) << r.err.toStdString();
    const CliRun t = cli({QStringLiteral("tags"), QStringLiteral("--json"), old});
    const QJsonObject v2 =
        QJsonDocument::fromJson(t.out.toUtf8()).object()[QStringLiteral("id3v2")].toObject();
    EXPECT_EQ(v2[QStringLiteral("Title")].toString(), QStringLiteral("Song"));
    EXPECT_EQ(v2[QStringLiteral("Artist")].toString(), QStringLiteral("A"));
    EXPECT_EQ(v2[QStringLiteral("ID3v2TagVersion")].toInt(), 3);
}

TEST_F(CliTags, ReadOnlyFileFailsWithReason)
{
    QFile::setPermissions(both, QFileDevice::ReadOwner);
    const QByteArray before = readFile(both);
    for (const char* which : {"--v1", "--v2"}) {
        const CliRun r = cli({QStringLiteral("tag"), both, QLatin1String(which), QStringLiteral("Title=x")});
        EXPECT_EQ(r.exitCode, 1) << which;
        EXPECT_TRUE(r.err.contains(QLatin1String("not written"))) << r.err.toStdString();
    }
    EXPECT_EQ(readFile(both), before);
}

} // namespace
