// Interoperability: TagLib reads what we write, we read what it writes and
// keep every other frame and the audio; files tagged by other writers (mid3v2,
// id3lib's id3v2, eyeD3), changed by us, are read again by their own tools.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "tags/cMP3ID3v2.h"
#include "tags/formTag.h"

#include <QProcess>
#include <attachedpictureframe.h>
#include <commentsframe.h>
#include <gtest/gtest.h>
#include <id3v2framefactory.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <mpegproperties.h>
#include <set>
#include <string>

using namespace vantrel;
using namespace vantrel::test;

namespace {

TagLib::String tl(const QString& s)
{
    return TagLib::String(s.toStdString(), TagLib::String::UTF8);
}

QString qs(const TagLib::String& s)
{
    return QString::fromStdString(s.to8Bit(true));
}

// The one frame of an id in the library's reading of a tag as text.
QString textOf(const TagLib::ID3v2::Tag* tag, const char* id)
{
    const TagLib::ID3v2::FrameList list = tag->frameList(id);
    return list.size() == 1 ? qs(list.front()->toString()) : QStringLiteral("<not one frame>");
}

// Every frame of the file's ID3v2 tag but TIT2 as id -> its content in the
// library's reading (pictures and comment descriptions included). The library
// reads a 2.3 TYER as TDRC, so a date given both ways counts once.
std::set<std::pair<std::string, std::string>> framesBesidesTitle(const QString& path)
{
    TagLib::MPEG::File f(path.toStdString().c_str(), false);
    std::set<std::pair<std::string, std::string>> out;
    if (!f.ID3v2Tag()) return out;
    for (const TagLib::ID3v2::Frame* frame : f.ID3v2Tag()->frameList()) {
        const std::string id(frame->frameID().data(), frame->frameID().size());
        if (id == "TIT2") continue;
        std::string content = qs(frame->toString()).toStdString();
        if (const auto* pic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame))
            content += "|" + pic->mimeType().to8Bit() + "|" + std::to_string(pic->type()) + "|" +
                       std::string(pic->picture().data(), pic->picture().size());
        if (const auto* comm = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame))
            content += "|" + qs(comm->description()).toStdString();
        out.emplace(id, content);
    }
    return out;
}

class Interop : public ::testing::Test, protected TempFiles {
  protected:
    const QByteArray audio = mpegFrames(40);
    // The audio as the library sees it: same properties, starting right after our tag.
    void expectAudio(const QString& path)
    {
        cMP3ID3v2 t;
        t.setMP3File(path);
        TagLib::MPEG::File f(path.toStdString().c_str(), true);
        ASSERT_TRUE(f.isValid());
        ASSERT_NE(f.audioProperties(), nullptr);
        EXPECT_EQ(f.audioProperties()->sampleRate(), 44100);
        EXPECT_EQ(f.audioProperties()->bitrate(), 128);
        EXPECT_EQ(f.firstFrameOffset(), t.tagAreaSize());
    }
};

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

// Every occurrence of the store as id, body and flags.
QStringList snapshot(const cMP3ID3v2& t)
{
    QStringList out;
    for (const QString& id : t.frameIds())
        for (int i = 1; i <= t.TagsInFrame(id); ++i)
            out << id + t.occurrence(id, i)->body.toHex() + QString::number(t.occurrence(id, i)->flags);
    return out;
}

} // namespace

