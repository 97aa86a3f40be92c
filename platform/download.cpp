#include "platform/download.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

namespace orvella {

int downloadToFile(const QString &url, const QString &localFile, int boundMs, qint64 maxBytes)
{
    const QUrl address(url);
    if (!address.isValid() || address.scheme().isEmpty())
        return 1;
    // The file gets its name only once the whole reply is in it.
    QSaveFile out(localFile);
    if (!localFile.isEmpty() && !out.open(QIODevice::WriteOnly))
        return 4;
    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(boundMs);
    QNetworkReply *reply = manager.get(request);

    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The reply is taken as it arrives, so that what it holds never passes maxBytes.
    qint64 received = 0;
    bool tooLong = false, writeFailed = false;
    const auto take = [&] {
        if (tooLong || reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > maxBytes
            || received + reply->bytesAvailable() > maxBytes) {
            tooLong = true;
            loop.quit();
            return;
        }
        const QByteArray data = reply->readAll();
        received += data.size();
        if (!localFile.isEmpty() && out.write(data) != data.size())
            writeFailed = true;
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, take);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    bound.start(boundMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (reply->isFinished() && reply->error() == QNetworkReply::NoError)
        take();

    int result = 0;
    if (tooLong) {
        result = 5;
    } else if (!reply->isFinished()) {
        result = 2;
    } else if (reply->error() != QNetworkReply::NoError) {
        result = 3;
    } else if (!localFile.isEmpty() && (writeFailed || !out.commit())) {
        result = 4;
    }
    if (!reply->isFinished())
        reply->abort();
    delete reply;
    return result;
}

bool openWebAddress(const QString &url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace orvella
