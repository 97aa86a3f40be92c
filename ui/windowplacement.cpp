#include "ui/windowplacement.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
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
        QObject::connect(ok, &QShortcut::activated, accept, [&window, accept] {
            // Return on a focused button presses that button (Cancel stays Cancel).
            auto *focused = qobject_cast<QPushButton *>(window.focusWidget());
            (focused && focused->isEnabled() ? focused : accept)->click();
        });
    }
}

namespace {

// Claims Return and Enter for the widget it watches, before the window's shortcuts see them.
class ReturnKeeper final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                key->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void keepReturnKey(QWidget &widget)
{
    widget.installEventFilter(new ReturnKeeper(&widget));
}

} // namespace orvella
