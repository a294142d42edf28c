// The help window: topic choice, Back, the graph page, and the drawn graphs.
#include "HelpGraphs.h"
#include "HelpTexts.h"
#include "Version.h"
#include "frmHelp.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace vantrel;

namespace {

// What the window must show after a step.
struct Shown {
    int page;        // caption of lblPage
    int titleTopic;  // topic whose title is shown; -1: "Help topic not found"
    int textTopic;   // topic whose text is shown; -1: empty
    int listIndex;   // selected entry of the topic list
    bool graph;      // image1 visible at the text's place
};

struct Step {
    const char* action; // "list N", "back", "about", "dbl", "disp N"
    Shown after;
};

struct Walk {
    const char* name;
    std::vector<Step> steps;
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
    else if (parts[0] == "disp")
        w.disp(parts[1].toInt());
    else
        QFAIL(action.constData());
}

// The graph is on the page: visible and inside the window (not parked).
bool graphShown(const frmHelp& w)
{
    return w.image1->isVisible() && w.rect().intersects(w.image1->geometry());
}

QString describe(const frmHelp& w)
{
    return QStringLiteral("page %1, list %2, title '%3', graph %4")
        .arg(w.lblPage->text())
        .arg(w.cmbSection->currentIndex())
        .arg(w.lblTitle->text())
        .arg(graphShown(w));
}

} // namespace

