// The renaming options window: defaults, enabling rules, the custom-pattern
// cleanup of "Close", and what survives closing the window each way.
#include "frmOpts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using vantrel::frmOpts;

class FrmOptsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void controlsFoundByName_data();
    void controlsFoundByName();
    void typingSelectsCustom();
    void closeCleansPattern_data();
    void closeCleansPattern();
    void closeKeepsUntouchedChoice_data();
    void closeKeepsUntouchedChoice();
    void checkBoxesEnableTheirBoxes_data();
    void checkBoxesEnableTheirBoxes();
    void closeKeepsValuesTitleBarDiscards();
};

void FrmOptsTest::defaults()
{
    frmOpts w;
    QVERIFY(!w.isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("Renaming Schemes"));
    QVERIFY(w.optScheme[0]->isChecked());
    QCOMPARE(w.schemeIndex(), 0);
    QCOMPARE(w.txtScheme->text(), QStringLiteral("<Track>. <Artist> - <Album> - <Title>"));
    QVERIFY(w.txtScheme->isEnabled());
    QVERIFY(!w.chkRemAllNum->isChecked());
    QVERIFY(!w.chkReplace->isChecked());
    QVERIFY(!w.chkRemove->isChecked());
    QVERIFY(!w.chkRep->isChecked());
    QVERIFY(!w.chkUcaseAll->isChecked());
    QVERIFY(w.chkUcase->isChecked());
    QCOMPARE(w.txtRepWhat->text(), QStringLiteral("VA"));
    QCOMPARE(w.txtRepWith->text(), QStringLiteral("various artists"));
    QCOMPARE(w.txtRemove->text(), QStringLiteral("various artists"));
    QVERIFY(!w.txtRepWhat->isEnabled());
    QVERIFY(!w.txtRepWith->isEnabled());
    QVERIFY(!w.txtRemove->isEnabled());
    const QString tip = QStringLiteral("Enter a string to search for and remove in all filenames");
    QCOMPARE(w.txtRepWhat->toolTip(), tip);
    QCOMPARE(w.txtRepWith->toolTip(), tip);
    QCOMPARE(w.txtRemove->toolTip(), tip);
}

void FrmOptsTest::controlsFoundByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("scheme 0") << "optScheme(0)" << "Artist - Title.mp3";
    QTest::newRow("scheme 1") << "optScheme(1)" << "Title - Artist.mp3";
    QTest::newRow("scheme 2") << "optScheme(2)" << "Custom:";
    QTest::newRow("Label2") << "Label2"
                            << "Use <Album>, <Artist>, <Title> and <Track> to custom your own filename. "
                               "Slashes (to create folders) are not allowed.";
    QTest::newRow("Label1") << "Label1" << "Only appliable to files with tags.";
    QTest::newRow("Label3") << "Label3" << "with:";
    QTest::newRow("chkRemAllNum") << "chkRemAllNum" << "Remove ALL numbers";
    QTest::newRow("chkReplace") << "chkReplace" << "Replace string:";
    QTest::newRow("chkRemove") << "chkRemove" << "Remove string:";
    QTest::newRow("chkRep") << "chkRep" << "Remove repeated characters (3 or more) - slow!";
    QTest::newRow("chkUcaseAll") << "chkUcaseAll" << "All characters UPPER CASE";
    QTest::newRow("chkUcase") << "chkUcase" << "Upper Case first characters in all words";
    QTest::newRow("cmdSave") << "cmdSave" << "Close";
}

void FrmOptsTest::controlsFoundByName()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    frmOpts w;
    QObject* o = w.findChild<QObject*>(name);
    QVERIFY2(o, qPrintable(name));
    QString text;
    if (auto* b = qobject_cast<QAbstractButton*>(o))
        text = b->text();
    else if (auto* l = qobject_cast<QLabel*>(o))
        text = l->text();
    QCOMPARE(text, caption);
}

void FrmOptsTest::typingSelectsCustom()
{
    frmOpts w;
    w.optScheme[1]->setChecked(true);
    w.txtScheme->setFocus();
    QTest::keyClicks(w.txtScheme, "x");
    QVERIFY(w.optScheme[2]->isChecked());
    QCOMPARE(w.schemeIndex(), 2);
}

