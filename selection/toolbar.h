#pragma once

#include <QString>

class QToolBar;

namespace orvella {

class MainWindow;

// The main window's toolbar: its buttons, and the one handler that dispatches on a button's key.
class Toolbar final {
public:
    explicit Toolbar(MainWindow &w)
        : m_w(w)
    {
    }

    // Adds the buttons to bar.
    void build(QToolBar &bar);
    void Toolbar1_ButtonClick(const QString &key);

private:
    MainWindow &m_w;
};

} // namespace orvella
