// The simulation over a list of real files made here: which way each file is
// named (tag or parser), the columns, the collision rules, vanished files,
// the questions, the error log and stopping part way.
#include "batch/Simulation.h"

#include "TestFiles.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"
#include "tags/modTag.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

QT_BEGIN_NAMESPACE
// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace vantrel;
using vantrel::test::id3v1Record;
using vantrel::test::mpegFrames;
using vantrel::test::writeFile;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// ---- ID3v2.3 tags as bytes ----------------------------------------------------

QByteArray bytes4(quint32 a, quint32 b, quint32 c, quint32 d)
{
    const char out[4] = {char(a & 0xFF), char(b & 0xFF), char(c & 0xFF), char(d & 0xFF)};
    return QByteArray(out, 4);
}

QByteArray be32(quint32 v)
{
    return bytes4(v >> 24, v >> 16, v >> 8, v);
}

QByteArray synchsafe(quint32 v)
{
    return bytes4((v >> 21) & 0x7F, (v >> 14) & 0x7F, (v >> 7) & 0x7F, v & 0x7F);
}

// A text frame in ISO-8859-1 (encoding byte 0).
QByteArray latinFrame(const char* id, const QByteArray& text)
{
    const QByteArray body = QByteArray(1, '\0') + text; // encoding 0 + text
    return QByteArray(id) + be32(quint32(body.size())) + QByteArray(2, '\0') + body;
}

// A text frame in UTF-16 with a little-endian byte order mark (encoding byte 1).
QByteArray utf16Frame(const char* id, const QString& text)
{
    QByteArray body("\x01\xFF\xFE", 3); // encoding 1, BOM FF FE
    for (QChar c : text) {
        body += char(c.unicode() & 0xFF);
        body += char(c.unicode() >> 8);
    }
    return QByteArray(id) + be32(quint32(body.size())) + QByteArray(2, '\0') + body;
}

// "ID3" 3.0, no flags, synchsafe size of the frames plus 64 bytes of padding.
QByteArray id3v2Tag(const QByteArray& frames)
{
    const QByteArray padding(64, '\0');
    return QByteArray("ID3\x03\x00\x00", 6) + synchsafe(quint32(frames.size() + padding.size())) + frames +
           padding;
}

QByteArray v2(const char* artist, const char* title, const char* album = nullptr, const char* track = nullptr)
{
    QByteArray f;
    if (artist)
        f += latinFrame("TPE1", artist);
    if (title)
        f += latinFrame("TIT2", title);
    if (album)
        f += latinFrame("TALB", album);
    if (track)
        f += latinFrame("TRCK", track);
    return id3v2Tag(f);
}

struct Prompts {
    ScriptedPrompter prompter{Answer::Yes};
    QStringList texts() const
    {
        QStringList t;
        for (const auto& p : prompter.prompts())
            t << p.text;
        return t;
    }
};

// A folder of files, the list loaded from it in the order given.
class Folder {
public:
    Folder() { EXPECT_TRUE(dir_.isValid()); }
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    // An audio file: optional ID3v2 tag in front, frames, optional ID3v1 record.
    void add(const QString& name, const QByteArray& tag2 = {}, const QByteArray& tag1 = {}, bool listed = true)
    {
        ASSERT_TRUE(writeFile(path(name), tag2 + mpegFrames(2) + tag1));
        if (listed)
            list.append(path(name));
    }

    QStringList afters() const
    {
        QStringList a;
        for (int r = 0; r < list.rowCountShown(); ++r)
            a << list.row(r).after;
        return a;
    }

