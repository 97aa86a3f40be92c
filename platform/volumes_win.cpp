#include "platform/volumes.h"

#include <QDir>
#include <QStorageInfo>

#include "platform/paths.h"

namespace orvella {

QList<Volume> listVolumes()
{
    QList<Volume> out;
    for (const QFileInfo &drive : QDir::drives()) {
        const QString root = QDir::toNativeSeparators(drive.absoluteFilePath());
        QStorageInfo s(drive.absoluteFilePath());
        out.append({root, s.isReady() ? s.name() : QString()});
    }
    return out;
}

QString volumeRootOf(const QString &path)
{
    QStorageInfo s(QDir::fromNativeSeparators(path));
    return s.isValid() ? QDir::toNativeSeparators(s.rootPath()) : QStringLiteral("C:\\");
}

QString systemDriveRoot()
{
    // The drive Windows itself was started from, "C:" on almost every machine.
    const QString drive = qEnvironmentVariable("SystemDrive");
    if (drive.size() == 2 && drive[0].isLetter() && drive[1] == u':')
        return drive.toUpper() + QStringLiteral("\\");
    return QStringLiteral("C:\\");
}

} // namespace orvella
