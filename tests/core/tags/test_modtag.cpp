// The ID3v1 record routines of the batch operations: the shared record that
// GetID3v1 fills and SetID3v1 writes, the log of unreadable files, and the
// messages for files that cannot be written.
#include "TestFiles.h"
#include "platform/Prompter.h"
#include "tags/modTag.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString spaces30(30, QLatin1Char(' '));

// A v1.1 record with track 5 and a Windows-1252 album; unused bytes are zeros.
QByteArray songRecord()
{
    return id3v1Record("Song", "Band", "Caf\xE9", "1999", "Note", 5, 17);
}

QString zeroPadded(const QString& s)
{
    return s + QString(30 - s.size(), QChar(0));
}

TEST(GetId3v1, FillsCurrentTagOrLogsTheFile)
{
    TempFiles files;
    const QString tagged = files.file(mpegFrames(1) + songRecord());
    const QString whole = files.file(songRecord());
    const QString untagged = files.file(mpegFrames(1));
    const QString missing = files.dir.filePath("missing.mp3");
    const struct {
        QString name;
        QString path;
        QString logLine;
        bool hasRecord;
    } cases[] = {
        {tagged, tagged, {}, true},
        {"* " + tagged, tagged, {}, true}, // the list marker goes, in the caller's variable too
        {whole, whole, {}, true},
        {untagged, untagged, QStringLiteral("No ID3-Tag: "), false},
        {missing, missing, QStringLiteral("Unexpected error in filename: "), false},
        {QString(), QString(), {}, false},
        {QStringLiteral("*.mp3"), QStringLiteral("*.mp3"), {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        // A previous file's values must never leak into this one.
        modTag::CurrentTag.Title = "previous";
        modTag::CurrentTag.Genre = 3;
        modTag::tagLog = "old";
        ScriptedPrompter prompter;
        QString name = c.name;
        EXPECT_TRUE(modTag::GetID3v1(name, prompter));
        EXPECT_EQ(name, c.path);
        EXPECT_EQ(modTag::tagLog,
                  c.logLine.isEmpty() ? QStringLiteral("old") : "old\r\n" + c.logLine + c.path);
        EXPECT_TRUE(prompter.prompts().isEmpty());
        const TagRecord& r = modTag::CurrentTag;
        if (!c.hasRecord) {
            EXPECT_EQ(QStringList({r.Title, r.Artist, r.Album, r.Comment}), QStringList(4, spaces30));
            EXPECT_EQ(r.Genre, 255);
            continue;
        }
        // The comment covers the ID3v1.1 zero byte and the track byte.
        EXPECT_EQ(QStringList({r.Title, r.Artist, r.Album, r.Year, r.Comment}),
                  QStringList({zeroPadded("Song"), zeroPadded("Band"), zeroPadded(QString::fromUtf8("Café")),
                               "1999", "Note" + QString(25, QChar(0)) + QChar(5)}));
        EXPECT_EQ(r.Genre, 17);
    }
}

// Read, change the artist, write: only the artist bytes of the record change,
// and a file without a record gains exactly one.
TEST(SetId3v1, ChangesOnlyTheRecord)
{
    const QByteArray artist = "New Artist" + QByteArray(20, ' ');
    const std::tuple<const char*, QByteArray, QByteArray> cases[] = {
        {"tagged", mpegFrames(2) + songRecord(), mpegFrames(2) + songRecord().replace(33, 30, artist)},
        {"untagged", mpegFrames(2),
         mpegFrames(2) + "TAG" + QByteArray(30, ' ') + artist + QByteArray(64, ' ') + '\xFF'},
    };
    TempFiles files;
    for (const auto& [name, before, expected] : cases) {
        SCOPED_TRACE(name);
        const QString path = files.file(before);
        ScriptedPrompter prompter;
        QString read = path;
        modTag::GetID3v1(read, prompter);
        modTag::CurrentTag.Artist = QStringLiteral("New Artist");
        QString starred = QStringLiteral("* ") + path;
        EXPECT_TRUE(modTag::SetID3v1(starred, modTag::CurrentTag, prompter));
        EXPECT_EQ(starred, path);
        EXPECT_TRUE(prompter.prompts().isEmpty());
        EXPECT_EQ(readFile(path), expected);
    }
}

TEST(SetId3v1, UnwritableFilesAreReportedAndLeftAlone)
{
    QTemporaryDir dir;
    const QString readOnly = dir.filePath(QStringLiteral("ro.mp3"));
    ASSERT_TRUE(writeFile(readOnly, mpegFrames(1)));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
    const QString gone = dir.filePath(QStringLiteral("gone.mp3"));
    const std::tuple<QString, QString, Icon> cases[] = {
        {gone, QStringLiteral("Error 2: No such file or directory"), Icon::Critical},
        {readOnly, "The file " + readOnly + " is write-protected", Icon::Exclamation},
    };
    for (const auto& [path, message, icon] : cases) {
        ScriptedPrompter prompter;
        QString name = path;
        EXPECT_FALSE(modTag::SetID3v1(name, TagRecord(), prompter));
        ASSERT_EQ(prompter.prompts().size(), 1);
        EXPECT_EQ(prompter.prompts()[0].text, message);
        EXPECT_EQ(prompter.prompts()[0].icon, icon);
    }
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_EQ(readFile(readOnly), mpegFrames(1));
}

TEST(TagRecord, FixedWidthTextsAndBytes)
{
    TagRecord r;
    EXPECT_EQ(r.toBytes(), QByteArray(124, ' ') + '\xFF');
    r.Title = QStringLiteral("A title that is longer than thirty characters");
    r.Year = QStringLiteral("99");
    r.Artist = QString::fromUtf8("€uro Ωmega");
    EXPECT_EQ(r.Title.text(), QStringLiteral("A title that is longer than th"));
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
