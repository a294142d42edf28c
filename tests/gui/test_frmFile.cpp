// The file details window: what it shows for a file, and its four buttons.
#include "../core/platform/LockedFolder.h"
#include "AsfFiles.h"
#include "Id3v2Bytes.h"
#include "MainWindowFixture.h"
#include "Version.h"
#include "frmFile.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace vantrel;
using vantrel::test::readFile;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// An ID3v2.3 tag with Latin-1 texts, then audio and an ID3v1 record.
QByteArray taggedMp3(const QByteArray& comment = "Hello")
{
    using test::frame23, test::latin1Text;
    const QByteArray frames = frame23("TIT2", latin1Text("Title2")) + frame23("TPE1", latin1Text("Artist2")) +
                              frame23("TALB", latin1Text("Album2")) + frame23("TYER", latin1Text("2001")) +
                              frame23("TCON", latin1Text("(17)")) + frame23("TRCK", latin1Text("7")) +
                              frame23("COMM", test::bytes("\0eng\0") + comment);
    return test::id3v2Tag(3, frames, 64) + test::mpegFrames(4) +
           test::id3v1Record("Title1", "Artist1", "Album1", "1999", "Comment1", 3, 9);
}

struct Main : test::MainWindow {
    // Lists the files (a null array: missing), each with After "After <name>",
    // selects these rows and opens the details window on them.
    frmFile* open(const QList<std::pair<const char*, QByteArray>>& files,
                  std::initializer_list<int> rows = {0})
    {
        QList<test::Listed> l;
        for (const auto& [name, bytes] : files)
            l.append({u(name), bytes, u("After ") + u(name)});
        list(l);
        for (int r : rows)
            w.lvFiles->selectionModel()->select(w.fileList().index(r, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        auto* f = new frmFile(w);
        w.frmFileWindow = f;
        f->show();
        f->loadFileInfo();
        return f;
    }
    frmFile* openOn(const char* name, const QByteArray& bytes = taggedMp3()) { return open({{name, bytes}}); }
};

} // namespace

class FrmFileTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void showsTaggedFileAndLimitsTyping()
    {
        Main m;
        const QString longComment(350, QLatin1Char('c'));
        // The long comment carries the language codes and "nt" marks older writes left.
        const QByteArray stored = "ntntsveeng" + longComment.toLatin1() + "ntnt";
        frmFile* f = m.open({{"one.mp3", taggedMp3()}, {"two.mp3", taggedMp3(stored)}}, {1});
        QCOMPARE(f->txtAfter->text(), u("After two.mp3"));
        QString v1, v2;
        for (QLineEdit* box : f->id3v1)
            v1 += box->text().trimmed() + u'|';
        for (QLineEdit* box : f->id3v2)
            v2 += box->text() + u'|';
        QCOMPARE(v1 + frmFile::selectedGenreText(f->id3v1_gen),
                 u("Title1|Artist1|Album1|1999|Comment1|Metal"));
        QCOMPARE(v2 + f->id3v2_gen->currentText(),
                 u("Title2|Artist2|Album2|2001|") + longComment + u("|7||Rock"));
        // Typing stops at 300 characters; a longer text from the file stays whole.
        f->id3v2[0]->setFocus();
        QTest::keyClicks(f->id3v2[0], QString(310, QLatin1Char('x')));
        QCOMPARE(f->id3v2[0]->text().size(), 300);
        f->id3v2[4]->setFocus();
        QTest::keyClicks(f->id3v2[4], u("more"));
        QCOMPARE(f->id3v2[4]->text().size(), 350);
    }

    void tagBoxesOnlyForMp3AndWmaKeptWhole()
    {
        const QByteArray bytes(3000, 'w');
        for (const auto& [name, mp3] : {std::pair{"a.MP3", true}, std::pair{"a.wma", false}}) {
            Main m;
            QPointer<frmFile> f = m.openOn(name, bytes);
            for (int i = 0; i < 7; ++i)
                QVERIFY2(f->id3v2[i]->isEnabled() == mp3 && (i > 4 || f->id3v1[i]->isEnabled() == mp3), name);
            QVERIFY(f->txtAfter->isEnabled());
            if (mp3) continue;
            // Save sets the After name of a .wma holding no known audio and leaves its bytes alone.
            f->txtAfter->setText(u("B.wma"));
            f->cmdSave_Click();
            QCOMPARE(readFile(m.path(u(name))), bytes);
            QCOMPARE(m.w.fileList().afterText(0), u("B.wma"));
            QVERIFY(f.isNull() || !f->isVisible());
        }
    }

