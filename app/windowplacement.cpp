#include "app/windowplacement.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

namespace orvella {

void centreOnScreen(QWidget &window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

void showForOwner(QWidget &window, const QWidget *owner)
{
    if (!window.isVisible())
        centreOnScreen(window);
    window.winId(); // makes the native window, so it can take its transient parent before it shows
    if (owner && owner->windowHandle() && window.windowHandle())
        window.windowHandle()->setTransientParent(owner->windowHandle());
    window.show();
    window.raise();
    window.activateWindow();
}

void addDialogKeys(QWidget &window, QAbstractButton *accept)
{
    auto *cancel = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(cancel, &QShortcut::activated, &window, &QWidget::close);
    if (!accept)
        return;
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *ok = new QShortcut(QKeySequence(key), &window);
        QObject::connect(ok, &QShortcut::activated, accept, &QAbstractButton::click);
    }
}

} // namespace orvella
