#pragma once

#include <functional>

#include <QString>

class QToolBar;

namespace orvella {

class DeleteFiles;
class GridSelection;
class MainWindow;
class OrvellaApp;

// The main window's toolbar: its buttons, and the one handler that dispatches on a button's key to
// the selection, the delete, the main window, the program's other windows and the program itself.
class Toolbar final {
public:
    Toolbar(MainWindow &window, OrvellaApp &app, GridSelection &selection, DeleteFiles &deletion);

    // Adds the buttons to bar; a click on one calls click with its key.
    void build(QToolBar &bar, const std::function<void(const QString &key)> &click);
    void Toolbar1_ButtonClick(const QString &key);

private:
    MainWindow &m_window;
    OrvellaApp &m_app;
    GridSelection &m_selection;
    DeleteFiles &m_delete;
};

} // namespace orvella
