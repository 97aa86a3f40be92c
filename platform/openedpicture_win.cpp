#include "platform/openedpicture.h"

#include <algorithm>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace orvella {

namespace {

HANDLE handleOf(qintptr h)
{
    return reinterpret_cast<HANDLE>(h);
}

} // namespace

OpenedPicture::OpenedPicture(const QString &path)
{
    if (path.isEmpty())
        return;
    HANDLE h = ::CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    BY_HANDLE_FILE_INFORMATION info {};
    // Only a file on a disk: never a pipe or a device that may not answer.
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h, &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::CloseHandle(h);
        return;
    }
    m_identity.device = info.dwVolumeSerialNumber;
    m_identity.inode = quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    m_identity.size = qint64(quint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    const qint64 ticks
        = qint64(quint64(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime);
    m_identity.modifiedNs = (ticks - 116'444'736'000'000'000) * 100;
    m_identity.valid = true;
    m_handle = reinterpret_cast<qintptr>(h);
}

OpenedPicture::~OpenedPicture()
{
    if (m_handle != -1)
        ::CloseHandle(handleOf(m_handle));
}

QByteArray OpenedPicture::head(qint64 count) const
{
    if (m_handle == -1 || count <= 0)
        return {};
    count = std::min(count, m_identity.size + 1);
    QByteArray data(qsizetype(count), Qt::Uninitialized);
    qint64 done = 0;
    while (done < count) {
        OVERLAPPED at {};
        at.Offset = DWORD(done);
        at.OffsetHigh = DWORD(quint64(done) >> 32);
        DWORD n = 0;
        const DWORD want = DWORD(std::min<qint64>(count - done, 1 << 30));
        if (!::ReadFile(handleOf(m_handle), data.data() + done, want, &n, &at) || n == 0)
            break;
        done += n;
    }
    data.truncate(qsizetype(done));
    return data;
}

QByteArray OpenedPicture::readAll(qint64 limit) const
{
    if (m_handle == -1 || m_identity.size > limit)
        return {};
    QByteArray data = head(std::min(limit, m_identity.size) + 1);
    if (data.size() > limit)
        return {};
    return data;
}

bool OpenedPicture::openDevice(QFile &file) const
{
    HANDLE copy = nullptr;
    if (m_handle == -1
        || !::DuplicateHandle(
            ::GetCurrentProcess(), handleOf(m_handle), ::GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(copy), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(copy);
        return false;
    }
    ::_lseeki64(fd, 0, SEEK_SET);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::_close(fd);
        return false;
    }
    return true;
}

} // namespace orvella
