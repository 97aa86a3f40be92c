#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

namespace orvella {

// What the EXIF (APP1) segment at the head of a JPEG file says about the picture: its orientation
// and the small JPEG thumbnail cameras embed there. The bytes come from the user's files and are
// never trusted: every offset is checked against the segment before it is followed.
struct ExifHead {
    int orientation = 1; // 1 to 8; 1 when absent or out of range
    QByteArray thumbnail; // the embedded JPEG thumbnail's bytes; empty when there is none
    QSize pictureSize; // the main picture's stored size from its frame header, when within the head
    bool hasExif = false; // an EXIF segment was found and its header was sound
};

// How many bytes of a file are read for its EXIF head. The segment holds at most 64 KB; cameras
// put it first, but a JFIF segment may come before it, and the frame header follows it.
inline constexpr qsizetype ExifHeadBytes = 2 * 64 * 1024;

// Parses the first bytes of a JPEG file. Anything malformed, cut short or not a JPEG gives what
// could be read soundly (at worst the defaults); it never reads outside head.
ExifHead parseExifHead(QByteArrayView head);

// Reads the head of the file at path (opened as OpenedPicture opens it) and parses it; a file that
// cannot be read gives the defaults.
ExifHead readExifHead(const QString &path);

// Turns a picture stored in a file's own orientation into the upright one for EXIF orientation
// 1 to 8 (any other value leaves it as it is).
QImage orientImage(const QImage &stored, int orientation);

// Whether EXIF orientation swaps width and height (5 to 8).
inline bool orientationSwapsAxes(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// The embedded thumbnail of a JPEG file whose head is head, upright, when it covers cover (in
// pixels) and has the main picture's proportions; otherwise a null image. cover must not be empty.
QImage embeddedThumbnail(const ExifHead &head, QSize cover);

} // namespace orvella
