#include "dialogs/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

namespace orvella {

namespace {
constexpr float TwipsPerPixel = 15.0f;
}

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
}

void PictureBox::setPicture(const QImage &picture, QSize naturalSize)
{
    m_picture = picture;
    if (m_autoSize)
        resize(picture.isNull() ? QSize(0, 0) : naturalSize.isValid() ? naturalSize : picture.size());
    update();
}

float PictureBox::ScaleWidth() const
{
    return float(width()) * TwipsPerPixel;
}

float PictureBox::ScaleHeight() const
{
    return float(height()) * TwipsPerPixel;
}

void PictureBox::Cls()
{
    m_drawn = QImage();
    m_drawnRect = QRectF();
    update();
}

void PictureBox::PaintPicture(const QImage &picture, const QRectF &target)
{
    m_drawn = picture;
    m_drawnRect = target;
    update();
}

void PictureBox::setBackColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_picture.isNull()) {
        // A picture decoded smaller than the size it stands for fills the box it sized.
        if (m_autoSize)
            p.drawImage(rect(), m_picture);
        else
            p.drawImage(QPoint(0, 0), m_picture);
    }
    if (!m_drawn.isNull() && !m_drawnRect.isEmpty()) {
        p.scale(1.0 / TwipsPerPixel, 1.0 / TwipsPerPixel);
        p.drawImage(m_drawnRect, m_drawn);
    }
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_click.press(*event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(*this, *event))
        emit clicked();
}

} // namespace orvella
