#include "browse/gridwidgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>

namespace orvella {

ImageCell::ImageCell(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    // A click gives a cell the focus; the grid puts one cell at a time into the Tab chain.
    setFocusPolicy(Qt::ClickFocus);
}

void ImageCell::setPicture(const QImage &picture, const QString &path, bool coming)
{
    m_picture = picture;
    m_path = path;
    m_coming = coming && !path.isEmpty();
    update();
}

void ImageCell::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_picture.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), m_picture);
    } else if (m_coming) {
        // A thumbnail on its way: a light frame where it will be.
        p.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
        p.drawRect(rect().adjusted(4, 4, -5, -5));
    }
    if (!hasFocus())
        return;
    // The picture fills the cell, so the focus frame lies over its edge: a dark, a coloured and a
    // light line keep it visible on any picture. The next cell and the caption overlap the cell's
    // last column and row; the frame stays inside what they leave visible.
    const QRect outer = visibleRegion().boundingRect().adjusted(0, 0, -1, -1);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(outer);
    p.setPen(palette().color(QPalette::Active, QPalette::Highlight));
    p.drawRect(outer.adjusted(1, 1, -1, -1));
    p.drawRect(outer.adjusted(2, 2, -2, -2));
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(outer.adjusted(3, 3, -3, -3));
}

void ImageCell::mousePressEvent(QMouseEvent *event)
{
    m_click.press(*event);
}

void ImageCell::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_click.release(*this, *event))
        return;
    if (event->modifiers() & Qt::ShiftModifier)
        emit shiftClicked();
    else
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

void ImageCell::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    // Space and Return held down would toggle the picture, or open it, again and again.
    const bool repeated = event->isAutoRepeat();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!plain)
            break;
        emit movementKey(event->key());
        return;
    case Qt::Key_Space:
        if (modifiers == Qt::ShiftModifier) {
            if (!repeated)
                emit shiftClicked();
            return;
        }
        if (!plain)
            break;
        if (!repeated)
            emit clicked();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!plain)
            break;
        if (!repeated)
            emit doubleClicked();
        return;
    case Qt::Key_Escape:
        if (!plain)
            break;
        emit escapePressed();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void ImageCell::focusInEvent(QFocusEvent *event)
{
    // Roving focus: Tab reaches the grid at the cell that had the focus last, and only there.
    if (QWidget *grid = parentWidget()) {
        for (ImageCell *cell : grid->findChildren<ImageCell *>(Qt::FindDirectChildrenOnly))
            cell->setFocusPolicy(cell == this ? Qt::StrongFocus : Qt::ClickFocus);
    }
    update();
    QWidget::focusInEvent(event);
    emit focused();
}

void ImageCell::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
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

bool CaptionBox::showsSelected() const
{
    return foreColor() == CaptionGrey && backColor() == CaptionBlack;
}

void CaptionBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_click.release(*this, *event))
        return;
    if (event->modifiers() & Qt::ShiftModifier)
        emit shiftClicked();
    else
        emit clicked();
}

void CaptionBox::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}

void describeCell(ImageCell &cell, CaptionBox &caption)
{
    const QString file = caption.text();
    const QString name = file.isEmpty() ? QString()
        : caption.showsSelected()       ? ImageCell::tr("%1, selected").arg(file)
                                        : file;
    // Setting a name tells assistive tools that it changed.
    cell.setAccessibleName(name);
    caption.setAccessibleName(name);
}

QString plainToolTip(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}

} // namespace orvella