    FileList list;

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

// ---- the questions before a run ------------------------------------------------

struct QuestionCase {
    const char* label;
    SchemeChoice scheme;
    const char* pattern;
    Mode mode;
    bool removeTrackNumbers;
    bool asksTrackNumbers;
    Answer trackAnswer;
    bool removeAfter;
};

TEST(SimulationQuestions, TrackNumbersQuestionOnlyWhenTheSchemeNeedsThem)
{
    const QuestionCase cases[] = {
        {"custom with <Track>, answered yes", SchemeChoice::Custom, "<Track>. <Artist>", Mode::TagNames, true, true,
         Answer::Yes, false},
        {"custom with <Track>, answered no", SchemeChoice::Custom, "<Track>. <Artist>", Mode::TagNames, true, true,
         Answer::No, true},
        {"lower-case placeholder", SchemeChoice::Custom, "<track>. <Artist>", Mode::TagNames, true, false,
         Answer::Yes, true},
        {"scheme not custom", SchemeChoice::ArtistTitle, "<Track>. <Artist>", Mode::TagNames, true, false,
         Answer::Yes, true},
        {"names from file names", SchemeChoice::Custom, "<Track>. <Artist>", Mode::FileNames, true, false,
         Answer::Yes, true},
        {"tags from names", SchemeChoice::Custom, "<Track>. <Artist>", Mode::TagsFromNames, true, false,
         Answer::Yes, true},
        {"track numbers kept", SchemeChoice::Custom, "<Track>. <Artist>", Mode::TagNames, false, false,
         Answer::Yes, false},
    };
    for (const QuestionCase& c : cases) {
        SCOPED_TRACE(c.label);
        SimulationOptions o = defaults();
        o.scheme.choice = c.scheme;
        o.scheme.pattern = QString::fromLatin1(c.pattern);
        o.mode = c.mode;
        o.parser.removeTrackNumbers = c.removeTrackNumbers;
        ScriptedPrompter p(Answer::Yes);
        if (c.asksTrackNumbers)
            p.queue(c.trackAnswer);
        EXPECT_TRUE(askBeforeSimulate(o, 7, p));
        ASSERT_EQ(p.prompts().size(), c.asksTrackNumbers ? 2 : 1);
        if (c.asksTrackNumbers) {
            const auto& q = p.prompts().first();
            EXPECT_EQ(q.title, QStringLiteral("Track numbers"));
            EXPECT_EQ(q.text, QStringLiteral("You have chosen to include track numbers in your custom renaming "
                                             "scheme, but also to remove track numbers.\r\nWould you like to "
                                             "deactivate removal of track numbers?"));
            EXPECT_EQ(q.buttons, Buttons::YesNo);
            EXPECT_EQ(q.icon, Icon::Question);
        }
        const auto& fix = p.prompts().last();
        EXPECT_EQ(fix.title, QStringLiteral("Fix files"));
        EXPECT_EQ(fix.text, QStringLiteral("You are about to simulate fix of 7 files. Continiue?"));
        EXPECT_EQ(fix.buttons, Buttons::YesNo);
        EXPECT_EQ(fix.icon, Icon::Question);
        EXPECT_EQ(o.parser.removeTrackNumbers, c.removeAfter);
    }
}

TEST(SimulationQuestions, NoToFixFilesLeavesProposalsEmptyAndRunsNothing)
{
    Folder f;
    f.add(QStringLiteral("a.mp3"), v2("Artist", "Song"));
    f.list.listviewthem();
    f.list.setAfterText(0, QStringLiteral("Old.mp3"));
    f.list.listviewthem();
    SimulationOptions o = defaults();
    ScriptedPrompter p(Answer::No);
    QString log = QStringLiteral("previous");
    bool closed = false, panel = false;
    SimulationHooks hooks;
    hooks.closeDetails = [&] { closed = true; };
    hooks.workingOn = [&](const QString&) {
        panel = true;
        return Progress();
    };
    const SimulationRun r = simulate(f.list, o, p, log, hooks);
    EXPECT_FALSE(r.ran);
    EXPECT_TRUE(f.list.lstSim.isEmpty());
    EXPECT_EQ(f.list.row(0).after, QStringLiteral("Old.mp3")); // the table still shows the last run
    EXPECT_EQ(log, QStringLiteral("previous"));
    EXPECT_FALSE(closed);
    EXPECT_FALSE(panel);
}

TEST(SimulationQuestions, EmptyListAsksForZeroFilesAndEndsWithAnEmptyTable)
{
    FileList list;
    SimulationOptions o = defaults();
    ScriptedPrompter p(Answer::Yes);
    QString log;
    QString estimate;
    SimulationHooks hooks;
    hooks.workingOn = [&](const QString& e) {
        estimate = e;
        return Progress();
    };
    const SimulationRun r = simulate(list, o, p, log, hooks);
    ASSERT_EQ(p.prompts().size(), 1);
    EXPECT_EQ(p.prompts().first().text, QStringLiteral("You are about to simulate fix of 0 files. Continiue?"));
    EXPECT_TRUE(r.ran);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(list.rowCountShown(), 0);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(estimate, QStringLiteral("0 min 03 sec"));
}

// ---- tag path or parser path -----------------------------------------------------

struct PathCase {
    const char* label;
    Mode mode;
    bool forceId1;
    QByteArray tag2;
    QByteArray tag1;
    const char* fileName;
    SchemeChoice scheme;
    bool removeTrackNumbers;
    QString after;
    QString artist;
    QString title;
};

TEST(SimulationPaths, EachModeNamesFromTagOrFileName)
{
    const QByteArray noTag;
    const PathCase cases[] = {
        {"ID3v2 names the file", Mode::TagNames, false, v2("Artist", "Song"), noTag, "x y.mp3",
         SchemeChoice::ArtistTitle, true, "Artist - Song.mp3", "Artist", "Song"},
        {"title first", Mode::TagNames, false, v2("Artist", "Song"), noTag, "x y.mp3", SchemeChoice::TitleArtist,
         true, "Song - Artist.mp3", "Artist", "Song"},
        {"tags-from-names mode simulates like names from tags", Mode::TagsFromNames, false, v2("Artist", "Song"),
         noTag, "x y.mp3", SchemeChoice::ArtistTitle, true, "Artist - Song.mp3", "Artist", "Song"},
        {"no tag: the name is cleaned", Mode::TagNames, false, noTag, noTag, "some_name.mp3",
         SchemeChoice::ArtistTitle, true, "Some Name.mp3", " ", " "},
        {"ID3v2 without a title falls back to ID3v1", Mode::TagNames, false, v2("Artist", nullptr),
         id3v1Record("V1 Song", "V1 Artist"), "x y.mp3", SchemeChoice::ArtistTitle, true,
         "V1 Artist - V1 Song.mp3", "V1 Artist", "V1 Song"},
        {"ID3v1 only", Mode::TagNames, false, noTag, id3v1Record("Song", "Artist"), "x y.mp3",
         SchemeChoice::ArtistTitle, true, "Artist - Song.mp3", "Artist", "Song"},
        {"ignore tags: parser, columns from ID3v1", Mode::FileNames, false, v2("Artist", "Song"),
         id3v1Record("V1 Song", "V1 Artist"), "some_name.mp3", SchemeChoice::ArtistTitle, true, "Some Name.mp3",
         "V1 Artist", "V1 Song"},
        {"ignore tags without ID3v1", Mode::FileNames, false, v2("Artist", "Song"), noTag, "some_name.mp3",
         SchemeChoice::ArtistTitle, true, "Some Name.mp3", " ", " "},
        {"ID3v1 forced over a different ID3v2", Mode::TagNames, true, v2("Other", "Thing"),
         id3v1Record("Song", "Artist"), "x y.mp3", SchemeChoice::ArtistTitle, true, "Artist - Song.mp3",
         "Artist", "Song"},
        {"ID3v1 forced but empty: the name is cleaned", Mode::TagNames, true, v2("Other", "Thing"), noTag,
         "some_name.mp3", SchemeChoice::ArtistTitle, true, "Some Name.mp3", " ", " "},
        {"UTF-16 tag text", Mode::TagNames, false,
         id3v2Tag(utf16Frame("TPE1", QStringLiteral("Bj\u00F6rk")) + utf16Frame("TIT2", QStringLiteral("J\u00F3ga"))),
         noTag, "x y.mp3", SchemeChoice::ArtistTitle, true, QStringLiteral("Bj\u00F6rk - J\u00F3ga.mp3"),
         QStringLiteral("Bj\u00F6rk"), QStringLiteral("J\u00F3ga")},
        {"track and album through the custom scheme", Mode::TagNames, false, v2("Artist", "Song", "Album", "3/12"),
         noTag, "x y.mp3", SchemeChoice::Custom, false, "03. Artist - Album - Song.mp3", "Artist", "Song"},
        {"a slash in the tag never reaches the name", Mode::TagNames, false, v2("AC/DC", "Song"), noTag,
         "x y.mp3", SchemeChoice::ArtistTitle, true, "", "AC/DC", "Song"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.label);
        Folder f;
        f.add(QString::fromLatin1(c.fileName), c.tag2, c.tag1);
        SimulationOptions o = defaults();
        o.mode = c.mode;
        o.forceId1 = c.forceId1;
        o.scheme.choice = c.scheme;
        o.parser.removeTrackNumbers = c.removeTrackNumbers;
        ScriptedPrompter p;
        QString log;
        const SimulationRun r = fixlist(f.list, o, p, log);
        EXPECT_EQ(r.processed, 1);
        ASSERT_EQ(f.list.rowCountShown(), 1);
        const QString after = f.list.row(0).after;
        if (c.after.isEmpty()) {
            EXPECT_FALSE(after.contains(QLatin1Char('/'))) << after.toStdString();
            EXPECT_TRUE(after.endsWith(QLatin1String(".mp3")));
        } else {
            EXPECT_EQ(after, c.after);
        }
        EXPECT_EQ(f.list.lstSim, QStringList{after});
        EXPECT_EQ(f.list.row(0).artist, c.artist);
        EXPECT_EQ(f.list.row(0).title, c.title);
        EXPECT_TRUE(p.prompts().isEmpty());
    }
}

TEST(SimulationPaths, NothingOfOneFileLeaksIntoTheNext)
{
    // With ID3v1 forced, the second file's artist is too short to count, so
    // it is named from its ID3v1 record through the fallback, and its album
    // is empty: it must show "Unknown Album", not the first file's album.
    Folder f;
    f.add(QStringLiteral("a.mp3"), {}, id3v1Record("Song", "Artist", "Album"));
    f.add(QStringLiteral("b.mp3"), {}, id3v1Record("Tune", "X"));
    SimulationOptions o = defaults();
    o.forceId1 = true;
    o.scheme.choice = SchemeChoice::Custom;
    o.scheme.pattern = QStringLiteral("<Artist> - <Album> - <Title>");
    ScriptedPrompter p;
    QString log;
    fixlist(f.list, o, p, log);
    EXPECT_EQ(f.afters(), (QStringList{QStringLiteral("Artist - Album - Song.mp3"),
                                       QStringLiteral("X - Unknown Album - Tune.mp3")}));
}

// ---- collisions ------------------------------------------------------------------------

struct CollisionCase {
    const char* label;
    std::vector<std::pair<const char*, QByteArray>> listed; // name, ID3v2 tag
    std::vector<const char*> onDisk;                        // other files of the folder, not listed
    QStringList afters;
};

TEST(SimulationCollisions, FilesOnDiskAndEarlierProposals)
{
    const QByteArray none;
    const CollisionCase cases[] = {
        {"another file holds the name", {{"a.mp3", v2("Artist", "Song")}}, {"Artist - Song.mp3"},
         {"Artist - Song (1).mp3"}},
        {"repeated while taken",
         {{"a.mp3", v2("Artist", "Song")}},
         {"Artist - Song.mp3", "Artist - Song (1).mp3"},
         {"Artist - Song (1) (1).mp3"}},
        {"a file differing only in case is another file", {{"a.mp3", v2("Artist", "Song")}}, {"artist - song.mp3"},
         {"Artist - Song.mp3"}},
        {"the file's own name is no collision", {{"Artist - Song.mp3", v2("Artist", "Song")}}, {},
         {"Artist - Song.mp3"}},
        {"a case-only change of its own name", {{"artist - song.mp3", none}}, {}, {"Artist - Song.mp3"}},
        {"parsed names repeating an earlier proposal",
         {{"some_name.mp3", none}, {"SOME NAME.mp3", none}, {"Some_Name.mp3", none}},
         {},
         {"Some Name.mp3", "Some Name (1).mp3", "Some Name (1) (1).mp3"}},
        {"a parsed name repeating a tag proposal",
         {{"a.mp3", v2("Artist", "Song")}, {"artist_-_song.mp3", none}},
         {},
         {"Artist - Song.mp3", "Artist - Song (1).mp3"}},
        {"tag proposals may repeat each other",
         {{"a.mp3", v2("Artist", "Song")}, {"b.mp3", v2("Artist", "Song")}},
         {},
         {"Artist - Song.mp3", "Artist - Song.mp3"}},
    };
    for (const CollisionCase& c : cases) {
        SCOPED_TRACE(c.label);
        Folder f;
        for (const auto& [name, tag] : c.listed)
            f.add(QString::fromLatin1(name), tag);
        for (const char* name : c.onDisk)
            f.add(QString::fromLatin1(name), {}, {}, false);
        ScriptedPrompter p;
        QString log;
        fixlist(f.list, defaults(), p, log);
        EXPECT_EQ(f.afters(), c.afters);
        EXPECT_EQ(f.list.lstSim, c.afters);
    }
}

// ---- vanished files, the log, stopping ----------------------------------------------------

TEST(SimulationList, VanishedFilesLeaveTheListWithOneLogLineEach)
{
    Folder f;
    for (const char* n : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"})
        f.add(QString::fromLatin1(n), v2("Artist", n));
    ASSERT_TRUE(QFile::remove(f.path(QStringLiteral("b.mp3"))));
    ASSERT_TRUE(QFile::remove(f.path(QStringLiteral("c.mp3"))));
    f.list.listviewthem();
    ScriptedPrompter p;
    QString log = QStringLiteral("old");
    const SimulationRun r = fixlist(f.list, defaults(), p, log);
    EXPECT_EQ(r.vanished, 2);
    EXPECT_EQ(log, QStringLiteral("\r\nFile no longer exists! (b.mp3): Removing file from list"
                                  "\r\nFile no longer exists! (c.mp3): Removing file from list"));
    EXPECT_EQ(f.list.lstFiles, (QStringList{QStringLiteral("a.mp3"), QStringLiteral("d.mp3")}));
    EXPECT_EQ(f.list.lstAllfiles.size(), 2);
    EXPECT_EQ(f.list.lstArtist.size(), 2);
    EXPECT_EQ(f.list.lstTit, (QStringList{QStringLiteral("a.mp3"), QStringLiteral("d.mp3")}));
    ASSERT_EQ(f.list.rowCountShown(), 2);
    EXPECT_EQ(f.list.row(1).before, QStringLiteral("d.mp3"));
    EXPECT_FALSE(f.list.row(1).after.isEmpty());
}

TEST(SimulationList, ErrorLogIsOfferedWithTheQuestionAndCopiedWithout)
{
    const QString lines = QStringLiteral("\r\nFile no longer exists! (b.mp3): Removing file from list");
    const QString question = QStringLiteral("One or more errors occurred while performing the requested "
                                            "operation. Would you like to place the errorlog in the clipboard?");
    struct Case {
        const char* label;
        QString log;
        Answer answer;
        bool asked;
        QString clipboard;
    } cases[] = {
        {"yes copies the log alone", lines, Answer::Yes, true, lines},
        {"no leaves the clipboard", lines, Answer::No, true, QStringLiteral("untouched")},
        {"an empty log asks nothing", QString(), Answer::Yes, false, QStringLiteral("untouched")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ScriptedPrompter p(c.answer);
        MemoryClipboard clip;
        clip.setText(QStringLiteral("untouched"));
        QString log = c.log;
        offerErrorLog(log, p, clip);
        EXPECT_EQ(clip.text(), c.clipboard);
        ASSERT_EQ(p.prompts().size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(p.prompts().first().text, question + kCrLf + lines);
            EXPECT_EQ(p.prompts().first().title, QStringLiteral("Error log"));
            EXPECT_EQ(p.prompts().first().icon, Icon::Information);
            EXPECT_EQ(p.prompts().first().buttons, Buttons::YesNo);
            EXPECT_EQ(question.size() + 2, 126); // what the clipboard leaves out
            EXPECT_EQ(log, question + kCrLf + lines);
        }
    }
}

TEST(SimulationList, StoppingLeavesListsAndTableConsistent)
{
    for (int stopAfter : {0, 1, 3}) {
        SCOPED_TRACE(stopAfter);
        Folder f;
        for (int i = 0; i < 6; ++i)
            f.add(QStringLiteral("f%1.mp3").arg(i), v2("Artist", QByteArray("Song ") + char('A' + i)));
        ASSERT_TRUE(QFile::remove(f.path(QStringLiteral("f1.mp3"))));
        ScriptedPrompter p;
        QString log;
        QList<qsizetype> seen;
        const SimulationRun r = fixlist(f.list, defaults(), p, log, [&](qsizetype done, qsizetype total) {
            EXPECT_EQ(total, 6);
            seen << done;
            return done < stopAfter;
        });
        EXPECT_TRUE(r.cancelled);
        EXPECT_EQ(seen.last(), stopAfter);
        const qsizetype vanished = stopAfter >= 2 ? 1 : 0;
        EXPECT_EQ(r.vanished, vanished);
        EXPECT_EQ(f.list.count(), 6 - vanished);
        EXPECT_EQ(f.list.lstFiles.size(), f.list.count());
        EXPECT_EQ(f.list.rowCountShown(), f.list.count());
        EXPECT_EQ(f.list.lstArtist.size(), stopAfter - vanished);
        EXPECT_EQ(f.list.lstTit.size(), stopAfter - vanished);
        for (int row = 0; row < f.list.rowCountShown(); ++row) {
            const bool reached = row < stopAfter - vanished;
            EXPECT_EQ(f.list.row(row).after.isEmpty(), !reached) << row;
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
        QByteArray tag2, tag1;
        if (i % 3 == 0)
            tag2 = v2("Artist", QByteArray("Song ") + QByteArray::number(i % 5));
        if (i % 4 == 0)
            tag1 = id3v1Record("V1 Title", "V1 Artist");
        if (!QFile::exists(f.path(name)))
            f.add(name, tag2, tag1);
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
        return std::make_tuple(copy.lstSim, copy.lstArtist, copy.lstTit, modTag::tagLog);
    };
    const auto one = run(1);
    const auto many = run(4);
    EXPECT_EQ(std::get<0>(one), std::get<0>(many));
    EXPECT_EQ(std::get<1>(one), std::get<1>(many));
    EXPECT_EQ(std::get<2>(one), std::get<2>(many));
    EXPECT_EQ(std::get<3>(one), std::get<3>(many));
    // Each file without an ID3v1 record left its line, in list order.
    QString expected;
    for (qsizetype i = 0; i < f.list.lstAllfiles.size(); ++i) {
        if (!test::readFile(f.list.lstAllfiles.at(i)).right(128).startsWith("TAG"))
            expected += QStringLiteral("\r\nNo ID3-Tag: ") + f.list.lstAllfiles.at(i);
    }
    EXPECT_EQ(std::get<3>(many), expected);
}
