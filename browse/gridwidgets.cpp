#include "browse/gridwidgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace orvella {

ImageCell::ImageCell(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

void ImageCell::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void ImageCell::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_picture);
}

void ImageCell::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void ImageCell::mouseReleaseEvent(QMouseEvent *event)
{
    // The second press of a double-click is not a click of its own.
    const bool click = m_pressed && !m_inDoubleClick && rect().contains(event->position().toPoint());
    m_pressed = false;
    m_inDoubleClick = false;
    if (click && event->button() == Qt::LeftButton)
        emit clicked();
}

void ImageCell::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_inDoubleClick = true;
    m_pressed = true;
    emit doubleClicked();
}

void ImageCell::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}

CaptionBox::CaptionBox(QWidget *parent)
    : QLabel(parent)
{
    setMouseTracking(true);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setColors(CaptionBlack, CaptionGrey);
}

void CaptionBox::setColors(const QColor &fore, const QColor &back)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, fore);
    pal.setColor(QPalette::Window, back);
    setPalette(pal);
}

QColor CaptionBox::foreColor() const
{
    return palette().color(QPalette::WindowText);
}

QColor CaptionBox::backColor() const
{
    return palette().color(QPalette::Window);
}

void CaptionBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void CaptionBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && event->button() == Qt::LeftButton)
        emit clicked();
}

void CaptionBox::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}

} // namespace orvella
