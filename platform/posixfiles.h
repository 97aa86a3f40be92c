#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>

namespace orvella {

// What the POSIX file services (the *_posix.cpp files of this folder) share.

// The system's words for an errno value.
QString errnoText(int err);

// A path as the file system spells it.
QByteArray encodedPath(const QString &path);

// Gives from the name to on one volume without ever replacing a file there. Returns 0 or an errno
// value (EEXIST when to is taken).
int placeNoReplace(const char *from, const char *to);

// Writes all of data to fd; false with errno set on a failure.
bool writeAll(int fd, const char *data, ssize_t size);

} // namespace orvella
