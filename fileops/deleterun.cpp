#include "fileops/deleterun.h"

#include "platform/fileservices.h"
#include "platform/paths.h"
#include "settings/browsersettings.h"
#include "ui/dialogservice.h"
#include "ui/filelistbox.h"

namespace orvella {

OpResult DelToRecycBin(const QString &fileName)
{
    return moveToTrash(fileName);
}

void DeleteRun::deleteSelected(const FileListBox &list, const BrowserSettings &settings)
{
    const QString folder = list.Path();
    for (const QString &name : list.selectedNames())
        deleteFile(joinPath(folder, name), settings.DeleteRecycle);
}

void DeleteRun::deleteFile(const QString &path, bool toTrash)
{
    const OpResult r = toTrash ? DelToRecycBin(path) : deletePermanently(path);
    if (!r)
        m_failures.append(r.error);
}

void DeleteRun::reportFailures() const
{
    if (m_failures.isEmpty())
        return;
    dialogs().messageBox(QStringLiteral("These files could not be deleted:\n") + m_failures.join(u'\n'), MsgOkOnly);
}

} // namespace orvella
