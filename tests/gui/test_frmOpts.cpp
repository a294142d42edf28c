// The renaming options window: enabling rules, the pattern cleanup of
// "Close", and what survives closing the window each way.
#include "frmOpts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using vantrel::frmOpts;

namespace {

// What the window shows, to compare it with a fresh one.
QString state(const frmOpts& w)
{
    QString out = QString::number(w.schemeIndex());
    for (const QCheckBox* c :
         {w.chkRemAllNum, w.chkReplace, w.chkRemove, w.chkRep, w.chkUcaseAll, w.chkUcase, w.chkAllFormats})
        out += c->isChecked() ? u'1' : u'0';
    for (const QLineEdit* e : {w.txtScheme, w.txtRepWhat, w.txtRepWith, w.txtRemove})
        out += u'|' + e->text() + (e->isEnabled() ? u'+' : u'-');
    return out;
}

} // namespace

class FrmOptsTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void checkBoxesEnableTheirBoxes()
    {
        frmOpts w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        for (auto [chk, boxes] : {std::pair{w.chkReplace, QList<QLineEdit*>{w.txtRepWhat, w.txtRepWith}},
                                  std::pair{w.chkRemove, QList<QLineEdit*>{w.txtRemove}}}) {
            for (bool on : {true, false}) {
                QTest::mouseClick(chk, Qt::LeftButton, {}, chk->rect().center());
                QCOMPARE(chk->isChecked(), on);
                for (QLineEdit* b : boxes)
                    QCOMPARE(b->isEnabled(), on);
                if (on) // the cursor goes to the first box
                    QCOMPARE(QApplication::focusWidget(), boxes.first());
            }
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
        // Close cleans the pattern (the cleanup itself is tested with the
        // scheme rules) but never overrides the scheme the user picked.
        w.txtScheme->setText(QStringLiteral("<ARTIST>: <title>"));
        w.optScheme[1]->setChecked(true);
        QTest::mouseClick(w.cmdSave, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        w.show();
        const QString confirmed = state(w);
        QCOMPARE(confirmed,
                 QStringLiteral("10101000|<Artist> <Title>+|feat+|various artists+|various artists-"));

        // The title bar's close discards only this round's edits (the pattern
        // not cleaned); what "Close" confirmed stays, as in a fresh window's case.
        w.txtScheme->setText(QStringLiteral("<TITLE>"));
        w.chkRep->setChecked(false);
        w.chkRemove->setChecked(true);
        w.optScheme[0]->setChecked(true);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QCOMPARE(state(w), confirmed);
        frmOpts fresh;
        fresh.show();
        fresh.chkRep->setChecked(true);
        QVERIFY(fresh.close());
        QCOMPARE(state(fresh), state(frmOpts()));
    }
};

QTEST_MAIN(FrmOptsTest)
#include "test_frmOpts.moc"
