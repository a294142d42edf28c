// The file details window: what it shows for a file, and its four buttons.
#include "../core/platform/LockedFolder.h"
#include "AsfFiles.h"
#include "Id3v2Bytes.h"
#include "MainWindowFixture.h"
#include "Version.h"
#include "frmFile.h"
#include "frmMain.h"
#include "tags/Genres.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace vantrel;
using vantrel::test::readFile;
using vantrel::test::writeFile;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// An ID3v2.3 tag with Latin-1 texts.
QByteArray v23Tag(const QByteArray& title, const QByteArray& artist, const QByteArray& genre,
                  const QByteArray& comment)
{
    using test::frame23, test::latin1Text, test::bytes;
    return test::id3v2Tag(3,
                          frame23("TIT2", latin1Text(title)) + frame23("TPE1", latin1Text(artist)) +
                              frame23("TALB", latin1Text("Album2")) + frame23("TYER", latin1Text("2001")) +
                              frame23("TCON", latin1Text(genre)) + frame23("TRCK", latin1Text("7")) +
                              frame23("COMM", bytes("\0eng\0") + comment),
                          64);
}

QByteArray taggedMp3()
{
    return v23Tag("Title2", "Artist2", "(17)", "Hello") + test::mpegFrames(4) +
           test::id3v1Record("Title1", "Artist1", "Album1", "1999", "Comment1", 3, 9);
}

