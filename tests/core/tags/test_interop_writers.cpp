// What other taggers see after we write: files tagged at test time by
// independent writers (TagLib, mutagen's mid3v2, id3lib's id3v2, eyeD3),
// changed by us, and read again by those writers' own listing tools.
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

// A tool's standard output; a failure names the Debian packages it needs.
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
        frame->setText(
            TagLib::StringList(id[1] == 'I' ? "producer" : "guitar").append(id[1] == 'I' ? "Bob" : "Ann"));
        f.ID3v2Tag(true)->addFrame(frame);
    }
    f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4);
}

// Every occurrence of the store as id, body and flags.
QStringList snapshot(const cMP3ID3v2& t)
{
    QStringList out;
    for (const QString& id : t.frameIds()) {
        for (int i = 1; i <= t.TagsInFrame(id); ++i)
            out << id + t.occurrence(id, i)->body.toHex() + QString::number(t.occurrence(id, i)->flags);
    }
    return out;
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
        QStringList args;
        void (*edit)(cMP3ID3v2&, cMP3ID3v1&);
        QList<Check> checks;
    };
    const QStringList raw = {"--list-raw"}, id3lib = {"-l"}, eyed3 = {"--no-color"};
    const auto retitle = [](cMP3ID3v2& t, cMP3ID3v1&) { t.setTitle("Neu"); };
    const Row rows[] = {
        {"2.4 dates",
         "mid3v2",
         {"--TIT2", "Old", "--TDRC", "1988-05-01T12:30", "--TDOR", "1970"},
         retitle,
         {{"id3v2",
           id3lib,
           {"Year): 1988", "Date): 0105", "Time): 1230", "Original release year): 1970",
            "description): Neu"}},
          {"eyeD3", eyed3, {"recording date: 1988", "original release date: 1970"}},
          {"mid3v2", raw, {"TDRC(", "'1988-05-01 12:30'", "TDOR("}}}},
        {"2.4 people lists",
         "taglib",
         {},
         retitle,
         {{"mid3v2", raw, {"IPLS(", "['producer', 'Bob'], ['guitar', 'Ann']", "TIPL(", "TMCL("}}}},
        {"several values",
         "mid3v2",
         {"-e", "--TPE1", "Artist One\\0Artist Two", "--TCON", "Rock\\0Pop"},
         retitle,
         {{"id3v2", id3lib, {"Soloist(s)): Artist One/Artist Two", "Content type): Rock/Pop"}},
          {"eyeD3", eyed3, {"artist: Artist One/Artist Two"}},
          {"mid3v2", raw, {"text=['Artist One/Artist Two']", "text=['Rock/Pop']"}}}},
        {"genre numbers",
         "mid3v2",
         {"-e", "--TCON", "17\\x0018"},
         retitle,
         {{"id3v2", id3lib, {"Content type): Rock (17)"}}, {"mid3v2", raw, {"text=['(17)(18)']"}}}},
        {"long frames",
         "id3v2",
         {"-2", "-t", title560, "-c", ":" + comment1100 + ":eng", "--USLT", ":" + lyrics2000 + ":eng"},
         [](cMP3ID3v2& t, cMP3ID3v1&) {
             EXPECT_EQ(QStringList({t.Title(), t.Comment(), t.Lyrics()}),
                       QStringList({title560, comment1100, lyrics2000}));
             t.setArtist("Neu");
         },
         {{"mid3v2", raw, {"['" + title560 + "']", "['" + comment1100 + "']", "'" + lyrics2000 + "'"}},
          {"eyeD3", eyed3, {"title: " + title560}}}},
        {"other comments and the link's description",
         "eyeD3",
         {"-c", "Main", "--add-comment", "Bonjour:Note:fra", "--add-comment", " 0000 1111:iTunNORM:eng",
          "--add-comment", "Zweite::deu", "--user-url-frame", "Homepage:http://example.com"},
         [](cMP3ID3v2& t, cMP3ID3v1&) {
             t.setComment(formTag::commentStamp()), t.setLinkTo("http://neu.example");
         },
         {{"mid3v2",
           raw,
           {"lang='fra', desc='Note', text=['Bonjour']", "lang='eng', desc='iTunNORM', text=[' 0000 1111']",
            "lang='deu', desc='', text=['Zweite']",
            "lang='eng', desc='', text=['" + formTag::commentStamp() + "']",
            "desc='Homepage', url='http://neu.example'"}}}},
        {"ID3v1.0 comment",
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
        row.writer == "taglib" ? taglibPeople(path) : void(run(row.writer, row.args, path));

        // Every field written back with the value read leaves every frame as it was.
        cMP3ID3v2 same;
        same.setMP3File(path);
        const QStringList before = snapshot(same);
        same.setTitle(same.Title()), same.setArtist(same.Artist()), same.setAlbum(same.Album());
        same.setYear(same.Year()), same.setComment(same.Comment()), same.setLyrics(same.Lyrics());
        same.setLinkTo(same.LinkTo()), same.setGenre(same.Genre()),
            same.setOtherGenreName(same.OtherGenreName());
        EXPECT_EQ(snapshot(same).mid(0, before.size()), before); // (fields without a frame add empty ones)

        cMP3ID3v2 v2;
        v2.setMP3File(path);
        cMP3ID3v1 v1;
        v1.setMP3File(path);
        row.edit(v2, v1);
        ASSERT_TRUE(v1.HasID3v1Tag() ? v1.Update() : v2.Update());
        for (const Check& c : row.checks) {
            const QString out = run(c.tool, c.args, path);
            for (const QString& e : c.expected)
                EXPECT_TRUE(out.contains(e)) << c.tool << " lacks " << e.left(60).toStdString() << " in\n"
                                             << out.left(2000).toStdString();
        }
    }
}
