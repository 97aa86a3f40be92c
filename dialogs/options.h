#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

#include "settings/browsersettings.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace orvella {

// "Options": changes the run's four settings. It is created once and kept for the whole run, so
// the format boxes of the last OK are remembered even when the main window is created afresh;
// while it is open the main window takes no input.
class Options final : public QWidget {
    Q_OBJECT
public:
    // settings: the run's settings record, which outlives the main window.
    explicit Options(BrowserSettings &settings);

    // The main window the dialog disables while it is open, and its manual load button, whose
    // visibility OK sets; null while no main window is open.
    void setMainWindow(QWidget *window, QPushButton *loadButton);

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

    BrowserSettings &m_settings;
    QPointer<QWidget> m_main;
    QPointer<QPushButton> m_loadButton;
    // What the settings and the format boxes were when the dialog opened; the close box puts
    // them back.
    BrowserSettings m_atOpening;
    std::array<int, 4> m_boxesAtOpening {};
    bool m_confirmed = false;
};

} // namespace orvella
