// How fast the page shown fills, how the window answers during a fill, and how selection scales,
// each figure beside a baseline measured in the same run:
//   1. the first page on screen (the 36 cells of page 1 have their pictures) after opening a
//      folder of 1000 camera JPEGs (4000 x 3000, no EXIF thumbnail): at most 1.0 x a single-core
//      `djpeg -scale 1/8` loop over that page's 36 files;
//   2. the same for a folder of 100,000 pictures (36 camera JPEGs first, the rest small): at most
//      1.5 x the same loop;
//   3. a click (on a caption or a picture) or a Space key during the fill of the 1000, answered
//      (the caption's colour changed) within 100 ms of the moment it was made;
//   4. the whole fill of the 1000: at most 0.5 x the single-core djpeg loop over all of them;
//   5. the revisit of a folder of 300 after another folder, and the reload after renaming 3 of
//      the 300: CPU time (getrusage) at most 5% of the first visit's;
//   6. peak resident memory (VmHWM) after opening the 100,000 and paging from the first page to
//      the last, in a process of its own (`bench_fill memory`): at most 300 MB;
//   7. the main window's "Sel. All" (twice), "Sel. None" and a Shift range over the whole list,
//      and the File Renamer's "Select All" (twice), "Select None" and "Preview", on the 100,000:
//      at most 1 s each, beside the time to list the folder.
// A benchmark, not a test: scripts/test does not run it. By hand, on a release build, on a
// machine at rest (the load average is printed):
//   apt-get install libjpeg-turbo-progs
//   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-rel --target bench_fill && build-rel/bench/bench_fill [folder]
// The folders (default /tmp/orvella-bench-fill) take a few minutes to make the first time and
// are kept for the next runs; the program runs with a home of its own there.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <QToolButton>
#include <QtConcurrent>

#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "app/toolbar.h"
#include "bench/benchsupport.h"
#include "browse/folderbrowser.h"
#include "browse/gridwidgets.h"
#include "browse/thumbnailcache.h"
#include "browse/thumbnailgrid.h"
#include "browse/thumbnailloader.h"
#include "platform/filelisting.h"
#include "renamer/bulksorter.h"
#include "selection/gridselection.h"
#include "ui/filelistbox.h"
#include "ui/folderlistbox.h"

using namespace orvella;
using namespace orvella::bench;

namespace {

constexpr int Cells = 36;
constexpr int CameraCount = 1000;
constexpr int BigCount = 100000;

struct Folders {
    explicit Folders(const QString &base)
        : base(base)
    {
    }
    QString path(const char *name) const { return QDir(base).filePath(QString::fromLatin1(name)); }
    QString base;
    QString sources = path("sources"), camera = path("camera-1000"), big = path("pictures-100000"),
            three = path("three-hundred"), other = path("one-hundred"), empty = path("empty"), home = path("home");
};

QString cameraSource(const Folders &f, int i)
{
    return QDir(f.sources).filePath(QStringLiteral("camera-%1.jpg").arg(i % Cells, 2, 10, QLatin1Char('0')));
}

QString smallSource(const Folders &f)
{
    return QDir(f.sources).filePath(QStringLiteral("small.jpg"));
}

QString pictureName(int i, int digits)
{
    return QStringLiteral("IMG_%1.jpg").arg(i, digits, 10, QLatin1Char('0'));
}

QStringList picturePaths(const QString &folder, int count, int digits)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QDir(folder).filePath(pictureName(i, digits));
    return out;
}

// count files of their own (their own identities) in folder, file i a copy of source(i); a
// marker beside the folder says it is complete.
void makeCopies(const QString &folder, int count, int digits, const std::function<QString(int)> &source)
{
    const QString done = folder + QStringLiteral(".complete");
    if (QFile::exists(done))
        return;
    std::printf("making %d pictures in %s ...\n", count, qPrintable(folder));
    std::fflush(stdout);
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString to = QDir(folder).filePath(pictureName(i, digits));
        if (!QFile::exists(to) && !QFile::copy(source(i), to))
            qFatal("cannot write %s", qPrintable(to));
    }
    QFile(done).open(QIODevice::WriteOnly);
}

