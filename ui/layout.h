#pragma once

#include <QFont>
#include <QRect>
#include <QString>

namespace orvella {

// Puts a widget of a window's layout in place: its layout name (the object name), the name
// assistive tools read, and its geometry.
template <class W> W *place(W *w, const QString &name, const QString &accessible, const QRect &geometry)
{
    w->setObjectName(name);
    w->setAccessibleName(accessible);
    w->setGeometry(geometry);
    return w;
}

// The same for a widget whose caption is what assistive tools read.
template <class W> W *place(W *w, const QString &name, const QRect &geometry)
{
    w->setObjectName(name);
    w->setGeometry(geometry);
    return w;
}

// A face of the layouts, at their 8.25 points.
inline QFont layoutFont(const QString &family, bool bold = false)
{
    QFont f(family);
    f.setPointSizeF(8.25);
    if (bold)
        f.setBold(true);
    return f;
}

} // namespace orvella
