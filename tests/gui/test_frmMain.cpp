#include "frmMain.h"

#include "TestFiles.h"
#include "Version.h"
#include "batch/FolderLoader.h"
#include "platform/Prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace vantrel;

namespace {

// Where a control sits in window coordinates.
QRect placed(const QWidget* w)
{
    return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

QStringList names(const FileList& l)
{
    QStringList out;
    for (int r = 0; r < l.rowCountShown(); ++r)
        out.append(l.row(r).before);
    return out;
}

void dropOn(FileTable* table, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    mime.setUrls(urls);
    const QPointF pos = table->viewport()->rect().center();
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &drop);
    QVERIFY(drop.isAccepted());
}

// Remembers, for each message, whether the working panel showed and what estimate it gave.
class PanelWatcher : public Prompter {
public:
    explicit PanelWatcher(frmMain& w) : w_(w) {}
    Answer ask(const QString& text, const QString&, Buttons, Icon) override
    {
        seen.append(text.left(12) + (w_.fmeLoad->isVisible() ? QStringLiteral(" shown ") : QStringLiteral(" hidden ")) +
                    w_.lblEst->text());
        return Answer::Ok;
    }
    QStringList seen;

private:
    frmMain& w_;
};

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmMain> w;
    ScriptedPrompter prompter;
    QTemporaryDir tmp;

