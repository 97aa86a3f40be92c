#include "platform/exifthumbnail.h"

#include <cmath>
#include <cstdint>

#include <QBuffer>
#include <QImageReader>
#include <QTransform>

#include "platform/openedpicture.h"

namespace orvella {

namespace {

// A bounds-checked view of bytes in one byte order. Every read outside the view gives false and
// leaves the value alone, so a lying offset can only make the parse give up.
class Bytes {
public:
    Bytes(QByteArrayView data, bool bigEndian)
        : m_data(data)
        , m_bigEndian(bigEndian)
    {
    }

    qsizetype size() const { return m_data.size(); }
    bool fits(quint64 offset, quint64 length) const
    {
        return offset <= quint64(m_data.size()) && length <= quint64(m_data.size()) - offset;
    }
    bool u16(quint64 offset, quint32 &value) const
    {
        if (!fits(offset, 2))
            return false;
        const quint32 a = byte(offset), b = byte(offset + 1);
        value = m_bigEndian ? (a << 8 | b) : (b << 8 | a);
        return true;
    }
    bool u32(quint64 offset, quint32 &value) const
    {
        quint32 hi = 0, lo = 0;
        if (!u16(offset, m_bigEndian ? hi : lo) || !u16(offset + 2, m_bigEndian ? lo : hi))
            return false;
        value = hi << 16 | lo;
        return true;
    }
    QByteArrayView mid(quint64 offset, quint64 length) const
    {
        return fits(offset, length) ? m_data.sliced(qsizetype(offset), qsizetype(length)) : QByteArrayView();
    }

private:
    quint32 byte(quint64 offset) const { return quint8(m_data[qsizetype(offset)]); }

