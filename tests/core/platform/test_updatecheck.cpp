// The update check against a small HTTP server on 127.0.0.1 run by the test.
#include "TestFiles.h"
#include "platform/UpdateCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QNetworkInterface>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

// One canned answer per path. A reply may announce more bytes than it sends
// (a broken transfer), never answer (status 0: a hanging server) or redirect.
struct Reply {
    int status = 200;
    QByteArray body;
    qint64 announced = -1; // Content-Length to claim; -1: the body's size
    QByteArray location;
};
Reply redirect(const QString& to)
{
    return {302, {}, -1, to.toLatin1()};
}

class HttpServer : public QObject {
  public:
    HttpServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
            }
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    void set(const QString& path, const Reply& r) { replies_[path] = r; }

  private:
    void serve(QTcpSocket* s)
    {
        if (!s->peek(s->bytesAvailable()).contains("\r\n\r\n")) return; // not the whole request yet
        const QByteArray buf = s->readAll();
        const QString path = QString::fromLatin1(buf.left(buf.indexOf("\r\n")).split(' ').value(1));
        const Reply r = replies_.value(path, Reply{404, "not here"});
        if (r.status == 0) return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\nConnection: close\r\n";
        head +=
            "Content-Length: " + QByteArray::number(r.announced >= 0 ? r.announced : r.body.size()) + "\r\n";
        if (!r.location.isEmpty()) head += "Location: " + r.location + "\r\n";
        s->write(head + "\r\n" + r.body);
        s->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QString, Reply> replies_;
};

const QString kVersionPath = QStringLiteral("/app/Vantrel/Vantrel2008_ver.txt");
const QString kProgramPath = QStringLiteral("/app/Vantrel/Vantrel41.exe");
const Reply kNewer{200, "4.1.5\r\n"};
const Reply kHangs{0};

// An address of this machine that is not a loopback address (plain http there is
// refused before connecting); a documentation address when there is none.
QString outwardHost()
{
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) return a.toString();
    return QStringLiteral("192.0.2.1");
}

class UpdateCheckTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_updatecheck";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    void SetUp() override
    {
        ASSERT_TRUE(test::writeFile(runningProgram, "running"));
        ASSERT_TRUE(outward.listen(QHostAddress::AnyIPv4, 0));
        offMachine = QStringLiteral("http://%1:%2").arg(outwardHost()).arg(outward.serverPort());
    }

    // Runs one check to its end; returns the status-line texts in order.
    QStringList runCheck(const QString& base)
    {
        UpdateCheck check(prompter, {.programFolder = programFolder,
                                     .programFile = runningProgram,
                                     .dataFolder = folder,
                                     .serverBase = base,
                                     .own = Version{4, 1, 4},
                                     .versionTimeoutMs = 500,
                                     .programStallMs = 2000,
                                     .startProgram = [this](const QString& p) {
                                         started.append(p);
                                         return startSucceeds;
                                     }});
        QSignalSpy status(&check, &UpdateCheck::statusChanged);
        QSignalSpy done(&check, &UpdateCheck::finished);
        QSignalSpy quit(&check, &UpdateCheck::quitRequested);
        check.run();
        EXPECT_TRUE(done.wait(10000));
        quitRequested = !quit.isEmpty();
        QStringList texts;
        for (const QList<QVariant>& args : status)
            texts.append(args.first().toString());
        return texts;
    }

    QTemporaryDir dir;
    const QString folder = dir.path();
    QString programFolder = folder; // downloads and the marker go to folder
    QString runningProgram = folder + QStringLiteral("/vantrel");
    HttpServer server;
    QTcpServer outward; // must never be contacted
    QString offMachine;
    ScriptedPrompter prompter{Answer::No};
    QStringList started;
    bool startSucceeds = true;
    bool quitRequested = false;
};

TEST(UpdateAddress, OnlyHttpsOrLoopbackIsTrusted)
{
    EXPECT_TRUE(isTrustedAddress(QUrl(u"https://update.example.org/app"_qs)));
    EXPECT_TRUE(isTrustedAddress(QUrl(u"http://[::1]:9/x"_qs)));
    EXPECT_FALSE(isTrustedAddress(QUrl(u"http://update.example.org/app"_qs)));
    EXPECT_FALSE(isTrustedAddress(QUrl(u"http://127.0.0.1.example.org/x"_qs)));
}

