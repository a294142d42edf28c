// The file details window: its controls, what it shows for a file, and its
// four buttons.
#include "frmFile.h"
#include "frmMain.h"

#include "../core/platform/LockedFolder.h"
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "Version.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace vantrel;
using vantrel::test::readFile;
using vantrel::test::writeFile;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// An ID3v2.3 tag with Latin-1 texts.
QByteArray v23Tag(const QByteArray& title, const QByteArray& artist, const QByteArray& genre,
                  const QByteArray& comment)
{
    QByteArray frames = test::frame23("TIT2", '\0' + title) + test::frame23("TPE1", '\0' + artist) +
                        test::frame23("TALB", QByteArray("\0Album2", 7)) + test::frame23("TYER", QByteArray("\0" "2001", 5)) +
                        test::frame23("TCON", '\0' + genre) + test::frame23("TRCK", QByteArray("\0" "7", 2)) +
                        test::frame23("COMM", QByteArray("\0eng\0", 5) + comment);
    return test::id3v2Tag(3, frames, 64);
}

QByteArray taggedMp3()
{
    return v23Tag("Title2", "Artist2", "(17)", "Hello") + test::mpegFrames(4) +
           test::id3v1Record("Title1", "Artist1", "Album1", "1999", "Comment1", 3, 9);
}

struct Main {
    frmMain w;
    ScriptedPrompter prompter{Answer::Yes};
    MemoryClipboard clipboard;
    RecordingOpener opener;
    QTemporaryDir dir;

    Main()
    {
        w.timUpdate->stop();
        w.setPrompter(&prompter);
        w.setClipboard(&clipboard);
        w.setOpener(&opener);
    }
    ~Main()
    {
        w.setPrompter(nullptr);
        w.setClipboard(nullptr);
        w.setOpener(nullptr);
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    // Lists files (bytes given, or none for a missing one) with their After texts.
    void list(const QList<std::pair<QString, QByteArray>>& files)
    {
        for (const auto& [name, bytes] : files) {
            if (!bytes.isNull())
                writeFile(path(name), bytes);
            w.fileList().append(path(name));
        }
        w.fileList().listviewthem();
        for (int r = 0; r < files.size(); ++r)
            w.fileList().setAfterText(r, u("After ") + files.at(r).first);
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
};

} // namespace

class FrmFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controls_data();
    void controls();
    void tabOrderAndTypingLimit();
    void genreBoxes();
    void sizeAndCommentTexts();
    void showsTaggedFile();
    void tagBoxesOnlyForMp3_data();
    void tagBoxesOnlyForMp3();
    void missingFileClosesWindow();
    void saveWritesTagsAndAfter();
    void saveResolvesGenres_data();
    void saveResolvesGenres();
    void saveWma();
    void saveGuards();
    void saveReportsFailedWrite();
    void copyInfo();
    void playFile();
};

void FrmFileTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place"); // twips/15 relative to the parent
    auto row = [](const char* n, const char* c, int l, int t, int w) {
        QTest::newRow(n) << u(n) << u(c) << QRect(l / 15, t / 15, w / 15, 0);
    };
    row("Frame1", "File info", 120, 120, 5415);
    row("txtBefore", "", 1080, 240, 4215);
    row("txtAfter", "", 1080, 600, 4215);
    row("txtPath", "", 1080, 960, 4215);
    row("lblSize", "0KB", 1080, 1380, 4215);
    row("lblIndex", "1", 4800, 1320, 495);
    row("fmeV1", "ID3v1 Tag", 120, 1920, 5415);
    row("id3v1(0)", "", 1080, 360, 4215);
    row("id3v1(3)", "", 1080, 1440, 855);
    row("id3v1(4)", "", 1080, 1800, 4215);
    row("id3v1_gen", "", 2760, 1440, 2535);
    row("fmeV2", "ID3v2 Tag", 120, 4320, 5415);
    row("id3v2(1)", "", 1080, 720, 4215);
    row("id3v2(3)", "", 1080, 1440, 855);
    row("id3v2_gen", "", 2760, 1440, 2535);
    row("id3v2(4)", "", 1080, 2160, 4215);
    row("id3v2(5)", "", 1080, 1800, 855);
    row("id3v2(6)", "", 2760, 1800, 2535);
    row("cmdSave", "Save", 120, 7080, 1095);
    row("cmdCopy", "Copy info", 1680, 7080, 1095);
    row("cmdPlay", "Play file", 2880, 7080, 1095);
    row("cmdCancel", "Cancel", 4440, 7080, 1095);
}

void FrmFileTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, place);
    Main m;
    frmFile f(m.w);
    auto* w = f.findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->pos(), place.topLeft());
    QCOMPARE(w->width(), place.width());
    QString text;
    if (auto* g = qobject_cast<QGroupBox*>(w))
        text = g->title();
    else if (auto* l = qobject_cast<QLabel*>(w))
        text = l->text();
    else if (auto* b = qobject_cast<QPushButton*>(w))
        text = b->text();
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        text = e->text();
    QCOMPARE(text, caption);
    QCOMPARE(f.size(), QSize(5730 / 15, 7485 / 15));
    QVERIFY(!f.lblIndex->isVisibleTo(&f));
    QVERIFY(f.txtBefore->isReadOnly() && f.txtPath->isReadOnly() && !f.txtAfter->isReadOnly());
    // Only the tag fields that Save writes can be edited.
    for (int i = 0; i < 7; ++i)
        QCOMPARE(f.id3v2[i]->isReadOnly(), i >= 5);
    for (QLineEdit* box : f.id3v1)
        QVERIFY(!box->isReadOnly());
}

void FrmFileTest::tabOrderAndTypingLimit()
{
    Main m;
    frmFile f(m.w);
    const QStringList expected = {u("txtBefore"), u("txtAfter"),  u("txtPath"),  u("id3v1(0)"),   u("id3v1(1)"),
                                  u("id3v1(2)"),   u("id3v1(3)"),   u("id3v1_gen"), u("id3v1(4)"),  u("id3v2(0)"),
                                  u("id3v2(1)"),   u("id3v2(2)"),   u("id3v2(3)"),  u("id3v2_gen"), u("id3v2(4)"),
                                  u("cmdSave"),   u("cmdCopy"),   u("cmdPlay"),  u("cmdCancel"), u("id3v2(5)"),
                                  u("id3v2(6)")};
    QStringList seen;
    QWidget* w = f.txtBefore;
    for (int i = 0; i < 200 && seen.size() < expected.size(); ++i, w = w->nextInFocusChain()) {
        if (expected.contains(w->objectName()) && !seen.contains(w->objectName()))
            seen << w->objectName();
    }
    QCOMPARE(seen, expected);

    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    for (QLineEdit* box : {f.txtAfter, f.id3v1[4], f.id3v2[0]}) {
        box->setFocus();
        QTest::keyClicks(box, QString(310, QLatin1Char('x')));
        QCOMPARE(box->text().size(), 300);
    }
    // A longer text from the file stays whole; typing cannot lengthen it.
    Main m2;
    const QString longComment(350, QLatin1Char('c'));
    m2.list({{u("a.mp3"), v23Tag("T", "A", "(1)", longComment.toLatin1()) + test::mpegFrames(2)}});
    m2.select({0});
    frmFile* g = m2.open();
    QCOMPARE(g->id3v2[4]->text(), longComment);
    g->id3v2[4]->setFocus();
    QTest::keyClicks(g->id3v2[4], u("more"));
    QCOMPARE(g->id3v2[4]->text().size(), 350);
    QTest::keyClick(g->id3v2[4], Qt::Key_Backspace);
    QCOMPARE(g->id3v2[4]->text().size(), 349);
    g->close();
}

