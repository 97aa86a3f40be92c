#include "platform/picturedecoder.h"

#include <cmath>
#include <cstring>
#include <memory>

#include <QBuffer>
#include <QFile>
#include <QImageIOHandler>
#include <QImageReader>

#include "platform/desktopthumbnails.h"
#include "platform/exifthumbnail.h"
#include "platform/openedpicture.h"
#include "platform/pngchunks.h"

namespace orvella {

namespace {

// The JPEG library keeps a progressive picture's coefficients for the whole picture, two bytes a
// sample whatever the size it is decoded at: a header of a few bytes declaring 16000 x 16000 would
// have it take 1.5 GB. Bounded, it refuses such a picture instead. It reads the bound each time it
// starts on a picture, so it is set once here, before any thread decodes; a bound the user set is
// kept. A progressive 12 MP picture with halved chroma (what cameras and editors mostly write)
// needs 36 MB; one with full chroma (4:4:4) needs 72 MB and is refused: it shows its desktop or
// EXIF thumbnail if it has one, an empty cell otherwise.
const bool JpegMemoryBounded = [] {
    if (!qEnvironmentVariableIsSet("JPEGMEM"))
        qputenv("JPEGMEM", "64M");
    return true;
}();

// The decoded pixels a thumbnail may cost, in MiB: the readers of BMP, GIF and icons decode at full
// size before the picture is scaled down, so this is the largest of those a cell can show (4000 x
// 3000 at four bytes a pixel).
constexpr int ThumbnailMiB = 48;
// How large an icon file is read into memory.
constexpr qint64 IconFileLimit = 16 << 20;

enum class Format { None, Jpeg, Bmp, Gif, Ico };

// What the first bytes of a file say it is, among the four formats the program shows.
Format sniff(QByteArrayView head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return Format::Jpeg;
    if (head.startsWith("BM"))
        return Format::Bmp;
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return Format::Gif;
    if (head.startsWith(QByteArrayView("\0\0\1\0", 4)))
        return Format::Ico;
    return Format::None;
}

quint32 littleEndian(QByteArrayView data, qsizetype at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | quint8(data[at + i]);
    return value;
}

bool withinLimit(QSize size, int limitMiB)
{
    return size.isValid() && qint64(size.width()) * size.height() * 4 <= (qint64(limitMiB) << 20);
}

// An icon's largest image: its place in the directory, and for one stored as PNG that PNG without
// its text (so no text is ever inflated) and the size it declares. Directory sizes of 0 mean 256.
struct IconChoice {
    int index = -1;
    bool isPng = false;
    QByteArray png;
    QSize size;
};

IconChoice chooseIconImage(QByteArrayView icon)
{
    IconChoice choice;
    if (icon.size() < 6)
        return choice;
    const int count = int(littleEndian(icon, 4, 2));
    qint64 bestArea = -1;
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= icon.size(); ++i) {
        const qsizetype entry = 6 + 16 * i;
        const int w = quint8(icon[entry]) ? quint8(icon[entry]) : 256;
        const int h = quint8(icon[entry + 1]) ? quint8(icon[entry + 1]) : 256;
        if (qint64(w) * h > bestArea) {
            bestArea = qint64(w) * h;
            choice.index = i;
        }
    }
    if (choice.index < 0)
        return choice;
    const qsizetype entry = 6 + 16 * choice.index;
    const quint32 length = littleEndian(icon, entry + 8, 4), offset = littleEndian(icon, entry + 12, 4);
    if (offset < quint64(icon.size()) && length <= quint64(icon.size()) - offset) {
        const QByteArrayView data = icon.sliced(offset, length);
        // The icon reader makes a BMP image at its directory size; a PNG one at its own.
        choice.isPng = data.startsWith(PngSignature);
        if (choice.isPng)
            choice.png = pngPixelsOnly(data, &choice.size);
    }
    return choice;
}

bool swapsAxes(QImageIOHandler::Transformations t)
{
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

// One picture file opened and read with the reader its content calls for.
class PictureReader {
public:
    PictureReader(const QString &path, int limitMiB)
        : m_file(path)
    {
        const QByteArray head = m_file.head(64);
        m_format = sniff(head);
        m_reader.setAllocationLimit(limitMiB);
        m_reader.setAutoDetectImageFormat(false);
        m_reader.setAutoTransform(true);
        switch (m_format) {
        case Format::None:
            return;
        case Format::Ico:
            if (!openIcon())
                return;
            break;
        default:
            if (!m_file.openDevice(m_device))
                return;
            m_reader.setDevice(&m_device);
            m_reader.setFormat(m_format == Format::Jpeg ? "jpeg" : m_format == Format::Bmp ? "bmp" : "gif");
        }
        m_stored = m_reader.size();
        // A GIF's frames are drawn on its canvas, which the reader makes at full size whatever the
        // frame's.
        if (m_format == Format::Gif && head.size() >= 10)
            m_stored = m_stored.expandedTo(QSize(int(littleEndian(head, 6, 2)), int(littleEndian(head, 8, 2))));
        if (!m_stored.isValid() || m_stored.isEmpty())
            return;
        m_shown = swapsAxes(m_reader.transformation()) ? m_stored.transposed() : m_stored;
        m_ok = true;
    }

    const OpenedPicture &file() const { return m_file; }
    Format format() const { return m_format; }
    // Whether a picture can be read; then the sizes it is stored at and shows at.
    bool ok() const { return m_ok; }
    QSize shown() const { return m_shown; }

    // Reads the picture scaled by scale (from its declared size) where the reader scales as it
    // decodes; the others decode at full size, so they are refused when that is beyond the limit.
    QImage read(double scale)
    {
        if (!m_ok)
            return {};
        const bool scales = m_reader.supportsOption(QImageIOHandler::ScaledSize);
        if (!scales && !withinLimit(m_stored, m_reader.allocationLimit()))
            return {};
        QImage img;
        if (scales && scale < 1.0) {
            m_reader.setScaledSize(QSize(std::max(1, int(std::lround(m_stored.width() * scale))),
                std::max(1, int(std::lround(m_stored.height() * scale)))));
        } else if (!scales && m_reader.imageFormat() != QImage::Format_Invalid) {
            // A cut file leaves the rows it never reached as they were, so they start blank rather
            // than as whatever memory held.
            img = QImage(m_stored, m_reader.imageFormat());
            if (img.depth() > 8)
                img.fill(Qt::white);
            else
                img.fill(0);
        }
        if (!m_reader.read(&img))
            return {};
        return img;
    }

private:
    bool openIcon()
    {
        m_data = m_file.readAll(IconFileLimit);
        const IconChoice icon = chooseIconImage(m_data);
        // A PNG image is never left to the icon reader, which would read its text: one that is not a
        // sound PNG gives nothing.
        if (icon.index < 0 || (icon.isPng && !withinLimit(icon.size, m_reader.allocationLimit())))
            return false;
        if (icon.isPng)
            m_data = icon.png;
        m_buffer.setData(m_data);
        m_buffer.open(QIODevice::ReadOnly);
        m_reader.setDevice(&m_buffer);
        m_reader.setFormat(icon.isPng ? "png" : "ico");
        return icon.isPng || m_reader.jumpToImage(icon.index);
    }

    OpenedPicture m_file;
    Format m_format = Format::None;
    QFile m_device;
    QByteArray m_data;
    QBuffer m_buffer;
    QImageReader m_reader;
    QSize m_stored, m_shown;
    bool m_ok = false;
};

// The picture scaled down by scale from the size it was decoded at, as a fresh image of its pixels
// alone: no text, no metadata from the file.
QImage pixelsOnly(const QImage &decoded, double scale)
{
    if (decoded.isNull())
        return {};
    QImage img = decoded;
    if (scale < 1.0) {
        const QSize scaled(
            std::max(1, int(std::lround(img.width() * scale))), std::max(1, int(std::lround(img.height() * scale))));
        img = img.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage fresh(img.size(), img.format());
    if (fresh.isNull())
        return {};
    fresh.setColorTable(img.colorTable());
    const qsizetype row = std::min(fresh.bytesPerLine(), img.bytesPerLine());
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(fresh.scanLine(y), img.constScanLine(y), size_t(row));
    return fresh;
}

double coverScale(QSize size, QSize cover)
{
    if (cover.isEmpty() || size.isEmpty())
        return 1.0;
    return std::min(1.0, std::max(double(cover.width()) / size.width(), double(cover.height()) / size.height()));
}

double fitScale(QSize size, QSize box, qint64 maxPixels)
{
    if (size.isEmpty())
        return 1.0;
    double scale = 1.0;
    if (!box.isEmpty())
        scale = std::min(1.0, std::min(double(box.width()) / size.width(), double(box.height()) / size.height()));
    // Very large pictures are shown scaled down to what memory allows.
    const double pixels = double(size.width()) * size.height() * scale * scale;
    if (pixels > double(maxPixels))
        scale *= std::sqrt(double(maxPixels) / pixels);
    return scale;
}

// The MiB a picture of maxPixels may take once decoded, never less than a thumbnail's, nor more
// than an enlarged view takes in one piece (128 MiB, some 33 megapixels): a bigger JPEG is
// decoded at a half, a quarter or an eighth instead.
int limitFor(qint64 maxPixels)
{
    return int(std::clamp<qint64>((maxPixels * 4) >> 20, ThumbnailMiB, 128));
}

QImage decodeCovering(PictureReader &reader, QSize cover)
{
    // The size the file declares chooses how the reader scales; the size it decoded at, how much
    // is left to do.
    const QImage decoded = reader.read(coverScale(reader.shown(), cover));
    return pixelsOnly(decoded, coverScale(decoded.size(), cover));
}

// The thumbnail of an opened picture file: its embedded EXIF thumbnail when it covers the cell,
// otherwise the picture decoded.
Thumbnail thumbnailOfOpened(PictureReader &reader, QSize cover)
{
    Thumbnail t;
    t.file = reader.file().identity();
    if (reader.format() == Format::Jpeg && !cover.isEmpty()) {
        // Reading the head costs a fraction of a millisecond; decoding a camera picture, even
        // scaled down, costs tens.
        t.image = pixelsOnly(embeddedThumbnail(parseExifHead(reader.file().head(ExifHeadBytes)), cover), 1.0);
        if (!t.image.isNull()) {
            t.source = ThumbnailSource::Embedded;
            return t;
        }
    }
    t.image = decodeCovering(reader, cover);
    t.source = t.image.isNull() ? ThumbnailSource::None : ThumbnailSource::Decoded;
    return t;
}

} // namespace

QImage decodePicture(const QString &path, QSize cover)
{
    if (cover.isEmpty())
        return decodePictureToFit(path, {});
    PictureReader reader(path, ThumbnailMiB);
    return decodeCovering(reader, cover);
}

QImage decodeThumbnail(const QString &path, QSize cover, ThumbnailSource *source)
{
    PictureReader reader(path, ThumbnailMiB);
    Thumbnail t = thumbnailOfOpened(reader, cover);
    if (source)
        *source = t.source;
    return t.image;
}

QImage thumbnailOf(const QString &path, const FileIdentity &file, QSize cover, ThumbnailSource *source)
{
    QImage desktop = desktopThumbnail(path, file, cover);
    if (!desktop.isNull()) {
        if (source)
            *source = ThumbnailSource::Desktop;
        return desktop;
    }
    return decodeThumbnail(path, cover, source);
}

Thumbnail makeThumbnail(const QString &path, QSize cover)
{
    PictureReader reader(path, ThumbnailMiB);
    Thumbnail t;
    t.file = reader.file().identity();
    if (!t.file.valid)
        return t;
    t.image = desktopThumbnail(path, t.file, cover);
    if (!t.image.isNull()) {
        t.source = ThumbnailSource::Desktop;
        return t;
    }
    return thumbnailOfOpened(reader, cover);
}

QImage decodePictureToFit(const QString &path, QSize box, qint64 maxPixels)
{
    PictureReader reader(path, limitFor(maxPixels));
    const QImage decoded = reader.read(fitScale(reader.shown(), box, maxPixels));
    return pixelsOnly(decoded, fitScale(decoded.size(), box, maxPixels));
}

QSize pictureSize(const QString &path)
{
    PictureReader reader(path, ThumbnailMiB);
    return reader.ok() ? reader.shown() : QSize();
}

} // namespace orvella
