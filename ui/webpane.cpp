#include "ui/webpane.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <QElapsedTimer>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextDocument>
#include <QTimer>

#include "platform/download.h"

namespace orvella {

namespace {

// Elements the text layout never opens: nothing nests inside them. Any other element is taken
// as open until its end tag (a "<link>", for one, holds what follows it), which errs on the side
// of refusing a page.
bool isVoidElement(QStringView name)
{
    return name == u"br" || name == u"hr" || name == u"img";
}

// Elements whose end tag may be left out: a second one ends the first.
bool endsItsLike(QStringView name, QStringView open)
{
    static const char *const names[] = {"p", "li", "dt", "dd", "option", "tr", "td", "th"};
    const auto cell = [](QStringView n) { return n == u"td" || n == u"th" || n == u"dt" || n == u"dd"; };
    for (const char *n : names)
        if (name == QLatin1StringView(n))
            return open == name || (cell(name) && cell(open) && name[0] == open[0]);
    return false;
}

// The page as the pane's trial lays it out: every resource blank.
class BlankDocument final : public QTextDocument {
public:
    QVariant loadResource(int type, const QUrl &) override { return blankResource(type); }
};

} // namespace

bool pageWithinBounds(QStringView html, const PageBounds &bounds)
{
    std::vector<QString> open;
    int tables = 0, elements = 0;
    const qsizetype n = html.size();
    qsizetype i = 0;
    while ((i = html.indexOf(u'<', i)) >= 0) {
        if (html.mid(i, 4) == u"<!--") {
            const qsizetype end = html.indexOf(u"-->", i + 4);
            if (end < 0)
                break;
            i = end + 3;
            continue;
        }
        const bool closing = i + 1 < n && html[i + 1] == u'/';
        const qsizetype start = i + 1 + closing;
        qsizetype j = start;
        while (j < n && html[j].isLetterOrNumber())
            ++j;
        if (j == start) { // "<!doctype", "<?xml", a lone "<"
            ++i;
            continue;
        }
        const QString name = html.mid(start, j - start).toString().toLower();
        // The tag ends at the first ">" outside quotes.
        QChar quote;
        for (; j < n && (!quote.isNull() || html[j] != u'>'); ++j)
            if (html[j] == u'"' || html[j] == u'\'')
                quote = quote.isNull() ? html[j] : quote == html[j] ? QChar() : quote;
        i = j;
        if (closing) {
            // An end tag closes its element and whatever is open inside it; one without an open
            // element is ignored.
            const auto match = std::find(open.rbegin(), open.rend(), name);
            for (auto k = open.rbegin(); match != open.rend() && k != std::next(match); ++k)
                tables -= *k == u"table";
            if (match != open.rend())
                open.erase(std::prev(match.base()), open.end());
            continue;
        }
        if (++elements > bounds.elements)
            return false;
        if (isVoidElement(name))
            continue;
        // A self-closed "<div/>" is counted as open: that errs on the side of refusing.
        if (!open.empty() && endsItsLike(name, open.back()))
            open.pop_back();
        tables += name == u"table";
        open.push_back(name);
        if (int(open.size()) > bounds.depth || tables > bounds.tables)
            return false;
    }
    return true;
}

QVariant blankResource(int type)
{
    // Something valid of the kind asked for: an empty answer makes the text document read the
    // named file itself.
    if (type == QTextDocument::ImageResource) {
        QImage blank(1, 1, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        return blank;
    }
    return QStringLiteral(" ");
}

// A trial layout, shared with the thread that runs it: the thread may outlive the pane.
struct WebPane::Trial {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;

    bool isDone()
    {
        std::lock_guard lock(mutex);
        return done;
    }
};

WebPane::WebPane(QWidget *parent, PageBounds bounds)
    : QTextBrowser(parent)
    , m_manager(new QNetworkAccessManager(this))
    , m_bounds(bounds)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
}

WebPane::~WebPane()
{
    // The trial cannot be stopped; its document is its own. A page that passed the markup bounds
    // is laid out in well under a second, and a close waits for no more than CloseWaitMs.
    if (m_trial) {
        std::unique_lock lock(m_trial->mutex);
        m_trial->ended.wait_for(lock, std::chrono::milliseconds(CloseWaitMs), [this] { return m_trial->done; });
    }
}

void WebPane::navigate(const QString &url)
{
    m_address = url;
    const quint64 generation = ++m_generation;
    if (QNetworkReply *old = m_reply) {
        m_reply = nullptr;
        old->abort();
    }
    clear();
    QNetworkRequest request {QUrl(url)};
    request.setTransferTimeout(DownloadBoundMs);
    QNetworkReply *reply = m_manager->get(request);
    m_reply = reply;
    // The page is read as it arrives and given up as soon as it says or proves to be too long:
    // nothing past the bound is kept.
    auto page = std::make_shared<QByteArray>();
    auto tooLong = [this, reply, page] {
        return reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > m_bounds.bytes
            || page->size() + reply->bytesAvailable() > m_bounds.bytes;
    };
    auto readSome = [reply, page, tooLong] {
        if (tooLong())
            reply->abort();
        else
            page->append(reply->readAll());
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, readSome);
    connect(reply, &QNetworkReply::readyRead, this, readSome);
    QTimer::singleShot(m_bounds.fetchMs, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, this, [this, reply, page, tooLong, generation] {
        reply->deleteLater();
        if (generation != m_generation)
            return;
        m_reply = nullptr;
        if (reply->error() != QNetworkReply::NoError || tooLong())
            return finish(false);
        page->append(reply->readAll());
        tryPage(*page);
    });
}

void WebPane::tryPage(const QByteArray &page)
{
    const QString html = QString::fromUtf8(page);
    if (!pageWithinBounds(html, m_bounds))
        return finish(false);
    // Laid out first in a thread of its own, at the pane's width and font: a page whose layout
    // takes longer than the bound would freeze the window, and is not shown.
    auto trial = std::make_shared<Trial>();
    m_trial = trial;
    const int width = std::max(viewport()->width(), 100);
    std::thread([trial, html, width, font = font()] {
        {
            BlankDocument document;
            document.setDefaultFont(font);
            document.setTextWidth(width);
            document.setHtml(html);
            document.size(); // lays the whole page out
        }
        std::lock_guard lock(trial->mutex);
        trial->done = true;
        trial->ended.notify_all();
    }).detach();
    QElapsedTimer started;
    started.start();
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this, poll, trial, html, started, generation = m_generation] {
        const bool done = trial->isDone();
        if (generation == m_generation && !done && started.elapsed() < m_bounds.layoutMs)
            return;
        poll->deleteLater();
        if (generation == m_generation)
            finish(done, html);
    });
    poll->start(5);
}

void WebPane::finish(bool ok, const QString &html)
{
    if (ok)
        setHtml(html);
    emit loaded(ok);
}

QVariant WebPane::loadResource(int type, const QUrl &)
{
    return blankResource(type);
}

} // namespace orvella
