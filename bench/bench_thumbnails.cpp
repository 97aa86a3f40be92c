// Measures LoadThumbnails on folders of camera-sized JPEGs (4000 x 3000, no embedded thumbnail
// unless said) and prints each figure beside its goal:
//   1. a first load of 1000 takes at most half the time of a single-core `djpeg -scale 1/8` loop
//      over the same files (measured here, in the same run);
//   2. revisiting a folder of 300 after one of 100 costs at most 5% of the CPU time of its first
//      load, and decodes nothing;
//   3. a reload after renaming the last 3 of the 300 to names that sort first costs at most 5% of
//      that CPU time, and decodes nothing (a rename keeps a file's identity);
//   4. a load of 1000 whose thumbnails the desktop has cached (made with the desktop's own library,
//      bench/make_desktop_thumbnails.py) takes at most 1.5 s;
//   5. peak resident memory stays at most 300 MB in every load above;
//   and, beside them, a load of 1000 with embedded 160 x 120 EXIF thumbnails (at most 1.5 s).
// The window's answers to the user during a fill are measured by bench_fill.
// CPU time is the whole process's (all threads), from getrusage. bench_fill measures the page
// shown first, the window's answers during a fill and selection at 100,000 entries.
// Run by hand, on a release build, on a machine otherwise at rest:
//   apt-get install libjpeg-turbo-progs python3-gi gir1.2-gnomedesktop-3.0 gir1.2-gdkpixbuf-2.0
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVELLA_TESTS=OFF
//   cmake --build build-release && build-release/bench/bench_thumbnails [pictures=1000] [folder]
// The folders (default /tmp/orvella-bench-<N>) are made on first use and reused after; the page
// cache is warmed before anything is timed.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QtConcurrent>

#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "bench/benchsupport.h"
#include "browse/folderbrowser.h"
#include "browse/thumbnailloader.h"
#include "platform/picturedecoder.h"
#include "tests/exifwriter.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::bench;

