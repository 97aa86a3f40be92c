#pragma once

#include <QTextBrowser>

class QNetworkAccessManager;

namespace orvella {

// A small pane that shows a fetched web page as rich text. It never loads anything the page
// refers to, and links do not navigate.
class WebPane final : public QTextBrowser {
    Q_OBJECT
public:
    explicit WebPane(QWidget *parent = nullptr);
    ~WebPane() override;

    // Fetches url in the background and shows it when it arrives.
    void navigate(const QString &url);
    QString address() const { return m_address; }

    QVariant loadResource(int type, const QUrl &name) override;

signals:
    void loaded(bool ok);

private:
    QNetworkAccessManager *m_manager;
    QString m_address;
};

} // namespace orvella