// 36 distinct camera pictures and one small one; every folder is made of copies of them, so the
// first page of either big folder decodes the same 36 pictures as the djpeg loop.
void makeFolders(const Folders &f)
{
    QDir().mkpath(f.sources);
    QList<int> missing;
    for (int i = 0; i < Cells; ++i)
        if (!QFile::exists(cameraSource(f, i)))
            missing << i;
    if (!missing.isEmpty()) {
        std::printf("making %lld camera pictures of 4000 x 3000 ...\n", qlonglong(missing.size()));
        std::fflush(stdout);
        QtConcurrent::blockingMap(missing, [&](int i) {
            const QString to = cameraSource(f, i);
            photoLike(i, QSize(4000, 3000)).save(to + QStringLiteral(".part"), "JPG", 90);
            QFile::rename(to + QStringLiteral(".part"), to);
        });
    }
    if (!QFile::exists(smallSource(f)))
        photoLike(99, QSize(160, 120)).save(smallSource(f), "JPG", 85);
    makeCopies(f.camera, CameraCount, 5, [&](int i) { return cameraSource(f, i); });
    makeCopies(f.three, 300, 5, [&](int i) { return cameraSource(f, i); });
    makeCopies(f.other, 100, 5, [&](int i) { return cameraSource(f, i + 7); });
    makeCopies(f.big, BigCount, 6, [&](int i) { return i < Cells ? cameraSource(f, i) : smallSource(f); });
    QDir().mkpath(f.empty);
}

// Reads every file of folder once, so the timings start from the page cache, as the goals assume.
void warm(const QString &folder)
{
    for (const QFileInfo &fi : QDir(folder).entryInfoList(QDir::Files)) {
        QFile file(fi.filePath());
        if (file.open(QIODevice::ReadOnly))
            while (!file.read(1 << 20).isEmpty()) { }
    }
}

