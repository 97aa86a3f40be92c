// Measures LoadThumbnails on folders of camera-sized JPEGs and prints each figure beside its goal:
//   1. a full load of pictures without embedded thumbnails takes at most half the time of a
//      single-core `djpeg -scale 1/8` loop over the same files (measured here, in the same run);
//   2. a full load of pictures with embedded 160 x 120 EXIF thumbnails takes at most 1.5 s;
//   3. peak resident memory stays under 300 MB during each load;
//   4. a reload of the same folder decodes only slot 0, and a reload after one file was renamed
//      decodes slot 0 and the entries whose index or name changed.
// Run by hand, on a release build:
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVELLA_TESTS=OFF
//   cmake --build build-release && build-release/bench/bench_thumbnails [pictures=1000] [folder]
// The folders (default /tmp/orvella-bench-<N>) are made on first use and reused after; the
// djpeg reference needs libjpeg-turbo-progs.
#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "platform/folderlistbox.h"
#include "platform/picturedecoder.h"
#include "tests/exifwriter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtConcurrent>

#include <cstdio>

using namespace orvella;

namespace {

const QSize PictureSize(4000, 3000);

QString pictureName(int i)
{
    return QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
}

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

QList<int> missingPictures(const QString &folder, int count)
{
    QDir().mkpath(folder);
    QList<int> missing;
    for (int i = 0; i < count; ++i)
        if (!QFile::exists(QDir(folder).filePath(pictureName(i))))
            missing.append(i);
    return missing;
}

// Plain camera-sized JPEGs without EXIF.
void makePlainFolder(const QString &folder, int count)
{
    const QList<int> missing = missingPictures(folder, count);
    if (missing.isEmpty())
        return;
    std::printf("making %lld pictures of %d x %d in %s ...\n", qlonglong(missing.size()), PictureSize.width(),
        PictureSize.height(), qPrintable(folder));
    std::fflush(stdout);
    QtConcurrent::blockingMap(
        missing, [&](int i) { photoLike(i, PictureSize).save(QDir(folder).filePath(pictureName(i)), "JPG", 90); });
}

// The same pictures with an EXIF segment holding a 160 x 120 thumbnail, as cameras write them.
void makeCameraFolder(const QString &plain, const QString &folder, int count)
{
    const QList<int> missing = missingPictures(folder, count);
    if (missing.isEmpty())
        return;
    std::printf("adding EXIF thumbnails to %lld pictures in %s ...\n", qlonglong(missing.size()), qPrintable(folder));
    std::fflush(stdout);
    QtConcurrent::blockingMap(missing, [&](int i) {
        QFile in(QDir(plain).filePath(pictureName(i)));
        if (!in.open(QIODevice::ReadOnly))
            return;
        const QByteArray jpeg = in.readAll();
        const QImage thumb = decodePicture(in.fileName(), QSize(160, 120))
                                 .scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QFile out(QDir(folder).filePath(pictureName(i)));
        if (out.open(QIODevice::WriteOnly))
            out.write(test::withExif(jpeg, 1, test::encodeJpeg(thumb, 85)));
    });
}

// Peak resident memory since the last reset, in MB.
qint64 peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    return -1;
}

// Lets the next peakResidentMb() measure from now on (Linux: writing 5 to clear_refs resets the
// peak to the current resident size).
bool resetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// Seconds a single-core loop of `djpeg -scale 1/8` takes over the count pictures of folder, or -1
// when djpeg is missing.
double djpegLoopSeconds(const QString &folder, int count)
{
    if (QStandardPaths::findExecutable(QStringLiteral("djpeg")).isEmpty())
        return -1;
    QStringList args {QStringLiteral("-c"),
        QStringLiteral("for f in \"$@\"; do djpeg -scale 1/8 \"$f\" >/dev/null || exit 1; done"), QStringLiteral("sh")};
    for (int i = 0; i < count; ++i)
        args << QDir(folder).filePath(pictureName(i));
    QProcess loop;
    QElapsedTimer t;
    t.start();
    // One core, as the goal says: taskset pins the whole loop to the first CPU.
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
    return double(t.nsecsElapsed()) / 1e9;
}

struct Load {
    double seconds = 0;
    qint64 decodes = 0;
    qint64 peakMb = -1;
};

