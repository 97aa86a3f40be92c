#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/fileservices.h"
#include "platform/trashvolume.h"

namespace orvella {

OpResult moveToTrash(const QString &path, TrashEntry *entry)
{
    const QString native = QDir::fromNativeSeparators(path);
    if (!QFileInfo::exists(native))
        return OpResult::failure(QStringLiteral("%1 does not exist.").arg(path));
    if (OpResult ready = prepareTrashFor(native); !ready)
        return ready;
    QString inTrash;
    if (!QFile::moveToTrash(native, &inTrash))
        return OpResult::failure(QStringLiteral("%1 could not be moved to the trash.").arg(path));
    if (entry) {
        // The recycle bin keeps the file as $R... and its description beside it as $I....
        const QFileInfo kept(inTrash);
        const QString name = kept.fileName();
        entry->file = inTrash;
        entry->info
            = name.startsWith(QLatin1String("$R")) ? kept.dir().filePath(QLatin1String("$I") + name.mid(2)) : QString();
    }
    return OpResult::success();
}

} // namespace orvella
