#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <QByteArray>
#include <QString>

#include "platform/fileidentity.h"
#include "platform/fileservicefaults.h"
#include "platform/result.h"

namespace orvella {

// What the POSIX file services (the *_posix.cpp files of this folder) share.

// The identity a status query gives (valid whatever the kind of file).
FileIdentity identityOf(const struct stat &st);

// What a test injected, or none.
const FileServiceFaults &faults();

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f)
        : fd(f)
    {
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd();
};

// The system's words for an errno value.
QString errnoText(int err);

// A path as the file system spells it.
QByteArray encodedPath(const QString &path);

// The folder part of path, with its slash ("" for a bare name), and the name after it.
QByteArray folderPart(const QByteArray &path);
QByteArray namePart(const QByteArray &path);

// Where the descriptor fd is now, as the system tells (after any rename of it or of a folder
// above); empty when it cannot say.
QByteArray pathOfDescriptor(int fd);

// Opens the folder at path (the working folder for "") to work in it by descriptor; -1 with errno.
// A link the user named as the folder is followed: it was theirs to make.
int openFolder(const QByteArray &path);

// Gives the name from in folder fromDir to the name to in folder toDir, on one volume, without
// ever replacing a file there. Returns 0 or an errno value (EEXIST when to is taken).
int placeNoReplace(int fromDir, const char *from, int toDir, const char *to);

// Whether name in dir still is the file identified by st (same device and inode), itself and not
// what a link there points to.
bool stillThere(int dir, const char *name, const struct stat &st);

// Flushes the folder fd to disk; 0 or an errno value.
int syncFolder(int fd);

// Moves the file or link at from, whose status is st, into the folder dir under name, on another
// volume than from's (crossvolumecopy_posix.cpp).
OpResult moveAcrossVolumes(const QByteArray &from, const struct stat &st, int dir, const QByteArray &name);

// Writes all of data to fd; false with errno set on a failure.
bool writeAll(int fd, const char *data, ssize_t size);

} // namespace orvella
