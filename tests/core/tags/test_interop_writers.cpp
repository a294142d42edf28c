// What other taggers see after we write: files tagged at test time by three
// independent writers (TagLib, mutagen's mid3v2, id3lib's id3v2, eyeD3), changed
// by us, and read again by those writers' own listing tools.
#include "TestFiles.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"
#include "tags/formTag.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <textidentificationframe.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A tool's standard output; a failure names the Debian package it needs.
QString run(const QString& program, QStringList args, const QString& path)
{
    QProcess p;
    p.start(program, args << path);
    if (!p.waitForStarted() || !p.waitForFinished(60000) || p.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " failed (packages id3v2, eyed3, python3-mutagen): "
                      << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// 2.4 people lists as TagLib writes them (mid3v2 has no option for them).
void taglibPeople(const QString& path)
{
    TagLib::MPEG::File f(path.toStdString().c_str(), false);
    for (const char* id : {"TIPL", "TMCL"}) {
        auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF8);
        frame->setText(id[1] == 'I' ? TagLib::StringList("producer").append("Bob")
                                    : TagLib::StringList("guitar").append("Ann"));
        f.ID3v2Tag(true)->addFrame(frame);
    }
    f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4);
}

// Every frame of the store as (id, body, flags), to tell whether anything changed.
QStringList snapshot(const cMP3ID3v2& t)
{
    QStringList out;
    for (const QString& id : t.frameIds()) {
        for (int i = 1; i <= t.TagsInFrame(id); ++i)
            out << id + QString::fromLatin1(t.occurrence(id, i)->body.toHex()) +
                       QString::number(t.occurrence(id, i)->flags);
    }
    return out;
}

void writeBackAsRead(cMP3ID3v2& t)
{
    t.setTitle(t.Title()), t.setArtist(t.Artist()), t.setAlbum(t.Album()), t.setYear(t.Year());
    t.setComment(t.Comment()), t.setLyrics(t.Lyrics()), t.setLinkTo(t.LinkTo()), t.setTrack(t.Track());
    t.setGenre(t.Genre()), t.setOtherGenreName(t.OtherGenreName()), t.setComposer(t.Composer());
}

const QString title560 = QString(559, 't') + 'T', comment1100 = QString(1099, 'c') + 'C',
              lyrics2000 = QString(1999, 'l') + 'L';

} // namespace

