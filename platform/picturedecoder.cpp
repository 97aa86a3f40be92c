#include "platform/picturedecoder.h"

#include <cmath>

#include <QImageIOHandler>
#include <QImageReader>

#include "platform/desktopthumbnails.h"
#include "platform/exifthumbnail.h"

namespace orvella {

namespace {

bool swapsAxes(QImageIOHandler::Transformations t)
{
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

// Opens a reader on path with the orientation applied; stored is the size in the file's own
// orientation, shown the size it displays at.
bool openReader(QImageReader &reader, const QString &path, QSize &stored, QSize &shown)
{
    if (path.isEmpty())
        return false;
    reader.setFileName(path);
    reader.setAutoTransform(true);
    // An icon holds several images; the reader starts on the largest one we can find.
    if (reader.format() == "ico" && reader.imageCount() > 1) {
        int best = 0;
        qint64 bestArea = -1;
        for (int i = 0; i < reader.imageCount(); ++i) {
            if (!reader.jumpToImage(i))
                break;
            const QSize s = reader.size();
            if (qint64(s.width()) * s.height() > bestArea) {
                bestArea = qint64(s.width()) * s.height();
                best = i;
            }
        }
        reader.jumpToImage(best);
    }
    stored = reader.size();
    if (!stored.isValid())
        return reader.canRead();
    shown = swapsAxes(reader.transformation()) ? stored.transposed() : stored;
    return true;
}

QImage readScaled(QImageReader &reader, QSize stored, double scale)
{
    if (stored.isValid() && scale < 1.0) {
        const QSize scaled(std::max(1, int(std::lround(stored.width() * scale))),
            std::max(1, int(std::lround(stored.height() * scale))));
        reader.setScaledSize(scaled);
    }
    // A reader that cannot scale reads at full size into the image it is given; a cut file leaves
    // the rows it never reached as they were, so they start blank rather than as whatever memory held.
    // Only within the reader's own allocation limit, which refuses what memory cannot hold.
    QImage img;
    const qint64 bytes = qint64(stored.width()) * stored.height() * 8;
    if (stored.isValid() && !reader.supportsOption(QImageIOHandler::ScaledSize)
        && reader.imageFormat() != QImage::Format_Invalid
        && (reader.allocationLimit() == 0 || bytes <= (qint64(reader.allocationLimit()) << 20))) {
        img = QImage(stored, reader.imageFormat());
        if (img.depth() > 8)
            img.fill(Qt::white);
        else
            img.fill(0);
    }
    if (!reader.read(&img))
        return {};
    return img;
}

} // namespace

QImage decodePicture(const QString &path, QSize cover)
{
    QImageReader reader;
    QSize stored, shown;
    if (!openReader(reader, path, stored, shown))
        return {};
    double scale = 1.0;
    if (!cover.isEmpty() && shown.isValid() && !shown.isEmpty())
        scale = std::min(1.0, std::max(double(cover.width()) / shown.width(), double(cover.height()) / shown.height()));
    return readScaled(reader, stored, scale);
}

QImage decodeThumbnail(const QString &path, QSize cover, ThumbnailSource *source)
{
    // Reading the head costs a fraction of a millisecond; decoding a camera picture, even scaled
    // down, costs tens.
    if (!path.isEmpty() && !cover.isEmpty()) {
        QImage embedded = embeddedThumbnail(path, cover);
        if (!embedded.isNull()) {
            if (source)
                *source = ThumbnailSource::Embedded;
            return embedded;
        }
    }
    QImage decoded = decodePicture(path, cover);
    if (source)
        *source = decoded.isNull() ? ThumbnailSource::None : ThumbnailSource::Decoded;
    return decoded;
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
    Thumbnail t;
    t.file = fileIdentity(path);
    t.image = thumbnailOf(path, t.file, cover, &t.source);
    return t;
}

QImage decodePictureToFit(const QString &path, QSize box, qint64 maxPixels)
{
    QImageReader reader;
    QSize stored, shown;
    if (!openReader(reader, path, stored, shown))
        return {};
    double scale = 1.0;
    if (shown.isValid() && !shown.isEmpty()) {
        if (!box.isEmpty())
            scale = std::min(1.0, std::min(double(box.width()) / shown.width(), double(box.height()) / shown.height()));
        const double pixels = double(shown.width()) * shown.height() * scale * scale;
        // Very large pictures are shown scaled down to what memory allows.
        if (pixels > double(maxPixels))
            scale *= std::sqrt(double(maxPixels) / pixels);
    }
    return readScaled(reader, stored, scale);
}

QSize pictureSize(const QString &path)
{
    QImageReader reader;
    QSize stored, shown;
    if (!openReader(reader, path, stored, shown))
        return {};
    return shown;
}

} // namespace orvella
