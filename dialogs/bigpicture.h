#pragma once

#include <QWidget>

#include "ui/clicktracker.h"

namespace orvella {

class PictureBox;

// "Full Size": a black window showing one picture at its natural size, centred when the window
// is shown or resized; a click on the picture or on the black around it, or Escape, closes the
// window.
class BigPicture final : public QWidget {
    Q_OBJECT
public:
    explicit BigPicture(QWidget *parent = nullptr);

    // Puts picture into Picture1 and shows the window. A closed window comes back in its design
    // state and centres the picture; an open one keeps Picture1 where it is.
    void showPicture(const QImage &picture);

    void Form_Resize();
    void Form_Click();
    void Picture1_Click();

    PictureBox *Picture1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void designState();

    ClickTracker m_click;
};

} // namespace orvella
