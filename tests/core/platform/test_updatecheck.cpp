// The update check against a small HTTP server on 127.0.0.1 run by the test.
#include "LockedFolder.h"
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
// (a broken transfer), never answer (a hanging server) or redirect.
struct Reply {
    int status = 200;
    QByteArray body;
    qint64 announced = -1; // Content-Length to claim; -1: the body's size
    bool hang = false;
    QByteArray location;
};
Reply redirect(const QString& to)
{
    return {302, {}, -1, false, to.toLatin1()};
}

class HttpServer : public QObject {
  public:
    explicit HttpServer(const QHostAddress& on = QHostAddress::LocalHost)
    {
        server_.listen(on, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
            }
        });
    }
    QString base(const QString& host = QStringLiteral("127.0.0.1")) const
    {
        return QStringLiteral("http://%1:%2").arg(host).arg(server_.serverPort());
    }
    void set(const QString& path, const Reply& r) { replies_[path] = r; }
    const QStringList& requests() const { return requests_; }

  private:
    void serve(QTcpSocket* s)
    {
        QByteArray& buf = pending_[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n")) return;
        const QString path = QString::fromLatin1(buf.left(buf.indexOf("\r\n")).split(' ').value(1));
        requests_.append(path);
        const Reply r = replies_.value(path, Reply{404, "not here"});
        if (r.hang) return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\nConnection: close\r\n";
        head +=
            "Content-Length: " + QByteArray::number(r.announced >= 0 ? r.announced : r.body.size()) + "\r\n";
        if (!r.location.isEmpty()) head += "Location: " + r.location + "\r\n";
        s->write(head + "\r\n" + r.body);
        s->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QString, Reply> replies_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QStringList requests_;
};

const QString kVersionPath = QStringLiteral("/app/Vantrel/Vantrel2008_ver.txt");
const QString kProgramPath = QStringLiteral("/app/Vantrel/Vantrel41.exe");
const Reply kNewer{200, "4.1.5\r\n"};

class UpdateCheckTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_updatecheck";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }
    void SetUp() override { ASSERT_TRUE(test::writeFile(runningProgram, "running")); }

    // Runs one check to its end; returns the status-line texts in order.
    QStringList runCheck(const QString& base)
    {
        UpdateCheck::Setup s;
        s.programFolder = programFolder;
        s.programFile = runningProgram;
        s.dataFolder = folder;
        s.serverBase = base;
        s.own = Version{4, 1, 4};
        s.versionTimeoutMs = 500;
        s.programStallMs = 2000;
        s.startProgram = [this](const QString& p) {
            started.append(p);
            return startSucceeds;
        };
        UpdateCheck check(prompter, s);
        QSignalSpy status(&check, &UpdateCheck::statusChanged);
        QSignalSpy done(&check, &UpdateCheck::finished);
        QSignalSpy quit(&check, &UpdateCheck::quitRequested);
        check.run();
        EXPECT_TRUE(done.wait(10000));
        quitRequested = !quit.isEmpty();
        outcome = done.isEmpty() ? UpdateCheck::Outcome::Failed
                                 : done.first().first().value<UpdateCheck::Outcome>();
        QStringList texts;
        for (const QList<QVariant>& args : status)
            texts.append(args.first().toString());
        return texts;
    }
    bool exists(const QString& name) const { return QFileInfo::exists(folder + QLatin1Char('/') + name); }

    QTemporaryDir dir;
    const QString folder = dir.path();
    QString programFolder = folder; // downloads and the marker go to folder
    QString runningProgram = folder + QStringLiteral("/vantrel");
    HttpServer server;
    ScriptedPrompter prompter{Answer::No};
    QStringList started;
    bool startSucceeds = true;
    bool quitRequested = false;
    UpdateCheck::Outcome outcome = UpdateCheck::Outcome::Failed;
};