// The version file, or no server to give it.
TEST_F(UpdateCheckTest, VersionFileDecidesWhetherToAsk)
{
    const QString here = server.base();
    server.set(QStringLiteral("/v.txt"), {200, "4.1.5\n"});
    const struct {
        const char* name;
        Reply reply;
        bool asks, reached;
        QString base;
    } cases[] = {
        {"newer after a BOM, two-digit minor", {200, "\357\273\2774.10.5\n"}, true, true, here},
        {"redirect on this machine", redirect(here + "/v.txt"), true, true, here},
        {"equal", {200, "4.1.4\r\n"}, false, true, here},
        {"cut short", {200, "4.1.5", 200}, false, false, here},
        {"hangs", kHangs, false, false, here},
        {"plain http off this machine", kNewer, false, false, offMachine},
        {"redirect off this machine", redirect(offMachine + kVersionPath), false, false, here},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.set(kVersionPath, c.reply);
        prompter.clear();
        EXPECT_EQ(runCheck(c.base), QStringList{c.reached ? updatetext::NoUpdates : updatetext::Unreachable});
        ASSERT_EQ(prompter.prompts().size(), c.asks ? 1 : 0);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("vantrel")});
        EXPECT_TRUE(started.isEmpty());
    }
    EXPECT_FALSE(outward.hasPendingConnections());
}

// Yes fetches the new program into the data folder (the program folder may be
// read-only and is never written), leaves the marker and starts the program.
// A program cut short or stalled is never kept or started.
TEST_F(UpdateCheckTest, YesStartsOnlyACompleteProgram)
{
    const QByteArray program = "#!/bin/sh\necho new\n";
    QTemporaryDir installed;
    programFolder = installed.path();
    runningProgram = programFolder + QStringLiteral("/vantrel");
    ASSERT_TRUE(test::writeFile(runningProgram, "running"));
    server.set(kVersionPath, kNewer);
    const QString saved = folder + QStringLiteral("/Vantrel415.exe");
    const struct {
        const char* name;
        Reply reply;
        bool startSucceeds, complete;
    } cases[] = {
        {"complete", {200, program}, true, true},
        {"cannot be started", {200, program}, false, true},
        {"cut short", {200, program, 5000}, true, false},
        {"stalls", kHangs, true, false},
        {"redirect off this machine", redirect(offMachine + kProgramPath), true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        started.clear();
        startSucceeds = c.startSucceeds;
        server.set(kProgramPath, c.reply);
        prompter.queue(Answer::Yes);
        const bool updating = c.complete && c.startSucceeds;
        EXPECT_EQ(runCheck(server.base()).join(u'|'),
                  updatetext::Downloading + (updating ? QString() : "|" + updatetext::Failed));
        EXPECT_EQ(quitRequested, updating);
        EXPECT_EQ(started, c.complete ? QStringList{saved} : QStringList{});
        EXPECT_EQ(test::readFile(saved), c.complete ? program : QByteArray());
        EXPECT_EQ(bool(QFileInfo(saved).permissions() & QFileDevice::ExeOwner), c.complete);
        EXPECT_EQ(test::readFile(folder + QStringLiteral("/tmp_fn.dat")),
                  updating ? runningProgram.toUtf8() + "\n" : QByteArray());
        EXPECT_EQ(QDir(programFolder).entryList(QDir::Files), QStringList{QStringLiteral("vantrel")});
        for (const char* f : {"/Vantrel415.exe", "/tmp_fn.dat"})
            QFile::remove(folder + QLatin1String(f));
    }
    EXPECT_TRUE(prompter.prompts().last().text.contains(QStringLiteral("version 4.1.5")));
    EXPECT_FALSE(outward.hasPendingConnections());
}

// The marker names an old program to delete; the running program and a file
// elsewhere are never deleted. The clean-up comes before the server
// is asked, even when it cannot be reached.
TEST_F(UpdateCheckTest, MarkerDeletesOnlyAnOldProgramOfTheFolder)
{
    QTemporaryDir other;
    const QString foreign = other.path() + QStringLiteral("/Vantrel400.exe");
    const QString old = folder + QStringLiteral("/Vantrel413.exe");
    for (const QString& named : {old, runningProgram, foreign}) {
        SCOPED_TRACE(named.toStdString());
        for (const QString& f : {old, foreign})
            ASSERT_TRUE(test::writeFile(f, "old"));
        ASSERT_TRUE(test::writeFile(folder + QStringLiteral("/tmp_fn.dat"), named.toUtf8() + "\r\n"));
        runCheck(QStringLiteral("http://update.example.org"));
        EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/tmp_fn.dat")));
        EXPECT_EQ(QFileInfo::exists(old), named != old);
        for (const QString& kept : {runningProgram, foreign})
            EXPECT_TRUE(QFileInfo::exists(kept)) << kept.toStdString();
    }
}

} // namespace
