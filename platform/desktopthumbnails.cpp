#include "platform/desktopthumbnails.h"

#include <cmath>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include "platform/openedpicture.h"
#include "platform/pngchunks.h"

namespace orvella {

namespace {

// The size folders and the largest side of the thumbnails they hold.
struct SizeFolder {
    const char *name;
    int side;
};
constexpr SizeFolder SizeFolders[] = {{"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};

QImage justCovering(const QImage &image, QSize cover)
{
    const double scale = std::max(double(cover.width()) / image.width(), double(cover.height()) / image.height());
    if (scale >= 1.0)
        return image;
    const QSize scaled(
        std::max(1, int(std::lround(image.width() * scale))), std::max(1, int(std::lround(image.height() * scale))));
    return image.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// How large a cache entry is read: a PNG of 1024 x 1024 at four bytes a pixel, compressed, and its
// text.
constexpr qint64 EntryFileLimit = 8 << 20;

// One cache entry, or a null image when it is not a sound thumbnail of this very file. The entry is
// read once, as the pictures are, and its text read here with each value bounded: the PNG reader
// would inflate every text chunk, however large, and keep them all.
QImage readEntry(const QString &entry, int side, const QByteArray &uri, const FileIdentity &file)
{
    const QByteArray data = OpenedPicture(entry).readAll(EntryFileLimit);
    QSize size;
    const QByteArray pixels = pngPixelsOnly(data, &size);
    // A thumbnail is at most side pixels each way; anything else is not one (and may be huge).
    if (pixels.isEmpty() || !size.isValid() || size.isEmpty() || size.width() > side || size.height() > side)
        return {};
    if (pngText(data, "Thumb::URI") != uri)
        return {};
    bool ok = false;
    const qint64 mtime = pngText(data, "Thumb::MTime").trimmed().toLongLong(&ok);
    if (!ok || mtime != file.modifiedSeconds())
        return {};
    const QByteArray recordedSize = pngText(data, "Thumb::Size").trimmed();
    if (!recordedSize.isEmpty() && (recordedSize.toLongLong(&ok) != file.size || !ok))
        return {};
    QBuffer buffer;
    buffer.setData(pixels);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoDetectImageFormat(false);
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return {};
    return image;
}

} // namespace

QByteArray desktopThumbnailUri(const QString &absolutePath)
{
    // The desktop's libraries leave these as they are in a path and escape every other byte
    // outside letters, digits and "-._~".
    return QByteArrayLiteral("file://") + QFile::encodeName(absolutePath).toPercentEncoding("!*'()$&+,/:=@");
}

QString desktopThumbnailFolder()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    // The standard ignores a relative setting.
    if (cache.isEmpty() || QDir::isRelativePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/thumbnails");
}

QImage desktopThumbnail(const QString &path, const FileIdentity &file, QSize cover)
{
    if (!file.valid || cover.isEmpty() || path.isEmpty())
        return {};
    const QByteArray uri = desktopThumbnailUri(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const QString name
        = QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + QStringLiteral(".png");
    const QString folder = desktopThumbnailFolder();
    for (const SizeFolder &f : SizeFolders) {
        // A thumbnail no larger than side x side cannot cover a wider or taller cell.
        if (std::max(cover.width(), cover.height()) > f.side)
            continue;
        const QString entry = folder + u'/' + QLatin1String(f.name) + u'/' + name;
        if (!QFileInfo::exists(entry))
            continue;
        const QImage image = readEntry(entry, f.side, uri, file);
        if (!image.isNull() && image.width() >= cover.width() && image.height() >= cover.height())
            return justCovering(image, cover);
    }
    return {};
}

} // namespace orvella
