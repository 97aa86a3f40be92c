#include "platform/paths.h"

#include <QDir>

namespace orvella {

QChar pathSeparator()
{
    return QDir::separator();
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(pathSeparator()) || folder.endsWith(u'/'))
        return folder + name;
    return folder + pathSeparator() + name;
}

QString nativeFolder(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(folder)));
}

QString fileNameOf(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const qsizetype slash = clean.lastIndexOf(u'/');
    return slash < 0 ? clean : clean.mid(slash + 1);
}

bool hiddenByName(const QString &name)
{
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    return false;
#else
    return name.startsWith(u'.');
#endif
}

} // namespace orvella
