#include "platform/workingfolder.h"

#include <QDir>

#include "platform/paths.h"

namespace orvella {

QString workingFolder()
{
    return nativeFolder(QDir::currentPath());
}

OpResult setWorkingFolder(const QString &folder)
{
    if (!QDir::setCurrent(QDir::fromNativeSeparators(folder)))
        return OpResult::failure(QStringLiteral("Cannot make %1 the working folder.").arg(folder));
    return OpResult::success();
}

} // namespace orvella
