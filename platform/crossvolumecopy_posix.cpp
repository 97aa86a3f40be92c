// The move to another volume: a copy that is proven to hold the final name before the source goes.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>

#include "platform/fileservices.h"
#include "platform/posixfiles.h"

namespace orvella {

namespace {

// Reasons of failed moves, read after the file's name.
QString alreadyThere()
{
    return QStringLiteral("a file of that name is already there");
}

QString changedNotCopied()
{
    return QStringLiteral("changed during the copy; it stays where it was");
}

// Another user who can write in the destination folder put a file of theirs in the copy's place.
OpResult replacedByAnother()
{
    return OpResult::failure(
        QStringLiteral("was replaced by another program in the destination folder; it stays where it was"));
}

QString notPlaced(int err)
{
    return err == EEXIST ? alreadyThere()
                         : QStringLiteral("cannot be placed in the destination folder: %1").arg(errnoText(err));
}

// Whether a and b are one version of one file: a file that another program saved anew, in place
// or as a new file under the same name, differs in one of these.
bool sameVersion(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
        && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

void pause(FaultPoint point)
{
    if (faults().pause)
        faults().pause(point);
}

// Unfinished copies. Where a folder cannot hold unnamed files, a copy across volumes is written
// beside its final name under a name of its own, locked (flock) for as long as its process has it
// open. Such a file whose lock can be taken is what a move killed part-way (power loss, a crash)
// left behind.
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

// Removes from the folder dir the unfinished copies whose process has gone; any other file stays.
void removeUnfinishedCopies(int dir)
{
    pause(FaultPoint::FolderCleaned);
    const int listed = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *entries = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!entries) {
        if (listed >= 0)
            ::close(listed);
        return;
    }
    while (const dirent *entry = ::readdir(entries)) {
        if (!isPartName(entry->d_name))
            continue;
        // Only a regular file is opened any further, and never for writing before that is known.
        Fd part(::openat(dir, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened { };
        if (part.fd < 0 || ::fstat(part.fd, &opened) != 0 || !S_ISREG(opened.st_mode))
            continue;
        // Network file systems lock only descriptors open for writing: reopen this very file so.
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", part.fd);
        const Fd writable(::open(self, O_WRONLY | O_NONBLOCK | O_CLOEXEC));
        if (::flock(writable.fd >= 0 ? writable.fd : part.fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        if (stillThere(dir, entry->d_name, opened))
            ::unlinkat(dir, entry->d_name, 0);
    }
    ::closedir(entries);
}

// Creates and locks a new unfinished copy in the folder dir; returns its descriptor, or -1 with
// errno.
int createPart(int dir, mode_t mode, QByteArray *name)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        *name = PartHead
            + QByteArray::number(QRandomGenerator::global()->generate64(), 16).rightJustified(PartDigits, '0')
            + PartTail;
        const int fd = ::openat(dir, name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
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
        if (::fstat(fd, &mine) == 0 && (mine.st_nlink == 0 || !stillThere(dir, name->constData(), mine))) {
            ::close(fd);
            continue;
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

// Gives the unnamed file fd the name in the folder dir; a link never replaces. 0 or an errno.
int linkUnnamed(int fd, int dir, const char *name)
{
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, self, dir, name, AT_SYMLINK_FOLLOW) == 0)
        return 0;
    // Without /proc: a process allowed to link any descriptor may still do it.
    if (errno == ENOENT && ::linkat(fd, "", dir, name, AT_EMPTY_PATH) == 0)
        return 0;
    return errno;
}

// The last step of a move across volumes, once the copy made (copy: its status) has its final name
// in dir: removes the source if the name still holds the copy and the source is still the version
// st that was copied. The source must never go while the copy is not the one left; a failure takes
// the copy back, and only the copy.
OpResult removeSource(const QByteArray &from, const struct stat &st, int dir, const char *name, const struct stat &copy)
{
    if (const int err = syncFolder(dir); err != 0)
        return OpResult::failure(QStringLiteral("was copied, but the destination folder could not be written to disk "
                                                "(%1); it stays where it was, and the copy is kept beside it")
                                     .arg(errnoText(err)));
    pause(FaultPoint::CopyNamed);
    // Another user who can write in the folder may have put a file of theirs under the name: then
    // the copy is lost, and the source is the picture's only copy. Their file stays as it is.
    if (!stillThere(dir, name, copy))
        return replacedByAnother();
    if (faults().crossVolume == CrossVolumeFault::SourceGoneAtRemoval)
        ::unlink(from.constData());
    // Another program may have saved a new version under the source's name since the copy began:
    // removing the name would delete that version. The copy is a sound copy of the old one.
    struct stat now { };
    if (::lstat(from.constData(), &now) == 0 && !sameVersion(now, st))
        return OpResult::failure(QStringLiteral("changed during the copy; both versions are kept"));
    if (faults().crossVolume == CrossVolumeFault::BeforeRemovingSource
        || faults().crossVolume == CrossVolumeFault::SourceGoneAtRemoval || ::unlink(from.constData()) != 0) {
        const int err = faults().crossVolume != CrossVolumeFault::None ? EIO : errno;
        // The source has gone after all (another program, a network volume that reported a
        // retried removal as failed): the copy is the one left, and it stays.
        if (!stillThere(AT_FDCWD, from.constData(), st))
            return OpResult::success();
        // The source must stay the one copy: take back the one just made.
        if (stillThere(dir, name, copy))
            ::unlinkat(dir, name, 0);
        syncFolder(dir);
        return OpResult::failure(QStringLiteral("cannot be removed from its folder: %1").arg(errnoText(err)));
    }
    return OpResult::success();
}

// A symbolic link goes to another volume as a new link with the same target text. A link never
// replaces anything: it cannot be made over an existing name.
OpResult moveLink(const QByteArray &from, const struct stat &st, int dir, const QByteArray &name)
{
    // Some file systems give a link no size: room for any path, and one byte to see it was all.
    QByteArray target(std::max<qsizetype>(st.st_size, PATH_MAX) + 1, Qt::Uninitialized);
    const ssize_t length = ::readlink(from.constData(), target.data(), size_t(target.size()));
    if (length < 0)
        return OpResult::failure(QStringLiteral("cannot be read: %1").arg(errnoText(errno)));
    if (length >= target.size())
        return OpResult::failure(changedNotCopied());
    target.truncate(length);
    struct stat made { };
    if (::symlinkat(target.constData(), dir, name.constData()) != 0)
        return OpResult::failure(notPlaced(errno));
    if (::fstatat(dir, name.constData(), &made, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(made.st_mode))
        return replacedByAnother();
    return removeSource(from, st, dir, name.constData(), made);
}

// Copies the regular file at from (status st) into dir under name: written as an unnamed file and
// linked where the folder allows it, else under a name of its own, renamed, and checked.
OpResult copyFile(const QByteArray &from, const struct stat &st, int dir, const QByteArray &name)
{
    pause(FaultPoint::SourceChecked);
    // The source is opened once, as itself and without waiting on a device or a pipe: what is
    // copied and what is checked before the source goes must be the file looked at.
    const Fd src(::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened { };
    if (src.fd < 0 && errno != ELOOP)
        return OpResult::failure(QStringLiteral("cannot be read: %1").arg(errnoText(errno)));
    if (src.fd < 0 || ::fstat(src.fd, &opened) != 0 || !S_ISREG(opened.st_mode) || !sameVersion(opened, st))
        return OpResult::failure(changedNotCopied());
    struct stat existing { };
    if (::fstatat(dir, name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return OpResult::failure(alreadyThere());

    QByteArray part; // the copy's own name, where it has one
    Fd dst;
    errno = EOPNOTSUPP;
    if (!faults().noUnnamedFile)
        dst.fd = ::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, st.st_mode & 0777);
    if (dst.fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return OpResult::failure(
                QStringLiteral("cannot be written into the destination folder: %1").arg(errnoText(errno)));
        struct stat folder { };
        if (::fstat(dir, &folder) == 0 && FileRun::firstVisit(folder.st_dev, folder.st_ino))
            removeUnfinishedCopies(dir);
        dst.fd = createPart(dir, st.st_mode & 0777, &part);
        if (dst.fd < 0)
            return OpResult::failure(
                QStringLiteral("cannot be written into the destination folder: %1").arg(errnoText(errno)));
    }
    struct stat copy { };
    ::fstat(dst.fd, &copy);
    // A copy given up goes, by its own name only while that name still holds it.
    auto abandon = [&](const QString &why) {
        if (!part.isEmpty() && stillThere(dir, part.constData(), copy))
            ::unlinkat(dir, part.constData(), 0);
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
        if (copied == n)
            pause(FaultPoint::MidCopy);
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

    if (part.isEmpty()) {
        if (const int err = linkUnnamed(dst.fd, dir, name.constData()); err != 0)
            return OpResult::failure(notPlaced(err));
    } else {
        // A file put under the copy's name by another user is theirs: it is never given a name.
        if (!stillThere(dir, part.constData(), copy))
            return replacedByAnother();
        if (const int err = placeNoReplace(dir, part.constData(), dir, name.constData()); err != 0)
            return abandon(notPlaced(err));
    }
    return removeSource(from, st, dir, name.constData(), copy);
}

} // namespace

OpResult moveAcrossVolumes(const QByteArray &from, const struct stat &st, int dir, const QByteArray &name)
{
    return S_ISLNK(st.st_mode) ? moveLink(from, st, dir, name) : copyFile(from, st, dir, name);
}

} // namespace orvella
