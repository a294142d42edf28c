// The main window's help controls and its update check at start.
#include "HelpTexts.h"
#include "frmHelp.h"
#include "frmMain.h"

#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace vantrel;

namespace {

frmHelp* openHelp(const frmMain& m)
{
    return qobject_cast<frmHelp*>(m.frmHelpWindow.data());
}

} // namespace

class TestFrmMainHelp : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void helpControlsShowTheirTopics()
    {
        qputenv("VANTREL_UPDATE_BASE", "http://update.invalid");
        frmMain m;
        m.show();
        RecordingOpener opener;
        m.setOpener(&opener);
        // 0: the "Help" button (general help), 1 to 4: the "info" labels (their topics).
        frmHelp* first = nullptr;
        for (int label : {0, 3, 1, 4}) {
            QTest::mouseClick(label ? static_cast<QWidget*>(m.lblHelp[label]) : m.cmdAbout, Qt::LeftButton);
            frmHelp* help = openHelp(m);
            QVERIFY(help && help->isVisible());
            first = first ? first : help;
            QCOMPARE(help, first); // one window while it is open
            QCOMPARE(help->lblTitle->text(), help::topicTitle(label));
        }
        // The link goes through the main window's desktop seam.
        QTest::mouseClick(first->lblLink, Qt::LeftButton);
        QCOMPARE(opener.opened, QStringList{help::kProductPage});
        QTest::mouseClick(first->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(!openHelp(m));
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
        QCOMPARE(prompter.prompts().first().title, QStringLiteral("Update available"));
        QTest::qWait(700);
        QCOMPARE(requests, 1);
        m.setPrompter(nullptr);
    }
};

QTEST_MAIN(TestFrmMainHelp)
#include "test_frmMain_help.moc"
