#include "platform/fileservices.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "platform/fileservicefaults.h"
#include "platform/posixfiles.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace orvella {

namespace {

// What a test injected, or none.
const FileServiceFaults &faults()
{
    static const FileServiceFaults none;
    return injectedFaults ? *injectedFaults : none;
}

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

int renameNoReplaceSyscall(const char *from, const char *to)
{
    if (faults().noAtomicRename) {
        errno = ENOSYS;
        return -1;
    }
#ifdef SYS_renameat2
    return int(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#else
    errno = ENOSYS;
    return -1;
#endif
}

// Whether path still names the file identified by st (same device and inode).
bool stillThere(const char *path, const struct stat &st)
{
    struct stat now { };
    return ::lstat(path, &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino;
}

// Reasons of failed moves, read after the file's name.
QString alreadyThere()
{
    return QStringLiteral("a file of that name is already there");
}

QString changedNotCopied()
{
    return QStringLiteral("changed during the copy; it stays where it was");
}

QString changedBothKept()
{
    return QStringLiteral("changed during the copy; both versions are kept");
}

// Whether a and b are one version of one file: a file that another program saved anew, in place
// or as a new file under the same name, differs in one of these.
bool sameVersion(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
        && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

QString errnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QByteArray encodedPath(const QString &path)
{
    return QFile::encodeName(QDir::fromNativeSeparators(path));
}

int placeNoReplace(const char *from, const char *to)
{
    if (renameNoReplaceSyscall(from, to) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP)
        return err;
    // The file system has no atomic no-replace rename: a hard link fails on an existing name.
    struct stat source { };
    if (::lstat(from, &source) != 0)
        return errno;
    int linked = 0;
    if (faults().linkError != 0) {
        errno = faults().linkError;
        linked = -1;
    } else {
        linked = ::linkat(AT_FDCWD, from, AT_FDCWD, to, 0); // a symbolic link itself, not its target
    }
    if (linked == 0) {
        if (::unlink(from) != 0) {
            const int unlinkErr = errno;
            // Take the new name back only while the old one still holds the file: if the old name
            // has gone meanwhile, the new one is the file's only name.
            if (!stillThere(from, source))
                return 0;
            ::unlink(to);
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
    if (::lstat(to, &existing) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    if (faults().pause)
        faults().pause(FaultPoint::LastResortRename);
    if (::rename(from, to) != 0)
        return errno;
    return 0;
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

namespace {

void syncFolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? path.left(slash) : (slash == 0 ? QByteArray("/") : QByteArray("."));
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Unfinished copies. A copy across volumes is written beside its final name under a name of its
// own, locked (flock) for as long as its process has it open. Such a file whose lock can be taken
// is what a move killed part-way (power loss, a crash) left behind.
constexpr char PartHead[] = ".orvella-";
constexpr char PartTail[] = ".part";
constexpr int PartDigits = 16;

bool isPartName(const char *name)
{
    const size_t head = sizeof(PartHead) - 1, tail = sizeof(PartTail) - 1;
    if (std::strlen(name) != head + PartDigits + tail || std::strncmp(name, PartHead, head) != 0
        || std::strcmp(name + head + PartDigits, PartTail) != 0)
        return false;
    for (const char *c = name + head; c != name + head + PartDigits; ++c)
        if (!((*c >= '0' && *c <= '9') || (*c >= 'a' && *c <= 'f')))
            return false;
    return true;
}

// Removes from folder the unfinished copies whose process has gone; any other file stays.
void removeUnfinishedCopies(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (!isPartName(entry->d_name))
            continue;
        Fd part;
        // Open for writing where allowed: network file systems lock only such descriptors.
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        part.fd = ::openat(dirFd, entry->d_name, O_RDWR | flags);
        if (part.fd < 0 && errno == EACCES)
            part.fd = ::openat(dirFd, entry->d_name, O_RDONLY | flags);
        struct stat opened { };
        struct stat named { };
        if (part.fd < 0 || ::fstat(part.fd, &opened) != 0 || !S_ISREG(opened.st_mode)
            || ::flock(part.fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == opened.st_dev
            && named.st_ino == opened.st_ino)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

// Creates and locks a new unfinished copy in folder; returns its descriptor, or -1 with errno.
int createPart(const QByteArray &folder, mode_t mode, QByteArray *path)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        *path = folder + PartHead
            + QByteArray::number(QRandomGenerator::global()->generate64(), 16).rightJustified(PartDigits, '0')
            + PartTail;
        const int fd = ::open(path->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
        // The lock comes a moment after the file: another move that cleaned the folder in that
        // moment has removed it, and then another name is taken. Where the file system has no
        // locks the copy goes on unlocked, and no one removes it.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) { }
        struct stat mine { };
        if (::fstat(fd, &mine) == 0 && (mine.st_nlink == 0 || !stillThere(path->constData(), mine))) {
            ::close(fd);
            continue;
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

// The last step of a move across volumes, once the copy has its final name: removes the source
// if it is still the version st that was copied. The source must never go while the copy is not
// the one left; a failure takes the copy back.
OpResult removeSource(const QString &fromText, const QString &toText, const struct stat &st)
{
    const QByteArray from = encodedPath(fromText), to = encodedPath(toText);
    if (faults().crossVolume == CrossVolumeFault::SourceGoneAtRemoval)
        ::unlink(from.constData());
    // Another program may have saved a new version under the source's name since the copy began:
    // removing the name would delete that version. The copy is a sound copy of the old one.
    struct stat now { };
    if (::lstat(from.constData(), &now) == 0 && !sameVersion(now, st))
        return OpResult::failure(changedBothKept());
    if (faults().crossVolume == CrossVolumeFault::BeforeRemovingSource
        || faults().crossVolume == CrossVolumeFault::SourceGoneAtRemoval || ::unlink(from.constData()) != 0) {
        const int err = faults().crossVolume != CrossVolumeFault::None ? EIO : errno;
        // The source has gone after all (another program, a network volume that reported a
        // retried removal as failed): the copy is the one left, and it stays.
        if (!stillThere(from.constData(), st))
            return OpResult::success();
        // The source must stay the one copy: take back the one just made.
        ::unlink(to.constData());
        syncFolderOf(to);
        return OpResult::failure(QStringLiteral("cannot be removed from its folder: %1").arg(errnoText(err)));
    }
    return OpResult::success();
}

// A symbolic link goes to another volume as a new link with the same target text. A link never
// replaces anything: it cannot be made over an existing name.
OpResult moveLinkAcrossVolumes(const QString &fromText, const QString &toText, const struct stat &st)
{
    const QByteArray from = encodedPath(fromText), to = encodedPath(toText);
    // Some file systems give a link no size: room for any path, and one byte to see it was all.
    QByteArray target(std::max<qsizetype>(st.st_size, PATH_MAX) + 1, Qt::Uninitialized);
    const ssize_t length = ::readlink(from.constData(), target.data(), size_t(target.size()));
    if (length < 0)
        return OpResult::failure(QStringLiteral("cannot be read: %1").arg(errnoText(errno)));
    if (length >= target.size())
        return OpResult::failure(changedNotCopied());
    target.truncate(length);
    if (::symlink(target.constData(), to.constData()) != 0)
        return OpResult::failure(errno == EEXIST
                ? alreadyThere()
                : QStringLiteral("cannot be placed in the destination folder: %1").arg(errnoText(errno)));
    syncFolderOf(to);
    return removeSource(fromText, toText, st);
}

// The move across volumes: copy to an unfinished copy beside the target, flush, give it the final
// name if still free, then remove the source if it is still the version copied.
OpResult copyAcrossVolumes(const QString &fromText, const QString &toText)
{
    const QByteArray from = encodedPath(fromText), to = encodedPath(toText);
    Fd src;
    src.fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (src.fd < 0)
        return OpResult::failure(QStringLiteral("cannot be read: %1").arg(errnoText(errno)));
    struct stat st { };
    if (::fstat(src.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return OpResult::failure(QStringLiteral("not a file"));
    if (::access(to.constData(), F_OK) == 0)
        return OpResult::failure(alreadyThere());

    const qsizetype slash = to.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? to.left(slash + 1) : QByteArray();
    QByteArray temp;
    Fd dst;
    dst.fd = createPart(folder, st.st_mode & 0777, &temp);
    if (dst.fd < 0)
        return OpResult::failure(
            QStringLiteral("cannot be written into the destination folder: %1").arg(errnoText(errno)));

    auto abandon = [&](const QString &why) {
        ::unlink(temp.constData());
        return OpResult::failure(why);
    };

    static constexpr ssize_t Chunk = 1 << 20;
    QByteArray buffer(Chunk, Qt::Uninitialized);
    off_t copied = 0;
    for (;;) {
        const ssize_t n = ::read(src.fd, buffer.data(), size_t(Chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon(QStringLiteral("reading failed: %1").arg(errnoText(errno)));
        }
        if (n == 0)
            break;
        if (!writeAll(dst.fd, buffer.constData(), n))
            return abandon(QStringLiteral("writing the copy failed: %1").arg(errnoText(errno)));
        copied += n;
        if (copied == n && faults().pause)
            faults().pause(FaultPoint::MidCopy);
    }
    // A file written to while it was read may have given a copy that is neither version.
    struct stat after { };
    if (copied != st.st_size || ::fstat(src.fd, &after) != 0 || !sameVersion(after, st))
        return abandon(changedNotCopied());
    // Keep the picture's dates: they often are all a person has to sort by.
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(dst.fd, times);
    // Once flushed, the copy has nothing left to report on closing; it stays open (and locked)
    // until it has its final name.
    if (::fsync(dst.fd) != 0)
        return abandon(QStringLiteral("writing the copy failed: %1").arg(errnoText(errno)));
    if (faults().crossVolume == CrossVolumeFault::AfterCopy)
        return abandon(QStringLiteral("injected failure after the copy"));

    if (const int err = placeNoReplace(temp.constData(), to.constData()); err != 0) {
        ::unlink(temp.constData());
        return OpResult::failure(err == EEXIST
                ? alreadyThere()
                : QStringLiteral("cannot be placed in the destination folder: %1").arg(errnoText(err)));
    }
    syncFolderOf(to);

    return removeSource(fromText, toText, st);
}

} // namespace

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
    const qsizetype fromSlash = from.lastIndexOf('/'), toSlash = to.lastIndexOf('/');
    const QByteArray toFolder = toSlash >= 0 ? to.left(toSlash + 1) : QByteArray();
    if ((fromSlash >= 0 ? from.left(fromSlash + 1) : QByteArray()) != toFolder)
        removeUnfinishedCopies(toFolder);
    // Another volume is copied to at once; a rename is tried where the folder shares the source's
    // device, and one refused as crossing volumes (two mounts of one file system) is copied too.
    struct stat target { };
    if (::stat(toFolder.isEmpty() ? "." : toFolder.constData(), &target) != 0)
        return OpResult::failure(QStringLiteral("the destination folder cannot be opened: %1").arg(errnoText(errno)));
    if (!faults().forceCrossVolume && target.st_dev == st.st_dev) {
        const int err = placeNoReplace(from.constData(), to.constData());
        if (err == 0)
            return OpResult::success();
        if (err == EEXIST)
            return OpResult::failure(alreadyThere());
        if (err != EXDEV)
            return OpResult::failure(QStringLiteral("cannot be renamed: %1").arg(errnoText(err)));
    }
    return S_ISLNK(st.st_mode) ? moveLinkAcrossVolumes(fromText, toText, st) : copyAcrossVolumes(fromText, toText);
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
