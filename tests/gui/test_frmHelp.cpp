// The help window: topic choice, Back and the graph page.
// Its link and Close are tested from the main window.
#include "HelpTexts.h"
#include "frmHelp.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace vantrel;

namespace {

// What the window must show after a step.
struct Shown {
    int page;       // caption of lblPage
    int titleTopic; // topic whose title is shown; -1: "Help topic not found"
    int textTopic;  // topic whose text is shown; -1: empty
    int listIndex;  // selected entry of the topic list
    int graph;      // height of the graph shown at the text's place; 0: none
};

struct Step {
    const char* action; // "list N", "back", "about", "dbl", "disp N"
    Shown after;
};

void perform(frmHelp& w, const QByteArray& action)
{
    const QList<QByteArray> parts = action.split(' ');
    if (parts[0] == "list")
        w.cmbSection->setCurrentIndex(parts[1].toInt());
    else if (parts[0] == "back")
        QTest::mouseClick(w.cmdBack, Qt::LeftButton);
    else if (parts[0] == "about")
        QTest::mouseClick(w.cmdAbout, Qt::LeftButton);
    else if (parts[0] == "dbl")
        QTest::mouseDClick(w.lblText, Qt::LeftButton, {}, QPoint(20, 20));
    else
        w.disp(parts[1].toInt());
}

// The graph is on the page: visible and inside the window (not parked).
bool graphShown(const frmHelp& w)
{
    return w.image1->isVisible() && w.rect().intersects(w.image1->geometry());
}

} // namespace

class TestFrmHelp : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void walksThroughTopics()
    {
        // About, then Back stays; the graph page back and forth; a topic without a page keeps the list.
        const Step steps[] = {
            {"list 4", {4, 4, 4, 4, 0}}, {"dbl", {4, 4, 4, 4, 0}},     {"about", {5, 5, 5, 5, 0}},
            {"back", {5, 5, 5, 5, 0}},   {"list 1", {1, 1, 1, 1, 0}},  {"dbl", {7, 1, -1, 1, 369}},
            {"back", {1, 1, 1, 1, 0}},   {"back", {7, 1, -1, 1, 369}}, {"list 2", {2, 2, 2, 2, 0}},
            {"dbl", {7, 2, -1, 2, 375}}, {"list 3", {3, 3, 3, 3, 0}},  {"disp 6", {6, -1, -1, 3, 0}},
            {"dbl", {6, -1, -1, 3, 0}},  {"back", {3, 3, 3, 3, 0}},    {"disp 99", {99, -1, -1, 3, 0}},
        };
        frmHelp w;
        w.show();
        for (const Step& s : steps) {
            perform(w, s.action);
            const QByteArray msg = QStringLiteral("after '%1': page %2, list %3, title '%4', graph %5")
                                       .arg(QLatin1String(s.action), w.lblPage->text())
                                       .arg(w.cmbSection->currentIndex())
                                       .arg(w.lblTitle->text())
                                       .arg(graphShown(w))
                                       .toUtf8();
            QVERIFY2(w.lblPage->text() == QString::number(s.after.page), msg.constData());
            QVERIFY2(w.cmbSection->currentIndex() == s.after.listIndex, msg.constData());
            const QString title = s.after.titleTopic < 0 ? QStringLiteral("Help topic not found")
                                                         : help::topicTitle(s.after.titleTopic);
            QVERIFY2(w.lblTitle->text() == title, msg.constData());
            const QString text = s.after.textTopic < 0 ? QString() : help::topicText(s.after.textTopic);
            QVERIFY2(w.lblText->text() == text, msg.constData());
            QVERIFY2(graphShown(w) == (s.after.graph > 0), msg.constData());
            if (s.after.graph) {
                QVERIFY2(w.image1->pos() == w.lblText->pos(), msg.constData());
                QVERIFY2(w.image1->pixmap().size() == QSize(500, s.after.graph), msg.constData());
                QVERIFY2(w.image1->geometry().bottom() < w.cmdBack->y(), msg.constData());
            }
        }
    }

    void everyPageFitsItsLabels()
    {
        frmHelp w;
        w.show();
        for (int t = 0; t < help::kListedTopics; ++t) {
            w.disp(t);
            const QRect need = w.lblText->fontMetrics().boundingRect(QRect(0, 0, w.lblText->width(), 100000),
                                                                     Qt::TextWordWrap, w.lblText->text());
            QVERIFY2(need.height() <= w.lblText->height(), qPrintable(QStringLiteral("topic %1").arg(t)));
            QVERIFY(w.lblTitle->fontMetrics().horizontalAdvance(w.lblTitle->text()) <= w.lblTitle->width());
        }
        QVERIFY(w.lblLink->fontMetrics().horizontalAdvance(w.lblLink->text()) <= w.lblLink->width());
    }
};

QTEST_MAIN(TestFrmHelp)
#include "test_frmHelp.moc"
