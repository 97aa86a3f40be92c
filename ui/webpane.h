#pragma once

#include <memory>

#include <QPointer>
#include <QStringView>
#include <QTextBrowser>

class QNetworkAccessManager;
class QNetworkReply;

namespace orvella {

// What a fetched page may cost before the pane refuses it. Past any of them the pane stays
// empty, as when the fetch fails: the page could freeze the window (nested tables are laid out
// again for every level) or overflow its stack (thousands of nested elements).
struct PageBounds {
    qint64 bytes = 1 << 20; // read no further
    int depth = 32; // elements open inside one another
    int tables = 3; // tables inside one another
    int elements = 4096;
    int layoutMs = 250; // a trial layout off the user-interface thread
    int fetchMs = 10'000; // a reply that trickles on
};

// Whether the markup stays within bounds' depth, tables and elements. It follows the markup as
// the text layout reads it, closing an element at the end tag of an element around it.
bool pageWithinBounds(QStringView html, const PageBounds &bounds = {});

// What the pane and its trial give for every resource a page names (pictures, style sheets): a
// blank picture or empty text. Nothing is ever read, least of all a file or FIFO the page names.
QVariant blankResource(int type);

// A small pane that shows a fetched web page as rich text. It never loads anything the page
// refers to, and links do not navigate.
class WebPane final : public QTextBrowser {
    Q_OBJECT
public:
    explicit WebPane(QWidget *parent = nullptr, PageBounds bounds = {});
    // Waits at most CloseWaitMs for a layout trial still running (see the .cpp).
    ~WebPane() override;

    static constexpr int CloseWaitMs = 2000;

    // Fetches url in the background and shows it when it arrives, unless it is refused.
    void navigate(const QString &url);
    QString address() const { return m_address; }

    QVariant loadResource(int type, const QUrl &name) override;

signals:
    // The page is shown (true), or the fetch failed or the page was refused (false).
    void loaded(bool ok);

private:
    struct Trial;
    void tryPage(const QByteArray &page);
    void finish(bool ok, const QString &html = {});

    QNetworkAccessManager *m_manager;
    PageBounds m_bounds;
    QString m_address;
    QPointer<QNetworkReply> m_reply;
    std::shared_ptr<Trial> m_trial;
    quint64 m_generation = 0;
};

} // namespace orvella
