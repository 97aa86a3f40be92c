#include "fileops/deleterun.h"

#include "platform/fileservices.h"
#include "platform/paths.h"
#include "settings/browsersettings.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"

namespace orvella {

OpResult DelToRecycBin(const QString &fileName, TrashEntry *entry)
{
    return moveToTrash(fileName, entry);
}

void DeleteRun::deleteSelected(const FileListBox &list, const BrowserSettings &settings)
{
    const QString folder = list.Path();
    for (const QString &name : list.selectedNames())
        deleteFile(joinPath(folder, name), settings.DeleteRecycle);
}

void DeleteRun::deleteFile(const QString &path, bool toTrash)
{
    TrashEntry entry;
    const OpResult r = toTrash ? DelToRecycBin(path, &entry) : deletePermanently(path);
    if (!r)
        m_failures.append(r.error);
    else if (toTrash)
        m_trashed.append(UndoStep::trashed(path, entry));
    else
        m_deletedForGood = true;
}

void DeleteRun::record(UndoJournal &journal) const
{
    if (m_deletedForGood)
        journal.clear();
    else
        journal.record(UndoJournal::Kind::Delete, m_trashed);
}

void DeleteRun::reportFailures() const
{
    if (m_failures.isEmpty())
        return;
    dialogs().messageBox(QStringLiteral("These files could not be deleted:\n") + m_failures.join(u'\n'), MsgOkOnly);
}

} // namespace orvella
