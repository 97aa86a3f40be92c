#include "platform/fileservices.h"

#include <QDir>

#include <windows.h>

namespace orvella {

OpResult checkFolderReadable(const QString &folder)
{
    if (folder.isEmpty())
        return OpResult::failure(QStringLiteral("No folder given."));
    QString pattern = QDir::toNativeSeparators(folder);
    if (!pattern.endsWith(u'\\'))
        pattern += u'\\';
    pattern += u'*';
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileW(reinterpret_cast<LPCWSTR>(pattern.utf16()), &data);
    if (h == INVALID_HANDLE_VALUE)
        return OpResult::failure(QStringLiteral("The folder %1 cannot be opened.").arg(folder));
    ::FindClose(h);
    return OpResult::success();
}

} // namespace orvella
