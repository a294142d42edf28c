// "Simulate before fix!" and "Renaming schemes" on the main window: the
// questions, the options read from both windows, the details window closed,
// "Fix files!" enabled only after a complete run, the error log offered.
#include "SubWindows.h"
#include "TestFiles.h"
#include "frmMain.h"
#include "frmOpts.h"

#include "platform/Clipboard.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vantrel;

class SimulateGuiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void optionsWindowLoadedHiddenAndShownModeless();
    void optionsReachTheRun_data();
    void optionsReachTheRun();
    void trackNumbersQuestionUnchecksRemoval();
    void declinedRunChangesNothing();
    void runClosesDetailsAndEnablesFix();
    void errorLogGoesToClipboard_data();
    void errorLogGoesToClipboard();
    void cancelKeepsListConsistentAndFixDisabled();

private:
    // Files a.mp3 ... with untagged names, listed in w.
    void listFiles(const QStringList& names);
    QStringList afters() const;

    QTemporaryDir* dir_ = nullptr;
    frmMain* w_ = nullptr;
    ScriptedPrompter* prompter_ = nullptr;
    MemoryClipboard* clipboard_ = nullptr;
};

void SimulateGuiTest::init()
{
    dir_ = new QTemporaryDir;
    w_ = new frmMain;
    w_->timUpdate->stop();
    prompter_ = new ScriptedPrompter(Answer::Yes);
    clipboard_ = new MemoryClipboard;
    w_->setPrompter(prompter_);
    w_->setClipboard(clipboard_);
}

void SimulateGuiTest::cleanup()
{
    delete w_;
    delete prompter_;
    delete clipboard_;
    delete dir_;
}

void SimulateGuiTest::listFiles(const QStringList& names)
{
    for (const QString& n : names) {
        const QString path = dir_->path() + QLatin1Char('/') + n;
        QVERIFY(test::writeFile(path, test::mpegFrames(1)));
        w_->fileList().append(path);
    }
    w_->fileList().listviewthem();
}

QStringList SimulateGuiTest::afters() const
{
    QStringList a;
    for (int r = 0; r < w_->fileList().rowCountShown(); ++r)
        a << w_->fileList().row(r).after;
    return a;
}

void SimulateGuiTest::optionsWindowLoadedHiddenAndShownModeless()
{
    auto* opts = w_->findChild<frmOpts*>(QStringLiteral("frmOpts"));
    QVERIFY(opts);
    QVERIFY(!opts->isVisible());
    QCOMPARE(&optionsWindow(*w_), opts);
    w_->show();
    QTest::mouseClick(w_->cmdOpts, Qt::LeftButton);
    QVERIFY(opts->isVisible());
    QVERIFY(!opts->isModal());
    QVERIFY(w_->isEnabled());
}

void SimulateGuiTest::optionsReachTheRun_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("allUpper");
    QTest::addColumn<bool>("capitals");
    QTest::addColumn<QString>("after");
    QTest::newRow("defaults") << 0 << false << true << "Some Name.mp3";
    QTest::newRow("upper case") << 1 << true << true << "SOME NAME.mp3";
    QTest::newRow("no word capitals") << 1 << false << false << "Some name.mp3";
}

void SimulateGuiTest::optionsReachTheRun()
{
    QFETCH(int, mode);
    QFETCH(bool, allUpper);
    QFETCH(bool, capitals);
    QFETCH(QString, after);
    listFiles({QStringLiteral("some_name.mp3")});
    w_->optType[mode]->setChecked(true);
    frmOpts& o = optionsWindow(*w_);
    o.chkUcaseAll->setChecked(allUpper);
    o.chkUcase->setChecked(capitals);
    QTest::mouseClick(w_->cmdSim, Qt::LeftButton);
    QCOMPARE(afters(), QStringList{after});
    const SimulationOptions s = simulationOptions(*w_);
    QCOMPARE(static_cast<int>(s.mode), mode);
    QCOMPARE(s.parser.allUpper, allUpper);
    QCOMPARE(s.parser.capitalizeWords, capitals);
}

