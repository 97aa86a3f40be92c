#include "platform/fileservices.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace orvella {

namespace {
QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

OpResult checkFolderReadable(const QString &folder)
{
    if (folder.isEmpty())
        return OpResult::failure(QStringLiteral("No folder given."));
    const QByteArray native = QFile::encodeName(QDir::fromNativeSeparators(folder));
    DIR *dir = ::opendir(native.constData());
    if (!dir)
        return OpResult::failure(QStringLiteral("The folder %1 cannot be opened: %2").arg(folder, systemReason()));
    ::closedir(dir);
    return OpResult::success();
}

} // namespace orvella
