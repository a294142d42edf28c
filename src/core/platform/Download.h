// Downloads one web resource to a local file without blocking the event loop,
// and says afterwards whether the whole resource arrived.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

namespace vantrel {

// Only https addresses, or plain http to this machine (127.0.0.0/8, ::1,
// "localhost"), may be used to fetch anything that the program acts upon.
bool isTrustedAddress(const QUrl& url);

class Download : public QObject {
    Q_OBJECT

  public:
    struct Limits {
        qint64 maxBytes = -1; // larger resources are abandoned; -1: no limit
        int totalMs = 10000;  // the whole transfer must end within this time; 0: no limit
        int stallMs = 0;      // abandoned after this long without any data; 0: no limit
    };

    struct Result {
        bool complete = false; // HTTP 200, every announced byte received, file written
        bool trusted = false;  // the final address (after redirects) passed isTrustedAddress
        bool reached = false;  // the server answered at all (some HTTP status came back)
        bool tooLarge = false; // abandoned because it exceeded Limits::maxBytes
        qint64 bytes = 0;
        QByteArray data; // the resource, when it was fetched into memory and is complete
        QString error;   // why it is not complete, for logs; empty when complete
    };

    // manager is not owned; it must outlive the download.
    explicit Download(QNetworkAccessManager& manager, QObject* parent = nullptr);
    ~Download() override;

    // Starts fetching url into localPath. The file appears only when the
    // transfer is complete (written beside it first, then renamed in one
    // step); on any failure nothing is left at localPath from this download.
    // finished() is emitted exactly once, also for a refused address. An
    // empty localPath keeps the resource in memory (Result::data) instead.
    void start(const QUrl& url, const QString& localPath, const Limits& limits);

    bool running() const { return reply_ != nullptr; }
    const Result& result() const { return result_; }

  Q_SIGNALS:
    void finished(const vantrel::Download::Result& result);

  private:
    void onReadyRead();
    void onFinished();
    void fail(const QString& why);
    void finish();

    QNetworkAccessManager& manager_;
    QNetworkReply* reply_ = nullptr;
    QSaveFile* file_ = nullptr;
    QTimer total_;
    QTimer stall_;
    Limits limits_;
    Result result_;
    bool done_ = false;
};

} // namespace vantrel