void FrmFileTest::genreBoxes()
{
    Main m;
    frmFile f(m.w);
    for (QComboBox* box : {f.id3v1_gen, f.id3v2_gen}) {
        QCOMPARE(box->count(), 148);
        QVERIFY(box->isEditable());
        QCOMPARE(box->itemText(0), QString());
        QCOMPARE(box->itemData(0).toInt(), 255);
        QCOMPARE(box->itemText(1), u("Blues"));
        QCOMPARE(box->itemData(1).toInt(), 0);
        QCOMPARE(box->itemData(147).toInt(), 147);
        QCOMPARE(box->findData(123), -1);
    }
}

void FrmFileTest::sizeAndCommentTexts()
{
    const struct {
        qint64 bytes;
        const char* text;
    } sizes[] = {{0, "0MB"}, {1048576, "1MB"}, {1572864, "1.5MB"}, {3638559, "3.47MB"}, {5242, "0MB"}, {5243, "0.01MB"}};
    QLocale::setDefault(QLocale::c());
    for (const auto& s : sizes)
        QCOMPARE(frmFile::sizeCaption(s.bytes), u(s.text));

    const struct {
        const char* in;
        const char* shown;
    } comments[] = {{"ntntengHello", "Hello"}, {"sveHej", "Hej"}, {"sveengX", "X"}, {"ntXntnt", "X"}, {"Plain", "Plain"}};
    for (const auto& c : comments)
        QCOMPARE(frmFile::shownV2Comment(u(c.in)), u(c.shown));
}

void FrmFileTest::showsTaggedFile()
{
    Main m;
    m.list({{u("one.mp3"), taggedMp3()}, {u("two.mp3"), taggedMp3()}});
    m.select({1});
    frmFile* f = m.open();
    QCOMPARE(f->windowTitle(), u("two.mp3"));
    QCOMPARE(f->txtBefore->text(), u("two.mp3"));
    QCOMPARE(f->txtAfter->text(), u("After two.mp3"));
    QCOMPARE(f->txtPath->text(), m.path(u("two.mp3")));
    QCOMPARE(f->lblIndex->text(), u("2"));
    QCOMPARE(f->lblSize->text(), u("0MB"));
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

void FrmFileTest::tagBoxesOnlyForMp3_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("mp3") << u("a.mp3") << true;
    QTest::newRow("MP3") << u("a.MP3") << true;
    QTest::newRow("wma") << u("a.wma") << false;
    QTest::newRow("WMA") << u("a.WMA") << false;
}

void FrmFileTest::tagBoxesOnlyForMp3()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    Main m;
    m.list({{name, QByteArray(3000, 'w')}});
    m.select({0});
    frmFile* f = m.open();
    for (QLineEdit* box : f->id3v1)
        QCOMPARE(box->isEnabled(), enabled);
    for (QLineEdit* box : f->id3v2)
        QCOMPARE(box->isEnabled(), enabled);
    QVERIFY(f->id3v1_gen->isEnabled() && f->id3v2_gen->isEnabled());
    QVERIFY(f->txtAfter->isEnabled());
    QCOMPARE(frmFile::selectedGenreText(f->id3v1_gen), QString());
    f->close();
}

void FrmFileTest::missingFileClosesWindow()
{
    Main m;
    m.list({{u("gone.mp3"), QByteArray()}});
    m.select({0});
    QPointer<frmFile> f = m.open();
    QVERIFY(!f->isVisible());
    QCOMPARE(m.prompter.prompts().size(), 1);
    QCOMPARE(m.prompter.prompts().first().text, u("File no longer exists!"));
    QCOMPARE(m.prompter.prompts().first().title, u("Error"));
    QCOMPARE(m.prompter.prompts().first().icon, Icon::Critical);
    QTRY_VERIFY(f.isNull()); // closed windows go away

    // No selected row: empty fields, "0KB", nothing to save.
    Main m2;
    m2.list({{u("a.mp3"), taggedMp3()}});
    m2.w.lvFiles->clearSelection();
    frmFile* g = m2.open();
    QCOMPARE(g->lblSize->text(), u("0KB"));
    QCOMPARE(g->txtBefore->text(), QString());
    QVERIFY(!g->cmdSave->isEnabled());
    g->close();
}

