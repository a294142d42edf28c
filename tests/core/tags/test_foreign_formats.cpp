// FLAC, Ogg, M4A and WMA files: named as an MP3 of the same stem would be,
// their own tags read and written (as an independent reader, mutagen, sees
// them) with everything else kept, and undone.
#include "AsfFiles.h"
#include "ParserCorpus.h"
#include "TestFiles.h"
#include "batch/Simulation.h"
#include "batch/TagBackup.h"
#include "batch/TagsFromNames.h"
#include "platform/Prompter.h"
#include "tags/ForeignTags.h"
#include "tags/cMP3ID3v2.h"
#include "tags/formTag.h"

#include <QDir>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const char* const kFormats[] = {"flac", "ogg", "opus", "m4a", "oga", "wma"}; // .oga: Ogg FLAC

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// The file as mutagen sees it, without the fields an edit may change.
QJsonObject kept(QJsonObject dump)
{
    for (const char* field :
         {"TITLE", "ARTIST", "ALBUM",       "DATE",          "TRACKNUMBER", "GENRE",          "COMMENT",
          "©NAM",  "©ART",   "©ALB",        "©DAY",          "TRKN",        "©GEN",           "©CMT",
          "Title", "Author", "Description", "WM/AlbumTitle", "WM/Year",     "WM/TrackNumber", "WM/Genre"})
        dump.remove(u(field));
    return dump;
}

// Everything the reader saw before, but the fields an edit may change, is as before.
void expectKept(const QJsonObject& before, const QJsonObject& after)
{
    const QJsonObject k = kept(before);
    for (auto it = k.begin(); it != k.end(); ++it)
        EXPECT_EQ(after[it.key()], it.value()) << it.key().toStdString();
}

// mutagen's view; of a WMA file also the checksum of every object that holds no tag.
QJsonObject dump(const QString& path)
{
    return path.endsWith(u(".wma")) ? asfDump(path) : formatDump(path);
}

} // namespace

TEST(ForeignFormats, WriteKeepsEverythingElseAndUndoRestoresTheBytes)
{
    for (const char* ext : kFormats) {
        SCOPED_TRACE(ext);
        QTemporaryDir dir;
        const QString path = dir.filePath(u("a.") + u(ext));
        ASSERT_TRUE(makeAudio(path)) << "needs ffmpeg and python3-mutagen";
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QFile::Permissions mode = QFile::permissions(path);
        const QByteArray bytes = readFile(path);
        const QJsonObject before = dump(path);
        const std::optional<TagBackup> backup = backupTags(path);
        const ForeignTagEdit edit{u("Titel \u20AC"), u("K\u00FCnstler"), u("Album"), u("1999"),
                                  u("3/12"),         u("Rock"),          u("Hi")};
        const ForeignTagResult r = ForeignTags::write(path, edit);
        if (ext == std::string("oga")) { // TagLib's Ogg FLAC writer fails its check: refused, file unchanged
            EXPECT_TRUE(!r.ok && ForeignTags::read(path) && readFile(path) == bytes);
            continue;
        }
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        const QJsonObject after = dump(path);
        expectKept(before, after);
        const bool wma = ext == std::string("wma");
        EXPECT_EQ(after[u(wma                         ? "Author"
                          : ext == std::string("m4a") ? "©ART"
                                                      : "ARTIST")]
                      .toArray(),
                  QJsonArray{u(wma ? "Unicode:K\u00FCnstler" : "K\u00FCnstler")});
        EXPECT_EQ(QFile::permissions(path), mode);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u("a.") + u(ext)});
        const std::optional<ForeignTagFields> f = ForeignTags::read(path);
        ASSERT_TRUE(f);
        EXPECT_EQ((QStringList{f->title, f->artist, f->album, f->year, f->track, f->genre, f->comment}),
                  (QStringList{*edit.title, *edit.artist, *edit.album, *edit.year, *edit.track, *edit.genre,
                               *edit.comment}));
        ASSERT_TRUE(backup);
        EXPECT_EQ(restoreTags(*backup), TagRestore::Restored);
        EXPECT_EQ(readFile(path), bytes);
    }
}

