#include "platform/desktopthumbnails.h"

#include <cmath>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

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

// One cache entry, or a null image when it is not a sound thumbnail of this very file.
QImage readEntry(const QString &entry, int side, const QByteArray &uri, const FileIdentity &file)
{
    QImageReader reader(entry, "png");
    // A thumbnail is at most side pixels each way; anything else is not one (and may be huge).
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > side || size.height() > side)
        return {};
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {};
    // The text chunks may stand before or after the pixels; the image carries both.
    if (image.text(QStringLiteral("Thumb::URI")).toUtf8() != uri)
        return {};
    bool ok = false;
    const qint64 mtime = image.text(QStringLiteral("Thumb::MTime")).trimmed().toLongLong(&ok);
    if (!ok || mtime != file.modifiedSeconds())
        return {};
    const QString recordedSize = image.text(QStringLiteral("Thumb::Size")).trimmed();
    if (!recordedSize.isEmpty() && (recordedSize.toLongLong(&ok) != file.size || !ok))
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
