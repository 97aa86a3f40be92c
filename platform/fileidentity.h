#pragma once

#include <QHashFunctions>
#include <QString>
#include <QtGlobal>

namespace orvella {

// What makes a file the same file whatever its name: the volume and the file's number on it, and
// what shows whether its content may have changed (size and modification time). A rename or a
// move within the volume keeps it; writing the file changes it.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0; // modification time, nanoseconds since 1970
    bool valid = false; // false when the file could not be asked

    // Whole seconds, rounded down, as the desktop's thumbnails record the time.
    qint64 modifiedSeconds() const
    {
        const qint64 s = modifiedNs / 1'000'000'000;
        return modifiedNs < 0 && s * 1'000'000'000 != modifiedNs ? s - 1 : s;
    }
    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

inline size_t qHash(const FileIdentity &id, size_t seed = 0)
{
    return qHashMulti(seed, id.device, id.inode, id.size, id.modifiedNs, id.valid);
}

// The identity of the file or symbolic link at path itself (one status query, following no link
// at the end), as the file operations act on it; invalid when there is no such file or link or it
// cannot be asked.
FileIdentity fileIdentity(const QString &path);

// The identity of the picture a name stands for: a link is followed to the file it points to.
// Invalid when that is no regular file or cannot be asked.
FileIdentity pictureFileIdentity(const QString &path);

} // namespace orvella
