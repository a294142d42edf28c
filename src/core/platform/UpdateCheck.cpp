#include "platform/UpdateCheck.h"

#include "platform/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace vantrel {

namespace {

constexpr qint64 kVersionFileLimit = 64 * 1024;
constexpr qint64 kProgramFileLimit = 512LL * 1024 * 1024;
constexpr int kMaxVersionDigits = 9; // keeps every number within an int

QString path(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name;
}

QString versionFileName(const QString& title)
{
    return title + QStringLiteral("2008_ver.txt");
}

bool isRegularFile(const QString& file)
{
    const QFileInfo info(file);
    return info.exists() && info.isFile() && !info.isSymLink();
}

// Same file on disk? Compares the resolved paths, so "./x" and "x" match.
bool samePath(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool startDetached(const QString& program)
{
    return QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

} // namespace

QString lastLine(const QByteArray& content)
{
    QByteArray text = content;
    if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
    // One final line break ends the last line rather than opening a new one.
    if (text.endsWith("\r\n"))
        text.chop(2);
    else if (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            start = i + 2;
            ++i;
        } else if (text[i] == '\r' || text[i] == '\n') {
            start = i + 1;
        }
    }
    return QString::fromUtf8(text.mid(start));
}

std::optional<OnlineVersion> parseVersionFile(const QByteArray& content)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]+\\.[0-9]+\\.[0-9]+$"));
    const QString line = lastLine(content);
    if (!form.match(line).hasMatch()) return std::nullopt;
    QString digits = line;
    digits.remove(QLatin1Char('.'));
    if (digits.size() > kMaxVersionDigits) return std::nullopt;

    OnlineVersion v;
    v.line = line;
    v.version = digits.toInt();
    // Major and minor: what stands before the first "." found from the fourth
    // character on ("4.1.5" -> "4.1" -> 41). A line of the accepted form always
    // has its second "." there or later.
    const qsizetype cut = line.indexOf(QLatin1Char('.'), 3);
    if (cut < 0) return std::nullopt;
    QString head = line.left(cut);
    head.remove(QLatin1Char('.'));
    v.majorMinor = head.toInt();
    return v;
}

int ownVersionNumber(const Version& v)
{
    return QStringLiteral("%1%2%3").arg(v.major).arg(v.minor).arg(v.revision).toInt();
}

