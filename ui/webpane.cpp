#include "ui/webpane.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include "platform/download.h"

namespace orvella {

WebPane::WebPane(QWidget *parent)
    : QTextBrowser(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
}

WebPane::~WebPane() = default;

void WebPane::navigate(const QString &url)
{
    m_address = url;
    QNetworkRequest request {QUrl(url)};
    request.setTransferTimeout(DownloadBoundMs);
    QNetworkReply *reply = m_manager->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        const bool ok = reply->error() == QNetworkReply::NoError;
        if (ok)
            setHtml(QString::fromUtf8(reply->read(1 << 20)));
        emit loaded(ok);
    });
}

QVariant WebPane::loadResource(int, const QUrl &)
{
    return {};
}

} // namespace orvella