TEST(ForeignFormats, ContentDecidesAndUnknownContentIsRefused)
{
    // Tags from names: a FLAC named .mp3 gets its Vorbis comment, a WMA named
    // .mp3 its ASF tag and no ID3, MPEG named .flac gets ID3, unknown content
    // named .flac gets nothing.
    QTemporaryDir dir;
    const QString flac = dir.filePath(u("A - B.mp3")), mpeg = dir.filePath(u("C - D.flac")),
                  junk = dir.filePath(u("E - F.flac")), wma = dir.filePath(u("G - H.mp3"));
    ASSERT_TRUE(makeAudio(dir.filePath(u("x.flac"))) && QFile::rename(dir.filePath(u("x.flac")), flac));
    ASSERT_TRUE(makeAudio(dir.filePath(u("x.wma"))) && QFile::rename(dir.filePath(u("x.wma")), wma));
    writeFile(mpeg, mpegFrames(2));
    writeFile(junk, "not audio at all");
    const QJsonObject wmaBefore = asfDump(wma);
    FileList list;
    for (const QString& p : {flac, mpeg, junk, wma})
        list.append(p);
    ScriptedPrompter prompter(Answer::Yes);
    formTag tags(prompter);
    const TagsFromNamesOutcome out = fixlisttags(list, ParserOptions{}, prompter, tags);
    EXPECT_EQ(out.written, 3);
    const QJsonObject wmaAfter = asfDump(wma);
    expectKept(wmaBefore, wmaAfter); // the bytes behind the header too: no ID3v1 record
    EXPECT_EQ(wmaAfter[u("Title")].toArray(), QJsonArray{u("Unicode:H")});
    ASSERT_TRUE(QFile::copy(flac, dir.filePath(u("check.flac")))); // the reader goes by the name
    EXPECT_EQ(formatDump(dir.filePath(u("check.flac")))[u("TITLE")].toArray(), QJsonArray{u("B")});
    cMP3ID3v2 v2;
    v2.setMP3File(mpeg);
    EXPECT_EQ(v2.Title(), u("D"));
    // Refused: unknown content, MPEG, an ASF header claiming more than the file holds.
    QFile::resize(wma, 100);
    for (const QString& path : {junk, mpeg, wma}) {
        const QByteArray bytes = readFile(path);
        QString error;
        EXPECT_FALSE(ForeignTags::read(path, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(ForeignTags::write(path, {u("X"), {}, {}, {}, {}, {}, {}}).ok);
        EXPECT_EQ(readFile(path), bytes) << path.toStdString();
    }
}

// The corpus of parser names as .mp3 files and as files of each other format,
// a folder for each: every proposal is the MP3's with the real extension.
TEST(ForeignFormats, NamedAsTheSameStemWithMp3)
{
    QTemporaryDir dir;
    Random r{0x5EED0000ULL};
    QStringList stems;
    while (stems.size() < 1000) {
        const QString stem = randomName(r, true);
        if (!stem.contains(u'/') && !stem.contains(QChar(0)) && stem.toUtf8().size() < 200 &&
            !stems.contains(stem, Qt::CaseInsensitive))
            stems << stem;
    }
    const QStringList exts{u(".mp3"), u(".flac"), u(".ogg"), u(".oga"), u(".opus"), u(".m4a")};
    FileList lists[6];
    for (qsizetype e = 0; e < exts.size(); ++e)
        for (const QString& stem : std::as_const(stems)) {
            const QString path = dir.filePath(exts[e] + u("/") + stem + exts[e]);
            ASSERT_TRUE(writeFile(path, {})) << path.toStdString();
            lists[e].append(path);
        }
    SimulationOptions o;
    o.mode = Mode::FileNames;
    ScriptedPrompter prompter(Answer::No);
    QString log;
    for (FileList& list : lists)
        fixlist(list, o, prompter, log);
    for (qsizetype e = 1; e < exts.size(); ++e)
        for (int i = 0; i < int(stems.size()); ++i) {
            // ".mp3" stays the last one even in ".mp3 (1)", the name of an empty stem
            QString want = lists[0].row(i).after;
            want.replace(want.lastIndexOf(u(".mp3")), 4, exts[e]);
            EXPECT_EQ(lists[e].row(i).after, want) << stems[i].toStdString();
        }
}
