#include "platform/fileservices.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <windows.h>

namespace orvella {

namespace {

CrossVolumeFault g_fault = CrossVolumeFault::None;
bool g_forceCrossVolume = false;

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

void setCrossVolumeFaultForTesting(CrossVolumeFault fault)
{
    g_fault = fault;
}

void setForceCrossVolumeForTesting(bool force)
{
    g_forceCrossVolume = force;
}

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
    if (!g_forceCrossVolume && sameVolume(from, to)) {
        // Without MOVEFILE_REPLACE_EXISTING the move fails on an existing name.
        if (::MoveFileExW(wide(from), wide(to), 0))
            return OpResult::success();
        return OpResult::failure(QStringLiteral("%1 cannot be renamed to %2: %3").arg(from, to, lastError()));
    }
    const QString temp = QFileInfo(to).absolutePath() + QStringLiteral("\\.orvella-")
        + QString::number(QRandomGenerator::global()->generate(), 16) + QStringLiteral(".part");
    if (!::CopyFileExW(
            wide(from), wide(QDir::toNativeSeparators(temp)), nullptr, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS))
        return OpResult::failure(QStringLiteral("%1 cannot be copied: %2").arg(from, lastError()));
    const QString tempNative = QDir::toNativeSeparators(temp);
    HANDLE h
        = ::CreateFileW(wide(tempNative), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::FlushFileBuffers(h);
        ::CloseHandle(h);
    }
    if (g_fault == CrossVolumeFault::AfterCopy || !::MoveFileExW(wide(tempNative), wide(to), MOVEFILE_WRITE_THROUGH)) {
        const QString why
            = g_fault == CrossVolumeFault::AfterCopy ? QStringLiteral("Injected failure after the copy.") : lastError();
        ::DeleteFileW(wide(tempNative));
        return OpResult::failure(QStringLiteral("%1 cannot be created: %2").arg(to, why));
    }
    if (g_fault == CrossVolumeFault::BeforeRemovingSource || !::DeleteFileW(wide(from))) {
        ::DeleteFileW(wide(to));
        return OpResult::failure(QStringLiteral("%1 could not be removed from its folder.").arg(from));
    }
    return OpResult::success();
}

OpResult makeFolder(const QString &path)
{
    if (!::CreateDirectoryW(wide(QDir::toNativeSeparators(path)), nullptr))
        return OpResult::failure(QStringLiteral("%1 cannot be created: %2").arg(path, lastError()));
    return OpResult::success();
}

} // namespace orvella
