#pragma once

#include "selection/browsersettings.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace orvella {

class MainWindow;
class OrvellaApp;

// "Options": changes the run's four settings through the main window's properties. It is created
// once and kept for the whole run, so the format boxes of the last OK are remembered even when
// the main window is created afresh; while it is open the main window takes no input.
class Options final : public QWidget {
    Q_OBJECT
public:
    explicit Options(OrvellaApp &app);

    // Shows the dialog; a closed one is opened afresh (widgets in their design state, then
    // Form_Load).
    void open();

    void Form_Load();
    void Command3_Click();
    void Form_Unload();

    QGroupBox *Frame2 = nullptr;
    QRadioButton *SmallPicture = nullptr;
    QRadioButton *FullScreen = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *ToRecycle = nullptr;
    QRadioButton *PermDel = nullptr;
    QGroupBox *Frame3 = nullptr;
    QRadioButton *AutoThumb = nullptr;
    QRadioButton *ManualThumb = nullptr;
    QGroupBox *Frame4 = nullptr;
    std::array<QCheckBox *, 4> Check1 {};
    QPushButton *Command3 = nullptr;

    // Kept for the whole run.
    std::array<QString, 101> FormatPatterns;
    std::array<int, 11> FormatChecked {};
    int FormatsRemembered = 0;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void designState();
    MainWindow *main() const;

    OrvellaApp &m_app;
    // What the settings and the format boxes were when the dialog opened; the close box puts
    // them back.
    BrowserSettings m_atOpening;
    std::array<int, 4> m_boxesAtOpening {};
    bool m_confirmed = false;
};

} // namespace orvella
