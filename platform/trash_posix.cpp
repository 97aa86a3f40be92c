// The freedesktop.org trash, written here rather than taken from Qt: Qt's trash never returns for a
// name too long for the trash's info file, and where it finds no trash it makes one in the working
// folder, which is the user's picture folder.
//
// Every folder of a trash is opened from the one above it, never followed through a link, and
// checked on its descriptor; the description and the file go into the folders that were checked,
// whatever another user renames meanwhile.
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>

#include "platform/fileservices.h"
#include "platform/posixfiles.h"
#include "platform/trashentry.h"

namespace orvella {

namespace {

// The folder that holds path ("/" for a name at the root).
QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : QByteArray("/");
}

// The device path is on, or would be on once made: that of its nearest existing folder.
bool deviceOf(QByteArray path, dev_t *device)
{
    struct stat st { };
    while (::stat(path.constData(), &st) != 0) {
        if (errno != ENOENT || path == "/")
            return false;
        path = parentOf(path);
    }
    *device = st.st_dev;
    return true;
}

// Whether the file system of the folder fd records no owners and modes (a camera card's FAT or
// exFAT, through the kernel or FUSE): there every entry shows the mounting user and mode 777.
bool hasNoOwners(int fd)
{
    constexpr long ExFatMagic = 0x2011BAB0;
    struct statfs fs { };
    if (::fstatfs(fd, &fs) != 0)
        return false;
    if (fs.f_type == MSDOS_SUPER_MAGIC || fs.f_type == ExFatMagic)
        return true;
    if (fs.f_type != FUSE_SUPER_MAGIC)
        return false;
    const QByteArray type = QStorageInfo(QFile::decodeName(pathOfDescriptor(fd))).fileSystemType();
    return type == "fuseblk" || type.contains("fat");
}

// A folder of a trash, opened: 0 or an errno value in err (ELOOP for a link, ENOTDIR for what is
// no folder, EPERM for one of another user or one others may write in).
struct TrashFolder {
    Fd fd;
    int err = 0;
};

// Opens the folder name in parent, making it (for this user only) if it is not there, and checks it
// is a real folder of this user that no one else may write in.
void openOwnFolder(int parent, const char *name, bool noOwners, TrashFolder *out)
{
    if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST) {
        out->err = errno;
        return;
    }
    out->fd.fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st { };
    if (out->fd.fd < 0 || ::fstat(out->fd.fd, &st) != 0)
        out->err = errno;
    else if (!noOwners && (st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH))))
        out->err = EPERM;
}

// Makes folder and the folders above it that are missing.
void ensurePath(const QByteArray &folder)
{
    struct stat st { };
    if (folder == "/" || ::stat(folder.constData(), &st) == 0)
        return;
    ensurePath(parentOf(folder));
    ::mkdir(folder.constData(), 0700);
}

QByteArray homeData()
{
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/'))
        data = QFile::encodeName(QDir::homePath()) + "/.local/share";
    return data;
}

// The top folder of the volume that holds folder (a path without links): the highest folder above
// it on the same device.
QByteArray topOfVolume(QByteArray folder, dev_t device)
{
    while (folder != "/") {
        const QByteArray up = parentOf(folder);
        struct stat st { };
        if (::stat(up.constData(), &st) != 0 || st.st_dev != device)
            break;
        folder = up;
    }
    return folder;
}

