#pragma once

// Writes EXIF segments the way cameras do: an orientation in the first directory and a JPEG
// thumbnail in the second. Used by the tests and the benchmark to make their own camera files.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace orvella::test {

// The TIFF structure of an EXIF segment, IFD0 at 8 and IFD1 right after it: orientation 0 writes
// no orientation tag; an empty thumbnail writes no second directory.
inline QByteArray exifTiff(int orientation, const QByteArray &thumbnail, bool bigEndian = false)
{
    QByteArray b(bigEndian ? "MM" : "II");
    auto u16 = [&](quint32 v) { b.append(char(bigEndian ? v >> 8 : v)).append(char(bigEndian ? v : v >> 8)); };
    auto u32 = [&](quint32 v) { bigEndian ? (u16(v >> 16), u16(v)) : (u16(v), u16(v >> 16)); };
    // A directory entry with one SHORT (type 3) or LONG (type 4) value.
    auto entry = [&](quint32 tag, quint32 type, quint32 v) {
        u16(tag), u16(type), u32(1), type == 3 ? u32(v << (bigEndian ? 16 : 0)) : u32(v);
    };
    const quint32 ifd1 = orientation != 0 ? 8 + 2 + 12 + 4 : 8 + 2 + 4;
    u16(42), u32(8), u16(orientation != 0 ? 1 : 0);
    if (orientation != 0)
        entry(0x0112, 3, quint32(orientation));
    u32(thumbnail.isEmpty() ? 0 : ifd1);
    if (!thumbnail.isEmpty()) {
        u16(3), entry(0x0103, 3, 6); // JPEG compression
        entry(0x0201, 4, ifd1 + 2 + 3 * 12 + 4), entry(0x0202, 4, quint32(thumbnail.size())), u32(0);
        b.append(thumbnail);
    }
    return b;
}

// A whole APP1 segment (marker, length, "Exif\0\0", payload); empty for a payload over 65527 bytes.
inline QByteArray app1Segment(const QByteArray &payload)
{
    const qsizetype length = 2 + 6 + payload.size();
    return length > 0xFFFF
        ? QByteArray()
        : QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length) + QByteArray("Exif\0\0", 6) + payload;
}

// jpeg with an EXIF segment holding orientation and thumbnail.
inline QByteArray withExif(const QByteArray &jpeg, int orientation, const QByteArray &thumbnail, bool bigEndian = false)
{
    return QByteArray(jpeg).insert(2, app1Segment(exifTiff(orientation, thumbnail, bigEndian)));
}

inline QByteArray encodeJpeg(const QImage &image, int quality = 85)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    return bytes;
}

} // namespace orvella::test
