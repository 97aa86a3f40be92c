#include "platform/fileservices.h"

#include "platform/trashvolume.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orvella {

OpResult moveToTrash(const QString &path)
{
    const QString native = QDir::fromNativeSeparators(path);
    if (!QFileInfo::exists(native))
        return OpResult::failure(QStringLiteral("%1 does not exist.").arg(path));
    if (OpResult ready = prepareTrashFor(native); !ready)
        return ready;
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
