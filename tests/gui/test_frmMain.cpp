#include "MainWindowFixture.h"
#include "Version.h"
#include "batch/FolderLoader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QUrl>

using namespace vantrel;

namespace {

QStringList names(const FileList& l)
{
    QStringList out;
    for (int r = 0; r < l.rowCountShown(); ++r)
        out.append(l.row(r).before);
    return out;
}

// Drags the data over the table; drops it when the table takes it.
bool dragOn(FileTable* table, const QMimeData& mime)
{
    const QPointF pos = table->viewport()->rect().center();
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &drop);
    return drop.isAccepted();
}

bool dropOn(FileTable* table, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    mime.setUrls(urls);
    return dragOn(table, mime);
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<test::MainWindow> m;
    frmMain* w = nullptr;

    QString at(const char* rel) const { return m->path(QString::fromLatin1(rel)); }
    const QList<ScriptedPrompter::Prompt>& prompts() const { return m->prompts(); }
    void make(std::initializer_list<const char*> rels)
    {
        for (const char* r : rels)
            QVERIFY(test::writeFile(at(r), test::mpegFrames(1)));
    }
    void loadRoot(bool subfolders = true)
    {
        w->txtPath->setText(m->dir.path());
        w->chkSubF->setChecked(subfolders);
        QTest::mouseClick(w->cmdLoad, Qt::LeftButton);
    }
    QString status() const { return w->lblPath->text(); }
    static QString files(int n) { return QStringLiteral("Number of files in list: %1").arg(n); }

  private Q_SLOTS:
    void init()
    {
        m = std::make_unique<test::MainWindow>();
        w = &m->w;
    }
    void cleanup() { m.reset(); }

    void workingPanel()
    {
        w->show();
        w->cmdFix->setEnabled(false);
        w->working(true);
        QVERIFY(w->fmeLoad->isVisible() && !w->cmdLoad->isEnabled() && !w->cmdExit->isEnabled());
        QVERIFY(w->cmdCancel->isHidden()); // only runs that can stop show it
        // What a run enables while the panel shows is there once it is gone.
        w->cmdFix->setEnabled(true);
        w->working(false);
        QVERIFY(w->fmeLoad->isHidden() && w->cmdLoad->isEnabled() && w->cmdFix->isEnabled());

        // A run with progress: its count, its Cancel, and a fresh run uncancelled.
        w->working(true, QStringLiteral("12 min 30 sec"));
        Progress p = w->workingProgress();
        QVERIFY(w->cmdCancel->isVisible() && w->cmdCancel->isEnabled());
        QVERIFY(p(10, 40));
        QCOMPARE(w->lblDone->text().left(14), QStringLiteral("10 of 40 files"));
        // However narrow the window, each text is whole inside the panel and
        // the panel inside the window: wrapped, never cut.
        QVERIFY(p(123456, 9876543));
        for (const int width : {1600, 330, 200}) {
            w->resize(width, w->height());
            QVERIFY(w->rect().contains(w->fmeLoad->geometry()));
            for (QLabel* l : {w->lblLoad, w->lblEst, w->lblDone})
                QVERIFY(w->fmeLoad->contentsRect().contains(l->geometry()) &&
                        l->height() >= l->heightForWidth(l->width()));
        }
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
        QVERIFY(!p(11, 40));
        w->working(false);
        QVERIFY(w->cmdCancel->isHidden());
        w->working(true);
        QVERIFY(w->workingProgress()(1, 2));
        w->working(false);
    }

    void loadBrowseAndTheNoFilesMessages()
    {
        make({"a.mp3", "x.txt", "s1/c.mp3", "empty/readme.txt"});
        loadRoot(false);
        QCOMPARE(names(w->fileList()), QStringList{QStringLiteral("a.mp3")});
        QCOMPARE(status(), files(1));
        // Enter in the box loads too, afresh, following the subfolder box.
        w->chkSubF->setChecked(true);
        QTest::keyClick(w->txtPath, Qt::Key_Return);
        QCOMPARE(names(w->fileList()), (QStringList{QStringLiteral("a.mp3"), QStringLiteral("c.mp3")}));
        // Browse cancelled keeps the path; a folder without audio: the message without the Browse hint.
        QString answer;
        w->BrowseForFolder = [&](QWidget*, const QString&) { return answer; };
        QTest::mouseClick(w->cmdDir, Qt::LeftButton);
        QCOMPARE(w->txtPath->text(), m->dir.path());
        QVERIFY(prompts().isEmpty());
        answer = at("empty");
        QTest::mouseClick(w->cmdDir, Qt::LeftButton);
        QCOMPARE(w->fileList().count(), 0);
        QCOMPARE(prompts().size(), 1);
        QCOMPARE(prompts()[0].text, FolderLoader::noFilesText(false));
        // A missing folder empties the table; Load adds the Browse hint.
        w->txtPath->setText(at("missing"));
        QTest::mouseClick(w->cmdLoad, Qt::LeftButton);
        QCOMPARE(w->fileList().rowCountShown(), 0);
        QCOMPARE(prompts().last().text, FolderLoader::noFilesText(true));
    }

    void dropFilesAndFolders()
    {
        make({"a.mp3", "notes.txt", "box/b.mp3", "box/sub/c.wma"});
        QVERIFY(dropOn(w->lvFiles, {at("notes.txt"), at("a.mp3"), at("box")}));
        QCOMPARE(names(w->fileList()),
                 (QStringList{QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.wma")}));
        QCOMPARE(status(), files(3));
        QVERIFY(w->fmeLoad->isHidden() && prompts().isEmpty());
        // Text and web addresses are no files.
        QMimeData text;
        text.setText(QStringLiteral("just text"));
        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("https://example.org/a.mp3"))});
        QVERIFY(!dragOn(w->lvFiles, text));
        QVERIFY(!dragOn(w->lvFiles, web));
    }

    void deleteSelectedRowsAndClear()
    {
        make({"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
        loadRoot();
        FileList& l = w->fileList();
        l.setAfterText(2, QStringLiteral("new.mp3"));
        // Delete with nothing selected keeps everything, proposals included;
        // then scattered rows go, the others stay.
        w->lvFiles->clearSelection();
        QTest::keyClick(w->lvFiles, Qt::Key_Delete);
        QCOMPARE(l.count(), 4);
        QCOMPARE(l.row(2).after, QStringLiteral("new.mp3"));
        for (int r : {1, 3})
            w->lvFiles->selectionModel()->select(l.index(r, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(w->lvFiles, Qt::Key_Delete);
        QCOMPARE(l.lstAllfiles, (QStringList{at("a.mp3"), at("c.mp3")}));
        QCOMPARE(names(l), (QStringList{QStringLiteral("a.mp3"), QStringLiteral("c.mp3")}));
        QCOMPARE(status(), files(2));

        w->cmdFix->setEnabled(true);
        QTest::mouseClick(w->cmdClear, Qt::LeftButton);
        QVERIFY(l.count() == 0 && l.rowCountShown() == 0 && !w->cmdFix->isEnabled());
        QCOMPARE(status(), files(0));
    }

    void playOpensTheFileOrSaysWhyNot()
    {
        make({"here.mp3", "gone.mp3", "folder/x.mp3"});
        FileList& l = w->fileList();
        for (const char* rel : {"here.mp3", "gone.mp3", "nowhere/a.mp3", "folder"})
            l.append(at(rel));
        QFile::remove(at("gone.mp3"));
        RecordingOpener& opener = m->opener;
        const struct {
            int index;
            bool desktopSaysYes;
            const char* reason; // empty: opened without a message
        } cases[] = {
            {0, true, ""},
            {0, false, "No association for file extension: Check your windows file association settings"},
            {1, true, "File not found"},
            {2, true, "Path not found"},
            {3, true, "Access denied"}, // a folder is no file to play
            {9, true, nullptr},         // out of range: nothing at all
        };
        for (const auto& c : cases) {
            m->prompter.clear();
            opener.opened.clear();
            opener.result = c.desktopSaysYes;
            w->buttonpress(c.index);
            const QString file = c.index < l.count() ? l.lstAllfiles.at(c.index) : QString();
            QCOMPARE(opener.opened, c.index == 0 ? QStringList{file} : QStringList{}); // only a file there
            QCOMPARE(prompts().size(), c.reason && *c.reason ? 1 : 0);
            if (!prompts().isEmpty())
                QCOMPARE(prompts()[0].text, QStringLiteral("File: ") + file + QStringLiteral("\r\n") +
                                                QString::fromLatin1(c.reason));
        }
    }

    void messageBoxesCarryTitleIconAndButtons()
    {
        using MB = QMessageBox;
        const struct {
            Buttons buttons;
            Icon icon;
            MB::Icon boxIcon;
            MB::StandardButtons shown;
            MB::StandardButton click;
            Answer answer;
        } cases[] = {
            {Buttons::Ok, Icon::Information, MB::Information, MB::Ok, MB::Ok, Answer::Ok},
            {Buttons::YesNo, Icon::Question, MB::Question, MB::Yes | MB::No, MB::No, Answer::No},
            {Buttons::OkCancel, Icon::Critical, MB::Critical, MB::Ok | MB::Cancel, MB::Cancel,
             Answer::Cancel},
            {Buttons::AbortRetryIgnore, Icon::Exclamation, MB::Warning, MB::Abort | MB::Retry | MB::Ignore,
             MB::Retry, Answer::Retry},
            {Buttons::YesNoCancel, Icon::None, MB::NoIcon, MB::Yes | MB::No | MB::Cancel, MB::Yes,
             Answer::Yes},
        };
        for (const auto& c : cases) {
            QString seen;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                seen = QStringLiteral("%1|%2|%3|%4")
                           .arg(box->windowTitle(), box->text())
                           .arg(int(box->icon()))
                           .arg(int(box->standardButtons()));
                box->button(c.click)->click();
            });
            QtPrompter p(w);
            QCOMPARE(p.ask(Question::RenameFiles, QStringLiteral("Some text"), QStringLiteral("Fix files"),
                           c.buttons, c.icon),
                     c.answer);
            QCOMPARE(seen, QStringLiteral("Fix files|Some text|%1|%2").arg(int(c.boxIcon)).arg(int(c.shown)));
        }
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmMain.moc"
