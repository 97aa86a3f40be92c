#include <QApplication>

#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "ui/artwork.h"

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvella"));
    QApplication::setApplicationVersion(QStringLiteral("2.01"));
    QApplication::setWindowIcon(orvella::orvellaIcon());
    // Lets a Wayland task bar match the window to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Orvella"));

    orvella::OrvellaApp app;
    if (!app.openMainWindow())
        return 0;
    return QApplication::exec();
}
