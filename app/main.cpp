#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "browse/thumbnailworkers.h"
#include "ui/artwork.h"

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvella"));
    QApplication::setApplicationVersion(QStringLiteral("2.01"));
    QApplication::setWindowIcon(orvella::orvellaIcon());
    // Lets a Wayland task bar match the window to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Orvella"));

    int code = 0;
    {
        orvella::OrvellaApp app;
        if (!app.openMainWindow())
            return 0;
        code = QApplication::exec();
    }
    // A thumbnail thread held by a file that never answers (a stalled network mount) is not
    // waited for.
    if (orvella::thumbnailReadsRunning()) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
