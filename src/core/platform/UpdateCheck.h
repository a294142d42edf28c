// The update check that runs once after start: clears what an earlier update
// left behind, asks the update server for the latest version number, and on
// the user's Yes fetches and starts the new program. Every outcome is a text
// for the main window's status line; nothing here blocks the event loop.
#pragma once

#include "Version.h"
#include "platform/Download.h"
#include "platform/Prompter.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

// Status-line texts of the check.
namespace updatetext {
inline const QString Checking = QStringLiteral("Checking for updates, please wait...");
inline const QString Downloading = QStringLiteral("Downloading update, please wait..");
inline const QString Unreachable = QStringLiteral("Could not connect to server");
inline const QString NoUpdates = QStringLiteral("No updates available");
inline const QString Failed = QStringLiteral("An error occurred while updating");
} // namespace updatetext

// The marker file naming an old program file to delete (in the data folder;
// older versions left it in the program folder).
inline const QString kUpdateMarker = QStringLiteral("tmp_fn.dat");
// The product's short name, used in the server path and the file names.
inline const QString kUpdateTitle = QStringLiteral("Vantrel");

// The last line of a text file: lines end at CR LF, LF or CR, and a final
// line break does not start another line. Empty text has no last line ("").
QString lastLine(const QByteArray& content);

// The latest version as the server's version file states it.
struct OnlineVersion {
    QString line;       // the version file's last line, e.g. "4.1.5"
    int version = 0;    // every digit of the line read as one number: 415
    int majorMinor = 0; // the digits before the first "." from the 4th character on: 41
};

// Reads the version file's last line. Only digits.digits.digits with at most
// nine digits in all is accepted; anything else (garbage, an empty file, a
// line without dots) gives nothing, which the check treats as no update.
std::optional<OnlineVersion> parseVersionFile(const QByteArray& content);

// The running version's digits read as one number: 4.1.4 gives 414, so a
// version file saying 4.2 (42) is not newer.
int ownVersionNumber(const Version& v = programVersion());

// The server base address: the environment variable VANTREL_UPDATE_BASE when
// set, otherwise the one this build was configured with; no trailing "/".
QString updateServerBase();

// Deletes the program file named by the last line of the marker in folder,
// then the marker. Only a file in that folder other than runningProgram is
// deleted (an edited or stale marker must never take the running program or
// anything outside the folder with it); the marker goes in every case.
void removeUpdateLeftovers(const QString& folder, const QString& runningProgram);

class UpdateCheck : public QObject {
    Q_OBJECT

  public:
    enum class Outcome { NoUpdates, Unreachable, Updating, Failed };

    struct Setup {
        QString programFolder; // where the program file lives; never written to (it may be read-only)
        QString programFile;   // the running program file (the marker names it)
        QString dataFolder;    // the user's data folder: the new program and the marker go here
        QString serverBase;    // update server, e.g. "https://update.example.org"
        QString title = kUpdateTitle;
        Version own = programVersion();
        int versionTimeoutMs = 10000; // the version file must arrive within this time
        int programStallMs = 10000;   // the program download may pause this long at most
        // Starts the downloaded program; returns false when it could not be started.
        std::function<bool(const QString& path)> startProgram;

        // The running program's folder and file, the user's data folder, the configured server.
        static Setup forThisProgram();
    };

    UpdateCheck(Prompter& prompter, Setup setup, QObject* parent = nullptr);
    ~UpdateCheck() override;

    // Runs the whole check; returns at once. statusChanged() reports each
    // status-line text, finished() the outcome, and quitRequested() asks the
    // program to end after the new version has been started.
    void run();

    bool running() const { return running_; }
    const Setup& setup() const { return setup_; }
    // "<base>/app/<title>"
    QString updateBase() const;

  Q_SIGNALS:
    void statusChanged(const QString& text);
    void finished(vantrel::UpdateCheck::Outcome outcome);
    void quitRequested();

  private:
    void versionArrived(const Download::Result& result);
    void getUpdate();
    void programArrived(const Download::Result& result);
    void end(Outcome outcome, const QString& status);

    Prompter& prompter_;
    Setup setup_;
    QNetworkAccessManager network_;
    std::unique_ptr<Download> download_;
    OnlineVersion online_;
    QString programPath_;
    bool running_ = false;
};

} // namespace vantrel
