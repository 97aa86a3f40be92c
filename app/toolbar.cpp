#include "app/toolbar.h"

#include <QAction>
#include <QCoreApplication>
#include <QStyle>
#include <QToolBar>

#include "app/mainwindow.h"
#include "app/orvellaapp.h"
#include "dialogs/about.h"
#include "dialogs/options.h"
#include "fileops/deletefiles.h"
#include "selection/gridselection.h"

namespace orvella {

namespace {
struct ToolbarEntry {
    const char *caption;
    const char *key;
    const char *tooltip;
    QStyle::StandardPixmap picture;
};
} // namespace

Toolbar::Toolbar(MainWindow &window, OrvellaApp &app, GridSelection &selection, DeleteFiles &deletion)
    : m_window(window)
    , m_app(app)
    , m_selection(selection)
    , m_delete(deletion)
{
}

void Toolbar::build(QToolBar &bar, const std::function<void(const QString &key)> &click)
{
    const ToolbarEntry buttons[] = {
        {"Sel. All", "SelectAll", "Select All", QStyle::SP_DialogApplyButton},
        {"Sel. None", "SelectNone", "Select None", QStyle::SP_DialogResetButton},
        {"Delete", "DeleteSelected", "Delete", QStyle::SP_TrashIcon},
        {"Options", "Options", "Options", QStyle::SP_FileDialogDetailedView},
        {nullptr, nullptr, nullptr, {}},
        {"Re-Namer", "FileRenamer", "File Re-Namer", QStyle::SP_FileDialogContentsView},
        {nullptr, nullptr, nullptr, {}},
        {"Help", "Help", "Help", QStyle::SP_DialogHelpButton},
        {"About", "About", "About", QStyle::SP_MessageBoxInformation},
        {nullptr, nullptr, nullptr, {}},
        {"Exit", "Exit", "Exit", QStyle::SP_DialogCloseButton},
    };
    for (const ToolbarEntry &b : buttons) {
        if (!b.key) {
            bar.addSeparator();
            continue;
        }
        QAction *action = bar.addAction(bar.style()->standardIcon(b.picture), QString::fromLatin1(b.caption));
        const QString key = QString::fromLatin1(b.key);
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setData(key);
        action->setToolTip(QString::fromLatin1(b.tooltip));
        QObject::connect(action, &QAction::triggered, &bar, [click, key] { click(key); });
    }
}

void Toolbar::Toolbar1_ButtonClick(const QString &key)
{
    if (key == u"SelectAll") {
        m_selection.SelectAllFiles();
    } else if (key == u"SelectNone") {
        m_selection.ClearSelection();
    } else if (key == u"DeleteSelected") {
        m_delete.DeleteSelectedFiles();
    } else if (key == u"FileRenamer") {
        // The main window is closed by this: nothing here may touch it afterwards.
        m_window.OpenFileRenamer();
    } else if (key == u"Help") {
        m_app.openHomePage();
    } else if (key == u"Exit") {
        // Ends at once: no question, no window's closing handlers.
        QCoreApplication::exit(0);
    } else if (key == u"Options") {
        // The dialog disables this window itself while it is open.
        m_app.options().open();
    } else if (key == u"About") {
        m_app.about().open();
        m_window.setEnabled(false);
    }
}

} // namespace orvella
