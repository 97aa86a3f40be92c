#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/fileservices.h"
#include "platform/trashvolume.h"

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
    return OpResult::success();
}

} // namespace orvella