void FrmFileTest::saveWritesTagsAndAfter()
{
    Main m;
    m.list({{u("a.mp3"), taggedMp3()}});
    m.select({0});
    QPointer<frmFile> f = m.open();
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

    const QString stamp = u("Edited by: Vantrel ") + versionShort();
    cMP3ID3v1 v1;
    v1.setMP3File(m.path(u("a.mp3")));
    QCOMPARE(v1.Artist().trimmed(), u("New Artist1"));
    QCOMPARE(v1.Title().trimmed(), u("Title1"));
    QCOMPARE(v1.Comment().trimmed(), stamp.left(28));
    QCOMPARE(int(v1.Genre()), 9);
    cMP3ID3v2 v2;
    v2.setMP3File(m.path(u("a.mp3")));
    QCOMPARE(v2.Title(), u("New Title2"));
    QCOMPARE(v2.Artist(), u("Artist2"));
    QVERIFY(v2.Comment().contains(stamp));
    QCOMPARE(v2.Track(), u("7"));
    QCOMPARE(v2.Genre(), 17);
}

void FrmFileTest::saveResolvesGenres_data()
{
    QTest::addColumn<QString>("v1Text");
    QTest::addColumn<int>("v1Genre");
    QTest::addColumn<QString>("v2Text");
    QTest::addColumn<int>("v2Genre");
    QTest::addColumn<QString>("v2Name");
    QTest::newRow("Metal before Death Metal") << u("Metal") << 9 << u("pop") << 13 << u("Pop");
    QTest::newRow("part of a name") << u("Death") << 22 << u("Popular") << 17 << u("Popular");
    QTest::newRow("Rock is in Classic Rock") << u("Rock") << 1 << u("ROCK") << 17 << u("Rock");
    QTest::newRow("no match, v2 cleared") << u("rock") << 255 << u("") << 17 << u("Rock");
}

void FrmFileTest::saveResolvesGenres()
{
    QFETCH(QString, v1Text);
    QFETCH(int, v1Genre);
    QFETCH(QString, v2Text);
    QFETCH(int, v2Genre);
    QFETCH(QString, v2Name);
    Main m;
    m.list({{u("a.mp3"), taggedMp3()}});
    m.select({0});
    frmFile* f = m.open();
    f->id3v1_gen->setEditText(v1Text);
    f->id3v2_gen->setEditText(v2Text);
    QVERIFY(f->SetTags());
    QCOMPARE(f->id3v1_gen->itemData(f->id3v1_gen->currentIndex()).toInt(), v1Genre);
    cMP3ID3v1 v1;
    v1.setMP3File(m.path(u("a.mp3")));
    QCOMPARE(int(v1.Genre()), v1Genre);
    cMP3ID3v2 v2;
    v2.setMP3File(m.path(u("a.mp3")));
    // A name without an entry sets no number: the file keeps the one it had.
    QCOMPARE(v2.Genre(), v2Genre);
    if (v2Genre == 255 || v2Text == u("Popular"))
        QCOMPARE(v2.OtherGenreName(), v2Name);
    else
        QCOMPARE(cMP3ID3v2::GenreName(v2.Genre()), v2Name);
    f->close();
}

void FrmFileTest::saveWma()
{
    Main m;
    const QByteArray bytes(4000, 'w');
    m.list({{u("a.wma"), bytes}});
    m.select({0});
    QPointer<frmFile> f = m.open();
    f->txtAfter->setText(u("B.wma"));
    f->cmdSave_Click();
    QCOMPARE(readFile(m.path(u("a.wma"))), bytes);
    QCOMPARE(m.w.fileList().afterText(0), u("B.wma"));
    QVERIFY(f.isNull() || !f->isVisible());
}

