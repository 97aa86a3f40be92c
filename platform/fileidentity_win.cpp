#include "platform/fileidentity.h"

#include <windows.h>

namespace orvella {

FileIdentity fileIdentity(const QString &path)
{
    FileIdentity id;
    if (path.isEmpty())
        return id;
    // Opening for no access asks the file system about the file without locking it for others.
    HANDLE h = ::CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), 0,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return id;
    BY_HANDLE_FILE_INFORMATION info {};
    const bool ok = ::GetFileInformationByHandle(h, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    ::CloseHandle(h);
    if (!ok)
        return id;
    id.device = info.dwVolumeSerialNumber;
    id.inode = quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    id.size = qint64(quint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    // FILETIME counts 100 ns steps from 1601; the identity counts nanoseconds from 1970.
    const qint64 ticks
        = qint64(quint64(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime);
    id.modifiedNs = (ticks - 116'444'736'000'000'000) * 100;
    id.valid = true;
    return id;
}

FileIdentity pictureFileIdentity(const QString &path)
{
    return fileIdentity(path);
}

} // namespace orvella
