// The renaming options window: defaults, enabling rules, the custom-pattern
// cleanup of "Close", and what survives closing the window each way.
#include "frmOpts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using vantrel::frmOpts;

namespace {

const QString kDefaultPattern = QStringLiteral("<Track>. <Artist> - <Album> - <Title>");

// What a fresh window (and the title-bar close of its first showing) leaves.
void checkDefaults(const frmOpts& w)
{
    QCOMPARE(w.schemeIndex(), 0);
    QCOMPARE(w.txtScheme->text(), kDefaultPattern);
    QVERIFY(!w.chkRemAllNum->isChecked() && !w.chkReplace->isChecked() && !w.chkRemove->isChecked());
    QVERIFY(!w.chkRep->isChecked() && !w.chkUcaseAll->isChecked() && w.chkUcase->isChecked());
    QCOMPARE(w.txtRepWhat->text(), QStringLiteral("VA"));
    QCOMPARE(w.txtRepWith->text(), QStringLiteral("various artists"));
    QCOMPARE(w.txtRemove->text(), QStringLiteral("various artists"));
    QVERIFY(!w.txtRepWhat->isEnabled() && !w.txtRepWith->isEnabled() && !w.txtRemove->isEnabled());
}

} // namespace

class FrmOptsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultsAndNames()
    {
        frmOpts w;
        QVERIFY(!w.isVisible());
        checkDefaults(w);
        for (const char* name : {"optScheme(0)", "optScheme(1)", "optScheme(2)", "txtScheme", "Label1", "Label2",
                                 "Label3", "chkRemAllNum", "chkReplace", "txtRepWhat", "txtRepWith", "chkRemove",
                                 "txtRemove", "chkRep", "chkUcaseAll", "chkUcase", "cmdSave"})
            QVERIFY2(w.findChild<QWidget*>(QString::fromLatin1(name)), name);
    }

    void typingSelectsCustom()
    {
        frmOpts w;
        w.optScheme[1]->setChecked(true);
        w.txtScheme->setFocus();
        QTest::keyClicks(w.txtScheme, "x");
        QCOMPARE(w.schemeIndex(), 2);
    }

    void closeCleansPatternKeepsChoice()
    {
        // Close cleans the pattern (the cleanup itself is tested with the scheme
        // rules) but never overrides the scheme the user picked, whether or not
        // the cleanup changed the text.
        const struct {
            int choice;
            const char* typed;
            const char* cleaned;
        } cases[] = {
            {2, "<ARTIST> / <title>: \"live\"", "<Artist>  <Title> live"},
            {0, "<ARTIST>: <title>", "<Artist> <Title>"},
            {1, "<ARTIST>: <title>", "<Artist> <Title>"},
            {1, "<Track>. <Artist> - <Album> - <Title>", "<Track>. <Artist> - <Album> - <Title>"},
        };
        for (const auto& c : cases) {
            frmOpts w;
            w.show();
            w.txtScheme->setText(QString::fromLatin1(c.typed));
            w.optScheme[static_cast<size_t>(c.choice)]->setChecked(true);
            QTest::mouseClick(w.cmdSave, Qt::LeftButton);
            QCOMPARE(w.txtScheme->text(), QString::fromLatin1(c.cleaned));
            QCOMPARE(w.schemeIndex(), c.choice);
            QVERIFY(!w.isVisible());
        }
    }

    void checkBoxesEnableTheirBoxes_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("replace") << "chkReplace" << QStringList{"txtRepWhat", "txtRepWith"};
        QTest::newRow("remove") << "chkRemove" << QStringList{"txtRemove"};
    }

    void checkBoxesEnableTheirBoxes()
    {
        QFETCH(QString, check);
        QFETCH(QStringList, boxes);
        frmOpts w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        auto* chk = w.findChild<QCheckBox*>(check);
        for (bool on : {true, false}) {
            QTest::mouseClick(chk, Qt::LeftButton, {}, chk->rect().center());
            QCOMPARE(chk->isChecked(), on);
            for (const QString& b : boxes)
                QVERIFY2(w.findChild<QLineEdit*>(b)->isEnabled() == on, qPrintable(b));
            if (on) // the cursor goes to the first box
                QCOMPARE(QApplication::focusWidget(), w.findChild<QLineEdit*>(boxes.first()));
        }
    }

    void closeKeepsValuesTitleBarDiscards()
    {
        frmOpts w;
        w.show();
        w.chkRep->setChecked(true);
        w.chkUcase->setChecked(false);
        w.chkReplace->setChecked(true);
        w.txtRepWhat->setText(QStringLiteral("feat"));
        w.txtScheme->setText(QStringLiteral("<Title> <Artist>"));
        QTest::mouseClick(w.cmdSave, Qt::LeftButton);
        w.show();
        QVERIFY(w.chkRep->isChecked());
        QVERIFY(!w.chkUcase->isChecked());
        QVERIFY(w.txtRepWhat->isEnabled());
        QCOMPARE(w.txtRepWhat->text(), QStringLiteral("feat"));
        QCOMPARE(w.txtScheme->text(), QStringLiteral("<Title> <Artist>"));
        QCOMPARE(w.schemeIndex(), 2);

        // The title bar's close discards only this round's edits (the pattern
        // not cleaned); what "Close" confirmed stays, as in a fresh window's case.
        w.txtScheme->setText(QStringLiteral("<TITLE>"));
        w.chkRep->setChecked(false);
        w.chkRemove->setChecked(true);
        w.optScheme[1]->setChecked(true);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(w.chkRep->isChecked() && !w.chkUcase->isChecked() && !w.chkRemove->isChecked());
        QVERIFY(w.txtRepWhat->isEnabled() && !w.txtRemove->isEnabled());
        QCOMPARE(w.txtScheme->text(), QStringLiteral("<Title> <Artist>"));
        QCOMPARE(w.schemeIndex(), 2);
        frmOpts fresh;
        fresh.show();
        fresh.chkRep->setChecked(true);
        QVERIFY(fresh.close());
        checkDefaults(fresh);
    }
};

QTEST_MAIN(FrmOptsTest)
#include "test_frmOpts.moc"