TEST(InteropWriters, OtherReadersSeeTheSameFactsAfterOurWrite)
{
    struct Check {
        const char* tool;
        QStringList args;
        QStringList expected;
    };
    struct Row {
        const char* name;
        QString writer;
        QStringList writerArgs;
        void (*edit)(cMP3ID3v2&, cMP3ID3v1&);
        QList<Check> checks;
    };
    const QStringList raw = {"--list-raw"}, id3lib = {"-l"}, eyed3 = {"--no-color"};
    const Row rows[] = {
        {"2.4 dates become 2.3 dates",
         "mid3v2",
         {"--TIT2", "Old", "--TDRC", "1988-05-01T12:30", "--TDOR", "1970"},
         [](cMP3ID3v2& t, cMP3ID3v1&) { t.setTitle("Neu"); },
         {{"id3v2",
           id3lib,
           {"Year): 1988", "Date): 0105", "Time): 1230", "Original release year): 1970",
            "songname/content description): Neu"}},
          {"eyeD3", eyed3, {"recording date: 1988", "original release date: 1970"}},
          {"mid3v2", raw, {"TDRC(", "'1988-05-01 12:30'", "TDOR("}}}},
        {"2.4 people lists become IPLS",
         "taglib",
         {},
         [](cMP3ID3v2& t, cMP3ID3v1&) { t.setTitle("Neu"); },
         {{"mid3v2", raw, {"IPLS(", "['producer', 'Bob'], ['guitar', 'Ann']", "TIPL(", "TMCL("}}}},
        {"several values joined",
         "mid3v2",
         {"-e", "--TPE1", "Artist One\\0Artist Two", "--TCON", "Rock\\0Pop"},
         [](cMP3ID3v2& t, cMP3ID3v1&) { t.setTitle("Neu"); },
         {{"id3v2", id3lib, {"Soloist(s)): Artist One/Artist Two", "Content type): Rock/Pop"}},
          {"eyeD3", eyed3, {"artist: Artist One/Artist Two"}},
          {"mid3v2", raw, {"text=['Artist One/Artist Two']", "text=['Rock/Pop']"}}}},
        {"genre numbers as references",
         "mid3v2",
         {"-e", "--TCON", "17\\x0018"},
         [](cMP3ID3v2& t, cMP3ID3v1&) { t.setTitle("Neu"); },
         {{"id3v2", id3lib, {"Content type): Rock (17)"}}, {"mid3v2", raw, {"text=['(17)(18)']"}}}},
        {"long frames",
         "id3v2",
         {"-2", "-t", title560, "-c", ":" + comment1100 + ":eng", "--USLT", ":" + lyrics2000 + ":eng"},
         [](cMP3ID3v2& t, cMP3ID3v1&) {
             EXPECT_EQ(t.Title(), title560);
             EXPECT_EQ(t.Comment(), comment1100);
             EXPECT_EQ(t.Lyrics(), lyrics2000);
             t.setArtist("Neu");
         },
         {{"mid3v2", raw, {"['" + title560 + "']", "['" + comment1100 + "']", "'" + lyrics2000 + "'"}},
          {"eyeD3", eyed3, {"title: " + title560}}}},
        {"only the plain comment is stamped",
         "eyeD3",
         {"-t", "Old", "-c", "Main", "--add-comment", "Bonjour:Note:fra", "--add-comment",
          " 0000 1111:iTunNORM:eng", "--add-comment", "Zweite::deu", "--user-url-frame",
          "Homepage:http://example.com"},
         [](cMP3ID3v2& t, cMP3ID3v1&) { t.setComment(formTag::commentStamp()), t.setTitle("Neu"); },
         {{"mid3v2",
           raw,
           {"lang='fra', desc='Note', text=['Bonjour']", "lang='eng', desc='iTunNORM', text=[' 0000 1111']",
            "lang='deu', desc='', text=['Zweite']",
            "lang='eng', desc='', text=['" + formTag::commentStamp() + "']",
            "desc='Homepage', url='http://example.com'"}}}},
        {"ID3v1.0 comment keeps 30 characters",
         "id3v2",
         {"-1", "-t", "Old", "-c", "Thirty chars of comment text!!"},
         [](cMP3ID3v2&, cMP3ID3v1& v1) {
             EXPECT_EQ(v1.Comment(), "Thirty chars of comment text!!");
             v1.setTitle("Neu");
         },
         {{"id3v2", id3lib, {"Title  : Neu", "Comment: Thirty chars of comment text!!"}},
          {"eyeD3", {"--no-color", "-1"}, {"title: Neu", "Thirty chars of comment text!!"}}}},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QStringLiteral("%1.mp3").arg(++n));
        ASSERT_TRUE(writeFile(path, mpegFrames(40)));
        if (row.writer == "taglib")
            taglibPeople(path);
        else
            run(row.writer, row.writerArgs, path);

        cMP3ID3v2 same;
        same.setMP3File(path);
        const QStringList before = snapshot(same);
        writeBackAsRead(same); // values unchanged: every frame stays as it is (empty new ones may follow)
        EXPECT_EQ(snapshot(same).mid(0, before.size()), before);

        cMP3ID3v2 v2;
        v2.setMP3File(path);

        cMP3ID3v1 v1;
        v1.setMP3File(path);
        row.edit(v2, v1);
        ASSERT_TRUE(v1.HasID3v1Tag() ? v1.Update() : v2.Update());
        for (const Check& c : row.checks) {
            const QString out = run(c.tool, c.args, path);
            for (const QString& e : c.expected)
                EXPECT_TRUE(out.contains(e)) << c.tool << " lacks " << e.left(80).toStdString() << " in\n"
                                             << out.left(3000).toStdString();
        }
    }
}