TEST_F(Interop, LibraryReadsWhatWeWrite)
{
    // Without a tag and over our old plain-size tag; Latin-1 and UTF-16 texts side by side.
    for (const QByteArray& before : {audio, plainSizeTag(frame23("TIT2", bytes("\0Old")), 2048) + audio}) {
        SCOPED_TRACE(before.size());
        const QString path = file(before);
        cMP3ID3v2 t;
        t.setMP3File(path);
        t.setTitle(QStringLiteral("S\u00f6ng \u4e2d\u6587"));
        t.setArtist(QStringLiteral("Band \u00e9"));
        t.setYear("1999");
        t.setComment(QStringLiteral("Hello \u4e16"));
        t.setGenre(17);
        t.setTrack("3");
        t.setLyrics("la la");
        t.setArtistURL("http://artist.example");
        t.setPlayCounter("42");
        ASSERT_TRUE(t.Update()) << t.lastError().toStdString();

        TagLib::MPEG::File f(path.toStdString().c_str(), false);
        ASSERT_TRUE(f.hasID3v2Tag());
        const TagLib::ID3v2::Tag* tag = f.ID3v2Tag();
        EXPECT_EQ(tag->header()->majorVersion(), 3u);
        EXPECT_EQ(QStringList({qs(tag->title()), qs(tag->artist()), qs(tag->comment()), qs(tag->genre()),
                               textOf(tag, "USLT"), textOf(tag, "WOAR")}),
                  QStringList({QStringLiteral("S\u00f6ng \u4e2d\u6587"), QStringLiteral("Band \u00e9"),
                               QStringLiteral("Hello \u4e16"), "Rock", "la la", "http://artist.example"}));
        EXPECT_EQ(tag->year(), 1999u);
        EXPECT_EQ(tag->track(), 3u);
        ASSERT_EQ(tag->frameList("PCNT").size(), 1u);
        EXPECT_EQ(tag->frameList("PCNT").front()->render().mid(10).toUInt(), 42u); // a 4-byte counter
        expectAudio(path);
    }
}

TEST_F(Interop, WeReadWhatTheLibraryWritesAndKeepTheRest)
{
    const QByteArray png = bytes("\x89PNG\r\n\x1a\n") + QByteArray(3000, '\x7f');
    const struct {
        const char* name;
        TagLib::ID3v2::Version version;
        TagLib::String::Type encoding;
    } cases[] = {
        {"2.4 UTF-8", TagLib::ID3v2::v4, TagLib::String::UTF8},
        {"2.3 UTF-16", TagLib::ID3v2::v3, TagLib::String::UTF16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString title = QStringLiteral("\u4e2d\u6587");
        const QString path = file(audio);
        {
            TagLib::ID3v2::FrameFactory::instance()->setDefaultTextEncoding(c.encoding);
            TagLib::MPEG::File f(path.toStdString().c_str(), false);
            TagLib::ID3v2::Tag* tag = f.ID3v2Tag(true);
            tag->setTitle(tl(title));
            tag->setArtist(tl(QStringLiteral("B\u00e4nd")));
            tag->setAlbum("Disc");
            tag->setYear(2004);
            tag->setGenre("Indie");
            tag->setTrack(7);
            const auto comment = [&](const char* language, const QString& description, const QString& text) {
                auto* frame = new TagLib::ID3v2::CommentsFrame(c.encoding);
                frame->setLanguage(language);
                frame->setDescription(tl(description));
                frame->setText(tl(text));
                tag->addFrame(frame);
            };
            comment("eng", QString(), QStringLiteral("first"));
            comment("deu", QStringLiteral("second one"), QStringLiteral("zweit\u00e9"));
            auto* pic = new TagLib::ID3v2::AttachedPictureFrame;
            pic->setMimeType("image/png");
            pic->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
            pic->setDescription(tl(QStringLiteral("cover")));
            pic->setPicture(TagLib::ByteVector(png.constData(), unsigned(png.size())));
            tag->addFrame(pic);
            ASSERT_TRUE(f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, c.version));
            TagLib::ID3v2::FrameFactory::instance()->setDefaultTextEncoding(TagLib::String::Latin1);
        }
        const auto before = framesBesidesTitle(path);

        cMP3ID3v2 t;
        t.setMP3File(path);
        EXPECT_EQ(t.ID3v2TagVersion(), c.version == TagLib::ID3v2::v4 ? 4 : 3);
        EXPECT_EQ(QStringList({t.Title(), t.Artist(), t.Album(), t.Year(), t.Track(), t.OtherGenreName()}),
                  QStringList({title, QStringLiteral("B\u00e4nd"), "Disc", "2004", "7", "Indie"}));
        EXPECT_EQ(t.Genre(), 255);
        EXPECT_EQ(t.Comment(), QStringLiteral("first") + QChar(0) + QStringLiteral("\r\nzweit\u00e9"));
        EXPECT_EQ(t.TagsInFrame("APIC"), 1);

        t.setTitle("Changed");
        ASSERT_TRUE(t.Update()) << t.lastError().toStdString();
        TagLib::MPEG::File f(path.toStdString().c_str(), false);
        ASSERT_TRUE(f.hasID3v2Tag());
        EXPECT_EQ(qs(f.ID3v2Tag()->title()), "Changed");
        EXPECT_EQ(f.ID3v2Tag()->header()->majorVersion(), 3u);
        EXPECT_EQ(framesBesidesTitle(path), before);
        expectAudio(path);
    }
}