// One LoadThumbnails on the window's folder; forget() first makes every slot load afresh.
Load timedLoad(MainWindow &w, bool forget)
{
    if (forget)
        std::fill(w.state.SlotPaths.begin(), w.state.SlotPaths.end(), QString());
    const bool peakReset = resetPeakResident();
    const qint64 before = w.state.Decodes;
    QElapsedTimer t;
    t.start();
    w.LoadThumbnails();
    Load load;
    load.seconds = double(t.nsecsElapsed()) / 1e9;
    load.decodes = w.state.Decodes - before;
    load.peakMb = peakReset ? peakResidentMb() : -1;
    return load;
}

const char *verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : QDir::temp().filePath(QStringLiteral("orvella-bench-%1").arg(count));
    const QString plain = QDir(base).filePath(QStringLiteral("plain"));
    const QString camera = QDir(base).filePath(QStringLiteral("camera"));
    makePlainFolder(plain, count);
    makeCameraFolder(plain, camera, count);

    OrvellaApp app(QStringLiteral("orvella-bench"));
    app.advertAddress = QStringLiteral("http://127.0.0.1:1/");
    if (!app.openMainWindow())
        return 1;
    MainWindow &w = *app.mainWindow();
    w.setAutoThumbnails(false);

    std::printf("\n%d pictures of %d x %d (JPEG), %d threads, grid cell %d x %d device pixels\n", count,
        PictureSize.width(), PictureSize.height(), QThread::idealThreadCount(), w.thumbnailCoverSize().width(),
        w.thumbnailCoverSize().height());

    // Warm the page cache for both folders, as the goals assume.
    w.Dir1->setPath(plain);
    timedLoad(w, true);
    const double djpeg = djpegLoopSeconds(plain, count);
    const Load plainLoad = timedLoad(w, true);
    w.Dir1->setPath(camera);
    timedLoad(w, true);
    const Load cameraLoad = timedLoad(w, true);

    std::printf("\n%-50s %10s %10s  %s\n", "figure", "measured", "goal", "");
    if (djpeg > 0) {
        const double ratio = plainLoad.seconds / djpeg;
        std::printf("%-50s %9.2fs\n", "djpeg -scale 1/8 loop, one core", djpeg);
        std::printf("%-50s %9.2fs %9.2fs  %s\n", "1. full load, no embedded thumbnails", plainLoad.seconds, djpeg * 0.5,
            verdict(ratio <= 0.5));
        std::printf("%-50s %10.2f %10.2f  %s\n", "   ratio to the djpeg loop", ratio, 0.5, verdict(ratio <= 0.5));
    } else {
        std::printf("%-50s %9.2fs %10s  %s\n", "1. full load, no embedded thumbnails", plainLoad.seconds, "(djpeg?)",
            "install libjpeg-turbo-progs to compare");
    }
    std::printf("%-50s %10lld %10d\n", "   decodes", qlonglong(plainLoad.decodes), count);
    std::printf("%-50s %9.2fs %9.2fs  %s\n", "2. full load, embedded 160 x 120 thumbnails", cameraLoad.seconds, 1.5,
        verdict(cameraLoad.seconds <= 1.5));
    std::printf("%-50s %10lld %10d\n", "   decodes", qlonglong(cameraLoad.decodes), count);
    std::printf("%-50s %8lldMB %8dMB  %s\n", "3. peak resident memory, load without thumbnails",
        qlonglong(plainLoad.peakMb), 300, verdict(plainLoad.peakMb >= 0 && plainLoad.peakMb < 300));
    std::printf("%-50s %8lldMB %8dMB  %s\n", "   peak resident memory, load with thumbnails",
        qlonglong(cameraLoad.peakMb), 300, verdict(cameraLoad.peakMb >= 0 && cameraLoad.peakMb < 300));

    // 4. Decodes of reloads: the same folder, then after renaming one file in the middle of the
    // list to a name that keeps its place.
    const Load reload = timedLoad(w, false);
    std::printf("%-50s %10lld %10d  %s\n", "4. decodes, reload of the same folder", qlonglong(reload.decodes), 1,
        verdict(reload.decodes == 1));
    const int middle = count / 2;
    const QString from = QDir(camera).filePath(pictureName(middle));
    const QString to = QDir(camera).filePath(QStringLiteral("IMG_%1b.jpg").arg(middle, 5, 10, QLatin1Char('0')));
    if (QFile::rename(from, to)) {
        const Load renamed = timedLoad(w, false);
        QFile::rename(to, from);
        std::printf("%-50s %10lld %10d  %s\n", "   decodes, reload after renaming one file", qlonglong(renamed.decodes),
            2, verdict(renamed.decodes == 2));
    } else {
        std::printf("   could not rename %s for the rename reload\n", qPrintable(from));
    }
    std::printf("%-50s %9.3fs\n", "   reload of the same folder took", reload.seconds);
    return 0;
}
