#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "platform/fileidentity.h"

namespace orvella {

// A picture file opened once for reading, so that everything read about it (its identity, its head,
// its pixels) comes from the same file, whatever happens to its name meanwhile. Opening never
// blocks: a name that leads (through links) to a FIFO, a device or a folder is refused before a
// byte is read, and so is a file another program turns into one of them before it is opened.
class OpenedPicture {
public:
    explicit OpenedPicture(const QString &path);
    ~OpenedPicture();
    OpenedPicture(const OpenedPicture &) = delete;
    OpenedPicture &operator=(const OpenedPicture &) = delete;

    // Whether a regular file was opened.
    bool isOpen() const { return m_handle >= 0; }
    // The identity of the file that was opened (invalid when none was).
    const FileIdentity &identity() const { return m_identity; }

    // Up to count bytes from the start of the file (fewer at its end or on a read error).
    QByteArray head(qint64 count) const;
    // The whole file, or nothing when it is larger than limit bytes or cannot be read.
    QByteArray readAll(qint64 limit) const;
    // Opens file on a duplicate of the descriptor, read-only, at the start of the file. Only one
    // device at a time: they share the position in the file.
    bool openDevice(QFile &file) const;

private:
    qintptr m_handle = -1;
    FileIdentity m_identity;
};

} // namespace orvella
