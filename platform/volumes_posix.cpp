#include "platform/volumes.h"

#include <QDir>
#include <QSet>
#include <QStorageInfo>

#include "platform/paths.h"

namespace orvella {

namespace {

bool isNetworkType(const QByteArray &type)
{
    static const QSet<QByteArray> net = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "afs"};
    return net.contains(type);
}

// Mounts a person would call a drive: the root, real block devices outside the system's own
// folders, removable media and network shares. Pseudo and system mounts stay out.
bool isPersonVolume(const QStorageInfo &s)
{
    const QString root = s.rootPath();
    if (root == u"/")
        return true;
    if (!s.isValid() || !s.isReady())
        return false;
    const QByteArray type = s.fileSystemType();
    if (type == "squashfs" || type == "tmpfs" || type == "devtmpfs" || type == "overlay" || type == "proc"
        || type == "sysfs" || type == "autofs")
        return false;
    for (const char *system : {"/boot", "/proc", "/sys", "/dev", "/run", "/snap", "/var", "/tmp", "/efi"}) {
        const QString sys = QString::fromLatin1(system);
        if (root == sys || root.startsWith(sys + u'/')) {
            // Removable media that the desktop mounts under /run/media stay in.
            if (root.startsWith(QStringLiteral("/run/media/")))
                break;
            return false;
        }
    }
    if (isNetworkType(type))
        return true;
    return s.device().startsWith("/dev/");
}

} // namespace

QList<Volume> listVolumes()
{
    QList<Volume> out;
    QStorageInfo system = QStorageInfo::root();
    out.append({QStringLiteral("/"), system.name()});
    QSet<QString> seen = {QStringLiteral("/")};
    const auto mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &s : mounted) {
        if (seen.contains(s.rootPath()) || !isPersonVolume(s))
            continue;
        seen.insert(s.rootPath());
        out.append({s.rootPath(), s.name()});
    }
    return out;
}

QString volumeRootOf(const QString &path)
{
    QStorageInfo s(QDir::fromNativeSeparators(path));
    return s.isValid() ? nativeFolder(s.rootPath()) : QStringLiteral("/");
}

QString systemDriveRoot()
{
    return QStringLiteral("/");
}

} // namespace orvella