TEST(UpdateAddress, OnlyHttpsOrLoopbackAndTheEnvironmentOverrides)
{
    const struct {
        const char* url;
        bool trusted;
    } cases[] = {
        {"https://update.example.org/app", true},
        {"http://[::1]:9/x", true},
        {"http://update.example.org/app", false},
        {"http://127.0.0.1.example.org/x", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isTrustedAddress(QUrl(QString::fromLatin1(c.url))), c.trusted) << c.url;
    qputenv("VANTREL_UPDATE_BASE", "http://127.0.0.1:9999//");
    EXPECT_EQ(updateServerBase(), QStringLiteral("http://127.0.0.1:9999"));
    qunsetenv("VANTREL_UPDATE_BASE");
}

// The version file, or no server to give it.
TEST_F(UpdateCheckTest, VersionFileDecidesWhetherToAsk)
{
    QTcpServer probe; // a port that was just free: nothing listens there
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const QString closed = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
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
        {"too large", {200, QByteArray(70000, '\n') + "9.9.9"}, false, true, here},
        {"cut short", {200, "4.1.5", 200}, false, false, here},
        {"hangs", Reply{0, {}, -1, true}, false, false, here},
        {"nothing listens", kNewer, false, false, closed},
        {"file address", kNewer, false, false, QStringLiteral("file://") + folder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.set(kVersionPath, c.reply);
        prompter.clear();
        EXPECT_EQ(runCheck(c.base), QStringList{c.reached ? updatetext::NoUpdates : updatetext::Unreachable});
        EXPECT_EQ(outcome == UpdateCheck::Outcome::Unreachable, !c.reached);
        ASSERT_EQ(prompter.prompts().size(), c.asks ? 1 : 0);
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral("vantrel")); // the running program
        EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
        EXPECT_TRUE(started.isEmpty());
        EXPECT_FALSE(quitRequested);
    }
}

// Yes fetches and starts the new program. Installed where the user cannot write,
// the new program and the marker go to the data folder, the program folder stays as it was.
TEST_F(UpdateCheckTest, YesFetchesStartsAndEnds)
{
    const QByteArray program = "#!/bin/sh\necho new\n";
    server.set(kVersionPath, kNewer);
    server.set(kProgramPath, {200, program});
    QTemporaryDir installed;
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly);
        started.clear();
        if (readOnly) {
            programFolder = installed.path();
            runningProgram = programFolder + QStringLiteral("/vantrel");
            ASSERT_TRUE(test::writeFile(runningProgram, "running"));
            for (const char* left : {"/Vantrel415.exe", "/tmp_fn.dat"})
                QFile::remove(folder + QLatin1String(left));
        }
        test::LockedFolder lock(readOnly ? programFolder : QString());
        if (readOnly && !lock.locked()) GTEST_SKIP() << "this medium cannot lock a folder";
        prompter.queue(Answer::Yes);
        EXPECT_EQ(runCheck(server.base()), QStringList{updatetext::Downloading});
        EXPECT_TRUE(prompter.prompts().last().text.contains(QStringLiteral("version 4.1.5")));
        EXPECT_EQ(outcome, UpdateCheck::Outcome::Updating);
        EXPECT_TRUE(quitRequested);
        const QString saved = folder + QStringLiteral("/Vantrel415.exe");
        EXPECT_EQ(started, QStringList{saved});
        EXPECT_EQ(test::readFile(saved), program);
        EXPECT_TRUE(QFileInfo(saved).permissions() & QFileDevice::ExeOwner);
        EXPECT_EQ(test::readFile(folder + QStringLiteral("/tmp_fn.dat")), runningProgram.toUtf8() + "\n");
        EXPECT_FALSE(exists("Vantrel2008_ver.txt"));
        EXPECT_EQ(QDir(programFolder).entryList(QDir::Files).contains(QStringLiteral("Vantrel415.exe")),
                  !readOnly);
    }
}

