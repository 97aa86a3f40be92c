#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "platform/fileidentity.h"

namespace orvella {

// Every function here opens the file once, never blocking and only if it is a regular file, and
// reads it only through that descriptor. What the file's first bytes say it is decides the reader:
// JPEG, BMP, GIF or icon, nothing else, whatever its name. A picture is refused (a null image) when
// decoding it would cost more memory than a picture may; what is given back holds pixels only,
// none of the file's text.

// Decodes a BMP, GIF, JPEG or icon file with its EXIF orientation applied. With a non-empty
// cover size the picture is decoded scaled down (proportions kept, never enlarged) so that it
// just covers that size; otherwise at its natural size, capped as decodePictureToFit caps it. A
// file that cannot be decoded, or the empty name, gives a null image.
QImage decodePicture(const QString &path, QSize cover = {});

// Where a thumbnail came from.
enum class ThumbnailSource { None, Desktop, Embedded, Decoded };

// What a thumbnail maker made of one file: the picture (null when it could not be read), where it
// came from, and the identity of the file actually read (fstat of the opened descriptor; invalid
// when nothing could be opened).
struct Thumbnail {
    QImage image;
    ThumbnailSource source = ThumbnailSource::None;
    FileIdentity file;
};

// Opens path once (following a link to the picture, never blocking: O_RDONLY|O_NONBLOCK|O_CLOEXEC,
// fstat must say a regular file before a byte is read) and makes the cell's thumbnail from that
// descriptor: desktop thumbnail (looked up with the identity just read), EXIF thumbnail, or decode.
// Safe to call from several threads at once.
Thumbnail makeThumbnail(const QString &path, QSize cover);

// The thumbnail of a picture file for a grid cell of cover device pixels: a JPEG's embedded EXIF
// thumbnail, upright, when it covers the cell; otherwise the picture decoded as decodePicture does.
// Safe to call from several threads at once.
QImage decodeThumbnail(const QString &path, QSize cover, ThumbnailSource *source = nullptr);

// The thumbnail of the picture at path, whose identity is file: the desktop's own thumbnail when it
// has a sound one that covers the cell, otherwise what decodeThumbnail makes. Thread-safe.
QImage thumbnailOf(const QString &path, const FileIdentity &file, QSize cover, ThumbnailSource *source = nullptr);

// Decodes a picture scaled down to fit inside box (proportions kept, never enlarged); an empty box
// means natural size, capped at maxPixels.
QImage decodePictureToFit(const QString &path, QSize box, qint64 maxPixels = 100'000'000);

// The size a picture shows at (after its orientation), or an invalid size when it cannot be read.
QSize pictureSize(const QString &path);

} // namespace orvella
