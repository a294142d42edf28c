// "Simulate before fix!" and "Renaming schemes" on the main window: the
// questions, the options read from both windows, the details window closed,
// "Fix files!" enabled only after a complete run, the error log offered.
#include "MainWindowFixture.h"
#include "SubWindows.h"
#include "frmOpts.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>

using namespace vantrel;

namespace {

struct Main : test::MainWindow {
    // Untagged files of these names, listed.
    explicit Main(std::initializer_list<const char*> names = {})
    {
        QList<test::Listed> files;
        for (const char* n : names)
            files.append({QString::fromLatin1(n)});
        list(files);
    }
    void simulate() { QTest::mouseClick(w.cmdSim, Qt::LeftButton); }
};

} // namespace

class SimulateGuiTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void optionsReachTheRun_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("allUpper");
        QTest::addColumn<bool>("capitals");
        QTest::addColumn<QString>("after");
        QTest::newRow("defaults") << 0 << false << true << "Some Name.mp3";
        QTest::newRow("upper case") << 1 << true << true << "SOME NAME.mp3";
        QTest::newRow("no word capitals") << 1 << false << false << "Some name.mp3";
    }

    void optionsReachTheRun()
    {
        QFETCH(int, mode);
        QFETCH(bool, allUpper);
        QFETCH(bool, capitals);
        QFETCH(QString, after);
        Main m({"some_name.mp3"});
        m.w.optType[mode]->setChecked(true);
        frmOpts& o = optionsWindow(m.w);
        o.chkUcaseAll->setChecked(allUpper);
        o.chkUcase->setChecked(capitals);
        m.simulate();
        QCOMPARE(m.afters(), QStringList{after});
        QCOMPARE(static_cast<int>(simulationOptions(m.w).mode), mode);
    }

    void runClosesDetailsAndEnablesFix()
    {
        Main m({"a_b.mp3", "c_d.mp3"});
        auto* details = new QWidget(&m.w, Qt::Window);
        m.w.frmFileWindow = details;
        details->show();
        QPointer<QWidget> watch(details);
        m.simulate();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watch.isNull());
        QCOMPARE(m.afters(), (QStringList{QStringLiteral("A B.mp3"), QStringLiteral("C D.mp3")}));
        QCOMPARE(m.w.fileList().lstSim, m.afters());
        QVERIFY(m.w.cmdFix->isEnabled());
        QVERIFY(!m.w.fmeLoad->isVisible());
        QVERIFY(m.clipboard.text().isEmpty());
    }

    // The run calls the panel after every file (see the core tests); here
    // each call costs 7 ms of a fake clock. The panel must repaint at least
    // every 100 ms of it, and a Cancel clicked meanwhile must stop the run
    // within 100 ms.
    void panelRepaintsAndCancelsOnTime()
    {
        QList<test::Listed> files;
        for (int i = 0; i < 400; ++i)
            files.append({QStringLiteral("n_%1.mp3").arg(i)});
        Main m;
        m.list(files);
        qint64 now = 0, lastPaint = 0, longestGap = 0, clicked = -1;
        QString shown;
        m.w.workingClock = [&] {
            now += 7;
            if (m.w.lblDone->text() != shown) { // painted since the last look
                shown = m.w.lblDone->text();
                longestGap = std::max(longestGap, now - lastPaint);
                lastPaint = now;
            }
            if (now >= 1000 && clicked < 0) {
                clicked = now;
                QTimer::singleShot(0, m.w.cmdCancel, &QPushButton::click);
            }
            return now;
        };
        m.simulate();
        QVERIFY(clicked > 0);
        QCOMPARE_LE(longestGap, 100);
        QCOMPARE_LE(now - clicked, 100);
        QVERIFY(!m.w.cmdFix->isEnabled());
        QVERIFY(m.afters().last().isEmpty());
    }

    void cancelKeepsListConsistentAndFixDisabled()
    {
        Main m({"a_b.mp3", "c_d.mp3", "e_f.mp3"});
        // Cancel is clicked while the panel waits to be painted, before any file.
        QTimer::singleShot(0, &m.w, [&m] { m.w.cmdCancel->click(); });
        m.simulate();
        QCOMPARE(m.w.fileList().count(), 3);
        QCOMPARE(m.w.fileList().rowCountShown(), 3);
        QCOMPARE(m.afters(), (QStringList{QString(), QString(), QString()}));
        QVERIFY(m.w.fileList().lstArtist.isEmpty());
        QVERIFY(!m.w.cmdFix->isEnabled());
        QVERIFY(!m.w.fmeLoad->isVisible());
    }
};

QTEST_MAIN(SimulateGuiTest)
#include "test_simulate_gui.moc"