// A program cut short is never started; one that cannot be started fails the update.
TEST_F(UpdateCheckTest, ProgramStartedOnlyWhenComplete)
{
    server.set(kVersionPath, kNewer);
    for (const bool cutShort : {true, false}) {
        SCOPED_TRACE(cutShort);
        started.clear();
        startSucceeds = cutShort;
        server.set(kProgramPath, {200, "#!/bin/sh\n", cutShort ? 5000 : -1});
        prompter.queue(Answer::Yes);
        EXPECT_EQ(runCheck(server.base()), (QStringList{updatetext::Downloading, updatetext::Failed}));
        EXPECT_EQ(outcome, UpdateCheck::Outcome::Failed);
        EXPECT_FALSE(quitRequested);
        EXPECT_EQ(started.size(), cutShort ? 0 : 1);
        EXPECT_FALSE(exists("tmp_fn.dat"));
        EXPECT_TRUE(!cutShort || !exists("Vantrel415.exe")); // nothing half-written under the program's name
        QFile::remove(folder + QStringLiteral("/Vantrel415.exe"));
    }
}

TEST_F(UpdateCheckTest, PlainHttpOffThisMachineIsNeverContacted)
{
    QString host; // an address of this machine that is not a loopback address
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) host = a.toString();
    if (host.isEmpty()) GTEST_SKIP() << "no network address besides loopback";
    HttpServer outward(QHostAddress::AnyIPv4);
    outward.set(kVersionPath, kNewer);
    outward.set(kProgramPath, {200, "#!/bin/sh\n"});

    // As the configured base...
    EXPECT_EQ(runCheck(outward.base(host)), QStringList{updatetext::Unreachable});
    // ...and as the target of a redirect, for the version file and for the program.
    server.set(kVersionPath, redirect(outward.base(host) + kVersionPath));
    EXPECT_EQ(runCheck(server.base()), QStringList{updatetext::Unreachable});
    server.set(kVersionPath, kNewer);
    server.set(kProgramPath, redirect(outward.base(host) + kProgramPath));
    prompter.queue(Answer::Yes);
    EXPECT_EQ(runCheck(server.base()), (QStringList{updatetext::Downloading, updatetext::Failed}));
    EXPECT_TRUE(started.isEmpty());
    EXPECT_TRUE(outward.requests().isEmpty()) << outward.requests().join(u' ').toStdString();
}

TEST_F(UpdateCheckTest, MarkerCleanup)
{
    QTemporaryDir other;
    const QString foreign = other.path() + QStringLiteral("/Vantrel400.exe");
    const QByteArray old = (folder + QStringLiteral("/Vantrel413.exe")).toUtf8();
    const QByteArray older = (folder + QStringLiteral("/Vantrel412.exe")).toUtf8();
    const struct {
        const char* name;
        QByteArray marker;
        QStringList kept;    // files of the folder that must survive
        QStringList deleted; // files of the folder that must be gone
    } cases[] = {
        {"last line deleted", older + "\r\n" + old + "\r\n", {"Vantrel412.exe"}, {"Vantrel413.exe"}},
        {"names the running program", runningProgram.toUtf8() + "\n", {"vantrel", "Vantrel413.exe"}, {}},
        {"names a file elsewhere", foreign.toUtf8() + "\n", {"Vantrel413.exe"}, {}},
        {"names the folder itself", folder.toUtf8() + "\n", {"Vantrel413.exe"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* n : {"Vantrel412.exe", "Vantrel413.exe"})
            ASSERT_TRUE(test::writeFile(folder + QLatin1Char('/') + QLatin1String(n), "old"));
        ASSERT_TRUE(test::writeFile(foreign, "other"));
        ASSERT_TRUE(test::writeFile(folder + QStringLiteral("/tmp_fn.dat"), c.marker));

        // The clean-up happens before the server is asked, even when it cannot be reached.
        runCheck(QStringLiteral("http://update.example.org"));
        EXPECT_FALSE(exists("tmp_fn.dat"));
        for (const QString& k : c.kept)
            EXPECT_TRUE(exists(k)) << k.toStdString();
        for (const QString& d : c.deleted)
            EXPECT_FALSE(exists(d)) << d.toStdString();
        EXPECT_TRUE(QFileInfo::exists(foreign));
        EXPECT_TRUE(QFileInfo(folder).isDir());
    }
}

} // namespace
