#include "TestFiles.h"
#include "platform/Prompter.h"
#include "tags/modTag.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString spaces30(30, QLatin1Char(' '));

// A record whose title is "Song" followed by zero bytes and whose comment
// carries the ID3v1.1 zero byte and track 5.
QByteArray songRecord()
{
    return id3v1Record("Song", "Band", "Disc", "1999", "Note", 5, 17);
}

enum class Target { File, Missing, Folder, Empty, Glob };
enum class Marker { None, Star };

struct GetCase {
    const char* name;
    Target target;
    QByteArray content;
    Marker marker;
    QString logLine; // "" = nothing logged; otherwise the prefix before the name
    QString title;   // expected CurrentTag.Title
    QString artist;
};

class GetId3v1 : public ::testing::TestWithParam<GetCase> {};

TEST_P(GetId3v1, FillsCurrentTagAndLogsProblems)
{
    const GetCase& c = GetParam();
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.mp3"));
    switch (c.target) {
    case Target::File:
        ASSERT_TRUE(writeFile(path, c.content));
        break;
    case Target::Missing:
        break;
    case Target::Folder:
        path = dir.path();
        break;
    case Target::Empty:
        path.clear();
        break;
    case Target::Glob:
        path = QStringLiteral("*.mp3");
        break;
    }
    QString name = c.marker == Marker::Star ? QStringLiteral("* ") + path : path;

    // A previous file's values must never leak into this one.
    modTag::CurrentTag.Title = QStringLiteral("previous");
    modTag::CurrentTag.Album = QStringLiteral("previous");
    modTag::CurrentTag.Genre = 3;
    modTag::tagLog = QStringLiteral("old");
    ScriptedPrompter prompter;
    EXPECT_TRUE(modTag::GetID3v1(name, prompter));

    EXPECT_EQ(name, path) << "a leading \"* \" is removed in the caller's variable";
    EXPECT_EQ(modTag::tagLog,
              c.logLine.isEmpty() ? QStringLiteral("old") : QStringLiteral("old\r\n") + c.logLine + path);
    EXPECT_EQ(modTag::CurrentTag.Title.text(), c.title);
    EXPECT_EQ(modTag::CurrentTag.Artist.text(), c.artist);
    if (c.title == spaces30) {
        EXPECT_EQ(modTag::CurrentTag.Album.text(), spaces30);
        EXPECT_EQ(modTag::CurrentTag.Genre, 255);
    }
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

const QString songTitle = QStringLiteral("Song") + QString(26, QChar(0));
const QString bandArtist = QStringLiteral("Band") + QString(26, QChar(0));

INSTANTIATE_TEST_SUITE_P(
    Files, GetId3v1,
    ::testing::Values(
        GetCase{"Tagged", Target::File, mpegFrames(1) + songRecord(), Marker::None, "", songTitle,
                bandArtist},
        GetCase{"TaggedBehindListMarker", Target::File, mpegFrames(1) + songRecord(), Marker::Star, "",
                songTitle, bandArtist},
        GetCase{"RecordIsWholeFile", Target::File, songRecord(), Marker::None, "", songTitle, bandArtist},
        GetCase{"Untagged", Target::File, mpegFrames(1), Marker::None, "No ID3-Tag: ", spaces30, spaces30},
        GetCase{"ShorterThanRecord", Target::File, QByteArray(100, 'x'), Marker::None,
                "Unexpected error in filename: ", spaces30, spaces30},
        GetCase{"Missing",
                Target::Missing,
                {},
                Marker::None,
                "Unexpected error in filename: ",
                spaces30,
                spaces30},
        GetCase{
            "Folder", Target::Folder, {}, Marker::None, "Unexpected error in filename: ", spaces30, spaces30},
        GetCase{"EmptyName", Target::Empty, {}, Marker::None, "", spaces30, spaces30},
        GetCase{"GlobName", Target::Glob, {}, Marker::None, "", spaces30, spaces30}),
    [](const ::testing::TestParamInfo<GetCase>& i) { return std::string(i.param.name); });

TEST(GetId3v1, AllSixFieldsOfATaggedFile)
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.mp3"));
    ASSERT_TRUE(writeFile(path, mpegFrames(1) + id3v1Record("T", "A", "Caf\xE9", "1999", "Note", 5, 17)));
    ScriptedPrompter prompter;
    modTag::GetID3v1(path, prompter);
    EXPECT_EQ(modTag::CurrentTag.Album.text(), QString::fromUtf8("Café") + QString(26, QChar(0)));
    EXPECT_EQ(modTag::CurrentTag.Year.text(), QStringLiteral("1999"));
    // The comment covers the ID3v1.1 zero byte and the track byte.
    EXPECT_EQ(modTag::CurrentTag.Comment.text(), QStringLiteral("Note") + QString(25, QChar(0)) + QChar(5));
    EXPECT_EQ(modTag::CurrentTag.Genre, 17);
}

struct SetCase {
    const char* name;
    QByteArray before;
    bool hadRecord;
};

class SetId3v1 : public ::testing::TestWithParam<SetCase> {};

