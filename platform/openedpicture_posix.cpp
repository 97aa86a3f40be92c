#include "platform/openedpicture.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posixfiles.h"

namespace orvella {

namespace {

// The identity of the file behind an open descriptor; invalid unless it is a regular file.
FileIdentity fileIdentityOf(int fd)
{
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return identityOf(st);
}

// Reads up to size bytes at offset; gives how many were read before the end or an error.
qint64 readAt(int fd, char *data, qint64 size, qint64 offset)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

} // namespace

OpenedPicture::OpenedPicture(const QString &path)
{
    if (path.isEmpty())
        return;
    const QByteArray name = QFile::encodeName(path);
    // A look at the name first spares a device the open (which may act on it); the descriptor's own
    // status below is what counts, since the name may change in between.
    struct stat st { };
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    // O_NONBLOCK: opening a FIFO put there meanwhile returns at once instead of waiting for a writer.
    int fd;
    do
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return;
    m_identity = fileIdentityOf(fd);
    if (!m_identity.valid) {
        ::close(fd);
        return;
    }
    // A regular file reads the same either way; some file systems pass the flag on to their server.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_handle = fd;
}

OpenedPicture::~OpenedPicture()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}

QByteArray OpenedPicture::head(qint64 count) const
{
    if (m_handle < 0 || count <= 0)
        return {};
    // No larger buffer than the file needs (and one byte more, to see that it has grown).
    count = std::min(count, m_identity.size + 1);
    QByteArray data(qsizetype(count), Qt::Uninitialized);
    data.truncate(qsizetype(readAt(int(m_handle), data.data(), count, 0)));
    return data;
}

QByteArray OpenedPicture::readAll(qint64 limit) const
{
    if (m_handle < 0 || m_identity.size > limit)
        return {};
    // One byte more than the file had when it was opened shows that it has grown since.
    QByteArray data = head(std::min(limit, m_identity.size) + 1);
    if (data.size() > limit)
        return {};
    return data;
}

bool OpenedPicture::openDevice(QFile &file) const
{
    if (m_handle < 0)
        return false;
    const int fd = ::fcntl(int(m_handle), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (::lseek(fd, 0, SEEK_SET) != 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace orvella