TEST_F(Interop, OtherReadersSeeTheSameFactsAfterOurWrite)
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
        void (*edit)(cMP3ID3v2&);
        QList<Check> checks;
    };
    const QStringList raw = {"--list-raw"}, id3lib = {"-l"};
    // 2.4 people lists, which mid3v2 cannot write.
    const QByteArray people =
        frame24("TIPL", bytes("\3producer\0Bob")) + frame24("TMCL", bytes("\3guitar\0Ann"));
    const auto retitle = [](cMP3ID3v2& t) { t.setTitle("Neu"); };
    const Row rows[] = {
        {"2.4 dates",
         "mid3v2",
         {"--TIT2", "Old", "--TDRC", "1988-05-01T12:30", "--TDOR", "1970"},
         retitle,
         {{"id3v2",
           id3lib,
           {"Year): 1988", "Date): 0105", "Time): 1230", "Original release year): 1970",
            "description): Neu"}},
          {"mid3v2", raw, {"TDRC(", "'1988-05-01 12:30'", "TDOR("}}}},
        {"2.4 people lists",
         "",
         {},
         retitle,
         {{"mid3v2", raw, {"IPLS(", "['producer', 'Bob'], ['guitar', 'Ann']", "TIPL(", "TMCL("}}}},
        {"several values, genre numbers",
         "mid3v2",
         {"-e", "--TPE1", "Artist One\\0Artist Two", "--TCON", "17\\x0018"},
         retitle,
         {{"id3v2", id3lib, {"Soloist(s)): Artist One/Artist Two"}}, {"mid3v2", raw, {"text=['(17)(18)']"}}}},
        {"other comments and the link's description",
         "eyeD3",
         {"-c", "Main", "--add-comment", "Bonjour:Note:fra", "--add-comment", " 0000 1111:iTunNORM:eng",
          "--add-comment", "Zweite::deu", "--user-url-frame", "Homepage:http://example.com"},
         [](cMP3ID3v2& t) {
             t.setComment(formTag::commentStamp());
             t.setLinkTo("http://neu.example");
         },
         {{"mid3v2",
           raw,
           {"lang='fra', desc='Note', text=['Bonjour']", "lang='eng', desc='iTunNORM', text=[' 0000 1111']",
            "lang='deu', desc='', text=['Zweite']",
            "lang='eng', desc='', text=['" + formTag::commentStamp() + "']",
            "desc='Homepage', url='http://neu.example'"}}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = file(row.writer.isEmpty() ? id3v2Tag(4, people) + audio : audio);
        if (!row.writer.isEmpty()) run(row.writer, row.args, path);

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
        row.edit(v2);
        ASSERT_TRUE(v2.Update());
        for (const Check& c : row.checks) {
            const QString out = run(c.tool, c.args, path);
            for (const QString& e : c.expected)
                EXPECT_TRUE(out.contains(e)) << c.tool << " lacks " << e.left(60).toStdString() << " in\n"
                                             << out.left(2000).toStdString();
        }
    }
}
