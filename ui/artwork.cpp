#include "ui/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace orvella {

QPixmap orvellaLogo(QSize size)
{
    QPixmap pix(size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();
    // Three stacked photo frames, the front one showing hills under a sun.
    const QColor frames[] = {QColor(0x6a, 0x8c, 0xc8), QColor(0x8f, 0xb3, 0xe8), QColor(0xf4, 0xf4, 0xf4)};
    for (int i = 0; i < 3; ++i) {
        const QRectF r(w * (0.06 + 0.08 * i), h * (0.30 - 0.10 * i), w * 0.72, h * 0.62);
        p.setPen(QPen(QColor(0x30, 0x3a, 0x50), 1.5));
        p.setBrush(frames[i]);
        p.drawRoundedRect(r, 4, 4);
    }
    const QRectF photo(w * 0.27, h * 0.17, w * 0.62, h * 0.48);
    QLinearGradient sky(photo.topLeft(), photo.bottomLeft());
    sky.setColorAt(0, QColor(0x7c, 0xc4, 0xf2));
    sky.setColorAt(1, QColor(0xd8, 0xf0, 0xff));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(photo);
    p.setBrush(QColor(0xff, 0xc8, 0x30));
    p.drawEllipse(
        QPointF(photo.left() + photo.width() * 0.75, photo.top() + photo.height() * 0.28), w * 0.06, w * 0.06);
    QPainterPath hills;
    hills.moveTo(photo.bottomLeft());
    hills.lineTo(photo.left(), photo.top() + photo.height() * 0.7);
    hills.quadTo(photo.left() + photo.width() * 0.3, photo.top() + photo.height() * 0.35,
        photo.left() + photo.width() * 0.55, photo.top() + photo.height() * 0.7);
    hills.quadTo(photo.left() + photo.width() * 0.8, photo.top() + photo.height() * 0.5, photo.right(),
        photo.top() + photo.height() * 0.65);
    hills.lineTo(photo.bottomRight());
    hills.closeSubpath();
    p.setBrush(QColor(0x3c, 0x9a, 0x4c));
    p.drawPath(hills);
    return pix;
}

QIcon orvellaIcon()
{
    // Drawn from data/icons at build time: the same pictures as the icon installed in the theme,
    // so every window matches the menu entry.
    QIcon icon;
    for (int s : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(s), QSize(s, s));
    return icon;
}

} // namespace orvella