// Read, change the artist, write: only the artist bytes of the record change,
// and a file without a record gains exactly one.
TEST_P(SetId3v1, ChangesOnlyTheRecord)
{
    const SetCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.mp3"));
    ASSERT_TRUE(writeFile(path, c.before));
    ScriptedPrompter prompter;
    QString name = path;
    modTag::GetID3v1(name, prompter);
    modTag::CurrentTag.Artist = QStringLiteral("New Artist");
    QString starred = QStringLiteral("* ") + path;
    EXPECT_TRUE(modTag::SetID3v1(starred, modTag::CurrentTag, prompter));
    EXPECT_EQ(starred, path);
    EXPECT_TRUE(prompter.prompts().isEmpty());

    const QByteArray after = readFile(path);
    QByteArray expected = c.before;
    if (c.hadRecord) {
        expected.replace(expected.size() - 128 + 33, 30, "New Artist" + QByteArray(20, ' '));
    } else {
        expected +=
            "TAG" + QByteArray(30, ' ') + "New Artist" + QByteArray(20, ' ') + QByteArray(64, ' ') + '\xFF';
    }
    EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SetId3v1,
    ::testing::Values(SetCase{"Tagged", mpegFrames(2) + songRecord(), true},
                      SetCase{"TaggedV10", mpegFrames(2) + "TAG" + QByteArray(125, 'q'), true},
                      SetCase{"Untagged", mpegFrames(2), false}),
    [](const ::testing::TestParamInfo<SetCase>& i) { return std::string(i.param.name); });

TEST(SetId3v1, UnwritableFilesAreReportedAndNotCreated)
{
    QTemporaryDir dir;
    struct {
        QString path;
        QString message;
        Icon icon;
    } cases[] = {
        {dir.filePath(QStringLiteral("gone.mp3")), QStringLiteral("Error 2: No such file or directory"),
         Icon::Critical},
        {dir.path(), QStringLiteral("Error 21: Is a directory"), Icon::Critical},
    };
    for (const auto& c : cases) {
        ScriptedPrompter prompter;
        QString name = c.path;
        EXPECT_FALSE(modTag::SetID3v1(name, TagRecord(), prompter));
        ASSERT_EQ(prompter.prompts().size(), 1);
        EXPECT_EQ(prompter.prompts()[0].text, c.message);
        EXPECT_EQ(prompter.prompts()[0].title, QStringLiteral("Error"));
        EXPECT_EQ(prompter.prompts()[0].icon, c.icon);
    }
    EXPECT_FALSE(QFile::exists(cases[0].path));

    QString empty;
    ScriptedPrompter prompter;
    EXPECT_FALSE(modTag::SetID3v1(empty, TagRecord(), prompter));
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

TEST(SetId3v1, ReadOnlyFileIsWriteProtected)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ro.mp3"));
    const QByteArray content = mpegFrames(1);
    ASSERT_TRUE(writeFile(path, content));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    ScriptedPrompter prompter;
    QString name = path;
    EXPECT_FALSE(modTag::SetID3v1(name, TagRecord(), prompter));
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.prompts()[0].text, "The file " + path + " is write-protected");
    EXPECT_EQ(prompter.prompts()[0].icon, Icon::Exclamation);
    EXPECT_EQ(readFile(path), content);
    EXPECT_TRUE(modTag::FileReadable(path));
}

TEST(FileReadable, OnlyReadableRegularFiles)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.mp3"));
    ASSERT_TRUE(writeFile(file, "x"));
    const QString locked = dir.filePath(QStringLiteral("locked.mp3"));
    ASSERT_TRUE(writeFile(locked, "x"));
    QFile::setPermissions(locked, {});
    const bool enforced = ::access(QFile::encodeName(locked).constData(), R_OK) != 0;
    struct {
        QString path;
        bool readable;
    } cases[] = {{file, true},
                 {dir.filePath(QStringLiteral("none.mp3")), false},
                 {dir.path(), false},
                 {QString(), false},
                 {locked, !enforced}};
    for (const auto& c : cases)
        EXPECT_EQ(modTag::FileReadable(c.path), c.readable) << c.path.toStdString();
}

TEST(TagRecord, FixedWidthTextsAndBytes)
{
    TagRecord r;
    EXPECT_EQ(r.toBytes(), QByteArray(124, ' ') + '\xFF');
    r.Title = QStringLiteral("A title that is longer than thirty characters");
    r.Year = QStringLiteral("99");
    r.Artist = QString::fromUtf8("€uro Ωmega");
    EXPECT_EQ(r.Title.text(), QStringLiteral("A title that is longer than th"));
    EXPECT_EQ(r.Year.text(), QStringLiteral("99  "));
    const QByteArray b = r.toBytes();
    ASSERT_EQ(b.size(), TagRecord::Size);
    EXPECT_EQ(b.mid(30, 10), QByteArray("\x80uro ?mega"));
    EXPECT_EQ(b.mid(90, 4), QByteArray("99  "));
    // Every byte survives a trip through the record, unassigned codes included.
    QByteArray all(TagRecord::Size, '\0');
    for (int i = 0; i < all.size(); ++i)
        all[i] = static_cast<char>(0x80 + i);
    EXPECT_EQ(TagRecord::fromBytes(all.constData()).toBytes(), all);
}

} // namespace
