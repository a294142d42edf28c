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

// Answers every request with the same version file.
class VersionServer : public QObject {
public:
    explicit VersionServer(QByteArray body) : body_(std::move(body))
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    if (!s->readAll().contains("\r\n\r\n"))
                        return;
                    ++requests;
                    s->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: "
                             + QByteArray::number(body_.size()) + "\r\n\r\n" + body_);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QByteArray base() const { return "http://127.0.0.1:" + QByteArray::number(server_.serverPort()); }
    int requests = 0;

private:
    QTcpServer server_;
    QByteArray body_;
};

QByteArray closedPortBase()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return "http://127.0.0.1:" + QByteArray::number(probe.serverPort());
}

frmHelp* openHelp(const frmMain& m)
{
    return qobject_cast<frmHelp*>(m.frmHelpWindow.data());
}

} // namespace

class TestFrmMainHelp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qputenv("VANTREL_UPDATE_BASE", closedPortBase()); }

    void helpControlsShowTheirTopics()
    {
        frmMain m;
        m.show();
        RecordingOpener opener;
        m.setOpener(&opener);
        QVERIFY(!openHelp(m));

        // 0: the "Help" button (general help), 1 to 4: the "info" labels (their topics).
        frmHelp* first = nullptr;
        for (int label : {0, 3, 1, 4, 0}) {
            QTest::mouseClick(label ? static_cast<QWidget*>(m.lblHelp[label]) : m.cmdAbout, Qt::LeftButton);
            frmHelp* help = openHelp(m);
            QVERIFY(help && help->isVisible());
            if (!first)
                first = help;
            QCOMPARE(help, first); // one window while it is open
            QCOMPARE(help->lblPage->text(), QString::number(label));
            QCOMPARE(help->lblTitle->text(), help::topicTitle(label));
        }

        // The link goes through the main window's desktop seam.
        QTest::mouseClick(first->lblLink, Qt::LeftButton);
        QCOMPARE(opener.opened, QStringList{help::kProductPage});

        // Closed, it is gone; the next click makes a fresh one.
        QTest::mouseClick(first->cmdClose, Qt::LeftButton);
        QTRY_VERIFY(!openHelp(m));
        QTest::mouseClick(m.lblHelp[2], Qt::LeftButton);
        QVERIFY(openHelp(m));
        QCOMPARE(openHelp(m)->lblPage->text(), QStringLiteral("2"));
        QVERIFY(openHelp(m)->isVisible());
        m.setOpener(nullptr);
    }

    void updateCheckRunsOnceAfterStart()
    {
        struct Case {
            const char* name;
            QByteArray versionFile; // empty: no server at all
            int questions;
            QString status;
        };
        const Case cases[] = {
            {"unreachable", {}, 0, QStringLiteral("Could not connect to server")},
            {"newer, answered No", "9.9.9\r\n", 1, QStringLiteral("No updates available")},
        };
        for (const Case& c : cases) {
            VersionServer server(c.versionFile);
            if (!c.versionFile.isEmpty())
                qputenv("VANTREL_UPDATE_BASE", server.base());
            ScriptedPrompter prompter(Answer::No);
            frmMain m;
            m.setPrompter(&prompter);
            QCOMPARE(m.lblPath->text(), QStringLiteral("Checking for updates, please wait..."));
            QTRY_COMPARE_WITH_TIMEOUT(m.lblPath->text(), c.status, 15000);
            QVERIFY2(!m.timUpdate->isActive(), c.name);
            QCOMPARE(prompter.prompts().size(), c.questions);
            if (c.questions)
                QCOMPARE(prompter.prompts().first().title, QStringLiteral("Update available"));
            QTest::qWait(700); // the check does not come back
            QCOMPARE(server.requests, c.versionFile.isEmpty() ? 0 : 1);
            m.setPrompter(nullptr);
        }
    }
};

QTEST_MAIN(TestFrmMainHelp)
#include "test_frmMain_help.moc"
