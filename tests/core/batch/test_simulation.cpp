// The simulation over a list of real files made here: which way each file is
// named (tag or parser), the columns, the collision rules, vanished files and
// stopping part way.
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "batch/ErrorLog.h"
#include "batch/Renamer.h"
#include "batch/Simulation.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"
#include "tags/modTag.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// An ID3v2.3 tag with the given Latin-1 text frames (null: left out).
QByteArray v2(const char* artist, const char* title, const char* album = nullptr, const char* track = nullptr)
{
    QByteArray f;
    for (auto [id, text] : {std::pair{"TPE1", artist}, {"TIT2", title}, {"TALB", album}, {"TRCK", track}})
        if (text) f += frame23(id, QByteArray(1, '\0') + text); // encoding 0, text
    return id3v2Tag(3, f, 64);
}

// A folder of files, the list loaded from it in the order given.
class Folder {
  public:
    Folder() { EXPECT_TRUE(dir_.isValid()); }
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    // An audio file: optional ID3v2 tag in front, frames, optional ID3v1 record.
    void add(const QString& name, const QByteArray& tag2 = {}, const QByteArray& tag1 = {},
             bool listed = true)
    {
        ASSERT_TRUE(writeFile(path(name), tag2 + mpegFrames(2) + tag1));
        if (listed) list.append(path(name));
    }
    QStringList afters() const
    {
        QStringList a;
        for (int r = 0; r < list.rowCountShown(); ++r)
            a << list.row(r).after;
        return a;
    }
    SimulationRun fix(const SimulationOptions& o, Progress progress = {})
    {
        ScriptedPrompter p;
        const SimulationRun r = fixlist(list, o, p, log, progress);
        EXPECT_TRUE(p.prompts().isEmpty());
        return r;
    }

    FileList list;
    QString log;

  private:
    QTemporaryDir dir_;
};

SimulationOptions defaults()
{
    SimulationOptions o;
    o.threads = 2;
    return o;
}

} // namespace