    QString at(const char* rel) const { return tmp.path() + QLatin1Char('/') + QString::fromLatin1(rel); }
    void make(std::initializer_list<const char*> rels)
    {
        for (const char* r : rels)
            QVERIFY(test::writeFile(at(r), test::mpegFrames(1)));
    }
    void loadRoot(bool subfolders = true)
    {
        w->txtPath->setText(tmp.path());
        w->chkSubF->setChecked(subfolders);
        QTest::mouseClick(w->cmdLoad, Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(tmp.isValid());
        w = std::make_unique<frmMain>();
        w->timUpdate->stop(); // the update check is not under test here
        prompter.clear();
        w->setPrompter(&prompter);
    }
    void cleanup()
    {
        w.reset();
        QDir(tmp.path()).removeRecursively();
        QDir().mkpath(tmp.path());
    }

    void freshStart()
    {
        QCOMPARE(w->txtPath->text(), QCoreApplication::applicationDirPath());
        QVERIFY(w->optType[0]->isChecked());
        QVERIFY(!w->optType[1]->isChecked() && !w->optType[2]->isChecked());
        QVERIFY(w->chkNumbers->isChecked());
        QVERIFY(w->chkSubF->isChecked());
        QVERIFY(!w->chkForceId1->isChecked());
        QVERIFY(!w->cmdFix->isEnabled());
        QVERIFY(!w->cmdUndo->isEnabled());
        QVERIFY(w->cmdSim->isEnabled());
        QVERIFY(w->lblBeta->isHidden());
        QVERIFY(w->fmeLoad->isHidden());
        QCOMPARE(w->lblVer->text(), versionLabel());
        QCOMPARE(w->lblPath->text(), QStringLiteral("Checking for updates, please wait..."));
        QCOMPARE(w->fileList().count(), 0);
        QVERIFY(w->windowTitle().startsWith(QStringLiteral("VANTREL")));
        QCOMPARE(w->timUpdate->interval(), 500);
        QVERIFY(!w->simulating);
        QVERIFY(w->errorLog.isEmpty());
    }

    void versionLabelRule()
    {
        QCOMPARE(versionLabel({4, 1, 4}), QStringLiteral("v4.14"));
        QCOMPARE(versionLabel({4, 0, 0}), QStringLiteral("v4.00"));
        QCOMPARE(versionLabel({10, 2, 13}), QStringLiteral("v10.213"));
    }

    void captionsAndTooltips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        auto row = [](const char* n, const char* c, const char* t) {
            QTest::newRow(n) << QString::fromLatin1(n) << QString::fromLatin1(c) << QString::fromLatin1(t);
        };
        row("cmdSim", "Simulate before fix!", "Generate the new filenames");
        row("cmdFix", "Fix files!", "Rename the files to the new names. Run a simulation first!");
        row("cmdExit", "Exit", "");
        row("cmdLoad", "Load", "Process folder");
        row("cmdDir", "Browse", "Select a folder");
        row("cmdClear", "Clear list", "Clear the list below");
        row("cmdOpts", "Renaming schemes", "Create custom renaming schemes and other options");
        row("cmdAbout", "Help", "General help about Vantrel");
        row("cmdUndo", "Undo last fix", nullptr);
        row("chkSubF", "Include subfolders", "");
        row("chkForceId1", "Use only ID3v1 (if possible)", "");
        row("chkNumbers", "Remove track numbers ", "");
        row("optType(0)", "Rename using info from ID3-tag. If tag is empty, the current filename will be corrected.", "");
        row("optType(1)", "Ignore ID3-tag. Just correct current filename.", "");
        row("optType(2)",
            "Update ID3-tag with info from the current filename, assuming it's <Artist> - <Song name>.mp3 etc.", "");
    }
    void captionsAndTooltips()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        auto* b = w->findChild<QAbstractButton*>(name);
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        if (QTest::currentDataTag() != QByteArray("cmdUndo"))
            QCOMPARE(b->toolTip(), tip);
    }

    void otherControls()
    {
        QCOMPARE(w->fmeOpt->title(), QStringLiteral("Renaming options"));
        QCOMPARE(w->lvFiles->toolTip(), QStringLiteral("Double-click a file to edit it's information and tags"));
        QCOMPARE(w->lblLoad->text(), QStringLiteral("Working, please wait..."));
        QCOMPARE(w->Label1->text(), QStringLiteral("VANTREL v1.5"));
        QCOMPARE(w->lblPath->objectName(), QStringLiteral("lblPath"));
        for (int i = 1; i <= 4; ++i) {
            QCOMPARE(w->lblHelp[i]->text(), QStringLiteral("info"));
            QCOMPARE(w->lblHelp[i]->objectName(), QStringLiteral("lblHelp(%1)").arg(i));
            QCOMPARE(w->lblHelp[i]->cursor().shape(), Qt::PointingHandCursor);
        }
        QCOMPARE(w->prgLoad->minimum(), 0);
        QCOMPARE(w->prgLoad->maximum(), 100);
        const QStringList headers{QStringLiteral("Before"), QStringLiteral("After"), QStringLiteral("Artist"),
                                  QStringLiteral("Title"), QStringLiteral("Location")};
        const int widths[] = {341, 341, 129, 129, 47}; // twips / 15
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(w->fileList().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers.at(c));
            QCOMPARE(w->lvFiles->columnWidth(c), widths[c]);
        }
        for (QLineEdit* t : {w->Text1, w->Text2, w->Text3})
            QVERIFY(t->isHidden());
        QCOMPARE(w->lvFiles->selectionMode(), QAbstractItemView::ExtendedSelection);
    }

    void optionClickEnablesSimulate()
    {
        w->cmdSim->setEnabled(false);
        w->show();
        QTest::mouseClick(w->optType[1], Qt::LeftButton, {}, QPoint(6, w->optType[1]->height() / 2));
        QVERIFY(w->optType[1]->isChecked());
        QVERIFY(w->cmdSim->isEnabled());
    }

    void resizeOutcomes_data()
    {
        QTest::addColumn<int>("dw");
        QTest::addColumn<int>("dh");
        QTest::newRow("wider") << 67 << 0;   // 1000 twips
        QTest::newRow("taller") << 0 << 67;
        QTest::newRow("both") << 120 << 45;
    }
    void resizeOutcomes()
    {
        QFETCH(int, dw);
        QFETCH(int, dh);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QSize start = w->size();
        QList<QWidget*> grow{w->fmeMain, w->fmeOpt, w->txtPath, w->lvFiles, w->lblPath};
        QList<QWidget*> moveRight{w->cmdExit, w->cmdAbout, w->cmdOpts, w->cmdClear, w->lblVer};
        for (int i = 1; i <= 4; ++i)
            moveRight.append(w->lblHelp[i]);
        QList<QWidget*> stay{w->cmdSim, w->cmdFix, w->cmdLoad, w->cmdDir, w->cmdUndo};
        QList<QWidget*> moveDown{w->fmeOpt, w->prgLoad, w->cmdSim, w->cmdFix, w->cmdExit, w->cmdUndo};
        QHash<QWidget*, QRect> before;
        for (const auto* l : {&grow, &moveRight, &stay, &moveDown})
            for (QWidget* c : *l)
                before.insert(c, placed(c));
        w->resize(start + QSize(dw, dh));
        QApplication::processEvents();
        QCOMPARE(w->size(), start + QSize(dw, dh));

        for (QWidget* c : grow) {
            QCOMPARE(placed(c).width(), before[c].width() + dw);
            QCOMPARE(placed(c).left(), before[c].left());
        }
        for (QWidget* c : moveRight) {
            QCOMPARE(placed(c).left(), before[c].left() + dw);
            QCOMPARE(placed(c).width(), before[c].width());
        }
        for (QWidget* c : stay) {
            QCOMPARE(placed(c).left(), before[c].left());
            QCOMPARE(placed(c).width(), before[c].width());
        }
        for (QWidget* c : moveDown) {
            QCOMPARE(placed(c).top(), before[c].top() + dh);
            QCOMPARE(placed(c).height(), before[c].height());
        }
        QCOMPARE(placed(w->fmeMain).height(), before[w->fmeMain].height() + dh);
        QCOMPARE(placed(w->lvFiles).height(), before[w->lvFiles].height() + dh);
        QCOMPARE(placed(w->txtPath).top(), before[w->txtPath].top());
    }

    void workingPanel()
    {
        w->show();
        w->cmdFix->setEnabled(false);
        w->working(true);
        QVERIFY(w->fmeLoad->isVisible());
        QCOMPARE(w->lblEst->text(), QStringLiteral("Estimated total time: Unknown"));
        QVERIFY(!w->cmdLoad->isEnabled());
        QVERIFY(!w->cmdExit->isEnabled());
        QVERIFY(w->cmdCancel->isHidden());
        // What a run enables while the panel shows is there once it is gone.
        w->cmdFix->setEnabled(true);
        w->working(true, QStringLiteral("0 min 02 sec"));
        QCOMPARE(w->lblEst->text(), QStringLiteral("Estimated total time: 0 min 02 sec"));
        w->working(false);
        QVERIFY(w->fmeLoad->isHidden());
        QVERIFY(w->cmdLoad->isEnabled());
        QVERIFY(w->cmdFix->isEnabled());
        // Centred on the window, a little above the middle.
        w->working(true);
        const QRect r = w->fmeLoad->geometry();
        QVERIFY(qAbs(r.center().x() - w->width() / 2) <= 1);
        QVERIFY(r.center().y() < w->height() / 2);
        w->working(false);
    }

    void workingProgressAndCancel()
    {
        w->show();
        w->working(true);
        Progress p = w->workingProgress();
        QVERIFY(w->cmdCancel->isVisible());
        QVERIFY(w->cmdCancel->isEnabled());
        QVERIFY(p(10, 40));
        QCOMPARE(w->lblDone->text().left(14), QStringLiteral("10 of 40 files"));
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
        QVERIFY(!p(11, 40));
        w->working(false);
        QVERIFY(w->cmdCancel->isHidden());
        // A fresh run starts uncancelled.
        w->working(true);
        Progress q = w->workingProgress();
        QVERIFY(q(1, 2));
        w->working(false);
    }

    void delayWaitsAndPaints()
    {
        QElapsedTimer t;
        t.start();
        w->Delay(0.1);
        QVERIFY(t.elapsed() >= 100);
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        w->Delay(0.0);
        QVERIFY(ran);
    }

    void loadFolder_data()
    {
        QTest::addColumn<bool>("subfolders");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("with subfolders") << true
                                         << QStringList{QStringLiteral("a.mp3"), QStringLiteral("B.WMA"),
                                                        QStringLiteral("c.mp3"), QStringLiteral("d.Mp3")};
        QTest::newRow("folder only") << false << QStringList{QStringLiteral("a.mp3"), QStringLiteral("B.WMA")};
    }
    void loadFolder()
    {
        QFETCH(bool, subfolders);
        QFETCH(QStringList, expected);
        make({"a.mp3", "B.WMA", "x.txt", "s1/c.mp3", "s1/s2/d.Mp3"});
        loadRoot(subfolders);
        QCOMPARE(names(w->fileList()), expected);
        QCOMPARE(w->fileList().row(0).location, tmp.path() + QLatin1Char('/'));
        QCOMPARE(w->lblPath->text(), QStringLiteral("Number of files in list: %1").arg(expected.size()));
        QCOMPARE(w->prgLoad->value(), 100);
        QVERIFY(w->fmeLoad->isHidden());
        QVERIFY(!w->cmdFix->isEnabled());
        QVERIFY(prompter.prompts().isEmpty());
        QVERIFY(!w->lvFiles->showsEmptyPicture());
        // Load clears first: no duplicates; Enter in the box loads too.
        QTest::keyClick(w->txtPath, Qt::Key_Return);
        QCOMPARE(names(w->fileList()), expected);
    }

    void loadMissingFolder()
    {
        make({"a.mp3"});
        loadRoot();
        QCOMPARE(w->fileList().count(), 1);
        w->txtPath->setText(at("missing"));
        QTest::mouseClick(w->cmdLoad, Qt::LeftButton);
        QCOMPARE(w->fileList().count(), 0);
        QCOMPARE(w->fileList().rowCountShown(), 0);
        const auto& p = prompter.prompts();
        QCOMPARE(p.size(), 2);
        QCOMPARE(p[0].text, QStringLiteral("Can't find folder!"));
        QCOMPARE(p[0].title, QStringLiteral("Error"));
        QCOMPARE(p[0].icon, Icon::Critical);
        QCOMPARE(p[1].title, QStringLiteral("No files in folder"));
        QCOMPARE(p[1].icon, Icon::Information);
        QVERIFY(p[1].text.endsWith(QStringLiteral("\r\n\r\nTO SELECT A DIFFERENT FOLDER, CLICK BROWSE")));
        QVERIFY(w->lvFiles->showsEmptyPicture());
    }

    void panelDuringLoadAndDrop()
    {
        w->show();
        PanelWatcher watcher(*w);
        w->setPrompter(&watcher);
        make({"empty/readme.txt", "a.mp3", "b.mp3", "c.mp3"});
        w->txtPath->setText(at("empty"));
        QTest::mouseClick(w->cmdLoad, Qt::LeftButton);
        // Load tells while the panel still shows; Browse only once it is gone.
        QCOMPARE(watcher.seen, QStringList{QStringLiteral("The folder y shown Estimated total time: Unknown")});
        QVERIFY(w->fmeLoad->isHidden());
        w->BrowseForFolder = [this](QWidget*, const QString&) { return at("empty"); };
        QTest::mouseClick(w->cmdDir, Qt::LeftButton);
        QCOMPARE(watcher.seen.size(), 2);
        QVERIFY(watcher.seen[1].startsWith(QStringLiteral("The folder y hidden")));

        dropOn(w->lvFiles, {at("a.mp3"), at("b.mp3"), at("c.mp3")});
        QCOMPARE(w->lblEst->text(), QStringLiteral("Estimated total time: More than 0s"));
        QCOMPARE(w->fileList().count(), 3);
        w->setPrompter(&prompter);
    }

    void browse()
    {
        make({"pick/a.mp3", "empty/readme.txt"});
        QString answer;
        QString askedCaption;
        w->BrowseForFolder = [&](QWidget*, const QString& caption) {
            askedCaption = caption;
            return answer;
        };
        const QString before = w->txtPath->text();
        QTest::mouseClick(w->cmdDir, Qt::LeftButton); // cancelled
        QCOMPARE(askedCaption, QStringLiteral("Select a folder (Limit 100.000 files)"));
        QCOMPARE(w->txtPath->text(), before);
        QVERIFY(prompter.prompts().isEmpty());

        answer = at("pick");
        QTest::mouseClick(w->cmdDir, Qt::LeftButton);
        QCOMPARE(w->txtPath->text(), at("pick"));
        QCOMPARE(names(w->fileList()), QStringList{QStringLiteral("a.mp3")});

        answer = at("empty");
        QTest::mouseClick(w->cmdDir, Qt::LeftButton);
        QCOMPARE(w->fileList().count(), 0);
        QCOMPARE(prompter.prompts().size(), 1);
        QCOMPARE(prompter.prompts()[0].text, FolderLoader::noFilesText(false));
    }

    void dropFilesAndFolders()
    {
        make({"first.mp3", "box/a.mp3", "box/sub/b.wma", "notes.txt"});
        w->txtPath->setText(at("box"));
        w->chkSubF->setChecked(false);
        QTest::mouseClick(w->cmdLoad, Qt::LeftButton);
        QCOMPARE(names(w->fileList()), QStringList{QStringLiteral("a.mp3")});
        w->fileList().setAfterText(0, QStringLiteral("kept.mp3"));

        w->chkSubF->setChecked(true);
        dropOn(w->lvFiles, {at("notes.txt"), at("box/a.mp3"), at("first.mp3"), at("box")});
        QCOMPARE(names(w->fileList()),
                 (QStringList{QStringLiteral("a.mp3"), QStringLiteral("first.mp3"), QStringLiteral("b.wma")}));
        QCOMPARE(w->fileList().row(0).after, QStringLiteral("kept.mp3"));
        QVERIFY(w->fileList().row(1).after.isEmpty());
        QCOMPARE(w->lblPath->text(), QStringLiteral("Number of files in list: 3"));
        QVERIFY(w->fmeLoad->isHidden());
        QVERIFY(prompter.prompts().isEmpty());
    }

    void dragOfNonFilesIsRefused()
    {
        QMimeData mime;
        mime.setText(QStringLiteral("just text"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w->lvFiles->viewport(), &enter);
        QVERIFY(!enter.isAccepted());
        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("https://example.org/a.mp3"))});
        QDragEnterEvent enter2(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w->lvFiles->viewport(), &enter2);
        QVERIFY(!enter2.isAccepted());
    }

    void deleteSelectedRows()
    {
        make({"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
        loadRoot();
        FileList& l = w->fileList();
        l.lstArtist = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
        l.lstTit = {QStringLiteral("ta"), QStringLiteral("tb"), QStringLiteral("tc"), QStringLiteral("td")};
        l.listviewthem();
        for (int r = 0; r < 4; ++r)
            l.setAfterText(r, QStringLiteral("new%1.mp3").arg(r));

        // Delete with nothing selected keeps everything, proposals included.
        w->lvFiles->clearSelection();
        QTest::keyClick(w->lvFiles, Qt::Key_Delete);
        QCOMPARE(l.count(), 4);
        QCOMPARE(l.row(2).after, QStringLiteral("new2.mp3"));

        auto* sel = w->lvFiles->selectionModel();
        sel->select(l.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        sel->select(l.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(w->lvFiles, Qt::Key_Delete);
        QCOMPARE(names(l), (QStringList{QStringLiteral("a.mp3"), QStringLiteral("d.mp3")}));
        QCOMPARE(l.row(1).artist, QStringLiteral("D"));
        QCOMPARE(l.row(1).title, QStringLiteral("td"));
        QCOMPARE(l.row(1).location, tmp.path() + QLatin1Char('/'));
        QVERIFY(l.row(0).after.isEmpty() && l.row(1).after.isEmpty());
        QCOMPARE(w->lblPath->text(), QStringLiteral("Number of files in list: 2"));

        w->lvFiles->selectAll();
        QTest::keyClick(w->lvFiles, Qt::Key_Delete);
        QCOMPARE(l.count(), 0);
        QCOMPARE(w->lblPath->text(), QStringLiteral("Number of files in list: 0"));
        QVERIFY(w->lvFiles->showsEmptyPicture());
    }

    void playOpensTheFileOrSaysWhyNot()
    {
        make({"here.mp3", "gone.mp3", "folder/x.mp3"});
        FileList& l = w->fileList();
        for (const char* rel : {"here.mp3", "gone.mp3", "nowhere/a.mp3", "folder"})
            l.append(at(rel));
        QFile::remove(at("gone.mp3"));
        RecordingOpener opener;
        w->setOpener(&opener);
        struct Case {
            int index;
            bool desktopSaysYes;
            const char* reason; // empty: opened without a message
        };
        const Case cases[] = {
            {0, true, ""},
            {0, false, "No association for file extension: Check your windows file association settings"},
            {1, true, "File not found"},
            {2, true, "Path not found"},
            {3, true, "Access denied"}, // a folder is no file to play
            {9, true, nullptr},         // out of range: nothing at all
        };
        for (const Case& c : cases) {
            prompter.clear();
            opener.opened.clear();
            opener.result = c.desktopSaysYes;
            w->buttonpress(c.index);
            if (!c.reason) {
                QVERIFY(prompter.prompts().isEmpty() && opener.opened.isEmpty());
                continue;
            }
            const QString path = l.lstAllfiles.at(c.index);
            if (!*c.reason) {
                QVERIFY(prompter.prompts().isEmpty());
                QCOMPARE(opener.opened, QStringList{path});
                continue;
            }
            QCOMPARE(prompter.prompts().size(), 1);
            QCOMPARE(prompter.prompts()[0].text, QStringLiteral("File: ") + path + QStringLiteral("\r\n") +
                                                     QString::fromLatin1(c.reason));
            QCOMPARE(prompter.prompts()[0].title, QStringLiteral("Error"));
            QCOMPARE(prompter.prompts()[0].icon, Icon::Critical);
        }
        w->setOpener(nullptr);
    }

    void doubleClickReachesTheHandlerOnRowsAndBelowThem()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QSignalSpy spy(w->lvFiles, &FileTable::doubleClickedAnywhere);
        const QPoint below(20, w->lvFiles->viewport()->height() - 5);
        QTest::mouseDClick(w->lvFiles->viewport(), Qt::LeftButton, {}, below); // empty table
        make({"a.mp3"});
        loadRoot();
        QTest::mouseDClick(w->lvFiles->viewport(), Qt::LeftButton, {},
                           w->lvFiles->visualRect(w->fileList().index(0, 0)).center());
        QCOMPARE(spy.count(), 2);
    }

    void clearList()
    {
        make({"a.mp3", "b.mp3"});
        loadRoot();
        w->cmdFix->setEnabled(true);
        QTest::mouseClick(w->cmdClear, Qt::LeftButton);
        QCOMPARE(w->fileList().count(), 0);
        QCOMPARE(w->fileList().rowCountShown(), 0);
        QVERIFY(!w->cmdFix->isEnabled());
        QCOMPARE(w->lblPath->text(), QStringLiteral("Number of files in list: 0"));
    }

    void emptyListShowsPicture()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto inkInMiddle = [this] {
            const QImage img = w->lvFiles->viewport()->grab().toImage();
            const QColor base = w->lvFiles->viewport()->palette().color(QPalette::Base);
            int ink = 0;
            const QRect mid(img.width() / 3, img.height() / 4, img.width() / 3, img.height() / 2);
            for (int y = mid.top(); y <= mid.bottom(); y += 2)
                for (int x = mid.left(); x <= mid.right(); x += 2)
                    ink += img.pixelColor(x, y) != base;
            return ink;
        };
        QVERIFY(inkInMiddle() > 100);
        make({"a.mp3"});
        loadRoot();
        QCOMPARE(inkInMiddle(), 0); // one short row at the top, nothing in the middle
    }

    void exitEndsTheProgram()
    {
        w->show();
        QWidget other; // another window open does not keep the program alive
        other.show();
        QTimer::singleShot(0, w->cmdExit, [this] { QTest::mouseClick(w->cmdExit, Qt::LeftButton); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!w->isVisible());
    }

    void messageBoxesCarryTitleIconAndButtons_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("expectStd");
        QTest::addColumn<int>("click");
        QTest::addColumn<int>("answer");
        QTest::newRow("ok info") << int(Buttons::Ok) << int(Icon::Information) << int(QMessageBox::Ok)
                                 << int(QMessageBox::Ok) << int(Answer::Ok);
        QTest::newRow("yes/no question") << int(Buttons::YesNo) << int(Icon::Question)
                                         << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::No)
                                         << int(Answer::No);
        QTest::newRow("ok/cancel critical") << int(Buttons::OkCancel) << int(Icon::Critical)
                                            << int(QMessageBox::Ok | QMessageBox::Cancel)
                                            << int(QMessageBox::Cancel) << int(Answer::Cancel);
        QTest::newRow("abort/retry/ignore") << int(Buttons::AbortRetryIgnore) << int(Icon::Exclamation)
                                            << int(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore)
                                            << int(QMessageBox::Retry) << int(Answer::Retry);
        QTest::newRow("yes/no/cancel") << int(Buttons::YesNoCancel) << int(Icon::None)
                                       << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
                                       << int(QMessageBox::Yes) << int(Answer::Yes);
    }
    void messageBoxesCarryTitleIconAndButtons()
    {
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(int, expectStd);
        QFETCH(int, click);
        QFETCH(int, answer);
        static const QMessageBox::Icon icons[] = {QMessageBox::NoIcon, QMessageBox::Critical, QMessageBox::Warning,
                                                  QMessageBox::Information, QMessageBox::Question};
        QString seenTitle;
        QString seenText;
        int seenIcon = -1;
        int seenButtons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            seenButtons = int(box->standardButtons());
            box->button(QMessageBox::StandardButton(click))->click();
        });
        QtPrompter p(w.get());
        const Answer a = p.ask(QStringLiteral("Some text"), QStringLiteral("Fix files"), Buttons(buttons), Icon(icon));
        QCOMPARE(int(a), answer);
        QCOMPARE(seenTitle, QStringLiteral("Fix files"));
        QCOMPARE(seenText, QStringLiteral("Some text"));
        QCOMPARE(seenIcon, int(icons[icon]));
        QCOMPARE(seenButtons, expectStd);
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmMain.moc"
