#include "platform/fileservices.h"

#include <QDir>
#include <QFile>

namespace orvella {

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
