#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "platform/fileidentity.h"

namespace orvella {

// The thumbnails the desktop keeps for every program (the freedesktop thumbnail standard): PNG
// files under $XDG_CACHE_HOME/thumbnails/<size>/, named by the MD5 of the picture's URI. This
// program only reads them and never writes there.

// The file: URI the standard names a picture by: "file://" and the absolute path, its bytes
// escaped as the desktop's own libraries escape them.
QByteArray desktopThumbnailUri(const QString &absolutePath);

// The desktop's thumbnail folder: $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails.
QString desktopThumbnailFolder();

// The desktop's thumbnail of the picture at path whose identity is file, scaled down to just cover
// cover: from the smallest size folder whose thumbnails can cover it, provided the entry names
// this file, records its modification time (and size, if it records one) and covers the cell.
// A damaged, mismatched or too small entry gives a null image.
QImage desktopThumbnail(const QString &path, const FileIdentity &file, QSize cover);

} // namespace orvella