void FrmOptsTest::closeCleansPattern_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cleaned");
    QTest::newRow("placeholders, separators and quotes")
        << QStringLiteral("<ARTIST> / <title>: \"live\"") << QStringLiteral("<Artist>  <Title> live");
    QTest::newRow("default stays") << QStringLiteral("<Track>. <Artist> - <Album> - <Title>")
                                   << QStringLiteral("<Track>. <Artist> - <Album> - <Title>");
    QTest::newRow("words outside placeholders go lower case")
        << QStringLiteral("My Music <ARTIST>") << QStringLiteral("my music <Artist>");
    QTest::newRow("every forbidden character") << QStringLiteral("a\\b/c:d*e?f|g\"h<Album>")
                                               << QStringLiteral("abcdefgh<Album>");
    QTest::newRow("angle brackets kept") << QStringLiteral("<x> <TRACK>") << QStringLiteral("<x> <Track>");
}

void FrmOptsTest::closeCleansPattern()
{
    QFETCH(QString, typed);
    QFETCH(QString, cleaned);
    frmOpts w;
    w.show();
    w.txtScheme->setText(typed);
    QTest::mouseClick(w.cmdSave, Qt::LeftButton);
    QCOMPARE(w.txtScheme->text(), cleaned);
    QVERIFY(!w.isVisible());
}

void FrmOptsTest::closeKeepsUntouchedChoice_data()
{
    QTest::addColumn<int>("choice");
    QTest::newRow("Artist - Title") << 0;
    QTest::newRow("Title - Artist") << 1;
}

void FrmOptsTest::closeKeepsUntouchedChoice()
{
    // Close cleans the pattern but never overrides the scheme the user picked,
    // whether or not the cleanup changed the text.
    QFETCH(int, choice);
    for (const QString& pattern : {QStringLiteral("<Track>. <Artist> - <Album> - <Title>"),
                                   QStringLiteral("<ARTIST>: <title>")}) {
        frmOpts w;
        w.show();
        w.txtScheme->setText(pattern);
        w.optScheme[static_cast<size_t>(choice)]->setChecked(true);
        QTest::mouseClick(w.cmdSave, Qt::LeftButton);
        QCOMPARE(w.schemeIndex(), choice);
    }
}

void FrmOptsTest::checkBoxesEnableTheirBoxes_data()
{
    QTest::addColumn<QString>("check");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("replace") << "chkReplace" << QStringList{"txtRepWhat", "txtRepWith"};
    QTest::newRow("remove") << "chkRemove" << QStringList{"txtRemove"};
}

void FrmOptsTest::checkBoxesEnableTheirBoxes()
{
    QFETCH(QString, check);
    QFETCH(QStringList, boxes);
    frmOpts w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    auto* chk = w.findChild<QCheckBox*>(check);
    QVERIFY(chk);
    QTest::mouseClick(chk, Qt::LeftButton, {}, chk->rect().center());
    QVERIFY(chk->isChecked());
    for (const QString& b : boxes)
        QVERIFY2(w.findChild<QLineEdit*>(b)->isEnabled(), qPrintable(b));
    QCOMPARE(QApplication::focusWidget(), w.findChild<QLineEdit*>(boxes.first()));
    QTest::mouseClick(chk, Qt::LeftButton, {}, chk->rect().center());
    QVERIFY(!chk->isChecked());
    for (const QString& b : boxes)
        QVERIFY2(!w.findChild<QLineEdit*>(b)->isEnabled(), qPrintable(b));
}

void FrmOptsTest::closeKeepsValuesTitleBarDiscards()
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

    // The title bar's close: back to the defaults, pattern not cleaned.
    w.txtScheme->setText(QStringLiteral("<TITLE>"));
    QVERIFY(w.close());
    QVERIFY(!w.isVisible());
    QVERIFY(!w.chkRep->isChecked());
    QVERIFY(w.chkUcase->isChecked());
    QVERIFY(!w.txtRepWhat->isEnabled());
    QCOMPARE(w.txtRepWhat->text(), QStringLiteral("VA"));
    QCOMPARE(w.txtScheme->text(), QStringLiteral("<Track>. <Artist> - <Album> - <Title>"));
    QCOMPARE(w.schemeIndex(), 0);
}

QTEST_MAIN(FrmOptsTest)
#include "test_frmOpts.moc"