    QByteArrayView m_data;
    bool m_bigEndian;
};

constexpr quint32 TagOrientation = 0x0112;
constexpr quint32 TagCompression = 0x0103;
constexpr quint32 TagThumbnailOffset = 0x0201;
constexpr quint32 TagThumbnailLength = 0x0202;
constexpr quint32 TypeShort = 3;
constexpr quint32 TypeLong = 4;
constexpr quint32 CompressionJpeg = 6;
constexpr qsizetype IfdEntryBytes = 12;

// One entry of an image file directory: a tag and its single SHORT or LONG value.
struct IfdEntry {
    quint32 tag = 0;
    quint32 type = 0;
    quint32 value = 0;
    bool hasValue = false;
};

// Reads the entries of the directory at offset; gives the offset of the next directory (0 for
// none). A directory that runs past the end of the data is read as far as whole entries go.
template <typename Visit> quint32 walkIfd(const Bytes &tiff, quint32 offset, Visit visit)
{
    quint32 count = 0;
    if (!tiff.u16(offset, count))
        return 0;
    const quint64 first = quint64(offset) + 2;
    const quint64 room = tiff.fits(first, 0) ? (quint64(tiff.size()) - first) / IfdEntryBytes : 0;
    const bool whole = count <= room;
    if (!whole)
        count = quint32(room);
    for (quint32 n = 0; n < count; ++n) {
        const quint64 at = first + quint64(n) * IfdEntryBytes;
        IfdEntry e;
        quint32 valueCount = 0;
        tiff.u16(at, e.tag);
        tiff.u16(at + 2, e.type);
        tiff.u32(at + 4, valueCount);
        if (valueCount >= 1) {
            // A single SHORT sits in the first two bytes of the value field, a LONG fills it.
            if (e.type == TypeShort)
                e.hasValue = tiff.u16(at + 8, e.value);
            else if (e.type == TypeLong)
                e.hasValue = tiff.u32(at + 8, e.value);
        }
        visit(e);
    }
    quint32 next = 0;
    if (!whole || !tiff.u32(first + quint64(count) * IfdEntryBytes, next))
        return 0;
    return next;
}

// Parses the TIFF structure inside an EXIF segment (after "Exif\0\0").
void parseTiff(QByteArrayView data, ExifHead &head)
{
    if (data.size() < 8)
        return;
    bool bigEndian;
    if (data[0] == 'I' && data[1] == 'I')
        bigEndian = false;
    else if (data[0] == 'M' && data[1] == 'M')
        bigEndian = true;
    else
        return;
    const Bytes tiff(data, bigEndian);
    quint32 magic = 0, ifd0 = 0;
    if (!tiff.u16(2, magic) || magic != 42 || !tiff.u32(4, ifd0))
        return;
    head.hasExif = true;

    const quint32 ifd1 = walkIfd(tiff, ifd0, [&](const IfdEntry &e) {
        if (e.tag == TagOrientation && e.hasValue && e.value >= 1 && e.value <= 8)
            head.orientation = int(e.value);
    });
    // The thumbnail's directory must lie elsewhere than the first: a loop back is malformed.
    if (ifd1 == 0 || ifd1 == ifd0)
        return;
    quint32 offset = 0, length = 0, compression = CompressionJpeg;
    bool hasOffset = false, hasLength = false;
    walkIfd(tiff, ifd1, [&](const IfdEntry &e) {
        if (!e.hasValue)
            return;
        if (e.tag == TagThumbnailOffset) {
            offset = e.value;
            hasOffset = true;
        } else if (e.tag == TagThumbnailLength) {
            length = e.value;
            hasLength = true;
        } else if (e.tag == TagCompression) {
            compression = e.value;
        }
    });
    if (!hasOffset || !hasLength || compression != CompressionJpeg || length < 4)
        return;
    const QByteArrayView thumb = tiff.mid(offset, length);
    if (thumb.size() < 4 || quint8(thumb[0]) != 0xFF || quint8(thumb[1]) != 0xD8)
        return;
    head.thumbnail = thumb.toByteArray();
}

bool isFrameHeader(quint8 marker)
{
    // SOF0 to SOF15, except DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The smallest size that covers cover with the proportions of size.
QSize coveringSize(QSize size, QSize cover)
{
    const double scale = std::max(double(cover.width()) / size.width(), double(cover.height()) / size.height());
    if (scale >= 1.0)
        return size;
    return QSize(
        std::max(1, int(std::lround(size.width() * scale))), std::max(1, int(std::lround(size.height() * scale))));
}

} // namespace

ExifHead parseExifHead(QByteArrayView head)
{
    ExifHead result;
    const Bytes jpeg(head, true);
    quint32 soi = 0;
    if (!jpeg.u16(0, soi) || soi != 0xFFD8)
        return result;
    quint64 pos = 2;
    // An EXIF block larger than one segment holds continues in the APP1 segments right after it,
    // each with its own "Exif\0\0" header; the pieces are joined before the block is parsed.
    QByteArray exif;
    bool exifSeen = false;
    bool exifContinues = false;
    for (;;) {
        if (!jpeg.fits(pos, 2) || quint8(head[qsizetype(pos)]) != 0xFF)
            break;
        // Any number of 0xFF fill bytes may come before a marker.
        while (jpeg.fits(pos + 1, 1) && quint8(head[qsizetype(pos + 1)]) == 0xFF)
            ++pos;
        if (!jpeg.fits(pos + 1, 1))
            break;
        const quint8 marker = quint8(head[qsizetype(pos + 1)]);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            pos += 2; // markers without a length
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)
            break; // end of picture or start of the compressed data: no header follows
        quint32 length = 0;
        if (!jpeg.u16(pos + 2, length) || length < 2)
            break;
        const quint64 body = pos + 4;
        const quint64 bodyLength = length - 2;
        // A segment cut off by the end of the head is parsed as far as it goes.
        const QByteArrayView segment
            = jpeg.mid(body, std::min<quint64>(bodyLength, jpeg.fits(body, 0) ? quint64(head.size()) - body : 0));
        const bool exifSegment
            = marker == 0xE1 && segment.size() >= 6 && segment.first(6) == QByteArrayView("Exif\0\0", 6);
        if (exifSegment && (!exifSeen || exifContinues)) {
            exifSeen = true;
            exif.append(segment.sliced(6));
            exifContinues = length == 0xFFFF;
        } else {
            exifContinues = false;
        }
        if (isFrameHeader(marker)) {
            const Bytes frame(segment, true);
            quint32 height = 0, width = 0;
            if (frame.u16(1, height) && frame.u16(3, width) && width > 0 && height > 0)
                result.pictureSize = QSize(int(width), int(height));
            break;
        }
        pos = body + bodyLength;
    }
    if (exifSeen)
        parseTiff(exif, result);
    return result;
}

ExifHead readExifHead(const QString &path)
{
    return parseExifHead(OpenedPicture(path).head(ExifHeadBytes));
}

QImage orientImage(const QImage &stored, int orientation)
{
    // The same steps the picture reader takes for the main picture: mirror first, then turn.
    switch (orientation) {
    case 2:
        return stored.mirrored(true, false);
    case 3:
        return stored.mirrored(true, true);
    case 4:
        return stored.mirrored(false, true);
    case 5:
        return stored.mirrored(false, true).transformed(QTransform().rotate(90));
    case 6:
        return stored.transformed(QTransform().rotate(90));
    case 7:
        return stored.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8:
        return stored.transformed(QTransform().rotate(270));
    default:
        return stored;
    }
}

QImage embeddedThumbnail(const ExifHead &head, QSize cover)
{
    if (head.thumbnail.isEmpty() || cover.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(head.thumbnail);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoDetectImageFormat(false);
    // A few bytes may declare a thumbnail of any size: one that would take more than a large
    // preview's memory (2048 x 2048) is refused.
    reader.setAllocationLimit(16);
    // The main picture's orientation is the one that counts; the thumbnail's own tags are not.
    reader.setAutoTransform(false);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        return {};
    const QSize shown = orientationSwapsAxes(head.orientation) ? stored.transposed() : stored;
    if (shown.width() < cover.width() || shown.height() < cover.height())
        return {};
    // Cameras pad the thumbnail of a picture of other proportions with black bars: such a thumbnail
    // would show them, so the picture itself is decoded instead.
    if (head.pictureSize.isValid()) {
        const double thumbAspect = double(stored.width()) / stored.height();
        const double pictureAspect = double(head.pictureSize.width()) / head.pictureSize.height();
        if (std::abs(thumbAspect / pictureAspect - 1.0) > 0.03)
            return {};
    }
    QImage image = reader.read();
    if (image.isNull() || image.size() != stored)
        return {};
    image = orientImage(image, head.orientation);
    const QSize wanted = coveringSize(image.size(), cover);
    if (wanted != image.size())
        image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace orvella
