// Measures LoadThumbnails on a folder of large camera-sized JPEGs: a first load with empty slots,
// then a reload of the same folder. Run by hand:
//   build/bench/bench_thumbnails [pictures=1000] [folder=/tmp/orvella-bench-<N>]
// The folder is made on first use and reused after.
#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "platform/folderlistbox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtConcurrent>

#include <cstdio>

using namespace orvella;

namespace {

// A picture with photographic detail: gradients, shapes and grain, so it compresses and decodes
// like a photo rather than like a flat colour.
QImage photoLike(int n, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv((n * 37) % 360, 120, 230));
    sky.setColorAt(1, QColor::fromHsv((n * 37 + 90) % 360, 160, 90));
    p.fillRect(img.rect(), sky);
    QRandomGenerator rng(quint32(n + 1));
    for (int i = 0; i < 60; ++i) {
        p.setBrush(QColor::fromHsv(rng.bounded(360), rng.bounded(50, 255), rng.bounded(40, 255), 160));
        p.setPen(Qt::NoPen);
        p.drawEllipse(
            QPointF(rng.bounded(size.width()), rng.bounded(size.height())), rng.bounded(40, 600), rng.bounded(40, 400));
    }
    p.end();
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int g = int(rng.bounded(24)) - 12;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + g, 255), qBound(0, qGreen(c) + g, 255), qBound(0, qBlue(c) + g, 255));
        }
    }
    return img;
}

void makeFolder(const QString &folder, int count, QSize size)
{
    QDir().mkpath(folder);
    QList<int> missing;
    for (int i = 0; i < count; ++i)
        if (!QFile::exists(QDir(folder).filePath(QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')))))
            missing.append(i);
    if (missing.isEmpty())
        return;
    std::printf("making %lld pictures of %d x %d in %s ...\n", qlonglong(missing.size()), size.width(), size.height(),
        qPrintable(folder));
    std::fflush(stdout);
    QtConcurrent::blockingMap(missing, [&](int i) {
        photoLike(i, size).save(
            QDir(folder).filePath(QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'))), "JPG", 90);
    });
}

qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                    : QDir::temp().filePath(QStringLiteral("orvella-bench-%1").arg(count));
    makeFolder(folder, count, QSize(4000, 3000));

    OrvellaApp app(QStringLiteral("orvella-bench"));
    app.advertAddress = QStringLiteral("http://127.0.0.1:1/");
    if (!app.openMainWindow())
        return 1;
    MainWindow &w = *app.mainWindow();
    w.setAutoThumbnails(false);
    w.Dir1->setPath(folder);

    auto load = [&](const char *what) {
        const qint64 before = w.state.Decodes;
        QElapsedTimer t;
        t.start();
        w.LoadThumbnails();
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        std::printf("%-28s %8.2f s  %6lld decodes\n", what, seconds, qlonglong(w.state.Decodes - before));
        return seconds;
    };
    std::printf("pictures: %d (4000 x 3000 JPEG) in %s\n", count, qPrintable(folder));
    load("first load (empty slots):");
    load("reload of the same folder:");
    std::printf("peak resident memory: %lld MB\n", peakResidentKb() / 1024);
    return 0;
}
