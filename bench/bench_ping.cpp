// The real program's main window, which opens a folder of pictures (a thumbnail load) once the
// window has been shown for a moment, and ends a second after the load. It prints when the load
// started and ended (CLOCK_MONOTONIC seconds), for bench/ping-during-load.sh, which pings the
// window meanwhile.
//   usage: bench_ping FOLDER [delay-ms=2000] [seconds to stay after the load=1]
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "ui/folderlistbox.h"

using namespace orvella;

namespace {

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_ping FOLDER [delay-ms]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int delay = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int stay = argc > 3 ? std::atoi(argv[3]) : 1;
    OrvellaApp app(QStringLiteral("orvella-bench-ping"));
    app.advertAddress = QStringLiteral("http://127.0.0.1:1/");
    if (!app.openMainWindow())
        return 1;
    QTimer::singleShot(delay, [&] {
        MainWindow &w = *app.mainWindow();
        std::printf("load start %.6f\n", now());
        std::fflush(stdout);
        // As a double-click on the folder does: with automatic loading, the load follows.
        w.Dir1->setPath(folder);
        std::printf("load end %.6f\n", now());
        std::printf("decodes %lld\n", qlonglong(w.pictures().Decodes));
        std::fflush(stdout);
        QTimer::singleShot(stay * 1000, &application, &QCoreApplication::quit);
    });
    return QApplication::exec();
}
