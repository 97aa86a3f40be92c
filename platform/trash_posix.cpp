// The freedesktop.org trash, written here rather than taken from Qt: Qt's trash never returns for a
// name too long for the trash's info file, and where it finds no trash it makes one in the working
// folder, which is the user's picture folder.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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

// Makes folder (for this user only) unless it is there. A trash on a shared volume must be a real
// folder of this user, not a link another user could have laid; the home trash may be a link.
// Returns 0 or an errno value.
int ensureFolder(const QByteArray &folder, bool shared)
{
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat st { };
    if ((shared ? ::lstat(folder.constData(), &st) : ::stat(folder.constData(), &st)) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    if (shared && st.st_uid != ::geteuid())
        return EPERM;
    return 0;
}

// Makes folder and the folders above it that are missing.
int ensurePath(const QByteArray &folder)
{
    struct stat st { };
    if (folder == "/" || ::stat(folder.constData(), &st) == 0)
        return 0;
    if (const int err = ensurePath(parentOf(folder)); err != 0)
        return err;
    return ensureFolder(folder, false);
}

QByteArray homeTrash()
{
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/'))
        data = QFile::encodeName(QDir::homePath()) + "/.local/share";
    return data + "/Trash";
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
// made top/.Trash a real folder with the sticky bit, else top/.Trash-$uid. Returns 0 or an errno.
int volumeTrash(const QByteArray &top, QByteArray *trash)
{
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(qulonglong(::geteuid()));
    struct stat st { };
    const QByteArray shared = base + "/.Trash";
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        *trash = shared + '/' + uid;
        if (ensureFolder(*trash, true) == 0)
            return 0;
    }
    *trash = base + "/.Trash-" + uid;
    return ensureFolder(*trash, true);
}

} // namespace

OpResult moveToTrash(const QString &pathText, TrashEntry *entry)
{
    // The absolute path without resolving links: a link is trashed as itself.
    const QByteArray path = encodedPath(QFileInfo(QDir::fromNativeSeparators(pathText)).absoluteFilePath());
    struct stat st { };
    if (::lstat(path.constData(), &st) != 0)
        return OpResult::failure(errno == ENOENT
                ? QStringLiteral("%1 does not exist.").arg(pathText)
                : QStringLiteral("%1 cannot be read: %2").arg(pathText, errnoText(errno)));
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return OpResult::failure(QStringLiteral("%1 is not a file.").arg(pathText));
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    char realFolder[PATH_MAX];
    if (!::realpath(parentOf(path).constData(), realFolder))
        return OpResult::failure(QStringLiteral("%1 cannot be read: %2").arg(pathText, errnoText(errno)));
    const QByteArray folder = realFolder;
    const QByteArray original = (folder == "/" ? QByteArray() : folder) + '/' + name;

    // The home trash takes the files of its own volume; every other volume has a trash of its own
    // at its top, where the original path is written relative to the top. A file is only ever
    // renamed into a trash: where there is none on its volume it stays, and the failure is told.
    QByteArray trash, shownPath;
    int err = 0;
    dev_t homeDevice = 0;
    const QByteArray home = homeTrash();
    if (deviceOf(home, &homeDevice) && homeDevice == st.st_dev) {
        trash = home;
        shownPath = original;
        err = ensurePath(trash);
    } else {
        const QByteArray top = topOfVolume(folder, st.st_dev);
        shownPath = original.mid(top == "/" ? 1 : top.size() + 1);
        err = volumeTrash(top, &trash);
    }
    const bool shared = trash != home;
    if (err == 0)
        err = ensureFolder(trash + "/files", shared);
    if (err == 0)
        err = ensureFolder(trash + "/info", shared);
    if (err != 0)
        return OpResult::failure(QStringLiteral("There is no trash for %1: %2").arg(pathText, errnoText(err)));

    // The info file comes first, made with O_EXCL: it is what reserves the entry's name.
    long nameMax = ::pathconf((trash + "/info").constData(), _PC_NAME_MAX);
    if (nameMax < 64)
        nameMax = 255;
    const QByteArray info = trashInfoText(shownPath, QDateTime::currentDateTime());
    for (int attempt = 0; attempt < 200; ++attempt) {
        const QByteArray tag = attempt == 0 ? QByteArray()
            : attempt < 100                 ? QByteArray::number(attempt + 1)
                                            : QByteArray::number(QRandomGenerator::global()->generate(), 16);
        const QByteArray entryName = trashEntryName(name, tag, int(nameMax));
        const QByteArray infoPath = trash + "/info/" + entryName + ".trashinfo";
        const int fd = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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
        const bool written = writeAll(fd, info.constData(), info.size()) && ::fsync(fd) == 0;
        const int writeErr = errno;
        if (::close(fd) != 0 || !written) {
            ::unlink(infoPath.constData());
            return OpResult::failure(
                QStringLiteral("%1 could not be moved to the trash: %2").arg(pathText, errnoText(writeErr)));
        }
        const QByteArray filePath = trash + "/files/" + entryName;
        err = placeNoReplace(path.constData(), filePath.constData());
        if (err == 0) {
            if (entry)
                *entry = {QFile::decodeName(filePath), QFile::decodeName(infoPath)};
            return OpResult::success();
        }
        ::unlink(infoPath.constData());
        if (err != EEXIST)
            return OpResult::failure(
                QStringLiteral("%1 could not be moved to the trash: %2").arg(pathText, errnoText(err)));
    }
    return OpResult::failure(QStringLiteral("%1 could not be moved to the trash: no free name in it.").arg(pathText));
}

} // namespace orvella
