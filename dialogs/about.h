#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "ui/clicktracker.h"

class QPushButton;

namespace orvella {

// A label that reports a click: the about box's web-address link.
class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ClickTracker m_click;
};

// "About": the product name, version, logo, a notice and the link to the home page. While it is
// open the main window takes no input; the main window is enabled again however it closes.
class About final : public QWidget {
    Q_OBJECT
public:
    // homeAddress: the address the link shows and leads to.
    explicit About(const QString &homeAddress);

    // The main window the box disables while it is open; null while no main window is open.
    void setMainWindow(QWidget *window);

    // Shows the window centred on the screen (it has no state to set up).
    void open();

    void Command1_Click();
    void Label3_Click();
    void Form_Unload();

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Image1 = nullptr;
    LinkLabel *Label3 = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *Label4 = nullptr;

signals:
    // The link was clicked: the home page should open.
    void homePageRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<QWidget> m_main;
};

} // namespace orvella
