#pragma once

// Writes EXIF segments the way cameras do: an orientation in the first directory and a JPEG
// thumbnail in the second. Used by the tests and the benchmark to make their own camera files.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace orvella::test {

// The byte writer of one TIFF structure in either byte order.
class TiffWriter {
public:
    explicit TiffWriter(bool bigEndian)
        : m_bigEndian(bigEndian)
    {
    }
    void u16(quint32 v)
    {
        const char a = char(v >> 8 & 0xFF), b = char(v & 0xFF);
        m_bytes.append(m_bigEndian ? a : b).append(m_bigEndian ? b : a);
    }
    void u32(quint32 v)
    {
        if (m_bigEndian) {
            u16(v >> 16);
            u16(v & 0xFFFF);
        } else {
            u16(v & 0xFFFF);
            u16(v >> 16);
        }
    }
    // A directory entry with one SHORT (type 3) or LONG (type 4) value.
    void entry(quint32 tag, quint32 type, quint32 value)
    {
        u16(tag);
        u16(type);
        u32(1);
        if (type == 3) {
            u16(value);
            u16(0);
        } else {
            u32(value);
        }
    }
    QByteArray &bytes() { return m_bytes; }

private:
    bool m_bigEndian;
    QByteArray m_bytes;
};

// The TIFF structure of an EXIF segment: orientation 0 writes no orientation tag; an empty
// thumbnail writes no second directory.
inline QByteArray exifTiff(int orientation, const QByteArray &thumbnail, bool bigEndian = false)
{
    TiffWriter t(bigEndian);
    t.bytes().append(bigEndian ? "MM" : "II");
    t.u16(42);
    t.u32(8);
    const quint32 ifd0Entries = orientation != 0 ? 1 : 0;
    const quint32 ifd1 = 8 + 2 + 12 * ifd0Entries + 4;
    t.u16(ifd0Entries);
    if (orientation != 0)
        t.entry(0x0112, 3, quint32(orientation));
    t.u32(thumbnail.isEmpty() ? 0 : ifd1);
    if (!thumbnail.isEmpty()) {
        const quint32 data = ifd1 + 2 + 3 * 12 + 4;
        t.u16(3);
        t.entry(0x0103, 3, 6); // JPEG compression
        t.entry(0x0201, 4, data);
        t.entry(0x0202, 4, quint32(thumbnail.size()));
        t.u32(0);
        t.bytes().append(thumbnail);
    }
    return t.bytes();
}

// A whole APP1 segment (marker, length, "Exif\0\0", payload). payload over 65527 bytes cannot be
// stored in one segment and gives an empty result.
inline QByteArray app1Segment(const QByteArray &payload)
{
    const qsizetype length = 2 + 6 + payload.size();
    if (length > 0xFFFF)
        return {};
    QByteArray s("\xFF\xE1", 2);
    s.append(char(length >> 8 & 0xFF)).append(char(length & 0xFF));
    s.append("Exif\0\0", 6);
    s.append(payload);
    return s;
}

// jpeg with segment inserted right after its start marker.
inline QByteArray withSegment(const QByteArray &jpeg, const QByteArray &segment)
{
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// jpeg with an EXIF segment holding orientation and thumbnail.
inline QByteArray withExif(const QByteArray &jpeg, int orientation, const QByteArray &thumbnail, bool bigEndian = false)
{
    return withSegment(jpeg, app1Segment(exifTiff(orientation, thumbnail, bigEndian)));
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
