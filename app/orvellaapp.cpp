#include "app/orvellaapp.h"

#include "app/mainwindow.h"

#include <QGuiApplication>
#include <QScreen>

namespace orvella {

OrvellaApp::OrvellaApp(QString instanceKey, QObject *parent)
    : QObject(parent)
    , guard(std::move(instanceKey))
{
}

OrvellaApp::~OrvellaApp()
{
    delete m_main.data();
}

bool OrvellaApp::openMainWindow()
{
    delete m_main.data();
    auto *w = new MainWindow(*this);
    m_main = w;
    if (!w->Form_Load()) {
        delete w;
        return false;
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = w->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        w->move(frame.topLeft());
    }
    w->show();
    return true;
}

void OrvellaApp::closeMainWindow()
{
    if (m_main) {
        m_main->hide();
        m_main->deleteLater();
        m_main = nullptr;
    }
}

} // namespace orvella