QString updateServerBase()
{
    QString base = qEnvironmentVariable("VANTREL_UPDATE_BASE");
    if (base.isEmpty()) base = QStringLiteral(VANTREL_DEFAULT_UPDATE_BASE);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

void removeUpdateLeftovers(const QString& folder, const QString& runningProgram)
{
    const QString markerPath = path(folder, kUpdateMarker);
    if (!isRegularFile(markerPath)) return;
    QFile marker(markerPath);
    if (marker.open(QIODevice::ReadOnly)) {
        const QString old = lastLine(marker.readAll());
        marker.close();
        const QFileInfo info(old);
        const bool inFolder = !old.isEmpty() && info.isAbsolute() && samePath(info.absolutePath(), folder);
        if (inFolder && isRegularFile(old) && !samePath(old, runningProgram)) QFile::remove(old);
    }
    QFile::remove(markerPath);
}

UpdateCheck::Setup UpdateCheck::Setup::forThisProgram()
{
    Setup s;
    s.programFolder = QCoreApplication::applicationDirPath();
    s.programFile = QCoreApplication::applicationFilePath();
    s.dataFolder = userDataFolder();
    s.serverBase = updateServerBase();
    return s;
}

UpdateCheck::UpdateCheck(Prompter& prompter, Setup setup, QObject* parent)
    : QObject(parent), prompter_(prompter), setup_(std::move(setup)),
      download_(std::make_unique<Download>(network_))
{
    while (setup_.serverBase.endsWith(QLatin1Char('/')))
        setup_.serverBase.chop(1);
    if (!setup_.startProgram) setup_.startProgram = startDetached;
    if (setup_.dataFolder.isEmpty()) setup_.dataFolder = userDataFolder();
}

UpdateCheck::~UpdateCheck() = default;

QString UpdateCheck::updateBase() const
{
    return setup_.serverBase + QStringLiteral("/app/") + setup_.title;
}

void UpdateCheck::run()
{
    if (running_) return;
    running_ = true;
    // Where the marker is now, and where older versions left it.
    removeUpdateLeftovers(setup_.dataFolder, setup_.programFile);
    if (!samePath(setup_.dataFolder, setup_.programFolder))
        removeUpdateLeftovers(setup_.programFolder, setup_.programFile);

    // A base that is neither https nor loopback is refused by the download
    // itself, which then reads as an unreachable server.
    const QString name = versionFileName(setup_.title);
    download_->disconnect(this);
    connect(download_.get(), &Download::finished, this, &UpdateCheck::versionArrived);
    Download::Limits limits;
    limits.maxBytes = kVersionFileLimit;
    limits.totalMs = setup_.versionTimeoutMs;
    // Read in memory: the program's folder may be read-only.
    download_->start(QUrl(updateBase() + QLatin1Char('/') + name), QString(), limits);
}

void UpdateCheck::versionArrived(const Download::Result& result)
{
    if (!result.complete) {
        // An oversized file did come from the server: it is unreadable, not unreachable.
        if (result.tooLarge)
            end(Outcome::NoUpdates, updatetext::NoUpdates);
        else
            end(Outcome::Unreachable, updatetext::Unreachable);
        return;
    }
    const std::optional<OnlineVersion> online = parseVersionFile(result.data);
    if (!online || online->version <= ownVersionNumber(setup_.own)) {
        end(Outcome::NoUpdates, updatetext::NoUpdates);
        return;
    }
    online_ = *online;
    const QString question = QStringLiteral("There is an newer version available, version ") + online_.line +
                             QStringLiteral(", would you like to update?\nCurrent version is ") +
                             versionFull(setup_.own) + QLatin1Char('.');
    const Answer answer = prompter_.ask(Question::UpdateAvailable, question,
                                        QStringLiteral("Update available"), Buttons::YesNo, Icon::Question);
    if (answer != Answer::Yes) {
        end(Outcome::NoUpdates, updatetext::NoUpdates);
        return;
    }
    Q_EMIT statusChanged(updatetext::Downloading);
    getUpdate();
}

void UpdateCheck::getUpdate()
{
    const QString remote = updateBase() + QLatin1Char('/') + setup_.title +
                           QString::number(online_.majorMinor) + QStringLiteral(".exe");
    programPath_ =
        path(setup_.dataFolder, setup_.title + QString::number(online_.version) + QStringLiteral(".exe"));
    QDir().mkpath(setup_.dataFolder); // a folder that cannot be made fails the download, reported as such
    download_->disconnect(this);
    connect(download_.get(), &Download::finished, this, &UpdateCheck::programArrived);
    Download::Limits limits;
    limits.maxBytes = kProgramFileLimit;
    limits.totalMs = 0;
    limits.stallMs = setup_.programStallMs;
    download_->start(QUrl(remote), programPath_, limits);
}

void UpdateCheck::programArrived(const Download::Result& result)
{
    // Only a program that arrived whole, over https (or from this machine),
    // as a plain file, is ever started.
    if (!result.complete || !result.trusted || !isRegularFile(programPath_)) {
        end(Outcome::Failed, updatetext::Failed);
        return;
    }
    QFile program(programPath_);
    QFileDevice::Permissions perms = program.permissions();
    perms |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (perms & QFileDevice::ReadGroup) perms |= QFileDevice::ExeGroup;
    if (perms & QFileDevice::ReadOther) perms |= QFileDevice::ExeOther;
    if (!program.setPermissions(perms) || !setup_.startProgram(programPath_)) {
        end(Outcome::Failed, updatetext::Failed);
        return;
    }
    // The new program deletes the old one at its first start.
    QFile marker(path(setup_.dataFolder, kUpdateMarker));
    if (marker.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        marker.write(QFileInfo(setup_.programFile).absoluteFilePath().toUtf8() + '\n');
        marker.close();
    }
    running_ = false;
    Q_EMIT finished(Outcome::Updating);
    Q_EMIT quitRequested();
}

void UpdateCheck::end(Outcome outcome, const QString& status)
{
    running_ = false;
    Q_EMIT statusChanged(status);
    Q_EMIT finished(outcome);
}

} // namespace vantrel
