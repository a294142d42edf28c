#include "platform/Download.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace vantrel {

bool isTrustedAddress(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty()) return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https")) return true;
    if (scheme != QLatin1String("http")) return false;
    const QString host = url.host().toLower();
    if (host == QLatin1String("localhost")) return true;
    QHostAddress address;
    return address.setAddress(host) && address.isLoopback();
}

Download::Download(QNetworkAccessManager& manager, QObject* parent) : QObject(parent), manager_(manager)
{
    total_.setSingleShot(true);
    stall_.setSingleShot(true);
    connect(&total_, &QTimer::timeout, this, [this] { fail(QStringLiteral("time limit reached")); });
    connect(&stall_, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("no data within the time limit")); });
}

Download::~Download()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        delete reply_;
    }
    delete file_; // an uncommitted save file removes its temporary file
}

void Download::start(const QUrl& url, const QString& localPath, const Limits& limits)
{
    Q_ASSERT(!running());
    limits_ = limits;
    result_ = Result{};
    done_ = false;

    if (!isTrustedAddress(url)) {
        // Still answer through the signal, but from the event loop, so the
        // caller sees the same order of events as for a real failure.
        QTimer::singleShot(0, this,
                           [this] { fail(QStringLiteral("address refused (https or loopback only)")); });
        return;
    }
    delete file_;
    file_ = localPath.isEmpty() ? nullptr : new QSaveFile(localPath);
    if (file_ && !file_->open(QIODevice::WriteOnly)) {
        const QString why = QStringLiteral("cannot write %1: %2").arg(localPath, file_->errorString());
        QTimer::singleShot(0, this, [this, why] { fail(why); });
        return;
    }

    QNetworkRequest request(url);
    // Redirects are followed only to addresses that pass the same rule.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    reply_ = manager_.get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &Download::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &Download::onFinished);
    connect(reply_, &QNetworkReply::redirected, this, [this](const QUrl& to) {
        if (isTrustedAddress(to))
            Q_EMIT reply_->redirectAllowed();
        else
            fail(QStringLiteral("redirected to an address that is not allowed: %1").arg(to.toString()));
    });
    if (limits_.totalMs > 0) total_.start(limits_.totalMs);
    if (limits_.stallMs > 0) {
        stall_.start(limits_.stallMs);
        connect(reply_, &QNetworkReply::downloadProgress, this, [this] { stall_.start(limits_.stallMs); });
    }
}

void Download::onReadyRead()
{
    if (done_ || !reply_) return;
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0) result_.reached = true;
    const QByteArray chunk = reply_->readAll();
    result_.bytes += chunk.size();
    if (limits_.maxBytes >= 0 && result_.bytes > limits_.maxBytes) {
        result_.tooLarge = true;
        fail(QStringLiteral("larger than %1 bytes").arg(limits_.maxBytes));
        return;
    }
    if (!file_)
        result_.data += chunk;
    else if (file_->write(chunk) != chunk.size())
        fail(QStringLiteral("cannot write: %1").arg(file_->errorString()));
}

void Download::onFinished()
{
    if (done_ || !reply_) return;
    onReadyRead();
    if (done_) return;
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result_.reached = status.isValid();
    if (reply_->error() != QNetworkReply::NoError) {
        fail(reply_->errorString());
        return;
    }
    if (status.toInt() != 200) {
        fail(QStringLiteral("server answered %1").arg(status.toInt()));
        return;
    }
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() != result_.bytes) {
        fail(QStringLiteral("incomplete: %1 of %2 bytes").arg(result_.bytes).arg(length.toLongLong()));
        return;
    }
    result_.trusted = isTrustedAddress(reply_->url());
    if (!result_.trusted) {
        fail(QStringLiteral("final address not allowed"));
        return;
    }
    if (file_ && !file_->commit()) {
        fail(QStringLiteral("cannot write: %1").arg(file_->errorString()));
        return;
    }
    result_.complete = true;
    finish();
}

void Download::fail(const QString& why)
{
    if (done_) return;
    result_.complete = false;
    result_.error = why;
    result_.data.clear();
    if (file_) file_->cancelWriting();
    finish();
}

void Download::finish()
{
    done_ = true;
    total_.stop();
    stall_.stop();
    if (reply_) {
        QNetworkReply* r = reply_;
        reply_ = nullptr;
        r->disconnect(this);
        if (r->isRunning()) r->abort();
        r->deleteLater();
    }
    delete file_;
    file_ = nullptr;
    Q_EMIT finished(result_);
}

} // namespace vantrel