// The trash of the volume whose top folder is top: top/.Trash/$uid where the administrator has
// made top/.Trash a real folder of root's with the sticky bit, else top/.Trash-$uid.
void volumeTrash(const QByteArray &top, TrashFolder *trash, bool *noOwners)
{
    const Fd topFd(openFolder(top));
    if (topFd.fd < 0) {
        trash->err = errno;
        return;
    }
    *noOwners = hasNoOwners(topFd.fd);
    const QByteArray uid = QByteArray::number(qulonglong(::geteuid()));
    const Fd shared(::openat(topFd.fd, ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st { };
    if (shared.fd >= 0 && ::fstat(shared.fd, &st) == 0 && st.st_uid == 0 && (st.st_mode & S_ISVTX)) {
        openOwnFolder(shared.fd, uid.constData(), *noOwners, trash);
        if (trash->err == 0)
            return;
        if (trash->fd.fd >= 0)
            ::close(trash->fd.fd);
        trash->fd.fd = -1;
        trash->err = 0;
    }
    openOwnFolder(topFd.fd, (".Trash-" + uid).constData(), *noOwners, trash);
}

QString refusal(const QString &pathText, const char *folder, int err)
{
    const QString why = err == ELOOP ? QStringLiteral("it is a link")
        : err == EPERM               ? QStringLiteral("it belongs to another user or others may write in it")
                                     : errnoText(err);
    return QStringLiteral("There is no trash for %1: its folder %2 cannot be used: %3")
        .arg(pathText, QString::fromUtf8(folder), why);
}

} // namespace

OpResult moveToTrash(const QString &pathText, TrashEntry *entry)
{
    // The absolute path without resolving links: a link is trashed as itself.
    const QByteArray path = encodedPath(QFileInfo(QDir::fromNativeSeparators(pathText)).absoluteFilePath());
    const QByteArray name = namePart(path);
    const Fd source(openFolder(parentOf(path)));
    struct stat st { };
    if (source.fd < 0 || ::fstatat(source.fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return OpResult::failure(errno == ENOENT
                ? QStringLiteral("%1 does not exist.").arg(pathText)
                : QStringLiteral("%1 cannot be read: %2").arg(pathText, errnoText(errno)));
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return OpResult::failure(QStringLiteral("%1 is not a file.").arg(pathText));
    const QByteArray folder = pathOfDescriptor(source.fd);
    if (folder.isEmpty())
        return OpResult::failure(QStringLiteral("%1 cannot be read: its folder has no path").arg(pathText));
    const QByteArray original = (folder == "/" ? QByteArray() : folder) + '/' + name;

    // The home trash takes the files of its own volume; every other volume has a trash of its own
    // at its top, where the original path is written relative to the top. A file is only ever
    // renamed into a trash: where there is none on its volume it stays, and the failure is told.
    TrashFolder trash;
    QByteArray shownPath;
    bool noOwners = false;
    dev_t homeDevice = 0;
    const QByteArray data = homeData();
    if (deviceOf(data, &homeDevice) && homeDevice == st.st_dev) {
        shownPath = original;
        ensurePath(data);
        const Fd dataFd(openFolder(data));
        noOwners = dataFd.fd >= 0 && hasNoOwners(dataFd.fd);
        if (dataFd.fd < 0)
            trash.err = errno;
        else
            openOwnFolder(dataFd.fd, "Trash", noOwners, &trash);
    } else {
        const QByteArray top = topOfVolume(folder, st.st_dev);
        shownPath = original.mid(top == "/" ? 1 : top.size() + 1);
        volumeTrash(top, &trash, &noOwners);
    }
    if (trash.err != 0)
        return OpResult::failure(refusal(pathText, "of the trash", trash.err));
    TrashFolder files, infos;
    for (auto [folderName, opened] : {std::pair {"files", &files}, std::pair {"info", &infos}}) {
        openOwnFolder(trash.fd.fd, folderName, noOwners, opened);
        if (opened->err != 0)
            return OpResult::failure(refusal(pathText, folderName, opened->err));
    }
    if (faults().pause)
        faults().pause(FaultPoint::TrashChecked);

    // The info file comes first, made with O_EXCL: it is what reserves the entry's name.
    long nameMax = ::fpathconf(infos.fd.fd, _PC_NAME_MAX);
    if (nameMax < 64)
        nameMax = 255;
    const QByteArray info = trashInfoText(shownPath, QDateTime::currentDateTime());
    for (int attempt = 0; attempt < 200; ++attempt) {
        const QByteArray tag = attempt == 0 ? QByteArray()
            : attempt < 100                 ? QByteArray::number(attempt + 1)
                                            : QByteArray::number(QRandomGenerator::global()->generate(), 16);
        const QByteArray entryName = trashEntryName(name, tag, int(nameMax));
        const QByteArray infoName = entryName + ".trashinfo";
        const int fd
            = ::openat(infos.fd.fd, infoName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            // Some file systems hold shorter names than they say (encrypted ones among them).
            if (errno == ENAMETOOLONG && nameMax > 64) {
                nameMax -= 32;
                continue;
            }
            return OpResult::failure(
                QStringLiteral("%1 could not be moved to the trash: %2").arg(pathText, errnoText(errno)));
        }
        struct stat made { };
        const bool written = writeAll(fd, info.constData(), info.size()) && ::fsync(fd) == 0 && ::fstat(fd, &made) == 0;
        const int writeErr = errno;
        if (::close(fd) != 0 || !written) {
            if (stillThere(infos.fd.fd, infoName.constData(), made))
                ::unlinkat(infos.fd.fd, infoName.constData(), 0);
            return OpResult::failure(
                QStringLiteral("%1 could not be moved to the trash: %2").arg(pathText, errnoText(writeErr)));
        }
        const int err = placeNoReplace(source.fd, name.constData(), files.fd.fd, entryName.constData());
        if (err == 0) {
            // Where the trash truly is now, as the system tells of the folders it was put in.
            if (entry)
                *entry = {QFile::decodeName(pathOfDescriptor(files.fd.fd) + '/' + entryName),
                    QFile::decodeName(pathOfDescriptor(infos.fd.fd) + '/' + infoName)};
            return OpResult::success();
        }
        if (stillThere(infos.fd.fd, infoName.constData(), made))
            ::unlinkat(infos.fd.fd, infoName.constData(), 0);
        if (err != EEXIST)
            return OpResult::failure(
                QStringLiteral("%1 could not be moved to the trash: %2").arg(pathText, errnoText(err)));
    }
    return OpResult::failure(QStringLiteral("%1 could not be moved to the trash: no free name in it.").arg(pathText));
}

} // namespace orvella