struct Main : test::MainWindow {
    // Lists the files (a null array: missing), each with After "After <name>".
    void list(const QList<std::pair<const char*, QByteArray>>& files)
    {
        QList<test::Listed> l;
        for (const auto& [name, bytes] : files)
            l.append({u(name), bytes, u("After ") + u(name)});
        MainWindow::list(l);
    }
    void select(std::initializer_list<int> rows)
    {
        w.lvFiles->clearSelection();
        for (int r : rows)
            w.lvFiles->selectionModel()->select(w.fileList().index(r, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // A details window showing the selected rows, as the double-click opens it.
    frmFile* open()
    {
        auto* f = new frmFile(w);
        w.frmFileWindow = f;
        f->show();
        f->loadFileInfo();
        return f;
    }
    // The window on one listed file.
    frmFile* openOn(const char* name, const QByteArray& bytes = taggedMp3())
    {
        list({{name, bytes}});
        select({0});
        return open();
    }
};

} // namespace

class FrmFileTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void typingLimitKeepsLongTexts()
    {
        Main m;
        const QString longComment(350, QLatin1Char('c'));
        frmFile* f = m.openOn("a.mp3", v23Tag("T", "A", "(1)", longComment.toLatin1()) + test::mpegFrames(2));
        f->id3v2[0]->setFocus();
        QTest::keyClicks(f->id3v2[0], QString(310, QLatin1Char('x')));
        QCOMPARE(f->id3v2[0]->text().size(), 300);
        // A longer text from the file stays whole; typing cannot lengthen it.
        QCOMPARE(f->id3v2[4]->text(), longComment);
        f->id3v2[4]->setFocus();
        QTest::keyClicks(f->id3v2[4], u("more"));
        QCOMPARE(f->id3v2[4]->text().size(), 350);
        QTest::keyClick(f->id3v2[4], Qt::Key_Backspace);
        QCOMPARE(f->id3v2[4]->text().size(), 349);
        f->close();
    }

    void commentShownWithoutOldPrefixes()
    {
        // Language codes and "nt" marks that older writes left before the text.
        const std::pair<const char*, const char*> comments[] = {
            {"ntntengHello", "Hello"}, {"sveengX", "X"}, {"ntXntnt", "X"}, {"Plain", "Plain"}};
        for (const auto& [in, shown] : comments)
            QCOMPARE(frmFile::shownV2Comment(u(in)), u(shown));
    }

    void showsTaggedFile()
    {
        Main m;
        m.list({{"one.mp3", taggedMp3()}, {"two.mp3", taggedMp3()}});
        m.select({1});
        frmFile* f = m.open();
        QCOMPARE(f->txtAfter->text(), u("After two.mp3"));
        QCOMPARE(f->txtPath->text(), m.path("two.mp3"));
        const QStringList v1 = {u("Title1"), u("Artist1"), u("Album1"), u("1999"), u("Comment1")};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(f->id3v1[i]->text().trimmed(), v1.at(i));
        QCOMPARE(frmFile::selectedGenreText(f->id3v1_gen), u("Metal"));
        const QStringList v2 = {u("Title2"), u("Artist2"), u("Album2"), u("2001"), u("Hello"), u("7"), u("")};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(f->id3v2[i]->text(), v2.at(i));
        QCOMPARE(f->id3v2_gen->currentText(), u("Rock"));
        QVERIFY(f->cmdSave->isEnabled());
        f->close();
    }

    void tagBoxesOnlyForMp3AndWmaKeptWhole()
    {
        const QByteArray bytes(3000, 'w');
        for (const auto& [name, mp3] : {std::pair{"a.MP3", true}, std::pair{"a.wma", false}}) {
            Main m;
            QPointer<frmFile> f = m.openOn(name, bytes);
            for (QLineEdit* box : f->id3v1)
                QVERIFY2(box->isEnabled() == mp3, name);
            for (QLineEdit* box : f->id3v2)
                QVERIFY2(box->isEnabled() == mp3, name);
            QVERIFY(f->txtAfter->isEnabled());
            QCOMPARE(frmFile::selectedGenreText(f->id3v1_gen), QString());
            if (mp3) {
                f->close();
                continue;
            }
            // Save sets the After name of a .wma holding no known audio and leaves its bytes alone.
            f->txtAfter->setText(u("B.wma"));
            f->cmdSave_Click();
            QCOMPARE(readFile(m.path(name)), bytes);
            QCOMPARE(m.w.fileList().afterText(0), u("B.wma"));
            QVERIFY(f.isNull() || !f->isVisible());
        }
    }

    void wmaShowsAndSavesItsAsfTag()
    {
        QTemporaryDir dir;
        const QString made = dir.filePath(u("made.wma"));
        QVERIFY(
            test::makeWma(made, {{u("Title"), u("T")}, {u("WM/TrackNumber"), 3}, {u("WM/Genre"), u("Pop")}}));
        Main m;
        QPointer<frmFile> f = m.openOn("a.wma", readFile(made));
        for (int i = 0; i < 7; ++i) // Link to has no ASF field; no ID3v1 record
            QVERIFY(f->id3v2[i]->isEnabled() == (i < 6) && (i > 4 || !f->id3v1[i]->isEnabled()));
        QVERIFY(!f->id3v1_gen->isEnabled());
        QCOMPARE(f->id3v2[0]->text() + f->id3v2[5]->text() + f->id3v2_gen->currentText(), u("T3Pop"));
        QTest::keyClicks(f->id3v2[1], u("A"));
        QTest::keyClicks(f->id3v2[5], u("0"));
        f->id3v2_gen->setEditText(u("rock"));
        QTest::mouseClick(f->cmdSave, Qt::LeftButton);
        QCOMPARE(m.prompter.prompts().size(), 0);
        const QJsonObject after = test::asfDump(m.path("a.wma"));
        QCOMPARE(after[u("Author")].toArray().at(0).toString(), u("Unicode:A"));
        QCOMPARE(after[u("WM/TrackNumber")].toArray().at(0).toString(), u("DWord:30"));
        QCOMPARE(after[u("WM/Genre")].toArray().at(0).toString(), u("Unicode:Rock"));
        QCOMPARE(after[u("Description")].toArray().at(0).toString(),
                 u("Unicode:Edited by: Vantrel ") + versionShort());
    }

    void missingFileClosesWindow()
    {
        Main m;
        QPointer<frmFile> f = m.openOn("gone.mp3", QByteArray());
        QVERIFY(!f->isVisible());
        QCOMPARE(m.prompter.prompts().size(), 1);
        QTRY_VERIFY(f.isNull()); // closed windows go away
    }

    void saveWritesTagsAndAfter()
    {
        Main m;
        QPointer<frmFile> f = m.openOn("a.mp3");
        f->txtAfter->setText(u("Edited.mp3"));
        f->id3v1[1]->setText(u("New Artist1"));
        f->id3v2[0]->setText(u("New Title2"));
        f->id3v1[4]->setText(u("ntnt"));
        f->id3v2[4]->setText(QString());
        QTest::keyClicks(f->id3v2[5], u("99")); // Track is shown read-only: typing changes nothing
        QCOMPARE(f->id3v2[5]->text(), u("7"));
        QTest::mouseClick(f->cmdSave, Qt::LeftButton);
        QCOMPARE(m.prompter.prompts().size(), 0);
        QVERIFY(f.isNull() || !f->isVisible());
        QCOMPARE(m.w.fileList().afterText(0), u("Edited.mp3"));

        // Emptied comments get the stamp; what was not edited stays.
        const QString stamp = u("Edited by: Vantrel ") + versionShort();
        cMP3ID3v1 v1;
        v1.setMP3File(m.path("a.mp3"));
        QCOMPARE(v1.Artist().trimmed() + v1.Title().trimmed(), u("New Artist1Title1"));
        QCOMPARE(v1.Comment().trimmed(), stamp.left(28));
        cMP3ID3v2 v2;
        v2.setMP3File(m.path("a.mp3"));
        QCOMPARE(v2.Title() + v2.Artist() + v2.Track(), u("New Title2Artist27"));
        QVERIFY(v2.Comment().contains(stamp));
        QCOMPARE(v2.Genre(), 17);
    }

    void saveResolvesGenresAsTheBatchDoes()
    {
        // The tag window's rule for a typed genre: an exact name in any letter
        // case, else the first name containing the text, else none (ID3v2 then
        // keeps the text as the genre's name).
        const struct {
            const char* typed;
            int genre;
        } cases[] = {{"Death", 22}, {"rock", 17}, {"pop", 13}, {"Popular", 255}};
        for (const auto& c : cases) {
            Main m;
            frmFile* f = m.openOn("a.mp3");
            f->id3v1_gen->setEditText(u(c.typed));
            f->id3v2_gen->setEditText(u(c.typed));
            QVERIFY2(f->SetTags(), c.typed);
            cMP3ID3v1 v1;
            v1.setMP3File(m.path("a.mp3"));
            cMP3ID3v2 v2;
            v2.setMP3File(m.path("a.mp3"));
            QVERIFY2(int(v1.Genre()) == c.genre && v2.Genre() == c.genre, c.typed);
            QVERIFY2(c.genre != 255 || v2.OtherGenreName() == u(c.typed), c.typed); // an unmatched text stays
            f->close();
        }
    }

    void saveGuards()
    {
        // The row was removed while the window was open: the row now there is
        // another file, whose After stays as it was.
        Main m;
        m.list({{"a.mp3", taggedMp3()}, {"b.mp3", taggedMp3()}});
        m.select({0});
        frmFile* f = m.open();
        f->txtAfter->setText(u("X.mp3"));
        m.w.fileList().removeFiles({0});
        m.w.fileList().setAfterText(0, u("b stays"));
        f->cmdSave_Click();
        QCOMPARE(m.w.fileList().afterText(0), u("b stays"));
        QCOMPARE(m.prompter.prompts().size(), 1);
        QVERIFY(m.prompter.prompts().first().text.contains(m.path("a.mp3")));
    }

    void saveReportsFailedWrite()
    {
        Main m;
        frmFile* f = m.openOn("a.mp3");
        const QByteArray before = readFile(m.path("a.mp3"));
        test::LockedFolder lockFile(m.path("a.mp3"));
        test::LockedFolder lockDir(m.dir.path());
        if (!lockFile.locked() || !lockDir.locked())
            QSKIP("this medium cannot lock a file (no immutable flag for root)");
        f->id3v1[1]->setText(u("Changed"));
        f->txtAfter->setText(u("Still saved.mp3"));
        f->cmdSave_Click();
        QVERIFY(f->isVisible());
        QCOMPARE(m.w.fileList().afterText(0), u("Still saved.mp3"));
        QCOMPARE(m.prompter.prompts().size(), 1);
        QVERIFY(!f->lastError().isEmpty());
        QVERIFY(m.prompter.prompts().first().text.contains(f->lastError()));
        QCOMPARE(readFile(m.path("a.mp3")), before);
        f->close();
    }

    void playFile()
    {
        Main m;
        m.list({{"a.mp3", taggedMp3()}, {"b.mp3", taggedMp3()}, {"c.mp3", taggedMp3()}});
        m.select({2, 0});
        frmFile* f = m.open();
        f->cmdPlay_Click();
        QCOMPARE(m.opener.opened, (QStringList{m.path("a.mp3"), m.path("c.mp3")}));
        f->close();
    }
};

QTEST_MAIN(FrmFileTest)
#include "test_frmFile.moc"
