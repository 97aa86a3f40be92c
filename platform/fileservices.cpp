#include "platform/fileservices.h"

#include <QDir>
#include <QFile>

namespace orvella {

namespace {
thread_local FileRun *currentRun = nullptr;
} // namespace

FileRun::FileRun()
    : m_outer(currentRun)
{
    if (!m_outer)
        currentRun = this;
}

FileRun::~FileRun()
{
    if (currentRun == this)
        currentRun = nullptr;
}

bool FileRun::firstVisit(quint64 device, quint64 inode)
{
    if (!currentRun)
        return true;
    const qsizetype before = currentRun->m_visited.size();
    currentRun->m_visited.insert({device, inode});
    return currentRun->m_visited.size() != before;
}

OpResult deletePermanently(const QString &path)
{
    QFile file(QDir::fromNativeSeparators(path));
    if (!file.exists())
        return OpResult::failure(QStringLiteral("%1 does not exist.").arg(path));
    if (!file.remove())
        return OpResult::failure(QStringLiteral("%1 could not be deleted: %2").arg(path, file.errorString()));
    return OpResult::success();
}

OpResult restoreFromTrash(const TrashEntry &entry, const QString &originalPath)
{
    // The trash is on the file's own volume, so this is a rename; the safe move covers a folder
    // that has since become another volume. The description goes only once the file is back.
    if (const OpResult back = renameNoReplace(entry.file, originalPath); !back)
        return OpResult::failure(back.error + QStringLiteral("; it stays in the trash"));
    if (!entry.info.isEmpty())
        QFile::remove(entry.info);
    return OpResult::success();
}

} // namespace orvella
