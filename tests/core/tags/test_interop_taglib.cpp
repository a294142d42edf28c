// Interoperability with an independent ID3 library: what we write it reads,
// what it writes we read, and after we change a title it still finds every
// other frame unchanged and the audio where it was.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "tags/cMP3ID3v2.h"

#include <QTemporaryDir>
#include <attachedpictureframe.h>
#include <commentsframe.h>
#include <gtest/gtest.h>
#include <id3v2framefactory.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <mpegproperties.h>
#include <set>
#include <string>
#include <textidentificationframe.h>

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

// The one frame of an id in the library's reading of a tag, or nullptr.
const TagLib::ID3v2::Frame* only(const TagLib::ID3v2::Tag* tag, const char* id)
{
    const TagLib::ID3v2::FrameList list = tag->frameList(id);
    EXPECT_EQ(list.size(), 1u) << id;
    return list.size() == 1 ? list.front() : nullptr;
}

QString textOf(const TagLib::ID3v2::Tag* tag, const char* id)
{
    const TagLib::ID3v2::Frame* frame = only(tag, id);
    return frame ? qs(frame->toString()) : QStringLiteral("<missing>");
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

class Interop : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    int counter = 0;
    const QByteArray audio = mpegFrames(40);

    QString file(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("f%1.mp3").arg(++counter));
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
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

} // namespace

TEST_F(Interop, LibraryReadsWhatWeWrite)
{
    const struct {
        const char* name;
        QByteArray before;
    } cases[] = {
        {"no tag", audio},
        {"our old plain-size tag", plainSizeTag(frame23("TIT2", bytes("\0Old")), 2048) + audio},
        {"standard 2.4 tag", id3v2Tag(4, frame24("TIT2", bytes("\x03Old")), 30) + audio},
    };
    for (const auto& c : cases) {
        for (const QString& title : {QStringLiteral("Song"), QStringLiteral("S\u00f6ng \u4e2d\u6587")}) {
            SCOPED_TRACE(std::string(c.name) + " / " + title.toStdString());
            const QString path = file(c.before);
            cMP3ID3v2 t;
            t.setMP3File(path);
            t.setTitle(title);
            t.setArtist(QStringLiteral("Band \u00e9"));
            t.setAlbum("Disc");
            t.setYear("1999");
            t.setComment(QStringLiteral("Hello \u4e16"));
            t.setGenre(17);
            t.setTrack("3");
            t.setLyrics("la la");
            t.setArtistURL("http://artist.example");
            t.setLinkTo("http://link.example");
            t.setPlayCounter("42");
            ASSERT_TRUE(t.Update()) << t.lastError().toStdString();

            TagLib::MPEG::File f(path.toStdString().c_str(), false);
            ASSERT_TRUE(f.hasID3v2Tag());
            const TagLib::ID3v2::Tag* tag = f.ID3v2Tag();
            EXPECT_EQ(tag->header()->majorVersion(), 3u);
            EXPECT_EQ(
                QStringList({qs(tag->title()), qs(tag->artist()), qs(tag->album()), qs(tag->comment()),
                             qs(tag->genre()), textOf(tag, "USLT"), textOf(tag, "WOAR")}),
                QStringList({title, QStringLiteral("Band \u00e9"), "Disc", QStringLiteral("Hello \u4e16"),
                             "Rock", "la la", "http://artist.example"}));
            EXPECT_EQ(tag->year(), 1999u);
            EXPECT_EQ(tag->track(), 3u);
            EXPECT_TRUE(textOf(tag, "WXXX").contains("http://link.example"));
            if (const auto* pcnt = only(tag, "PCNT")) {
                EXPECT_EQ(pcnt->render().mid(10).toUInt(), 42u); // a 4-byte counter
            }
            expectAudio(path);
        }
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
        {"2.4 UTF-16", TagLib::ID3v2::v4, TagLib::String::UTF16},
        {"2.3 UTF-16", TagLib::ID3v2::v3, TagLib::String::UTF16},
        {"2.3 Latin-1", TagLib::ID3v2::v3, TagLib::String::Latin1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString title = c.encoding == TagLib::String::Latin1 ? QStringLiteral("T\u00eftle")
                                                                   : QStringLiteral("\u4e2d\u6587");
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
            auto* composer = new TagLib::ID3v2::TextIdentificationFrame("TCOM", c.encoding);
            composer->setText(tl(QStringLiteral("Composer")));
            tag->addFrame(composer);
            ASSERT_TRUE(f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, c.version));
            TagLib::ID3v2::FrameFactory::instance()->setDefaultTextEncoding(TagLib::String::Latin1);
        }
        const auto before = framesBesidesTitle(path);

        cMP3ID3v2 t;
        t.setMP3File(path);
        EXPECT_EQ(t.ID3v2TagVersion(), c.version == TagLib::ID3v2::v4 ? 4 : 3);
        EXPECT_EQ(
            QStringList(
                {t.Title(), t.Artist(), t.Album(), t.Year(), t.Track(), t.OtherGenreName(), t.Composer()}),
            QStringList({title, QStringLiteral("B\u00e4nd"), "Disc", "2004", "7", "Indie", "Composer"}));
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