class TestFrmHelp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnGeneralHelp()
    {
        frmHelp w;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Help"));
        QCOMPARE(w.lblPage->text(), QStringLiteral("0"));
        QCOMPARE(w.cmbSection->currentIndex(), 0);
        QCOMPARE(w.cmbSection->count(), 6);
        QCOMPARE(w.cmbSection->itemText(0), QStringLiteral("General help - Vantrel ") + versionLabel());
        QCOMPARE(w.cmbSection->itemText(5), QStringLiteral("About Vantrel ") + versionLabel());
        QCOMPARE(w.lblTitle->text(), w.cmbSection->itemText(0));
        QVERIFY(w.lblText->text().startsWith(QStringLiteral("Vantrel is a handy tool")));
        QCOMPARE(w.previousTopic(), 0);
        QVERIFY(!graphShown(w));
        // Client area and a few places, 15 twips to the pixel.
        QCOMPARE(w.size(), QSize(601, 482));
        QCOMPARE(w.lblText->geometry(), QRect(24, 80, 553, 337));
        QCOMPARE(w.cmdClose->geometry(), QRect(512, 456, 73, 17));
    }

    void walksThroughTopics()
    {
        const Walk walks[] = {
            {"list then back twice",
             {{"list 2", {2, 2, 2, 2, false}},
              {"back", {0, 0, 0, 0, false}},
              {"back", {0, 0, 0, 0, false}}}},
            {"about, then back stays",
             {{"list 4", {4, 4, 4, 4, false}},
              {"about", {5, 5, 5, 5, false}},
              {"back", {5, 5, 5, 5, false}}}},
            {"graph page and back and forth",
             {{"list 1", {1, 1, 1, 1, false}},
              {"dbl", {7, 1, -1, 1, true}},
              {"back", {1, 1, 1, 1, false}},
              {"back", {7, 1, -1, 1, true}},
              {"dbl", {7, 1, -1, 1, true}}}},
            {"topic without a page keeps the list",
             {{"list 3", {3, 3, 3, 3, false}},
              {"disp 6", {6, -1, -1, 3, false}},
              {"dbl", {6, -1, -1, 3, false}},
              {"back", {3, 3, 3, 3, false}},
              {"disp 99", {99, -1, -1, 3, false}},
              {"disp -1", {-1, -1, -1, 3, false}}}},
            {"graph of option 3 then another option",
             {{"list 3", {3, 3, 3, 3, false}},
              {"dbl", {7, 3, -1, 3, true}},
              {"list 4", {4, 4, 4, 4, false}},
              {"dbl", {4, 4, 4, 4, false}}}},
        };
        for (const Walk& walk : walks) {
            frmHelp w;
            w.show();
            for (const Step& s : walk.steps) {
                const QString where = QStringLiteral("%1, after '%2': %3")
                                          .arg(QLatin1String(walk.name), QLatin1String(s.action), describe(w));
                perform(w, s.action);
                const QString now = where + QStringLiteral(" -> ") + describe(w);
                const QByteArray msg = now.toUtf8();
                QVERIFY2(w.lblPage->text() == QString::number(s.after.page), msg.constData());
                QVERIFY2(w.cmbSection->currentIndex() == s.after.listIndex, msg.constData());
                const QString title = s.after.titleTopic < 0 ? QStringLiteral("Help topic not found")
                                                             : help::topicTitle(s.after.titleTopic);
                QVERIFY2(w.lblTitle->text() == title, msg.constData());
                const QString text = s.after.textTopic < 0 ? QString() : help::topicText(s.after.textTopic);
                QVERIFY2(w.lblText->text() == text, msg.constData());
                QVERIFY2(graphShown(w) == s.after.graph, msg.constData());
                if (s.after.graph)
                    QVERIFY2(w.image1->pos() == w.lblText->pos(), msg.constData());
            }
        }
    }

    void doubleClickShowsGraphOnlyForOptions()
    {
        const struct {
            int topic;
            QSize graph; // empty: the double-click does nothing
        } cases[] = {
            {0, {}}, {1, {500, 369}}, {2, {500, 375}}, {3, {500, 375}}, {4, {}}, {5, {}},
        };
        for (const auto& c : cases) {
            frmHelp w;
            w.show();
            w.cmbSection->setCurrentIndex(c.topic);
            const QString title = w.lblTitle->text();
            const QString text = w.lblText->text();
            QTest::mouseDClick(w.lblText, Qt::LeftButton, {}, QPoint(10, 10));
            const QByteArray msg = QByteArray("topic ") + QByteArray::number(c.topic);
            QCOMPARE(w.lblTitle->text(), title);
            if (c.graph.isEmpty()) {
                QVERIFY2(w.lblPage->text() == QString::number(c.topic), msg.constData());
                QVERIFY2(w.lblText->text() == text, msg.constData());
                QVERIFY2(!graphShown(w), msg.constData());
            } else {
                QVERIFY2(w.lblPage->text() == QStringLiteral("7"), msg.constData());
                QVERIFY2(w.lblText->text().isEmpty(), msg.constData());
                QVERIFY2(graphShown(w), msg.constData());
                QVERIFY2(w.image1->pixmap().size() == c.graph, msg.constData());
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
            const QRect need = w.lblText->fontMetrics().boundingRect(
                QRect(0, 0, w.lblText->width(), 100000), Qt::TextWordWrap, w.lblText->text());
            QVERIFY2(need.height() <= w.lblText->height(), qPrintable(QStringLiteral("topic %1 needs %2 px")
                                                                        .arg(t)
                                                                        .arg(need.height())));
            QVERIFY(w.lblTitle->fontMetrics().horizontalAdvance(w.lblTitle->text()) <= w.lblTitle->width());
        }
        QVERIFY(w.lblLink->fontMetrics().horizontalAdvance(w.lblLink->text()) <= w.lblLink->width());
    }

    void linkOpensProductPageAndCloseUnloads()
    {
        QPointer<frmHelp> w = new frmHelp;
        w->show();
        QList<QUrl> opened;
        w->openUrl = [&opened](const QUrl& u) { opened.append(u); };
        QTest::mouseClick(w->lblLink, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl(help::kProductPage)});
        QCOMPARE(QUrl(help::kProductPage).host(), QStringLiteral("www.example.org"));

        QTest::mouseClick(w->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(w.isNull());
    }

    void graphsAreDrawn()
    {
        const help::Graph* graphs[] = {&help::optionOneGraph(), &help::optionTwoGraph()};
        const QSize sizes[] = {{500, 369}, {500, 375}};
        for (int i = 0; i < 2; ++i) {
            const help::Graph& g = *graphs[i];
            const QImage img = help::drawGraph(g);
            QCOMPARE(img.size(), sizes[i]);
            const QRect area = help::plotArea(img.size());
            QVERIFY(area.width() > 350 && area.height() > 250);
            // White frame, dark blue plot area (a corner far from the line).
            QCOMPARE(img.pixelColor(1, 1), help::kFrameColour);
            QCOMPARE(img.pixelColor(img.width() - 2, img.height() - 2), help::kFrameColour);
            QCOMPARE(img.pixelColor(area.left() + 3, area.top() + 3), help::kPlotColour);
            QCOMPARE(img.pixelColor(area.right() - 3, area.top() + 3), help::kPlotColour);
            // Every measured point is marked, and the line joins neighbours.
            for (qsizetype k = 0; k < g.points.size(); ++k) {
                const QPoint at = help::plotPosition(img.size(), g.points[k]).toPoint();
                QVERIFY2(area.contains(at), qPrintable(QStringLiteral("point %1").arg(k)));
                QCOMPARE(img.pixelColor(at), help::kMarkColour);
                if (k + 1 < g.points.size()) {
                    const QPointF a = help::plotPosition(img.size(), g.points[k]);
                    const QPointF b = help::plotPosition(img.size(), g.points[k + 1]);
                    const QPoint mid = ((a + b) / 2).toPoint();
                    bool onLine = false; // the line is antialiased: some pixel next to the middle is solid
                    for (int dx = -1; dx <= 1; ++dx)
                        for (int dy = -1; dy <= 1; ++dy)
                            onLine = onLine || img.pixelColor(mid + QPoint(dx, dy)) == help::kLineColour;
                    QVERIFY2(onLine, qPrintable(QStringLiteral("line after point %1").arg(k)));
                }
            }
            // The title is written in the frame above the plot (something not white there).
            bool inked = false;
            for (int x = 0; x < img.width() && !inked; ++x)
                for (int y = 8; y < area.top() - 4 && !inked; ++y)
                    inked = img.pixelColor(x, y) != help::kFrameColour;
            QVERIFY(inked);
        }
        // The marks sit where the measurements say: 25 s for 1000 files in the
        // first graph, 20 s in the second.
        const QSize s1(500, 369), s2(500, 375);
        const QRect a1 = help::plotArea(s1), a2 = help::plotArea(s2);
        QCOMPARE(help::plotPosition(s1, {1000, 25}).x(), a1.left() + (a1.width() - 1) / 5.0);
        QCOMPARE(help::plotPosition(s2, {0, 120}).y(), qreal(a2.top()));
        QCOMPARE(help::plotPosition(s2, {5000, 0}), QPointF(a2.right(), a2.bottom()));
    }
};

QTEST_MAIN(TestFrmHelp)
#include "test_frmHelp.moc"
