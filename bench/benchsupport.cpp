#include "bench/benchsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTimer>

namespace orvella::bench {

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
        // Radii of 40 to 600 by 40 to 400 pixels on a 4000 x 3000 picture, in proportion on others.
        const int w = size.width(), h = size.height();
        p.drawEllipse(QPointF(rng.bounded(w), rng.bounded(h)), rng.bounded(w / 100, w * 3 / 20 + 1),
            rng.bounded(h * 4 / 300, h * 2 / 15 + 1));
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

namespace {

// Fields 14 to 17 of /proc/self/stat: user and system time of this process, then of its
// children that ended, in clock ticks (100 a second on Linux).
double procSeconds(int firstField)
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command's name, in parentheses, may hold blanks: count from after it.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const int at = firstField - 3;
    return at + 1 < fields.size() ? (fields[at].toDouble() + fields[at + 1].toDouble()) / 100.0 : -1;
}

double childrenCpuSeconds()
{
    return procSeconds(16);
}

} // namespace

double djpegLoopSeconds(const QStringList &files, double *cpu)
{
    if (QStandardPaths::findExecutable(QStringLiteral("djpeg")).isEmpty())
        return -1;
    QStringList args {QStringLiteral("-c"),
        QStringLiteral("for f in \"$@\"; do djpeg -scale 1/8 \"$f\" >/dev/null || exit 1; done"), QStringLiteral("sh")};
    args << files;
    QProcess loop;
    const double cpuBefore = childrenCpuSeconds();
    QElapsedTimer t;
    t.start();
    // One core: taskset pins the whole loop to the first CPU.
    if (!QStandardPaths::findExecutable(QStringLiteral("taskset")).isEmpty()) {
        args.prepend(QStringLiteral("sh"));
        args.prepend(QStringLiteral("0"));
        args.prepend(QStringLiteral("-c"));
        loop.start(QStringLiteral("taskset"), args);
    } else {
        loop.start(QStringLiteral("sh"), args);
    }
    if (!loop.waitForFinished(-1) || loop.exitCode() != 0)
        return -1;
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    if (cpu)
        *cpu = childrenCpuSeconds() - cpuBefore;
    return seconds;
}

namespace {

qint64 statusMb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLongLong() / 1024;
    return -1;
}

} // namespace

qint64 peakResidentMb()
{
    return statusMb("VmHWM:");
}

qint64 residentMb()
{
    return statusMb("VmRSS:");
}

bool resetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

double cpuSeconds()
{
    return procSeconds(14);
}

bool waitUntil(const std::function<bool()> &done, double timeoutSeconds)
{
    QElapsedTimer t;
    t.start();
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (double(t.elapsed()) / 1000 > timeoutSeconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(u' ', 0, 2);
}

} // namespace orvella::bench