void useOwnHome(const Folders &f)
{
    for (const char *sub : {".cache", ".local/share", ".config"})
        QDir().mkpath(QDir(f.home).filePath(QString::fromLatin1(sub)));
    qputenv("HOME", QFile::encodeName(f.home));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(f.home + QStringLiteral("/.cache")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(f.home + QStringLiteral("/.local/share")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(f.home + QStringLiteral("/.config")));
}

double since(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

// Whether the cells of the page shown hold the pictures of their files (not a placeholder).
bool pageComplete(MainWindow &w)
{
    const qsizetype start = w.position().PageStart;
    const qsizetype n = std::min<qsizetype>(Cells, w.File1->ListCount() - start);
    for (qsizetype k = 0; k < n; ++k) {
        const ImageCell &cell = *w.Image1[size_t(k)];
        const auto state = w.pictures().States.at(size_t(start + k));
        if (state == SlotState::Coming || (state == SlotState::Made && (cell.isComing() || !cell.hasPicture())))
            return false;
    }
    return true;
}

bool waitForFill(MainWindow &w, double timeout = 600)
{
    return waitUntil([&] { return !w.loading(); }, timeout);
}

// A folder with no pictures in between, so the next opening is a folder change that loads; the
// run's thumbnails forgotten when forget.
void leave(OrvellaApp &app, const Folders &f, bool forget)
{
    MainWindow &w = *app.mainWindow();
    w.Dir1->setPath(f.empty);
    waitForFill(w);
    if (forget)
        app.thumbnails.clear();
}

// Opens folder as a double-click in the folder list does (with automatic loading a fill
// follows); seconds until the first page is on screen.
double firstPage(MainWindow &w, const QString &folder)
{
    QElapsedTimer t;
    t.start();
    w.Dir1->setPath(folder);
    if (!waitUntil([&] { return pageComplete(w); }, 600))
        qFatal("the first page of %s never came", qPrintable(folder));
    return since(t);
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v[v.size() / 2];
}

struct Answer {
    double ms = 0;
    bool changed = false;
    bool duringFill = false;
};

// Inputs made by a thread of its own every 200 ms, from 250 ms into the fill until its end, as a
// person's reach the window: the window's thread takes each when it is free. Each toggles a cell
// of the page: a click on its caption, a click on its picture, or Space on it, in turn.
QList<Answer> inputsDuringFill(MainWindow &w, const QString &folder)
{
    QList<Answer> answers;
    std::atomic<bool> stop = false;
    w.Dir1->setPath(folder);
    std::thread person([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        for (int n = 0; !stop; ++n) {
            const auto made = std::chrono::steady_clock::now();
            QMetaObject::invokeMethod(
                qApp,
                [&w, &answers, made, n] {
                    const int k = (n * 7) % Cells;
                    CaptionBox *caption = w.Text1[size_t(k)];
                    const bool before = caption->backColor() == CaptionBlack;
                    const bool during = w.loading();
                    if (n % 3 == 0)
                        QTest::mouseClick(caption, Qt::LeftButton);
                    else if (n % 3 == 1)
                        QTest::mouseClick(w.Image1[size_t(k)], Qt::LeftButton);
                    else
                        QTest::keyClick(w.Image1[size_t(k)], Qt::Key_Space);
                    const bool after = caption->backColor() == CaptionBlack;
                    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - made;
                    answers.append({took.count(), after != before, during});
                },
                Qt::QueuedConnection);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    waitForFill(w);
    stop = true;
    person.join();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    w.toolbar().Toolbar1_ButtonClick(QStringLiteral("SelectNone"));
    return answers;
}

struct Cpu {
    double seconds = 0;
    qint64 decodes = 0;
};

template <typename Open> Cpu cpuOf(MainWindow &w, Open open)
{
    const qint64 decodes = w.pictures().Decodes;
    const double before = cpuSeconds();
    open();
    waitForFill(w);
    return {cpuSeconds() - before, w.pictures().Decodes - decodes};
}

template <typename Step> double timed(Step step)
{
    QElapsedTimer t;
    t.start();
    step();
    return since(t);
}

// The table.
void header()
{
    std::printf("\n%-52s %10s %10s %8s %8s\n", "figure", "measured", "baseline", "ratio", "goal");
}

void row(const QString &figure, const QString &measured, const QString &baseline, double ratio, const QString &goal,
    bool met)
{
    std::printf("%-52s %10s %10s %8s %8s  %s\n", qPrintable(figure), qPrintable(measured), qPrintable(baseline),
        ratio < 0 ? "" : qPrintable(QString::number(ratio, 'f', 3)), qPrintable(goal), met ? "met" : "NOT MET");
    std::fflush(stdout);
}

QString secs(double s)
{
    return QString::number(s, 'f', 3) + QLatin1Char('s');
}

OrvellaApp *startProgram(const char *key)
{
    auto *app = new OrvellaApp(QString::fromLatin1(key));
    app->advertAddress = QStringLiteral("http://127.0.0.1:1/");
    if (!app->openMainWindow())
        qFatal("the program did not start");
    return app;
}

// Figure 6, in a process of its own: opens the 100,000, waits for the first page, then pages
// down to the last page, each page shown complete before the next; prints the peak.
int memoryRun(const Folders &f)
{
    std::unique_ptr<OrvellaApp> app(startProgram("orvella-bench-fill-memory"));
    MainWindow &w = *app->mainWindow();
    QElapsedTimer t;
    t.start();
    firstPage(w, f.big);
    qsizetype pages = 1;
    while (w.position().PageStart + Cells < w.File1->ListCount()) {
        w.grid().PageDown_Click();
        ++pages;
        if (!waitUntil([&] { return pageComplete(w); }, 60))
            qFatal("page %lld never came", qlonglong(pages));
    }
    waitForFill(w);
    std::printf("pages %lld seconds %.1f peak %lld resident %lld\n", qlonglong(pages), since(t),
        qlonglong(peakResidentMb()), qlonglong(residentMb()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool memory = argc > 1 && qstrcmp(argv[1], "memory") == 0;
    const int folderArg = memory ? 2 : 1;
    const Folders f(argc > folderArg ? QString::fromLocal8Bit(argv[folderArg])
                                     : QDir::temp().filePath(QStringLiteral("orvella-bench-fill")));
    useOwnHome(f);
    QApplication application(argc, argv);
    if (memory)
        return memoryRun(f);

    makeFolders(f);
    for (const QString &folder : {f.camera, f.three, f.other, f.big})
        warm(folder);
    std::printf("\nload average before: %s; %d threads\n", qPrintable(loadAverage()), QThread::idealThreadCount());
    const QStringList pagePaths = picturePaths(f.camera, Cells, 5);
    const double djpegPage = djpegLoopSeconds(pagePaths);
    double djpegAllCpu = 0;
    const double djpegAll = djpegLoopSeconds(picturePaths(f.camera, CameraCount, 5), &djpegAllCpu);
    if (djpegPage <= 0 || djpegAll <= 0)
        qFatal("djpeg is missing or failed: apt-get install libjpeg-turbo-progs");

    // 6 first, in its own process, while this one is still small.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("memory"), f.base});
    child.waitForFinished(-1);
    const QString memoryOut = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    const QStringList m = memoryOut.split(u' ');

    std::unique_ptr<OrvellaApp> app(startProgram("orvella-bench-fill"));
    MainWindow &w = *app->mainWindow();
    std::printf("grid cell %d x %d device pixels\n", w.thumbnailCoverSize().width(), w.thumbnailCoverSize().height());

    // 1 and 2: three runs each, the median.
    QList<double> page1000, page100000;
    for (int run = 0; run < 3; ++run) {
        leave(*app, f, true);
        page1000 << firstPage(w, f.camera);
        leave(*app, f, true);
        page100000 << firstPage(w, f.big);
    }
    // 3.
    leave(*app, f, true);
    const QList<Answer> answers = inputsDuringFill(w, f.camera);
    // 4.
    leave(*app, f, true);
    const double fillCpuBefore = cpuSeconds();
    const qint64 decodesBefore = w.pictures().Decodes;
    const double wholeFill = timed([&] {
        w.Dir1->setPath(f.camera);
        waitForFill(w);
    });
    const double fillCpu = cpuSeconds() - fillCpuBefore;
    const qint64 fillDecodes = w.pictures().Decodes - decodesBefore;
    // 5.
    leave(*app, f, true);
    const Cpu first300 = cpuOf(w, [&] { w.Dir1->setPath(f.three); });
    cpuOf(w, [&] { w.Dir1->setPath(f.other); });
    const Cpu revisit = cpuOf(w, [&] { w.Dir1->setPath(f.three); });
    QStringList renamed;
    for (int i = 0; i < 3; ++i) {
        const QString from = QDir(f.three).filePath(pictureName(297 + i, 5));
        const QString to = QDir(f.three).filePath(QStringLiteral("A %1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));
        if (QFile::rename(from, to))
            renamed << from << to;
    }
    const Cpu reload = cpuOf(w, [&] { w.folders().RefreshAfterFileOperation(); });
    for (qsizetype i = 0; i + 1 < renamed.size(); i += 2)
        QFile::rename(renamed[i + 1], renamed[i]);

    // 7: the 100,000 with their fill ended, so that only the selection is timed.
    leave(*app, f, false);
    w.Dir1->setPath(f.big);
    waitForFill(w);
    FileListBox lister;
    const double listing = timed([&] { lister.setPath(f.big); });
    const qsizetype count = lister.ListCount();
    // Where the listing's time goes: reading the names, and the folder list's look for subfolders.
    const double names = timed([&] { listFiles(f.big, QStringLiteral("*")); });
    const double subfolders = timed([&] { listSubfolders(f.big); });
    const double scrolled = timed([&] {
        w.File1->scrollToBottom();
        w.File1->repaint();
    });
    auto press = [&](const char *key) { w.toolbar().Toolbar1_ButtonClick(QString::fromLatin1(key)); };
    struct Sel {
        QString what;
        double seconds;
        bool right;
    };
    QList<Sel> sels;
    auto select = [&](const QString &what, qsizetype expected, const std::function<void()> &step) {
        const double s = timed(step);
        sels.append({what, s, w.marks().SelectedCount == expected && w.File1->selectedCount() == expected});
    };
    w.selection().Text1_Click(0);
    w.Image1[0]->setFocus();
    QTest::keyClick(w.Image1[0], Qt::Key_End);
    waitUntil([&] { return pageComplete(w); }, 60);
    const int lastCell = int(count - 1 - w.position().PageStart);
    select(QStringLiteral("Shift range from the first to the last"), count,
        [&] { w.selection().Text1_ShiftClick(lastCell); });
    select(QStringLiteral("Sel. None"), 0, [&] { press("SelectNone"); });
    select(QStringLiteral("Sel. All"), count, [&] { press("SelectAll"); });
    select(QStringLiteral("Sel. All again"), count, [&] { press("SelectAll"); });
    select(QStringLiteral("Sel. None"), 0, [&] { press("SelectNone"); });

    BulkSorter &r = app->showFileRenamer();
    const double renamerListing = timed([&] { r.Dir1->setPath(f.big); });
    const double renamerReread = timed([&] { r.File1->Refresh(); });
    auto renamer = [&](const QString &what, qsizetype expected, QToolButton *button) {
        const double s = timed([&] { button->click(); });
        sels.append({QStringLiteral("File Renamer: ") + what, s,
            r.state.FilesSelected == expected && r.File1->selectedCount() == expected});
    };
    renamer(QStringLiteral("Select All"), count, r.Command1);
    renamer(QStringLiteral("Select All again"), count, r.Command1);
    r.Text2->setText(QStringLiteral("holiday"));
    renamer(QStringLiteral("Preview"), count, r.Command3);
    sels.last().right = sels.last().right && r.List1->count() == count
        && r.List1->item(int(count - 1))->text() == QStringLiteral("holiday %1.jpg").arg(count);
    renamer(QStringLiteral("Select None"), 0, r.Command2);

    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    header();
    const double p1 = median(page1000), p2 = median(page100000);
    row(QStringLiteral("1. first page, 1000 camera JPEGs (median of 3)"), secs(p1), secs(djpegPage), p1 / djpegPage,
        QStringLiteral("1.0"), p1 / djpegPage <= 1.0);
    row(QStringLiteral("2. first page, 100,000 pictures (median of 3)"), secs(p2), secs(djpegPage), p2 / djpegPage,
        QStringLiteral("1.5"), p2 / djpegPage <= 1.5);
    QList<double> during;
    int unanswered = 0;
    for (const Answer &a : answers)
        if (a.duringFill) {
            during << a.ms;
            unanswered += a.changed ? 0 : 1;
        }
    const double worst = during.isEmpty() ? -1 : *std::max_element(during.begin(), during.end());
    row(QStringLiteral("3. input during the fill, worst of %1 (ms)").arg(during.size()), QString::number(worst, 'f', 1),
        QString(), -1, QStringLiteral("100"), !during.isEmpty() && worst <= 100 && unanswered == 0);
    std::printf("   median %.1f ms; inputs that changed no caption: %d\n", median(during), unanswered);
    row(QStringLiteral("4. whole fill, 1000 camera JPEGs (%1 decodes)").arg(fillDecodes), secs(wholeFill),
        secs(djpegAll), wholeFill / djpegAll, QStringLiteral("0.5"), wholeFill / djpegAll <= 0.5 && fillDecodes > 0);
    // CPU time does not depend on what else the machine runs: with two cores to itself the fill's
    // wall time is about half its CPU time.
    std::printf("   CPU time: the fill %.3f s, the djpeg loop %.3f s (ratio %.3f)\n", fillCpu, djpegAllCpu,
        fillCpu / djpegAllCpu);
    row(QStringLiteral("5. revisit of the 300, CPU (%1 decodes)").arg(revisit.decodes), secs(revisit.seconds),
        secs(first300.seconds), revisit.seconds / first300.seconds, QStringLiteral("0.05"),
        revisit.seconds / first300.seconds <= 0.05 && revisit.decodes == 0);
    row(QStringLiteral("   reload after renaming 3, CPU (%1 decodes)").arg(reload.decodes), secs(reload.seconds),
        secs(first300.seconds), reload.seconds / first300.seconds, QStringLiteral("0.05"),
        renamed.size() == 6 && reload.seconds / first300.seconds <= 0.05 && reload.decodes == 0);
    const qint64 peak = m.size() >= 8 ? m[5].toLongLong() : -1;
    row(QStringLiteral("6. peak resident, 100,000 paged through (MB)"), QString::number(peak), QString(), -1,
        QStringLiteral("300"), peak > 0 && peak <= 300);
    std::printf("   %s\n", qPrintable(memoryOut));
    std::printf("7. %lld entries; listing them into a file list: %.3f s, of which reading the names %.3f s; the main "
                "window's list scrolled to the end and painted: %.3f s;\n   the renamer's folder change: %.3f s, of "
                "which the folder list's look for subfolders %.3f s; its file list reading the folder again: %.3f s\n",
        qlonglong(count), listing, names, scrolled, renamerListing, subfolders, renamerReread);
    for (const Sel &s : sels)
        row(QStringLiteral("   ") + s.what + (s.right ? QString() : QStringLiteral(" (WRONG RESULT)")), secs(s.seconds),
            secs(listing), s.seconds / listing, QStringLiteral("1s"), s.right && s.seconds <= 1.0);
    return 0;
}
