#include "platform/download.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

namespace orvella {

int downloadToFile(const QString &url, const QString &localFile, int boundMs)
{
    const QUrl address(url);
    if (!address.isValid() || address.scheme().isEmpty())
        return 1;
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
    bound.start(boundMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    int result = 0;
    if (!reply->isFinished()) {
        reply->abort();
        result = 2;
    } else if (reply->error() != QNetworkReply::NoError) {
        result = 3;
    } else if (!localFile.isEmpty()) {
        QSaveFile out(localFile);
        if (!out.open(QIODevice::WriteOnly) || out.write(reply->readAll()) < 0 || !out.commit())
            result = 4;
    }
    delete reply;
    return result;
}

bool openWebAddress(const QString &url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace orvella