void SimulateGuiTest::trackNumbersQuestionUnchecksRemoval()
{
    listFiles({QStringLiteral("a.mp3")});
    frmOpts& o = optionsWindow(*w_);
    o.txtScheme->setText(QStringLiteral("<Track>. <Artist> - <Title>")); // selects "Custom:"
    QVERIFY(w_->chkNumbers->isChecked());
    QTest::mouseClick(w_->cmdSim, Qt::LeftButton);
    QCOMPARE(prompter_->prompts().size(), 2);
    QCOMPARE(prompter_->prompts().at(0).title, QStringLiteral("Track numbers"));
    QCOMPARE(prompter_->prompts().at(1).text, QStringLiteral("You are about to simulate fix of 1 files. Continiue?"));
    QVERIFY(!w_->chkNumbers->isChecked());
    QVERIFY(w_->simulating);
}

void SimulateGuiTest::declinedRunChangesNothing()
{
    listFiles({QStringLiteral("a_b.mp3")});
    prompter_->setFallback(Answer::No);
    QTest::mouseClick(w_->cmdSim, Qt::LeftButton);
    QCOMPARE(prompter_->prompts().size(), 1);
    QVERIFY(w_->simulating);
    QVERIFY(w_->fileList().lstSim.isEmpty());
    QVERIFY(!w_->cmdFix->isEnabled());
    QVERIFY(!w_->fmeLoad->isVisible());
}

void SimulateGuiTest::runClosesDetailsAndEnablesFix()
{
    listFiles({QStringLiteral("a_b.mp3"), QStringLiteral("c_d.mp3")});
    auto* details = new QWidget(w_, Qt::Window);
    w_->frmFileWindow = details;
    details->show();
    QPointer<QWidget> watch(details);
    QTest::mouseClick(w_->cmdSim, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watch.isNull());
    QCOMPARE(afters(), (QStringList{QStringLiteral("A B.mp3"), QStringLiteral("C D.mp3")}));
    QCOMPARE(w_->fileList().lstSim, afters());
    QVERIFY(w_->cmdFix->isEnabled());
    QVERIFY(!w_->fmeLoad->isVisible());
    QVERIFY(clipboard_->text().isEmpty());
}

void SimulateGuiTest::errorLogGoesToClipboard_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("clipboard");
    const QString line = QStringLiteral("\r\nFile no longer exists! (b.mp3): Removing file from list");
    QTest::newRow("yes") << static_cast<int>(Answer::Yes) << line;
    QTest::newRow("no") << static_cast<int>(Answer::No) << QString();
}

void SimulateGuiTest::errorLogGoesToClipboard()
{
    QFETCH(int, answer);
    QFETCH(QString, clipboard);
    listFiles({QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
    QVERIFY(QFile::remove(dir_->path() + QStringLiteral("/b.mp3")));
    prompter_->queue(Answer::Yes); // Fix files
    prompter_->queue(static_cast<Answer>(answer));
    QTest::mouseClick(w_->cmdSim, Qt::LeftButton);
    QCOMPARE(prompter_->prompts().size(), 2);
    QCOMPARE(prompter_->prompts().last().title, QStringLiteral("Error log"));
    QVERIFY(w_->errorLog.startsWith(QStringLiteral("One or more errors occurred")));
    QCOMPARE(clipboard_->text(), clipboard);
    QCOMPARE(w_->fileList().count(), 1);
    QVERIFY(w_->cmdFix->isEnabled());
}

void SimulateGuiTest::cancelKeepsListConsistentAndFixDisabled()
{
    listFiles({QStringLiteral("a_b.mp3"), QStringLiteral("c_d.mp3"), QStringLiteral("e_f.mp3")});
    // Cancel is clicked while the panel waits to be painted, before any file.
    QTimer::singleShot(0, w_, [this] { w_->cmdCancel->click(); });
    QTest::mouseClick(w_->cmdSim, Qt::LeftButton);
    QCOMPARE(w_->fileList().count(), 3);
    QCOMPARE(w_->fileList().rowCountShown(), 3);
    QCOMPARE(afters(), (QStringList{QString(), QString(), QString()}));
    QVERIFY(w_->fileList().lstArtist.isEmpty());
    QVERIFY(!w_->cmdFix->isEnabled());
    QVERIFY(!w_->fmeLoad->isVisible());
}

QTEST_MAIN(SimulateGuiTest)
#include "test_simulate_gui.moc"