void FrmFileTest::saveGuards()
{
    // The row was removed while the window was open: the row now there is
    // another file, whose After stays as it was.
    Main m;
    m.list({{u("a.mp3"), taggedMp3()}, {u("b.mp3"), taggedMp3()}});
    m.select({0});
    frmFile* f = m.open();
    f->txtAfter->setText(u("X.mp3"));
    m.w.fileList().removeFiles({0});
    m.w.fileList().setAfterText(0, u("b stays"));
    f->cmdSave_Click();
    QCOMPARE(m.w.fileList().afterText(0), u("b stays"));
    QCOMPARE(m.prompter.prompts().size(), 1);
    QVERIFY(m.prompter.prompts().first().text.contains(m.path(u("a.mp3"))));
}

void FrmFileTest::saveReportsFailedWrite()
{
    Main m;
    m.list({{u("a.mp3"), taggedMp3()}});
    m.select({0});
    frmFile* f = m.open();
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
    const auto& p = m.prompter.prompts().first();
    QVERIFY(p.text.contains(m.path(u("a.mp3"))));
    QVERIFY(!f->lastError().isEmpty());
    QVERIFY(p.text.contains(f->lastError()));
    QCOMPARE(p.icon, Icon::Critical);
    QCOMPARE(readFile(m.path(u("a.mp3"))), before);
    f->close();
}

void FrmFileTest::copyInfo()
{
    Main m;
    m.list({{u("a.mp3"), taggedMp3()}});
    m.select({0});
    frmFile* f = m.open();
    m.w.optType[1]->setChecked(true);
    f->cmdCopy_Click();
    const QStringList lines = m.clipboard.text().split(u("\r\n"));
    QCOMPARE(lines.first(), u("--------- BEGIN INFO ---------"));
    QCOMPARE(lines.at(3), u("Path: ") + m.path(u("a.mp3")));
    QCOMPARE(lines.at(5), u("After: After a.mp3"));
    QCOMPARE(lines.at(14), u("Genre = Metal"));
    QCOMPARE(lines.at(25), u("Genre = Rock"));
    QVERIFY(lines.contains(u("optType(1) value: True")));
    QVERIFY(lines.contains(u("chkUcase value: 1"))); // the options window's default
    QCOMPARE(lines.at(lines.size() - 2), u("Error log:"));
    QVERIFY(f->isVisible());
    f->close();
}

void FrmFileTest::playFile()
{
    Main m;
    m.list({{u("a.mp3"), taggedMp3()}, {u("b.mp3"), taggedMp3()}, {u("c.mp3"), taggedMp3()}});
    m.select({2, 0});
    frmFile* f = m.open();
    f->cmdPlay_Click();
    QCOMPARE(m.opener.opened, (QStringList{m.path(u("a.mp3")), m.path(u("c.mp3"))}));
    QCOMPARE(m.prompter.prompts().size(), 0);

    m.opener.result = false;
    QFile::remove(m.path(u("c.mp3")));
    f->cmdPlay_Click();
    QCOMPARE(m.prompter.prompts().size(), 2);
    QCOMPARE(m.prompter.prompts().at(0).text,
             u("File: ") + m.path(u("a.mp3")) +
                 u("\r\nNo association for file extension: Check your windows file association settings"));
    QCOMPARE(m.prompter.prompts().at(1).text, u("File: ") + m.path(u("c.mp3")) + u("\r\nFile not found"));
    QCOMPARE(m.prompter.prompts().at(1).title, u("Error"));
    QCOMPARE(StartDoc(m.opener, m.path(u("nofolder/x.mp3"))), 3);
    QCOMPARE(startDocErrorText(0), u("Unknown error"));
    QCOMPARE(startDocErrorText(32), u("DLL not found"));
    f->close();
}

QTEST_MAIN(FrmFileTest)
#include "test_frmFile.moc"