namespace {

const QSize PictureSize(4000, 3000);

QString pictureName(int i)
{
    return QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
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

// Copies of the plain pictures first .. first + count - 1: files of their own (their own
// identities), so a revisit measures this folder's thumbnails, not the plain folder's.
void makeCopyFolder(const QString &plain, const QString &folder, int first, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString to = QDir(folder).filePath(pictureName(first + i));
        if (!QFile::exists(to))
            QFile::copy(QDir(plain).filePath(pictureName(first + i)), to);
    }
}

// The desktop's thumbnails of the plain pictures, made by the desktop's own library.
bool makeDesktopThumbnails(const QString &plain, int count, const QString &cacheHome)
{
    const QString script = QStringLiteral(ORVELLA_BENCH_DIR "/make_desktop_thumbnails.py");
    QStringList args {script};
    for (int i = 0; i < count; ++i)
        args << QDir(plain).filePath(pictureName(i));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    std::printf("making the desktop's thumbnails in %s ...\n", qPrintable(cacheHome));
    std::fflush(stdout);
    p.start(QStringLiteral("/usr/bin/python3"), args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

struct Load {
    double seconds = 0;
    double cpu = 0;
    qint64 decodes = 0;
    qint64 peakMb = -1;
};

// One load, timed: open opens the folder (or reloads), forget first empties the run's thumbnails.
template <typename Open> Load timed(OrvellaApp &app, bool forget, Open open)
{
    MainWindow &w = *app.mainWindow();
    if (forget)
        app.thumbnails.clear();
    const bool peakReset = resetPeakResident();
    const qint64 before = w.pictures().Decodes;
    const double cpu = cpuSeconds();
    QElapsedTimer t;
    t.start();
    open();
    // The load returns at once and fills in the background: the figure is the whole fill.
    waitUntil([&w] { return !w.loading(); }, 3600);
    Load load;
    load.seconds = double(t.nsecsElapsed()) / 1e9;
    load.cpu = cpuSeconds() - cpu;
    load.decodes = w.pictures().Decodes - before;
    load.peakMb = peakReset ? peakResidentMb() : -1;
    return load;
}

Load openFolder(OrvellaApp &app, const QString &folder, bool forget)
{
    MainWindow &w = *app.mainWindow();
    return timed(app, forget, [&] {
        w.Dir1->setPath(folder);
        w.loader().LoadThumbnails();
    });
}

const char *verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

void row(const char *figure, const QString &measured, const QString &goal, const char *mark = "")
{
    std::printf("%-58s %12s %12s  %s\n", figure, qPrintable(measured), qPrintable(goal), mark);
}

QString secs(double s)
{
    return QString::number(s, 'f', 3) + QLatin1Char('s');
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::max(400, std::atoi(argv[1])) : 1000;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : QDir::temp().filePath(QStringLiteral("orvella-bench-%1").arg(count));
    const QString plain = QDir(base).filePath(QStringLiteral("plain"));
    const QString camera = QDir(base).filePath(QStringLiteral("camera"));
    const QString folder300 = QDir(base).filePath(QStringLiteral("three-hundred"));
    const QString folder100 = QDir(base).filePath(QStringLiteral("one-hundred"));
    const QString desktopCache = QDir(base).filePath(QStringLiteral("desktop-cache"));
    const QString emptyCache = QDir(base).filePath(QStringLiteral("empty-cache"));
    makePlainFolder(plain, count);
    makeCameraFolder(plain, camera, count);
    makeCopyFolder(plain, folder300, 0, 300);
    makeCopyFolder(plain, folder100, 300, 100);
    const bool haveDesktopCache = makeDesktopThumbnails(plain, count, desktopCache);
    QDir().mkpath(emptyCache);
    // The desktop's cache is read only in the figure that is about it.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(emptyCache));

    OrvellaApp app(QStringLiteral("orvella-bench"));
    app.advertAddress = QStringLiteral("http://127.0.0.1:1/");
    if (!app.openMainWindow())
        return 1;
    MainWindow &w = *app.mainWindow();
    app.settings.AutoThumbnails = false;

    std::printf("\n%d pictures of %d x %d (JPEG), %d threads, grid cell %d x %d device pixels\n", count,
        PictureSize.width(), PictureSize.height(), QThread::idealThreadCount(), w.thumbnailCoverSize().width(),
        w.thumbnailCoverSize().height());

    // Warm the page cache for every folder, as the goals assume.
    for (const QString &f : {plain, camera, folder300, folder100})
        openFolder(app, f, true);
    QStringList plainFiles;
    for (int i = 0; i < count; ++i)
        plainFiles << QDir(plain).filePath(pictureName(i));
    const double djpeg = djpegLoopSeconds(plainFiles);
    const Load first = openFolder(app, plain, true);
    const Load cameraLoad = openFolder(app, camera, true);

    // 2. A folder of 300, then one of 100, then the 300 again.
    const Load first300 = openFolder(app, folder300, true);
    const Load visit100 = openFolder(app, folder100, false);
    const Load revisit = openFolder(app, folder300, false);

    // 3. The last three of the 300 renamed to names that sort first, then the reload that follows
    // every file operation.
    QStringList renamed;
    for (int i = 0; i < 3; ++i) {
        const QString from = QDir(folder300).filePath(pictureName(297 + i));
        const QString to = QDir(folder300).filePath(QStringLiteral("A %1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));
        if (QFile::rename(from, to))
            renamed << from << to;
    }
    const Load afterRename = timed(app, false, [&] { w.folders().RefreshAfterFileOperation(); });
    for (qsizetype i = 0; i + 1 < renamed.size(); i += 2)
        QFile::rename(renamed[i + 1], renamed[i]);

    // 4. The desktop has thumbnails of every picture.
    Load desktop;
    if (haveDesktopCache) {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(desktopCache));
        openFolder(app, folder100, true);
        desktop = openFolder(app, plain, true);
        qputenv("XDG_CACHE_HOME", QFile::encodeName(emptyCache));
    }

    std::printf("\n%-58s %12s %12s\n", "figure", "measured", "goal");
    if (djpeg > 0) {
        const double ratio = first.seconds / djpeg;
        row("djpeg -scale 1/8 loop, one core", secs(djpeg), QString());
        row("1. first load of all, wall time", secs(first.seconds), secs(djpeg * 0.5), verdict(ratio <= 0.5));
        row("   ratio to the djpeg loop", QString::number(ratio, 'f', 3), QStringLiteral("0.500"),
            verdict(ratio <= 0.5));
    } else {
        row("1. first load of all, wall time", secs(first.seconds), QStringLiteral("(djpeg?)"),
            "install libjpeg-turbo-progs to compare");
    }
    row("   CPU time", secs(first.cpu), QString());
    row("   decodes", QString::number(first.decodes), QString::number(count));

    const double revisitShare = revisit.cpu / first300.cpu;
    row("2. first load of the 300, CPU time", secs(first300.cpu), QString());
    row("   (wall time)", secs(first300.seconds), QString());
    row("   then the 100, CPU time", secs(visit100.cpu), QString());
    row("   revisit of the 300, CPU time", secs(revisit.cpu), secs(first300.cpu * 0.05));
    row("   revisit, share of the first load's CPU time",
        QString::number(100 * revisitShare, 'f', 2) + QLatin1Char('%'), QStringLiteral("5%"),
        verdict(revisitShare <= 0.05));
    row("   revisit, decodes", QString::number(revisit.decodes), QStringLiteral("0"), verdict(revisit.decodes == 0));

    const double renameShare = afterRename.cpu / first300.cpu;
    row("3. reload after renaming the last 3, CPU time", secs(afterRename.cpu), secs(first300.cpu * 0.05));
    row("   share of the first load's CPU time", QString::number(100 * renameShare, 'f', 2) + QLatin1Char('%'),
        QStringLiteral("5%"), verdict(renameShare <= 0.05));
    row("   decodes", QString::number(afterRename.decodes), QStringLiteral("0"),
        verdict(renamed.size() == 6 && afterRename.decodes == 0));

    if (haveDesktopCache) {
        row("4. load of all with the desktop's thumbnails", secs(desktop.seconds), secs(1.5),
            verdict(desktop.seconds <= 1.5));
        row("   CPU time", secs(desktop.cpu), QString());
        row("   decodes (the rest came from the desktop's cache)", QString::number(desktop.decodes),
            QStringLiteral("0"), verdict(desktop.decodes == 0));
    } else {
        row("4. load of all with the desktop's thumbnails", QStringLiteral("-"), secs(1.5),
            "install python3-gi gir1.2-gnomedesktop-3.0 gir1.2-gdkpixbuf-2.0 to measure");
    }

    qint64 peak = 0;
    bool peakKnown = true;
    for (const Load *l : std::initializer_list<const Load *> {
             &first, &cameraLoad, &first300, &visit100, &revisit, &afterRename, &desktop}) {
        if (l == &desktop && !haveDesktopCache)
            continue;
        peakKnown = peakKnown && l->peakMb >= 0;
        peak = std::max(peak, l->peakMb);
    }
    row("5. peak resident memory, highest of the loads above", QString::number(peak) + QStringLiteral("MB"),
        QStringLiteral("300MB"), verdict(peakKnown && peak <= 300));
    row("   in the first load of all", QString::number(first.peakMb) + QStringLiteral("MB"), QString());

    row("EXIF: load of all with embedded 160 x 120 thumbnails", secs(cameraLoad.seconds), secs(1.5),
        verdict(cameraLoad.seconds <= 1.5));
    row("   decodes (of the embedded thumbnails)", QString::number(cameraLoad.decodes), QString::number(count));
    std::printf("\nthumbnails kept this run: %lld, %lld MB outside the current folder (budget %lld MB)\n",
        qlonglong(app.thumbnails.count()), qlonglong(app.thumbnails.bytes() >> 20),
        qlonglong(app.thumbnails.budget() >> 20));
    return 0;
}