    void wmaShowsAndSavesItsAsfTag()
    {
        Main m; // the file made there, then listed
        QVERIFY(test::makeWma(m.path(u("a.wma")),
                              {{u("Title"), u("T")}, {u("WM/TrackNumber"), 3}, {u("WM/Genre"), u("Pop")}}));
        QPointer<frmFile> f = m.openOn("a.wma", QByteArray());
        for (int i = 0; i < 7; ++i) // Link to has no ASF field; no ID3v1 record
            QVERIFY(f->id3v2[i]->isEnabled() == (i < 6) && (i > 4 || !f->id3v1[i]->isEnabled()));
        QVERIFY(!f->id3v1_gen->isEnabled());
        QCOMPARE(f->id3v2[0]->text() + f->id3v2[5]->text() + f->id3v2_gen->currentText(), u("T3Pop"));
        QTest::keyClicks(f->id3v2[1], u("A"));
        QTest::keyClicks(f->id3v2[5], u("0"));
        f->id3v2_gen->setEditText(u("rock"));
        QTest::mouseClick(f->cmdSave, Qt::LeftButton);
        const QJsonObject after = test::asfDump(m.path(u("a.wma")));
        const auto field = [&](const char* key) { return after[u(key)].toArray().at(0).toString(); };
        QCOMPARE(field("Author") + field("WM/TrackNumber") + field("WM/Genre"),
                 u("Unicode:ADWord:30Unicode:Rock"));
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
        f->id3v2[4]->setText(QString());
        // Typed genres: an exact name in any case; ID3v2 keeps an unmatched text as its name.
        f->id3v1_gen->setEditText(u("rock"));
        f->id3v2_gen->setEditText(u("Popular"));
        QTest::mouseClick(f->cmdSave, Qt::LeftButton);
        QCOMPARE(m.prompter.prompts().size(), 0);
        QVERIFY(f.isNull() || !f->isVisible());
        QCOMPARE(m.w.fileList().afterText(0), u("Edited.mp3"));

        // An emptied comment gets the stamp; what was not edited stays.
        cMP3ID3v1 v1;
        v1.setMP3File(m.path(u("a.mp3")));
        QCOMPARE(v1.Artist().trimmed() + v1.Title().trimmed(), u("New Artist1Title1"));
        QCOMPARE(int(v1.Genre()), 17);
        cMP3ID3v2 v2;
        v2.setMP3File(m.path(u("a.mp3")));
        QCOMPARE(v2.Title() + v2.Artist() + v2.Track(), u("New Title2Artist27"));
        QVERIFY(v2.Comment().contains(u("Edited by: Vantrel ") + versionShort()));
        QVERIFY(v2.Genre() == 255 && v2.OtherGenreName() == u("Popular"));
    }

    void saveGuards()
    {
        // The row was removed while the window was open: the file now in it keeps its After.
        Main m;
        frmFile* f = m.open({{"a.mp3", taggedMp3()}, {"b.mp3", taggedMp3()}});
        f->txtAfter->setText(u("X.mp3"));
        m.w.fileList().removeFiles({0});
        m.w.fileList().setAfterText(0, u("b stays"));
        f->cmdSave_Click();
        QCOMPARE(m.w.fileList().afterText(0), u("b stays"));
        QCOMPARE(m.prompter.prompts().size(), 1);
        QVERIFY(m.prompter.prompts().first().text.contains(m.path(u("a.mp3"))));
    }

    void saveReportsFailedWrite()
    {
        Main m;
        frmFile* f = m.openOn("a.mp3");
        const QByteArray before = readFile(m.path(u("a.mp3")));
        test::LockedFolder lockFile(m.path(u("a.mp3")));
        test::LockedFolder lockDir(m.dir.path());
        if (!lockFile.locked() || !lockDir.locked())
            QSKIP("this medium cannot lock a file (no immutable flag for root)");
        f->id3v1[1]->setText(u("Changed"));
        f->txtAfter->setText(u("Still saved.mp3"));
        f->cmdSave_Click();
        QVERIFY(f->isVisible());
        QCOMPARE(m.w.fileList().afterText(0), u("Still saved.mp3"));
        QCOMPARE(m.prompter.prompts().size(), 1);
        QVERIFY(!f->lastError().isEmpty() && m.prompter.prompts().first().text.contains(f->lastError()));
        QCOMPARE(readFile(m.path(u("a.mp3"))), before);
    }
};

QTEST_MAIN(FrmFileTest)
#include "test_frmFile.moc"
