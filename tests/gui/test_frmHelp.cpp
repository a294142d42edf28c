// The help window: topic choice, Back, the graph page, and the drawn graphs.
// Its link and Close are tested from the main window.
#include "HelpGraphs.h"
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
        const struct {
            const char* name;
            std::vector<Step> steps;
        } walks[] = {
            {"start, list then back twice",
             {{"dbl", {0, 0, 0, 0, 0}},
              {"list 2", {2, 2, 2, 2, 0}},
              {"back", {0, 0, 0, 0, 0}},
              {"back", {0, 0, 0, 0, 0}}}},
            {"about, then back stays",
             {{"list 4", {4, 4, 4, 4, 0}},
              {"dbl", {4, 4, 4, 4, 0}},
              {"about", {5, 5, 5, 5, 0}},
              {"dbl", {5, 5, 5, 5, 0}},
              {"back", {5, 5, 5, 5, 0}}}},
            {"graph page and back and forth",
             {{"list 1", {1, 1, 1, 1, 0}},
              {"dbl", {7, 1, -1, 1, 369}},
              {"back", {1, 1, 1, 1, 0}},
              {"back", {7, 1, -1, 1, 369}},
              {"dbl", {7, 1, -1, 1, 369}},
              {"list 2", {2, 2, 2, 2, 0}},
              {"dbl", {7, 2, -1, 2, 375}}}},
            {"topic without a page keeps the list",
             {{"list 3", {3, 3, 3, 3, 0}},
              {"disp 6", {6, -1, -1, 3, 0}},
              {"dbl", {6, -1, -1, 3, 0}},
              {"back", {3, 3, 3, 3, 0}},
              {"disp 99", {99, -1, -1, 3, 0}},
              {"disp -1", {-1, -1, -1, 3, 0}}}},
            {"graph of option 3 then another option",
             {{"list 3", {3, 3, 3, 3, 0}},
              {"dbl", {7, 3, -1, 3, 375}},
              {"list 4", {4, 4, 4, 4, 0}},
              {"dbl", {4, 4, 4, 4, 0}}}},
        };
        for (const auto& walk : walks) {
            frmHelp w;
            w.show();
            for (const Step& s : walk.steps) {
                perform(w, s.action);
                const QByteArray msg = QStringLiteral("%1, after '%2': page %3, list %4, title '%5', graph %6")
                                           .arg(QLatin1String(walk.name), QLatin1String(s.action), w.lblPage->text())
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
    }

    void everyPageFitsItsLabels()
    {
        frmHelp w;
        w.show();
        for (int t = 0; t < help::kListedTopics; ++t) {
            w.disp(t);
            const QRect need = w.lblText->fontMetrics().boundingRect(
                QRect(0, 0, w.lblText->width(), 100000), Qt::TextWordWrap, w.lblText->text());
            QVERIFY2(need.height() <= w.lblText->height(), qPrintable(QStringLiteral("topic %1").arg(t)));
            QVERIFY(w.lblTitle->fontMetrics().horizontalAdvance(w.lblTitle->text()) <= w.lblTitle->width());
        }
        QVERIFY(w.lblLink->fontMetrics().horizontalAdvance(w.lblLink->text()) <= w.lblLink->width());
    }

    void graphsAreDrawn()
    {
        for (const help::Graph* g : {&help::optionOneGraph(), &help::optionTwoGraph()}) {
            const QImage img = help::drawGraph(*g);
            const QRect area = help::plotArea(img.size());
            // White frame, dark blue plot area (a corner far from the line).
            QCOMPARE(img.pixelColor(1, 1), help::kFrameColour);
            QCOMPARE(img.pixelColor(area.right() - 3, area.top() + 3), help::kPlotColour);
            // Every measured point is marked, and the line joins neighbours.
            for (qsizetype k = 0; k < g->points.size(); ++k) {
                const QPointF a = help::plotPosition(img.size(), g->points[k]);
                QVERIFY2(area.contains(a.toPoint()), qPrintable(QStringLiteral("point %1").arg(k)));
                QCOMPARE(img.pixelColor(a.toPoint()), help::kMarkColour);
                if (k + 1 == g->points.size())
                    break;
                const QPoint mid = ((a + help::plotPosition(img.size(), g->points[k + 1])) / 2).toPoint();
                bool onLine = false; // the line is antialiased: some pixel next to the middle is solid
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy)
                        onLine = onLine || img.pixelColor(mid + QPoint(dx, dy)) == help::kLineColour;
                QVERIFY2(onLine, qPrintable(QStringLiteral("line after point %1").arg(k)));
            }
            // The title is written in the frame above the plot (something not white there).
            bool inked = false;
            for (int x = 0; x < img.width() && !inked; ++x)
                for (int y = 8; y < area.top() - 4 && !inked; ++y)
                    inked = img.pixelColor(x, y) != help::kFrameColour;
            QVERIFY(inked);
        }
        // The marks sit where the measurements say: 0 to 5000 files across, 0 to 120 s up.
        const QSize s(500, 375);
        const QRect a = help::plotArea(s);
        QCOMPARE(help::plotPosition(s, {1000, 25}).x(), a.left() + (a.width() - 1) / 5.0);
        QCOMPARE(help::plotPosition(s, {0, 120}).y(), qreal(a.top()));
        QCOMPARE(help::plotPosition(s, {5000, 0}), QPointF(a.right(), a.bottom()));
    }
};

QTEST_MAIN(TestFrmHelp)
#include "test_frmHelp.moc"
