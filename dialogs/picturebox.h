#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

#include "ui/clicktracker.h"

namespace orvella {

// A picture box: holds a picture shown at its top-left corner (optionally sizing itself to it),
// and can be cleared and have a picture drawn stretched into a rectangle. Its scale unit is the
// twip, as in the window layouts.
class PictureBox final : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    // With auto size on, the box takes the size of every picture it is given.
    void setAutoSize(bool on) { m_autoSize = on; }

    // The picture the box holds. naturalSize is the size the picture stands for when it was
    // decoded smaller (an invalid size: the picture's own); with auto size the box takes that
    // size, or no size at all for a null picture.
    void setPicture(const QImage &picture, QSize naturalSize = {});
    const QImage &Picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }

    // The inner size in twips.
    float ScaleWidth() const;
    float ScaleHeight() const;

    // Erases everything drawn into the box.
    void Cls();
    // Draws picture stretched into target, given in twips.
    void PaintPicture(const QImage &picture, const QRectF &target);

    // What was drawn since the last Cls (a null picture and an empty rectangle when nothing).
    const QImage &drawnPicture() const { return m_drawn; }
    QRectF drawnRect() const { return m_drawnRect; }

    void setBackColor(const QColor &color);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    QImage m_drawn;
    QRectF m_drawnRect;
    bool m_autoSize = false;
    ClickTracker m_click;
};

} // namespace orvella
