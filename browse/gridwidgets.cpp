#include "browse/gridwidgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>

namespace orvella {

ImageCell::ImageCell(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

void ImageCell::setPicture(const QImage &picture, const QString &path)
{
    m_picture = picture;
    m_path = path;
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
    m_click.press(*event);
}

void ImageCell::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(*this, *event))
        emit clicked();
}

void ImageCell::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_click.press(*event);
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
    m_click.press(*event);
}

void CaptionBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(*this, *event))
        emit clicked();
}

void CaptionBox::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}

QString plainToolTip(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}

} // namespace orvella