TEST(SimulationQuestions, TrackNumbersQuestionOnlyWhenTheSchemeNeedsThem)
{
    const struct {
        const char* label;
        bool custom, fromTags, asks;
        Answer answer;
    } cases[] = {
        {"<Track>, answered yes", true, true, true, Answer::Yes},
        {"<Track>, answered no", true, true, true, Answer::No},
        {"scheme not custom", false, true, false, Answer::Yes},
        {"names from file names", true, false, false, Answer::Yes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SimulationOptions o = defaults();
        o.scheme = {c.custom ? SchemeChoice::Custom : SchemeChoice::ArtistTitle,
                    QStringLiteral("<Track>. <Artist>")};
        o.mode = c.fromTags ? Mode::TagNames : Mode::FileNames;
        ScriptedPrompter p(Answer::Yes);
        if (c.asks) p.queue(c.answer);
        EXPECT_TRUE(askBeforeSimulate(o, 7, p));
        ASSERT_EQ(p.prompts().size(), c.asks ? 2 : 1);
        EXPECT_EQ(p.count(Question::KeepTrackNumbers), c.asks ? 1 : 0);
        EXPECT_TRUE(p.prompts().last().text.contains(QStringLiteral("fix of 7 files")));
        EXPECT_EQ(o.parser.removeTrackNumbers, c.answer == Answer::No || !c.asks); // Yes keeps them
    }
}

TEST(SimulationPaths, EachModeNamesFromTagOrFileName)
{
    const QByteArray none;
    const struct {
        const char* label;
        Mode mode;
        QByteArray tag2, tag1;
        const char* fileName;
        SchemeChoice scheme; // track numbers are removed except with the custom scheme
        QString after, artist, title;
    } cases[] = {
        {"ID3v2 names the file", Mode::TagNames, v2("Artist", "Song"), none, "x y.mp3",
         SchemeChoice::ArtistTitle, "Artist - Song.mp3", "Artist", "Song"},
        {"tags from names: the name stays", Mode::TagsFromNames, v2("Artist", "Song"), none,
         "01 - band - tune.mp3", SchemeChoice::ArtistTitle, "01 - band - tune.mp3", "Band", "Tune"},
        {"a tag proposal is cleaned as the renaming cleans it", Mode::TagNames, v2("Artist", "Why? [Live]"),
         none, "x y.mp3", SchemeChoice::ArtistTitle, "Artist - Why (Live).mp3", "Artist", "Why? [Live]"},
        {"no tag: the name is cleaned", Mode::TagNames, none, none, "some_name.mp3",
         SchemeChoice::ArtistTitle, "Some Name.mp3", " ", " "},
        {"no ID3v2 title: ID3v1", Mode::TagNames, v2("Artist", nullptr), id3v1Record("Tune", "Band"),
         "x y.mp3", SchemeChoice::ArtistTitle, "Band - Tune.mp3", "Band", "Tune"},
        {"ignore tags: ID3v1 columns", Mode::FileNames, v2("Artist", "Song"), id3v1Record("Tune", "Band"),
         "some_name.mp3", SchemeChoice::ArtistTitle, "Some Name.mp3", "Band", "Tune"},
        {"track and album through the custom scheme", Mode::TagNames, v2("Artist", "Song", "Album", "3/12"),
         none, "x y.mp3", SchemeChoice::Custom, "03. Artist - Album - Song.mp3", "Artist", "Song"},
        {"a slash in the tag never reaches the name", Mode::TagNames, v2("AC/DC", "Song"), none, "x y.mp3",
         SchemeChoice::ArtistTitle, "Ac - Dc - Song.mp3", "AC/DC", "Song"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Folder f;
        f.add(QString::fromLatin1(c.fileName), c.tag2, c.tag1);
        SimulationOptions o = defaults();
        o.mode = c.mode;
        o.scheme.choice = c.scheme;
        o.parser.removeTrackNumbers = c.scheme != SchemeChoice::Custom;
        EXPECT_EQ(f.fix(o).processed, 1);
        ASSERT_EQ(f.list.rowCountShown(), 1);
        EXPECT_EQ(f.list.row(0).after, c.after);
        EXPECT_EQ(f.list.lstSim, QStringList{c.after});
        EXPECT_EQ(f.list.row(0).artist, c.artist);
        EXPECT_EQ(f.list.row(0).title, c.title);
    }
}

TEST(SimulationPaths, NothingOfOneFileLeaksIntoTheNext)
{
    // ID3v1 forced: the first file's ID3v2 tag is passed over; the second's artist
    // is too short to count, so the fallback names it from its ID3v1 record, whose
    // empty album must show "Unknown Album", not the first file's album.
    Folder f;
    f.add(QStringLiteral("a.mp3"), v2("Other", "Thing", "Else"), id3v1Record("Song", "Artist", "Album"));
    f.add(QStringLiteral("b.mp3"), {}, id3v1Record("Tune", "X"));
    SimulationOptions o = defaults();
    o.forceId1 = true;
    o.scheme = {SchemeChoice::Custom, QStringLiteral("<Artist> - <Album> - <Title>")};
    f.fix(o);
    EXPECT_EQ(f.afters(), (QStringList{"Artist - Album - Song.mp3", "X - Unknown Album - Tune.mp3"}));
}

TEST(SimulationCollisions, FilesOnDiskAndEarlierProposals)
{
    const QByteArray none;
    const struct {
        const char* label;
        std::vector<std::pair<const char*, QByteArray>> listed; // name, ID3v2 tag
        std::vector<const char*> onDisk;                        // other files of the folder, not listed
        QStringList afters;
    } cases[] = {
        {"another file holds the name", {{"a.mp3", v2("A", "S")}}, {"A - S.mp3"}, {"A - S (1).mp3"}},
        {"taken twice", {{"a.mp3", v2("A", "S")}}, {"A - S.mp3", "A - S (1).mp3"}, {"A - S (1) (1).mp3"}},
        {"another case is another file", {{"a.mp3", v2("A", "S")}}, {"a - s.mp3"}, {"A - S.mp3"}},
        {"the file's own name is no collision", {{"A - S.mp3", v2("A", "S")}}, {}, {"A - S.mp3"}},
        {"a case-only change of its own name", {{"a - s.mp3", none}}, {}, {"A - S.mp3"}},
        {"parsed names repeating an earlier proposal",
         {{"some_name.mp3", none}, {"SOME NAME.mp3", none}, {"Some_Name.mp3", none}},
         {},
         {"Some Name.mp3", "Some Name (1).mp3", "Some Name (1) (1).mp3"}},
        {"a suffix for a repeat still avoids the disk",
         {{"a.mp3", v2("A", "S")}, {"b.mp3", v2("A", "S")}},
         {"A - S (1).mp3"},
         {"A - S.mp3", "A - S (1) (1).mp3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Folder f;
        for (const auto& [name, tag] : c.listed)
            f.add(QString::fromLatin1(name), tag);
        for (const char* name : c.onDisk)
            f.add(QString::fromLatin1(name), {}, {}, false);
        f.fix(defaults());
        EXPECT_EQ(f.afters(), c.afters);
        EXPECT_EQ(f.list.lstSim, c.afters);
    }
}

// The log of a run is offered with the question in front; Yes copies the log alone.
TEST(SimulationList, ErrorLogIsOfferedAndOnYesCopiedAlone)
{
    const QString lines = QStringLiteral("\r\nFile no longer exists! (b.mp3): Removing file from list");
    for (const Answer a : {Answer::Yes, Answer::No}) {
        ScriptedPrompter p(a);
        MemoryClipboard clip;
        QString log = lines;
        EXPECT_EQ(offerErrorLog(log, p, clip), a == Answer::Yes);
        EXPECT_EQ(clip.text(), a == Answer::Yes ? lines : QString());
        ASSERT_EQ(p.prompts().size(), 1);
        EXPECT_EQ(p.prompts().first().text, errorLogQuestion() + QStringLiteral("\r\n") + lines);
    }
}

// A vanished file leaves the list with a log line; stopping part way leaves
// the lists and the table saying the same.
TEST(SimulationList, VanishedFilesAndStoppingLeaveListsAndTableConsistent)
{
    for (int stopAfter : {0, 1, 3, 9}) {
        SCOPED_TRACE(stopAfter);
        Folder f;
        for (int i = 0; i < 6; ++i)
            f.add(QStringLiteral("f%1.mp3").arg(i), v2("Artist", QByteArray("Song ") + char('A' + i)));
        ASSERT_TRUE(QFile::remove(f.path(QStringLiteral("f1.mp3"))));
        QList<qsizetype> seen;
        const SimulationRun r = f.fix(defaults(), [&](qsizetype done, qsizetype total) {
            EXPECT_EQ(total, 6);
            seen << done;
            return done < stopAfter;
        });
        const int done = std::min(stopAfter, 6);
        EXPECT_EQ(r.cancelled, stopAfter < 6);
        // Before the first file and after every one (calls while waiting repeat a count).
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
        QList<qsizetype> everyFile(done + 1);
        std::iota(everyFile.begin(), everyFile.end(), 0);
        EXPECT_EQ(seen, everyFile);
        const qsizetype vanished = done >= 2 ? 1 : 0;
        EXPECT_EQ(r.vanished, vanished);
        EXPECT_EQ(f.log, vanished ? "\r\nFile no longer exists! (f1.mp3): Removing file from list" : "");
        EXPECT_EQ(f.list.count(), 6 - vanished);
        EXPECT_EQ(f.list.lstFiles.size(), f.list.count());
        EXPECT_EQ(f.list.rowCountShown(), f.list.count());
        EXPECT_EQ(f.list.lstArtist.size(), done - vanished);
        for (int row = 0; row < f.list.rowCountShown(); ++row) {
            EXPECT_EQ(f.list.row(row).after.isEmpty(), row >= done - vanished) << row;
            EXPECT_EQ(FileList::at(f.list.lstSim, row), f.list.row(row).after);
            EXPECT_EQ(f.list.row(row).before, f.list.lstFiles.at(row));
        }
    }
}

TEST(SimulationList, ParallelRunEqualsOneByOneAndKeepsTheTagLogInOrder)
{
    Folder f;
    for (int i = 0; i < 150; ++i) {
        const QString name = QStringLiteral("%1 track_%2.mp3").arg(i % 7).arg(i % 11);
        if (!QFile::exists(f.path(name)))
            f.add(name, i % 3 ? QByteArray() : v2("Artist", QByteArray("Song ") + QByteArray::number(i % 5)),
                  i % 4 ? QByteArray() : id3v1Record("V1 Title", "V1 Artist"));
    }
    auto run = [&](int threads) {
        FileList copy;
        copy.lstAllfiles = f.list.lstAllfiles;
        copy.lstFiles = f.list.lstFiles;
        SimulationOptions o = defaults();
        o.threads = threads;
        ScriptedPrompter p;
        QString log;
        modTag::tagLog.clear();
        fixlist(copy, o, p, log);
        return QList<QStringList>{copy.lstSim, copy.lstArtist, copy.lstTit, {modTag::tagLog}};
    };
    const QList<QStringList> one = run(1), many = run(4);
    EXPECT_EQ(one, many);
    // Each file without an ID3v1 record left its line, in list order.
    QString expected;
    for (const QString& file : std::as_const(f.list.lstAllfiles))
        if (!readFile(file).right(128).startsWith("TAG"))
            expected += QStringLiteral("\r\nNo ID3-Tag: ") + file;
    EXPECT_EQ(many.last().first(), expected);
}

TEST(SimulationThenFix, TheFolderEndsHoldingTheAfterNames)
{
    // Tagged and parsed duplicates and names on disk; then many files parsing
    // to one name until the suffixes make it longer than the folder takes.
    using Library = std::vector<std::pair<QString, QByteArray>>;
    std::vector<Library> libraries = {
        {{"a.mp3", v2("A", "S")}, {"b.mp3", v2("a", "s")}, {"some_name.mp3", {}}, {"SOME NAME.mp3", {}}},
        {{"B.mp3", v2("A", "S")}, {"A - S.mp3", v2("B", "")}, {"X - S.mp3", {}}, {"c.mp3", v2("X", "S")}},
        {}};
    for (int i = 0; i < 70; ++i)
        libraries[2].push_back({QStringLiteral("%1 track.mp3").arg(i, 4, 10, QLatin1Char('0')), {}});
    for (const auto& library : libraries) {
        Folder f;
        for (const auto& [name, tag] : library)
            f.add(name, tag);
        f.fix(defaults());
        QStringList expected;
        int marked = 0;
        for (int r = 0; r < f.list.rowCountShown(); ++r) {
            marked += !f.list.problem(r).isEmpty();
            expected << (f.list.problem(r).isEmpty() ? f.list.row(r).after : f.list.row(r).before);
        }
        EXPECT_EQ(marked > 0, library.size() == 70);
        ScriptedPrompter p;
        MemoryClipboard clip;
        QString log;
        RenameRun run{f.list, p, clip, log, {}, {}, nullptr, {}};
        const RenameOutcome out = renamefiles(run);
        EXPECT_TRUE(p.prompts().isEmpty()); // marked rows are skipped without a message
        EXPECT_EQ(out.unusable, marked);
        EXPECT_EQ(log.count(QStringLiteral("': File name too long")), marked);
        expected.sort();
        EXPECT_EQ(QDir(f.path(QString())).entryList(QDir::Files, QDir::Name), expected);
    }
}
