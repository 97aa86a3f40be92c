#include "platform/fileservices.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "platform/fileservicefaults.h"
#include "platform/posixfiles.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace orvella {

const FileServiceFaults &faults()
{
    static const FileServiceFaults none;
    return injectedFaults ? *injectedFaults : none;
}

Fd::~Fd()
{
    if (fd >= 0)
        ::close(fd);
}

QString errnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QByteArray encodedPath(const QString &path)
{
    return QFile::encodeName(QDir::fromNativeSeparators(path));
}

QByteArray folderPart(const QByteArray &path)
{
    return path.left(path.lastIndexOf('/') + 1);
}

QByteArray namePart(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

QByteArray pathOfDescriptor(int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    QByteArray path(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink(link, path.data(), size_t(path.size()));
    if (n <= 0 || n >= path.size() || path.at(0) != '/')
        return {};
    path.truncate(n);
    return path;
}

int openFolder(const QByteArray &path)
{
    return ::open(path.isEmpty() ? "." : path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool stillThere(int dir, const char *name, const struct stat &st)
{
    struct stat now { };
    return ::fstatat(dir, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino;
}

int syncFolder(int fd)
{
    if (faults().folderSyncError != 0)
        return faults().folderSyncError;
    return ::fsync(fd) == 0 ? 0 : errno;
}

bool writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

int placeNoReplace(int fromDir, const char *from, int toDir, const char *to)
{
    int renamed = -1;
    errno = ENOSYS;
#ifdef SYS_renameat2
    if (!faults().noAtomicRename)
        renamed = int(::syscall(SYS_renameat2, fromDir, from, toDir, to, RENAME_NOREPLACE));
#endif
    if (renamed == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP)
        return err;
    // The file system has no atomic no-replace rename: a hard link fails on an existing name.
    struct stat source { };
    if (::fstatat(fromDir, from, &source, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    int linked = 0;
    if (faults().linkError != 0) {
        errno = faults().linkError;
        linked = -1;
    } else {
        linked = ::linkat(fromDir, from, toDir, to, 0); // a symbolic link itself, not its target
    }
    if (linked == 0) {
        if (::unlinkat(fromDir, from, 0) != 0) {
            const int unlinkErr = errno;
            // Take the new name back only while the old one still holds the file: if the old name
            // has gone meanwhile, the new one is the file's only name.
            if (!stillThere(fromDir, from, source))
                return 0;
            if (stillThere(toDir, to, source))
                ::unlinkat(toDir, to, 0);
            return unlinkErr;
        }
        return 0;
    }
    const int linkErr = errno;
    if (linkErr == EEXIST)
        return EEXIST;
    // FAT media refuse hard links with EPERM; some FUSE file systems (exFAT among them) say ENOSYS.
    if (linkErr != EPERM && linkErr != ENOSYS && linkErr != ENOTSUP && linkErr != EOPNOTSUPP)
        return linkErr;
    // Neither: rename once the name is checked free. Another program that creates the name in the
    // moment between the check and the rename loses its file; claiming the name first with an
    // empty file would close that moment, but a crash before the rename would leave the empty file
    // under the picture's name for good.
    struct stat existing { };
    if (::fstatat(toDir, to, &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    if (faults().pause)
        faults().pause(FaultPoint::LastResortRename);
    if (::renameat(fromDir, from, toDir, to) != 0)
        return errno;
    return 0;
}

OpResult checkFolderReadable(const QString &folder)
{
    if (folder.isEmpty())
        return OpResult::failure(QStringLiteral("No folder given."));
    DIR *dir = ::opendir(encodedPath(folder).constData());
    if (!dir)
        return OpResult::failure(QStringLiteral("The folder %1 cannot be opened: %2").arg(folder, errnoText(errno)));
    ::closedir(dir);
    return OpResult::success();
}

OpResult renameNoReplace(const QString &fromText, const QString &toText)
{
    if (fromText.isEmpty() || toText.isEmpty())
        return OpResult::failure(QStringLiteral("no file name given"));
    const QByteArray from = encodedPath(fromText), to = encodedPath(toText);
    struct stat st { };
    if (::lstat(from.constData(), &st) != 0)
        return OpResult::failure(QStringLiteral("cannot be read: %1").arg(errnoText(errno)));
    // A symbolic link is moved as itself, as a file manager does; what it points to stays.
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return OpResult::failure(QStringLiteral("not a file"));
    // Everything in the destination folder happens in the folder opened here, whatever is renamed
    // on the way to it meanwhile.
    const Fd folder(openFolder(folderPart(to)));
    struct stat target { };
    if (folder.fd < 0 || ::fstat(folder.fd, &target) != 0)
        return OpResult::failure(QStringLiteral("the destination folder cannot be opened: %1").arg(errnoText(errno)));
    const QByteArray name = namePart(to);
    // Another volume is copied to at once; a rename is tried where the folder shares the source's
    // device, and one refused as crossing volumes (two mounts of one file system) is copied too.
    if (!faults().forceCrossVolume && target.st_dev == st.st_dev) {
        const int err = placeNoReplace(AT_FDCWD, from.constData(), folder.fd, name.constData());
        if (err == 0)
            return OpResult::success();
        if (err == EEXIST)
            return OpResult::failure(QStringLiteral("a file of that name is already there"));
        if (err != EXDEV)
            return OpResult::failure(QStringLiteral("cannot be renamed: %1").arg(errnoText(err)));
    }
    return moveAcrossVolumes(from, st, folder.fd, name);
}

OpResult makeFolder(const QString &path)
{
    if (path.isEmpty())
        return OpResult::failure(QStringLiteral("No folder name given."));
    if (::mkdir(encodedPath(path).constData(), 0777) != 0)
        return OpResult::failure(QStringLiteral("%1 cannot be created: %2").arg(path, errnoText(errno)));
    return OpResult::success();
}

} // namespace orvella
