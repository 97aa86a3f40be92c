#include "platform/fileservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvella {

OpResult moveToTrash(const QString &path)
{
    const QString native = QDir::fromNativeSeparators(path);
    if (!QFileInfo::exists(native))
        return OpResult::failure(QStringLiteral("%1 does not exist.").arg(path));
#ifndef Q_OS_WIN
    // The home trash may not exist yet; when it cannot be set up, Qt's trash would otherwise
    // settle on a relative folder below the working folder.
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!home.isEmpty()) {
        QDir().mkpath(home + QStringLiteral("/Trash/files"));
        QDir().mkpath(home + QStringLiteral("/Trash/info"));
    }
#endif
    QString inTrash;
    if (!QFile::moveToTrash(native, &inTrash))
        return OpResult::failure(QStringLiteral("%1 could not be moved to the trash.").arg(path));
    const QFileInfo landed(inTrash);
    if (inTrash.isEmpty() || landed.isRelative()) {
        // Not a real trash: put the file back where it was and say so.
        if (!inTrash.isEmpty() && QFileInfo::exists(inTrash) && !QFileInfo::exists(native))
            QFile::rename(inTrash, native);
        return OpResult::failure(QStringLiteral("There is no trash for %1.").arg(path));
    }
    return OpResult::success();
}

OpResult deletePermanently(const QString &path)
{
    QFile file(QDir::fromNativeSeparators(path));
    if (!file.exists())
        return OpResult::failure(QStringLiteral("%1 does not exist.").arg(path));
    if (!file.remove())
        return OpResult::failure(QStringLiteral("%1 could not be deleted: %2").arg(path, file.errorString()));
    return OpResult::success();
}

} // namespace orvella
