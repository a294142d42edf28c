// The help window (topic choice, Back, the graph page), the main window's
// help controls and its update check at start.
#include "HelpTexts.h"
#include "frmHelp.h"
#include "frmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace vantrel;

namespace {

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

} // namespace

class TestFrmHelp : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void walksThroughTopics()
    {
        // About, then Back stays; the graph page back and forth; a topic without a page keeps the list.
        const struct {
            const char* action; // "list N", "back", "about", "dbl", "disp N"
            int page;           // caption of lblPage
            int topic;          // whose title is shown (and text, without a graph); -1: not found
            int listIndex;      // selected entry of the topic list
            int graph;          // height of the graph shown at the text's place; 0: none
        } steps[] = {
            {"list 4", 4, 4, 4, 0}, {"dbl", 4, 4, 4, 0},   {"about", 5, 5, 5, 0},     {"back", 5, 5, 5, 0},
            {"list 1", 1, 1, 1, 0}, {"dbl", 7, 1, 1, 369}, {"back", 1, 1, 1, 0},      {"back", 7, 1, 1, 369},
            {"list 2", 2, 2, 2, 0}, {"dbl", 7, 2, 2, 375}, {"list 3", 3, 3, 3, 0},    {"disp 6", 6, -1, 3, 0},
            {"dbl", 6, -1, 3, 0},   {"back", 3, 3, 3, 0},  {"disp 99", 99, -1, 3, 0},
        };
        const auto line = [](const char* action, int page, int list, int graph, const QString& title) {
            return QStringLiteral("%1: page %2, list %3, graph %4, %5")
                .arg(QLatin1String(action))
                .arg(page)
                .arg(list)
                .arg(graph)
                .arg(title);
        };
        frmHelp w;
        w.show();
        for (const auto& s : steps) {
            perform(w, s.action);
            // The graph is on the page: visible, inside the window (not parked), at the text's place.
            const bool graph = w.image1->isVisible() && w.rect().intersects(w.image1->geometry());
            QVERIFY(!graph ||
                    (w.image1->pos() == w.lblText->pos() && w.image1->geometry().bottom() < w.cmdBack->y()));
            const QString title =
                s.topic < 0 ? QStringLiteral("Help topic not found") : help::topicTitle(s.topic);
            QCOMPARE(line(s.action, w.lblPage->text().toInt(), w.cmbSection->currentIndex(),
                          graph ? w.image1->pixmap().height() : 0, w.lblTitle->text()),
                     line(s.action, s.page, s.listIndex, s.graph, title));
            const bool text = s.topic >= 0 && !s.graph;
            QCOMPARE(w.lblText->text(), text ? help::topicText(s.topic) : QString());
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

    void helpControlsShowTheirTopics()
    {
        frmMain m;
        m.show();
        RecordingOpener opener;
        m.setOpener(&opener);
        // 0: the "Help" button (general help), 1 to 4: the "info" labels (their topics).
        frmHelp* first = nullptr;
        for (int label : {0, 3, 1, 4}) {
            QTest::mouseClick(label ? static_cast<QWidget*>(m.lblHelp[label]) : m.cmdAbout, Qt::LeftButton);
            auto* help = qobject_cast<frmHelp*>(m.frmHelpWindow.data());
            QVERIFY(help && help->isVisible());
            first = first ? first : help;
            QCOMPARE(help, first); // one window while it is open
            QCOMPARE(help->lblTitle->text(), help::topicTitle(label));
        }
        // The link goes through the main window's desktop seam.
        QTest::mouseClick(first->lblLink, Qt::LeftButton);
        QCOMPARE(opener.opened, QStringList{help::kProductPage});
        QTest::mouseClick(first->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(!m.frmHelpWindow);
        m.setOpener(nullptr);
    }

    // A server that answers once with a newer version: one question, status
    // line updated, and the check does not come back.
    void updateCheckRunsOnceAfterStart()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        int requests = 0;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket* s = server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [s, &requests] {
                if (!s->readAll().contains("\r\n\r\n")) return;
                ++requests;
                s->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 7\r\n\r\n9.9.9\r\n");
                s->disconnectFromHost();
            });
        });
        qputenv("VANTREL_UPDATE_BASE", "http://127.0.0.1:" + QByteArray::number(server.serverPort()));
        ScriptedPrompter prompter(Answer::No);
        frmMain m;
        m.setPrompter(&prompter);
        QCOMPARE(m.lblPath->text(), QStringLiteral("Checking for updates, please wait..."));
        QTRY_COMPARE_WITH_TIMEOUT(m.lblPath->text(), QStringLiteral("No updates available"), 15000);
        QCOMPARE(prompter.prompts().size(), 1);
        QTest::qWait(700);
        QCOMPARE(requests, 1);
        m.setPrompter(nullptr);
        qputenv("VANTREL_UPDATE_BASE", "http://update.invalid");
    }
};

QTEST_MAIN(TestFrmHelp)
#include "test_frmHelp.moc"
