#include "platform/fileservices.h"

#include <shellapi.h>
#include <windows.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>

#include "platform/fileservicefaults.h"
#include "platform/trashvolume.h"

namespace orvella {

namespace {

// What a test injected, or none. The move without the replace flag is the only rename here:
// noAtomicRename and linkError have no fallback to reach.
const FileServiceFaults &faults()
{
    static const FileServiceFaults none;
    return injectedFaults ? *injectedFaults : none;
}

LPCWSTR wide(const QString &s)
{
    return reinterpret_cast<LPCWSTR>(s.utf16());
}

QString lastError()
{
    wchar_t *text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, ::GetLastError(), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    const QString out = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("unknown error");
    ::LocalFree(text);
    return out;
}

bool sameVolume(const QString &a, const QString &b)
{
    return QFileInfo(a).absolutePath().left(2).compare(QFileInfo(b).absolutePath().left(2), Qt::CaseInsensitive) == 0;
}

} // namespace

OpResult checkFolderReadable(const QString &folder)
{
    if (folder.isEmpty())
        return OpResult::failure(QStringLiteral("No folder given."));
    QString pattern = QDir::toNativeSeparators(folder);
    if (!pattern.endsWith(u'\\'))
        pattern += u'\\';
    pattern += u'*';
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileW(wide(pattern), &data);
    if (h == INVALID_HANDLE_VALUE)
        return OpResult::failure(QStringLiteral("The folder %1 cannot be opened: %2").arg(folder, lastError()));
    ::FindClose(h);
    return OpResult::success();
}

OpResult renameNoReplace(const QString &fromText, const QString &toText)
{
    const QString from = QDir::toNativeSeparators(fromText), to = QDir::toNativeSeparators(toText);
    if (!faults().forceCrossVolume && sameVolume(from, to)) {
        // Without MOVEFILE_REPLACE_EXISTING the move fails on an existing name.
        if (::MoveFileExW(wide(from), wide(to), 0))
            return OpResult::success();
        // Network shares and folders mounted from other volumes look like one drive but are not:
        // those go through the copy below.
        if (::GetLastError() != ERROR_NOT_SAME_DEVICE)
            return OpResult::failure(QStringLiteral("%1 cannot be renamed to %2: %3").arg(from, to, lastError()));
    }
    if (QFileInfo::exists(to))
        return OpResult::failure(QStringLiteral("%1 already exists.").arg(to));
    const QString temp = QFileInfo(to).absolutePath() + QStringLiteral("\\.orvella-")
        + QString::number(QRandomGenerator::global()->generate(), 16) + QStringLiteral(".part");
    const QString tempNative = QDir::toNativeSeparators(temp);
    if (!::CopyFileExW(wide(from), wide(tempNative), nullptr, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS)) {
        const QString why = lastError();
        ::DeleteFileW(wide(tempNative));
        return OpResult::failure(QStringLiteral("%1 cannot be copied: %2").arg(from, why));
    }
    HANDLE h
        = ::CreateFileW(wide(tempNative), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool flushed = h != INVALID_HANDLE_VALUE && ::FlushFileBuffers(h);
    if (h != INVALID_HANDLE_VALUE)
        ::CloseHandle(h);
    if (!flushed) {
        const QString why = lastError();
        ::DeleteFileW(wide(tempNative));
        return OpResult::failure(QStringLiteral("Writing %1 to disk failed: %2").arg(to, why));
    }
    if (faults().crossVolume == CrossVolumeFault::AfterCopy
        || !::MoveFileExW(wide(tempNative), wide(to), MOVEFILE_WRITE_THROUGH)) {
        const QString why = faults().crossVolume == CrossVolumeFault::AfterCopy
            ? QStringLiteral("Injected failure after the copy.")
            : lastError();
        ::DeleteFileW(wide(tempNative));
        return OpResult::failure(QStringLiteral("%1 cannot be created: %2").arg(to, why));
    }
    if (faults().crossVolume == CrossVolumeFault::BeforeRemovingSource || !::DeleteFileW(wide(from))) {
        // The copy is taken back only while the source is still there to be the one copy.
        if (!QFileInfo::exists(from))
            return OpResult::success();
        ::DeleteFileW(wide(to));
        return OpResult::failure(QStringLiteral("%1 could not be removed from its folder.").arg(from));
    }
    return OpResult::success();
}

OpResult prepareTrashFor(const QString &path)
{
    // A volume without a recycle bin (many USB sticks, network shares) would have the shell
    // delete the file for good instead: refuse, and the file stays.
    const QString root = QStorageInfo(QFileInfo(path).absolutePath()).rootPath();
    SHQUERYRBINFO info {};
    info.cbSize = sizeof(info);
    if (root.isEmpty() || FAILED(::SHQueryRecycleBinW(wide(QDir::toNativeSeparators(root)), &info)))
        return OpResult::failure(QStringLiteral("There is no recycle bin for %1.").arg(path));
    return OpResult::success();
}

OpResult makeFolder(const QString &path)
{
    if (!::CreateDirectoryW(wide(QDir::toNativeSeparators(path)), nullptr))
        return OpResult::failure(QStringLiteral("%1 cannot be created: %2").arg(path, lastError()));
    return OpResult::success();
}

} // namespace orvella
