// The advertisement pane against hostile pages from a local server: too long, endless, nested past
// what the text layout bears, naming a FIFO; each leaves the pane empty, or shows a harmless page,
// within seconds. The start-up's download is bounded as well. Times are printed, never asserted.
#include <atomic>
#include <thread>

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/download.h"
#include "tests/testsupport.h"
#include "ui/webpane.h"

using namespace orvella;
using orvella::test::makeFifo;

class TestWebPane : public QObject {
    Q_OBJECT
private slots:
    void hostilePages();
};

// Each page also through the start-up's download, which fails (5) past its bound and keeps nothing.
void TestWebPane::hostilePages()
{
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("fifo")).toUtf8();
    QVERIFY(makeFifo(QString::fromUtf8(fifo)));
    const QHash<QByteArray, QByteArray> pages {{"/normal", "<p>Spring offer</p>"},
        {"/tables", QByteArray("<table><tr><td>").repeated(24) + "deep"},
        {"/tables10", QByteArray("<table><tr><td>").repeated(10) + "deep"},
        {"/levels", QByteArray("<div>").repeated(3000) + "deep"}, {"/divs", QByteArray("<div></div>").repeated(95'000)},
        {"/big", QByteArray(2 << 20, 'x')}, {"/long", QByteArray("Spring offer ").repeated(80'000)},
        {"/fifo",
            QByteArray("<style>@import url(file://F?1);</style>"
                       "<p style='background-image: url(file://F?2)'>Spring <img src='file://F?3'>offer</p>")
                .replace("F", fifo)}};
    // Serves the pages by path, with their length; "/endless" sends forever without one.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, &server, [&] {
        QTcpSocket *s = server.nextPendingConnection();
        connect(s, &QTcpSocket::readyRead, s, [&pages, s] {
            const QByteArray path = s->readAll().split(' ').value(1), page = pages.value(path);
            s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n");
            if (path != "/endless")
                return void(s->write("Content-Length: " + QByteArray::number(page.size()) + "\r\n\r\n" + page));
            s->write("\r\n");
            auto *more = new QTimer(s);
            connect(more, &QTimer::timeout, s, [s] { s->write(QByteArray(64 << 10, 'x')); });
            more->start(5);
        });
    });
    const auto url
        = [&](const char *path) { return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path); };

    // A page that made the pane open the FIFO would block it until this lets it go, after 30 s.
    std::atomic<bool> fifoOpened = false;
    std::jthread guard([&](std::stop_token stop) {
        for (int i = 0; i < 300 && !stop.stop_requested(); ++i)
            QThread::msleep(100);
        // Opening the FIFO for writing gets through at once only while a reader waits on it, and
        // lets that reader go; with no reader it waits until the time-out ends it.
        fifoOpened = QProcess::execute(QStringLiteral("timeout"),
                         {QStringLiteral("2"), QStringLiteral("sh"), QStringLiteral("-c"),
                             QStringLiteral("exec 3>\"$0\""), QString::fromUtf8(fifo)})
            == 0;
    });
    struct Case {
        const char *path;
        bool shown;
        PageBounds bounds = {};
    };
    // Pages past a markup bound are refused before any trial (given a minute here); "/long" is
    // within the bounds, and refused by a trial of 1 ms. The endless reply is refused for its
    // length, long before a minute.
    const PageBounds minute {.layoutMs = 60'000};
    for (const Case &c : {Case {"/normal", true}, Case {"/tables", false, minute}, Case {"/tables10", false, minute},
             Case {"/levels", false, minute}, Case {"/divs", false, minute}, Case {"/big", false},
             Case {"/endless", false, {.fetchMs = 60'000}}, Case {"/fifo", true},
             Case {"/long", false, {.layoutMs = 1}}}) {
        auto pane = std::make_unique<WebPane>(nullptr, c.bounds);
        QSignalSpy loaded(pane.get(), &WebPane::loaded);
        QElapsedTimer timer;
        timer.start();
        pane->navigate(url(c.path));
        QVERIFY2(loaded.wait(20'000), c.path); // guards a hang only
        const qint64 answered = timer.restart();
        pane->grab(); // pictures are asked for when drawn
        QCOMPARE(pane->toPlainText().startsWith(u"Spring"), c.shown); // a refused page leaves the pane empty
        pane.reset();
        const qint64 closed = timer.restart();
        const QString saved = dir.filePath(QStringLiteral("saved") + QLatin1String(c.path + 1));
        const int download = downloadToFile(url(c.path), saved), downloaded = int(timer.elapsed());
        qDebug("%s: pane %s after %lld ms, closed in %lld ms; download %d after %d ms", c.path,
            loaded.first().first().toBool() ? "shown" : "refused", answered, closed, download, downloaded);
        QCOMPARE(loaded.first().first().toBool(), c.shown);
        QCOMPARE(download, (QByteArrayList {"/big", "/endless"}.contains(c.path) ? 5 : 0));
        QCOMPARE(QFile::exists(saved), download == 0);
    }
    guard.request_stop();
    guard.join();
    QVERIFY(!fifoOpened);
}

QTEST_MAIN(TestWebPane)
#include "tst_webpane.moc"
